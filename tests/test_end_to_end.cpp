// The built program against the instrument simulator on a pseudo-terminal: a test goes on across
// an unplugged adapter. (A whole series of tests of two programs is run in test_shared_protocol.)
#include "child_processes.h"
#include "platform/environment.h"
#include "platform/serial_port_backend.h"

#include <QPushButton>

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void aTestGoesOnAcrossAnUnpluggedAdapter();
};

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
    const QRegularExpression fieldsInPlace(R"(^\d\d:\d\d:\d\d ;[ \d.-]{5};[ \d.-]{5}$)");
    qint32 gaps = 0;
    for (qsizetype index = 1; index < lines.size(); ++index) {
        const qint32 step
            = ReadDataLine(lines[index]).seconds - ReadDataLine(lines[index - 1]).seconds;
        QVERIFY2(
            step >= 1 && fieldsInPlace.match(lines[index]).hasMatch(), qPrintable(lines[index]));
        gaps += step > 1 ? 1 : 0;
    }
    QCOMPARE(gaps, 1);
}

QTEST_MAIN(EndToEndTest)
#include "test_end_to_end.moc"
