// Dialog slots driven from the test: a timer finds the modal dialog, checks how it was set up,
// then answers or cancels it, and the slot's result is compared.
#include "jsapiovex.h"
#include "modaldialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

class TestScriptDialogs : public QObject
{
    Q_OBJECT

private:
    JSApiOvex ovex {nullptr, nullptr};
    QTemporaryDir dir;

    template<typename T>
    void whenShown(std::function<void(T *)> answer)
    {
        whenModalShown<T>(this, std::move(answer));
    }

    // Types `path` into the chooser's name field and accepts, as a user would. (selectFile
    // leaves the field alone while it has the focus.)
    static void choose(QFileDialog *dialog, const QString &path)
    {
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    }

    static QPushButton *buttonLabelled(QMessageBox *box, const QString &text)
    {
        const QList<QAbstractButton *> buttons = box->buttons();
        for (QAbstractButton *button : buttons) {
            if (button->text() == text)
                return qobject_cast<QPushButton *>(button);
        }
        return nullptr;
    }

private Q_SLOTS:
    void confirmIsTrueOnlyForTheYesButton_data();
    void confirmIsTrueOnlyForTheYesButton();
    void infoShowsTitleAndText();
    void promptIntStartsFromTheDecimalDefault_data();
    void promptIntStartsFromTheDecimalDefault();
    void promptDoubleGivesSixSignificantDigits_data();
    void promptDoubleGivesSixSignificantDigits();
    void promptTextKinds_data();
    void promptTextKinds();
    void cancelledPromptIsEmpty_data();
    void cancelledPromptIsEmpty();
    void openFileStartsInTheCurrentFolderAndGivesThePath();
    void openFileCancelledIsEmpty();
    void openNewFileIsASaveChooserThatAsksBeforeOverwriting();
    void openFilesGivesAList();
    void openDirShowsFoldersOnly();
    void fileDialogHistoryStaysInTheBuildFolder();
};

void TestScriptDialogs::confirmIsTrueOnlyForTheYesButton_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<bool>("result");
    QTest::newRow("yes button") << "Go" << true;
    QTest::newRow("second button") << "Stay" << false;
    QTest::newRow("dismissed by escape") << "" << false;
}

void TestScriptDialogs::confirmIsTrueOnlyForTheYesButton()
{
    QFETCH(QString, choice);
    QFETCH(bool, result);
    QString title;
    QString text;
    QString defaultText;
    whenShown<QMessageBox>([&](QMessageBox *box) {
        title = box->windowTitle();
        text = box->text();
        defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
        if (choice.isEmpty())
            box->reject();
        else
            buttonLabelled(box, choice)->click();
    });
    QCOMPARE(ovex.confirm("Leave?", "Question", "Go", "Stay"), result);
    QCOMPARE(title, QStringLiteral("Question"));
    QCOMPARE(text, QStringLiteral("Leave?"));
    QCOMPARE(defaultText, QStringLiteral("Go"));
}

void TestScriptDialogs::infoShowsTitleAndText()
{
    QString title;
    QString text;
    int buttons = 0;
    whenShown<QMessageBox>([&](QMessageBox *box) {
        title = box->windowTitle();
        text = box->text();
        buttons = box->buttons().size();
        box->accept();
    });
    ovex.info("Saved.", "Done");
    QCOMPARE(title, QStringLiteral("Done"));
    QCOMPARE(text, QStringLiteral("Saved."));
    QCOMPARE(buttons, 1);
}

void TestScriptDialogs::promptIntStartsFromTheDecimalDefault_data()
{
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<int>("initial");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("result");
    QTest::newRow("12abc is not a decimal integer and starts at 0") << "12abc" << 0 << -1 << "0";
    QTest::newRow("a decimal default is the start value") << "42" << 42 << -1 << "42";
    QTest::newRow("a chosen value comes back in decimal") << "42" << 42 << 1234567 << "1234567";
    QTest::newRow("values above the range stop at 10000000") << "99999999" << 10000000 << -1 << "10000000";
}

void TestScriptDialogs::promptIntStartsFromTheDecimalDefault()
{
    QFETCH(QString, defaultValue);
    QFETCH(int, initial);
    QFETCH(int, chosen);
    QFETCH(QString, result);
    int shown = -1;
    int minimum = -1;
    int maximum = -1;
    QString label;
    whenShown<QInputDialog>([&](QInputDialog *dialog) {
        shown = dialog->intValue();
        minimum = dialog->intMinimum();
        maximum = dialog->intMaximum();
        label = dialog->labelText();
        if (chosen >= 0)
            dialog->setIntValue(chosen);
        dialog->accept();
    });
    QCOMPARE(ovex.prompt("Count", "Title", defaultValue, "int"), result);
    QCOMPARE(shown, initial);
    QCOMPARE(minimum, 0);
    QCOMPARE(maximum, 10000000);
    QCOMPARE(label, QStringLiteral("Count"));
}

void TestScriptDialogs::promptDoubleGivesSixSignificantDigits_data()
{
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<double>("initial");
    QTest::addColumn<double>("chosen");
    QTest::addColumn<QString>("result");
    QTest::newRow("2.5 stays 2.5") << "1" << 1.0 << 2.5 << "2.5";
    QTest::newRow("1234567.5 goes to exponent notation") << "0" << 0.0 << 1234567.5 << "1.23457e+06";
    QTest::newRow("a default that is not a number starts at 0") << "abc" << 0.0 << -1.0 << "0";
    QTest::newRow("five decimals are kept, six digits shown") << "0" << 0.0 << 0.123456 << "0.12346";
}

void TestScriptDialogs::promptDoubleGivesSixSignificantDigits()
{
    QFETCH(QString, defaultValue);
    QFETCH(double, initial);
    QFETCH(double, chosen);
    QFETCH(QString, result);
    double shown = -1;
    int decimals = -1;
    whenShown<QInputDialog>([&](QInputDialog *dialog) {
        shown = dialog->doubleValue();
        decimals = dialog->doubleDecimals();
        if (chosen >= 0)
            dialog->setDoubleValue(chosen);
        dialog->accept();
    });
    QCOMPARE(ovex.prompt("Amount", "Title", defaultValue, "double"), result);
    QCOMPARE(shown, initial);
    QCOMPARE(decimals, 5);
}

void TestScriptDialogs::promptTextKinds_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<int>("echo");
    QTest::newRow("textarea is a multi-line editor") << "textarea" << true << int(QLineEdit::Normal);
    QTest::newRow("password is masked") << "password" << false << int(QLineEdit::Password);
    QTest::newRow("text is a plain field") << "text" << false << int(QLineEdit::Normal);
    QTest::newRow("Int with a capital I is a plain field") << "Int" << false << int(QLineEdit::Normal);
}

void TestScriptDialogs::promptTextKinds()
{
    QFETCH(QString, type);
    QFETCH(bool, multiLine);
    QFETCH(int, echo);
    QString initial;
    bool shownMultiLine = false;
    int shownEcho = -1;
    int mode = -1;
    whenShown<QInputDialog>([&](QInputDialog *dialog) {
        initial = dialog->textValue();
        mode = dialog->inputMode();
        shownMultiLine = dialog->testOption(QInputDialog::UsePlainTextEditForTextInput);
        shownEcho = dialog->textEchoMode();
        dialog->setTextValue(dialog->textValue() + " more");
        dialog->accept();
    });
    QCOMPARE(ovex.prompt("Name", "Title", "12abc", type), QStringLiteral("12abc more"));
    QCOMPARE(initial, QStringLiteral("12abc"));
    QCOMPARE(mode, int(QInputDialog::TextInput));
    QCOMPARE(shownMultiLine, multiLine);
    QCOMPARE(shownEcho, echo);
}

void TestScriptDialogs::cancelledPromptIsEmpty_data()
{
    QTest::addColumn<QString>("type");
    QTest::newRow("int") << "int";
    QTest::newRow("double") << "double";
    QTest::newRow("textarea") << "textarea";
    QTest::newRow("password") << "password";
    QTest::newRow("text") << "text";
}

void TestScriptDialogs::cancelledPromptIsEmpty()
{
    QFETCH(QString, type);
    whenShown<QInputDialog>([](QInputDialog *dialog) { dialog->reject(); });
    QCOMPARE(ovex.prompt("Value", "Title", "7", type), QString());
}

void TestScriptDialogs::openFileStartsInTheCurrentFolderAndGivesThePath()
{
    QFile file(dir.filePath("chosen.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QString startFolder;
    QString title;
    whenShown<QFileDialog>([&](QFileDialog *dialog) {
        startFolder = dialog->directory().absolutePath();
        title = dialog->windowTitle();
        choose(dialog, dir.filePath("chosen.txt"));
    });
    const QString chosen = ovex.openFile("Pick", "Text (*.txt)", QString());
    QDir::setCurrent(before);
    QCOMPARE(chosen, dir.filePath("chosen.txt"));
    QCOMPARE(startFolder, dir.path());
    QCOMPARE(title, QStringLiteral("Pick"));
}

void TestScriptDialogs::openFileCancelledIsEmpty()
{
    whenShown<QFileDialog>([](QFileDialog *dialog) { dialog->reject(); });
    QCOMPARE(ovex.openFile("Pick", QString(), dir.path()), QString());
    whenShown<QFileDialog>([](QFileDialog *dialog) { dialog->reject(); });
    QCOMPARE(ovex.openFiles("Pick", QString(), dir.path()), QStringList());
}

void TestScriptDialogs::openNewFileIsASaveChooserThatAsksBeforeOverwriting()
{
    int acceptMode = -1;
    bool confirms = false;
    whenShown<QFileDialog>([&](QFileDialog *dialog) {
        acceptMode = dialog->acceptMode();
        confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        choose(dialog, dir.filePath("new-name.txt"));
    });
    QCOMPARE(ovex.openNewFile("Save", "Text (*.txt)", dir.path()), dir.filePath("new-name.txt"));
    QCOMPARE(acceptMode, int(QFileDialog::AcceptSave));
    QVERIFY(confirms);
}

void TestScriptDialogs::openFilesGivesAList()
{
    QFile file(dir.filePath("one.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    int fileMode = -1;
    whenShown<QFileDialog>([&](QFileDialog *dialog) {
        fileMode = dialog->fileMode();
        choose(dialog, dir.filePath("one.txt"));
    });
    QCOMPARE(ovex.openFiles("Pick", QString(), dir.path()), QStringList {dir.filePath("one.txt")});
    QCOMPARE(fileMode, int(QFileDialog::ExistingFiles));
}

void TestScriptDialogs::openDirShowsFoldersOnly()
{
    QVERIFY(QDir(dir.path()).mkpath("folder"));
    bool dirsOnly = false;
    whenShown<QFileDialog>([&](QFileDialog *dialog) {
        dirsOnly = dialog->testOption(QFileDialog::ShowDirsOnly);
        choose(dialog, dir.filePath("folder"));
    });
    QCOMPARE(ovex.openDir("Folder", dir.path()), dir.filePath("folder"));
    QVERIFY(dirsOnly);
}

// The file dialogs keep their history in Qt's QtProject.conf: a test run must not write
// it into the real home folder.
void TestScriptDialogs::fileDialogHistoryStaysInTheBuildFolder()
{
    const QString buildFolder = QDir(QStringLiteral(TRESSIL_BIN_DIR "/..")).canonicalPath() + QLatin1Char('/');
    for (const QString &folder :
         {QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation), QDir::homePath()})
        QVERIFY2(QDir(folder).canonicalPath().startsWith(buildFolder), qPrintable(folder));
}

QTEST_MAIN(TestScriptDialogs)
#include "tst_scriptdialogs.moc"
