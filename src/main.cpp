#include "platform/environment.h"
#include "platform/serial_port_backend.h"
#include "platform/termination_signals.h"
#include "window/close_on_signal.h"
#include "window/form1.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

namespace {

// A program installed into a prefix (bin/taliv01 beside share/applications/taliv01.desktop): its
// folder is the system's, even where it could be written.
bool IsInstalled(const QString& programFolder)
{
    return QFileInfo::exists(
        programFolder + QStringLiteral("/../share/applications/taliv01.desktop"));
}

} // namespace

int main(int argc, char* argv[])
{
    TerminationSignals::Catch();
    QApplication application(argc, argv);
    // Qt's own dialogs (printing, files) speak German like the rest of the window.
    QTranslator qtGerman;
    if (qtGerman.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtGerman);
    FormEnvironment environment;
    environment.programFolder = QApplication::applicationDirPath();
    environment.userConfigFolder
        = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    environment.settingsBesideProgram = !IsInstalled(environment.programFolder);
    environment.arguments = QApplication::arguments().mid(1);
    // Started from the desktop menu the working folder may be the root: the home serves instead.
    environment.startFolder
        = QDir::currentPath() == QDir::rootPath() ? QDir::homePath() : QDir::currentPath();
    environment.serialBackend = std::make_unique<SerialPortBackend>();
    environment.lineLog = LineLog::FromEnvironment();
    Form1 window(std::move(environment));
    CloseOnTerminationSignals(&window);
    window.show();
    return QApplication::exec();
}
