// The built program against the instrument simulator on a pseudo-terminal.
#include "child_processes.h"
#include "platform/environment.h"
#include "platform/serial_port_backend.h"

#include <QPushButton>
#include <QTest>

namespace {

// The viscosities, in tenths of a percent, of the samples a second apart that the instrument
// reports in its test.
const QList<int> ReportedTenths {800, 640, 512, 410, 328};

// Once the program has found the instrument and reset position 1 with "E", the instrument starts a
// test, reports its samples and ends it; the program answers the end with "E".
QByteArray InstrumentTest()
{
    QByteArray script = "expect E\n*S11\n";
    for (int second = 0; second < ReportedTenths.size(); ++second)
        script += QString::asprintf("*I%08d\n*A000000%05d000.0\n", second, ReportedTenths[second])
                      .toLatin1();
    return script + "*E11\nexpect E\n";
}

bool FieldsInPlace(const QString& line)
{
    return line.size() == 21 && line[2] == u':' && line[5] == u':' && line[8] == u' '
        && line[9] == u';' && line[15] == u';';
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void recordsATestOfTheInstrument();
    void aTestGoesOnAcrossAnUnpluggedAdapter();
};

// The program finds the instrument behind two ports that lead nowhere, records the test the
// instrument starts in its measurement file and the protocol, and ends normally at SIGTERM.
void EndToEndTest::recordsATestOfTheInstrument()
{
    QTemporaryDir folder;
    MakeSeries(folder);
    Simulator simulator(ScriptArguments(folder, "script.txt", InstrumentTest()));
    const QString device = simulator.device();
    QVERIFY(device.startsWith("/dev/"));
    Program program(folder.path(), folder.path(), device, 2);

    QVERIFY2(simulator.waitForLog("! script finished", 60000) >= 0,
        simulator.log.right(2000).constData());
    const QByteArray& log = simulator.log;
    const qsizetype answered = log.indexOf("> *OK! RUN\n");
    QVERIFY(log.indexOf("< RUN\n") >= 0 && log.indexOf("< RUN\n") < answered);
    QVERIFY(answered < log.indexOf("< E\n"));

    QTRY_COMPARE_WITH_TIMEOUT(Records(folder).size(), 1, 20000);
    QVERIFY2(Records(folder).first().startsWith("00001-1;"), qPrintable(Records(folder).first()));
    const QStringList lines = DataLines(folder.filePath("Serie/No-00001-1.CSV"));
    QCOMPARE(lines.size(), ReportedTenths.size());
    for (qsizetype second = 0; second < lines.size(); ++second) {
        QVERIFY2(FieldsInPlace(lines[second]), qPrintable(lines[second]));
        const StoredSample sample = ReadDataLine(lines[second]);
        QCOMPARE(sample.seconds, second);
        QCOMPARE(qRound(sample.viscosity * 10), ReportedTenths[second]);
    }
    QVERIFY(program.stop());
}

// The adapter is pulled out in the middle of a 5-hour test and put back under another device: the
// program opens it again through its link without sending anything, the test goes on in the same
// file after a gap, and Stop ends it once.
void EndToEndTest::aTestGoesOnAcrossAnUnpluggedAdapter()
{
    QTemporaryDir folder;
    MakeSeries(folder);
    const QString link = folder.filePath("com1");
    Simulator simulator({"--link", link, "--speed", "100"});
    QVERIFY(simulator.device().startsWith("/dev/"));
    // Every port of the search leads to the link, so that a probe lost while the line settles is
    // answered at the next tick. (A Program sets its ports itself.)
    for (int port = 1; port <= InstrumentLink::LastSearchPort; ++port)
        qputenv(qPrintable(QString("TALIV_COM%1").arg(port)), link.toLocal8Bit());
    FormEnvironment environment;
    environment.programFolder = folder.path();
    environment.startFolder = folder.path();
    environment.serialBackend = std::make_unique<SerialPortBackend>();
    environment.answerer = [](int, const QString&, const QString&) { return MsgResult::Cancel; };
    Form1 window(std::move(environment));
    const auto port = [&window] { return PanelText(window, 5); };
    QTRY_VERIFY_WITH_TIMEOUT(port().endsWith(": OK"), 30000);
    const QString connected = port();
    Choose(&Find<QComboBox>(window, "Messzeit"), 4);
    const QString file = folder.filePath("Serie/No-00001-1.CSV");
    QPushButton& start = Find<QPushButton>(window, "Start1");

    start.click();
    QTRY_VERIFY_WITH_TIMEOUT(DataLines(file).size() > 10, 30000);
    simulator.process.write("unplug\n");
    const qsizetype unplugged = simulator.waitForLog("! device unplugged", 20000);
    QVERIFY(unplugged >= 0);
    QTRY_COMPARE_WITH_TIMEOUT(port(), connected.chopped(2) + "Verbindung unterbrochen", 20000);
    QCOMPARE(start.text(), QStringLiteral("Stop"));
    // Samples measured meanwhile are lost.
    QVERIFY(simulator.waitForLog("> *A", 20000, simulator.waitForLog("> *A", 20000, unplugged) + 1)
        > unplugged);
    const qsizetype linesBeforeTheReturn = DataLines(file).size();
    simulator.process.write("plug\n");
    QTRY_COMPARE_WITH_TIMEOUT(port(), connected, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(DataLines(file).size() > linesBeforeTheReturn + 10, 20000);
    simulator.waitForLog({}, 0);
    const QByteArray sinceTheLoss = simulator.log.mid(unplugged);
    QVERIFY2(!sinceTheLoss.contains("\n< "), sinceTheLoss.constData());
    start.click();
    QCOMPARE(start.text(), QStringLiteral("Start"));
    QVERIFY(simulator.waitForLog("< E\n", 20000, unplugged) > unplugged);

    QCOMPARE(Records(folder).size(), 1);
    const QStringList lines = DataLines(file);
    qint32 gaps = 0;
    for (qsizetype index = 1; index < lines.size(); ++index) {
        const qint32 step
            = ReadDataLine(lines[index]).seconds - ReadDataLine(lines[index - 1]).seconds;
        QVERIFY2(step >= 1 && FieldsInPlace(lines[index]), qPrintable(lines[index]));
        gaps += step > 1 ? 1 : 0;
    }
    QCOMPARE(gaps, 1);
}

QTEST_MAIN(EndToEndTest)
#include "test_end_to_end.moc"
