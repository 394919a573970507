#include "platform/environment.h"
#include "platform/serial_port_backend.h"
#include "platform/termination_signals.h"
#include "window/close_on_signal.h"
#include "window/form1.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

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
    environment.arguments = QApplication::arguments().mid(1);
    environment.startFolder = QDir::currentPath();
    environment.serialBackend = std::make_unique<SerialPortBackend>();
    Form1 window(std::move(environment));
    CloseOnTerminationSignals(&window);
    window.show();
    return QApplication::exec();
}
