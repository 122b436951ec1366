#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// Whether the host can open windows, asked before the QApplication exists: without a
/// display, Qt's default platform aborts the process with a message about reinstalling
/// the application, which sends users the wrong way.
class DisplayCheck
{
public:
    /// The values of the environment variables that decide the platform.
    struct Environment {
        QByteArray display; ///< DISPLAY
        QByteArray waylandDisplay; ///< WAYLAND_DISPLAY
        QByteArray platform; ///< QT_QPA_PLATFORM
    };

    /// The process's own environment.
    static Environment current();

    /// One line saying that a display is needed and how to run without one, or "" when a
    /// display is named or a platform is chosen (QT_QPA_PLATFORM, or Qt's -platform among
    /// `toolkitArguments`): the choice is then Qt's to honour or report.
    static QString problem(const Environment &environment, const QStringList &toolkitArguments);
};
