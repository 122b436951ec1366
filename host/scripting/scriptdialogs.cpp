#include "scriptdialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

constexpr int maximumNumber = 10000000;

// The toolkit would start an empty path in the folder of the previous accepted chooser.
QString startFolder(const QString &path)
{
    return path.isEmpty() ? QDir::currentPath() : path;
}

QString promptInt(QWidget *parent, const QString &text, const QString &title, const QString &defaultValue)
{
    bool accepted = false;
    const int value = QInputDialog::getInt(parent, title, text, defaultValue.toInt(), 0, maximumNumber, 1, &accepted);
    return accepted ? QString::number(value) : QString();
}

QString promptDouble(QWidget *parent, const QString &text, const QString &title, const QString &defaultValue)
{
    bool accepted = false;
    const double value
            = QInputDialog::getDouble(parent, title, text, defaultValue.toDouble(), 0, maximumNumber, 5, &accepted);
    return accepted ? ScriptDialogs::doubleText(value) : QString();
}

QString promptText(QWidget *parent, const QString &text, const QString &title, const QString &defaultValue,
                   bool multiLine, QLineEdit::EchoMode echo)
{
    bool accepted = false;
    const QString value = multiLine ? QInputDialog::getMultiLineText(parent, title, text, defaultValue, &accepted)
                                    : QInputDialog::getText(parent, title, text, echo, defaultValue, &accepted);
    return accepted ? value : QString();
}

} // namespace

bool ScriptDialogs::confirm(const QString &text, const QString &title, const QString &yes, const QString &no)
{
    QMessageBox box(QMessageBox::Question, title, text);
    QPushButton *yesButton = box.addButton(yes, QMessageBox::YesRole);
    box.addButton(no, QMessageBox::NoRole);
    box.setDefaultButton(yesButton);
    box.exec();
    return box.clickedButton() == yesButton;
}

void ScriptDialogs::info(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok);
    box.exec();
}

QString ScriptDialogs::prompt(QWidget *parent, const QString &text, const QString &title, const QString &defaultValue,
                              const QString &type)
{
    if (type == QLatin1String("int"))
        return promptInt(parent, text, title, defaultValue);
    if (type == QLatin1String("double"))
        return promptDouble(parent, text, title, defaultValue);
    if (type == QLatin1String("textarea"))
        return promptText(parent, text, title, defaultValue, true, QLineEdit::Normal);
    if (type == QLatin1String("password"))
        return promptText(parent, text, title, defaultValue, false, QLineEdit::Password);
    return promptText(parent, text, title, defaultValue, false, QLineEdit::Normal);
}

QString ScriptDialogs::openFile(QWidget *parent, const QString &title, const QString &fileTypes, const QString &path)
{
    return QFileDialog::getOpenFileName(parent, title, startFolder(path), fileTypes);
}

QString ScriptDialogs::openNewFile(QWidget *parent, const QString &title, const QString &fileTypes, const QString &path)
{
    return QFileDialog::getSaveFileName(parent, title, startFolder(path), fileTypes);
}

QStringList ScriptDialogs::openFiles(QWidget *parent, const QString &title, const QString &fileTypes,
                                     const QString &path)
{
    return QFileDialog::getOpenFileNames(parent, title, startFolder(path), fileTypes);
}

QString ScriptDialogs::openDir(QWidget *parent, const QString &title, const QString &path)
{
    return QFileDialog::getExistingDirectory(parent, title, startFolder(path), QFileDialog::ShowDirsOnly);
}

QString ScriptDialogs::doubleText(double value)
{
    return QString::number(value, 'g', 6);
}
