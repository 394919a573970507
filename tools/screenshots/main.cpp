// Writes a PNG of every tab of the main window in the middle of a test to the folder named on the
// command line. The window runs on a temporary folder with an in-memory serial line; the test's
// replies come from a 15-minute test with temperature, sampled every 10 s up to 14:50.
#include "memory_serial_line.h"
#include "platform/environment.h"
#include "window/form1.h"
#include "window_driving.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2 || !QDir().mkpath(arguments[1])) {
        std::fprintf(stderr, "usage: taliv-screenshots OUTDIR\n");
        return 2;
    }
    const QDir shots(arguments[1]);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTemporaryDir folder;
    QDir(folder.path()).mkdir("Serie7");
    QFile protocol(folder.filePath("Serie7.CSV"));
    if (!protocol.open(QIODevice::WriteOnly) || protocol.write("Test-Nr.;\r\n") < 0)
        return 1;
    protocol.close();

    auto serial = std::make_unique<MemorySerialLine>();
    MemorySerialLine& line = *serial;
    line.setPresentPorts({1});
    FormEnvironment environment;
    environment.programFolder = folder.path();
    environment.startFolder = folder.path();
    environment.serialBackend = std::move(serial);
    environment.answerer = [](int, const QString&, const QString&) { return MsgResult::Cancel; };
    Form1 window(std::move(environment));
    window.resize(1280, 800);
    window.show();
    line.deliver("*OK! RUN\r");
    Find<QComboBox>(window, "TabProtDatei").addItem("Serie7");
    const std::pair<const char*, const char*> texts[] {
        {"Text1", "Dispersionsfarbe weiß, seidenmatt"}, {"Text2", "A-2026-04711"},
        {"Text3", "CH 58213-B"}, {"Bem1", "Probe nach 24 h Lagerung bei Raumtemperatur"},
        {"Bem2", "Spindel 3, Becher 250 ml"}, {"Bem3", "Prüfer: M. Schneider"}};
    for (const auto& [name, text] : texts)
        Find<QLineEdit>(window, name).setText(QString::fromUtf8(text));
    Find<QRadioButton>(window, "TempOnOff1").click();
    Choose(&Find<QComboBox>(window, "Messzeit"), 0);
    Choose(&Find<QComboBox>(window, "MessZyklusTab"), 1);
    line.deliver("*S11\r");
    for (int sample = 0; sample < 90; ++sample)
        line.deliver(QString::asprintf("*I%08d\r*A000000%05d%05.1f\r", sample * 10,
            800 - sample * 500 / 89, 22.4 + sample * 0.015)
                         .toLatin1());

    auto& tabs = Find<QTabWidget>(window, "SSTab1");
    for (int tab = 0; tab < tabs.count(); ++tab) {
        tabs.setCurrentIndex(tab);
        QApplication::processEvents();
        const QString name = QString("tab%1.png").arg(tab);
        if (!window.grab().save(shots.filePath(name))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(shots.filePath(name)));
            return 1;
        }
        std::printf("%s\n", qPrintable(shots.filePath(name)));
    }
    return 0;
}
