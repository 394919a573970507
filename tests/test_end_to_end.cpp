// The built program against the instrument simulator on a pseudo-terminal.
#include "child_processes.h"
#include "platform/environment.h"
#include "platform/serial_port_backend.h"
#include "platform/status_bar.h"
#include "records/protocol_file.h"
#include "run/measurement_file.h"
#include "settings/settings_file.h"
#include "test_support.h"
#include "window/form1.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A whole test at the instrument's defaults: a sample every second for 15 minutes, 0 to 900 s.
constexpr qsizetype SamplesOfWholeTest = 901;
// Fast enough for a 15-minute test to take a few seconds.
const QString SimulatorSpeed = QStringLiteral("200");

// The viscosities of the data replies in the log, in tenths of a percent, in the order sent.
QList<int> ReportedViscosityTenths(const QByteArray& log)
{
    static const QRegularExpression sample(
        R"(^> \*A0{6}(\d{5}))", QRegularExpression::MultilineOption);
    QList<int> tenths;
    for (const QRegularExpressionMatch& match : sample.globalMatch(QString::fromLatin1(log)))
        tenths.append(match.captured(1).toInt());
    return tenths;
}

// The protocol file after `tests` finished tests at position 1: the header and one record per
// test, numbered from 1 in order. The program sends the end command before it writes the record,
// so the record may still be on its way.
void CheckSeriesRecord(const QTemporaryDir& folder, int tests = 1)
{
    const auto lines = [&] { return BytesOf(folder.filePath("Serie.CSV")).split('\n'); };
    QTRY_COMPARE_WITH_TIMEOUT(lines().size(), tests + 2, 10000);
    QCOMPARE(lines().at(0), CreatedHeaderLine().toLatin1() + '\r');
    for (int test = 1; test <= tests; ++test) {
        const QByteArray record = QByteArray::number(test).rightJustified(5, '0') + "-1;";
        QVERIFY2(lines().at(test).startsWith(record), lines().at(test).constData());
    }
    QVERIFY(lines().last().isEmpty());
}

// The lines of the settings file in the folder; empty when it cannot be read.
QStringList SettingsLinesIn(const QTemporaryDir& folder)
{
    QFile file(folder.filePath(SettingsFileName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (!bytes.endsWith("\r\n"))
        return {};
    return QString::fromLatin1(bytes.chopped(2)).split(QStringLiteral("\r\n"));
}

// One run of the program on the folder: the instrument starts a test by itself once the program
// has found it; when the program has answered the test's end, the program is closed. `log` gets
// the simulator's log.
void RunInstrumentStartedTest(const QTemporaryDir& folder, QByteArray& log)
{
    Simulator simulator({"--speed", SimulatorSpeed, "--start-after", "800"});
    const QString device = simulator.device();
    QVERIFY(device.startsWith("/dev/"));
    Program program(folder, device);
    QVERIFY(program.process.waitForStarted());
    const auto keepLog = qScopeGuard([&] { log = simulator.log; });
    const qsizetype ended = simulator.waitForLog("> *E11\n", 60000);
    QVERIFY2(ended >= 0, simulator.log.right(2000).constData());
    QVERIFY2(
        simulator.waitForLog("< E\n", 10000, ended) > ended, simulator.log.right(2000).constData());
    QVERIFY(program.stop());
    QVERIFY(simulator.stop());
}

// The file of a whole test: 11 header lines in Windows-1252 with CR LF, then one data line per
// reported sample, with its fields at their fixed places, a second apart and with the reported
// viscosity.
void CheckWholeTestFile(const QString& path, const QList<int>& reportedTenths)
{
    QCOMPARE(reportedTenths.size(), SamplesOfWholeTest);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    const QStringList lines = QString::fromLatin1(bytes.chopped(2)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), MeasurementFile::HeaderLineCount + reportedTenths.size());
    QCOMPARE(lines.at(0), QStringLiteral("Produkt-Bezeichnung;"));
    QCOMPARE(lines.at(10).toLatin1(), QByteArray("Messzeit;Viskosit\xE4t;Temperatur"));
    for (qsizetype index = 0; index < reportedTenths.size(); ++index) {
        const QString& line = lines.at(MeasurementFile::HeaderLineCount + index);
        const QByteArray where
            = "data line " + QByteArray::number(index + 1) + ": " + line.toLatin1();
        QVERIFY2(line.size() == 21 && line[2] == u':' && line[5] == u':' && line[8] == u' '
                && line[9] == u';' && line[15] == u';',
            where.constData());
        const StoredSample sample = ReadDataLine(line);
        QVERIFY2(sample.seconds == index, where.constData());
        QVERIFY2(qRound(sample.viscosity * 10) == reportedTenths.at(index), where.constData());
        QVERIFY2(sample.viscosity >= 0 && sample.viscosity <= 100, where.constData());
        QVERIFY2(sample.temperature >= 0 && sample.temperature <= 100, where.constData());
    }
    QCOMPARE(lines.last().left(8), QStringLiteral("00:15:00"));
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void findsTheSimulatorBehindMissingPorts();
    void recordsATestStartedByTheInstrument();
    void recordsATestStartedByTheStartButton();
    void aSeriesSurvivesARestart();
    void aTestGoesOnAcrossAnUnpluggedAdapter();
};

void EndToEndTest::findsTheSimulatorBehindMissingPorts()
{
    Simulator simulator({});
    const QString device = simulator.device();
    QVERIFY(device.startsWith("/dev/"));

    QTemporaryDir folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TALIV_COM1", folder.filePath("no-such-device-1"));
    environment.insert("TALIV_COM2", folder.filePath("no-such-device-2"));
    environment.insert("TALIV_COM3", device);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder.path());
    program.start(ProgramCopyIn(folder.path(), TALIV01_EXE), {});
    QVERIFY(program.waitForStarted());

    // Found: the probe was answered and the program has reset position 1 with "E".
    QVERIFY2(simulator.waitForLog("< E", 10000) >= 0, simulator.log.constData());
    const QByteArray& log = simulator.log;
    QVERIFY(log.indexOf("< RUN") < log.indexOf("*OK! RUN"));
    QVERIFY(log.indexOf("*OK! RUN") < log.indexOf("< E"));

    // SIGTERM closes the window as the user's close does: a normal end.
    program.terminate();
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    QVERIFY(simulator.stop());
}

// The instrument starts a test on its own, well after the program has found it, and ends it
// after its 15 minutes; the program records it in its start folder.
void EndToEndTest::recordsATestStartedByTheInstrument()
{
    // 800 simulated seconds are 4 s: the program has long found the instrument and reset
    // position 1 with "E", which would end a test started before.
    Simulator simulator({"--speed", SimulatorSpeed, "--start-after", "800"});
    const QString device = simulator.device();
    QVERIFY(device.startsWith("/dev/"));

    QTemporaryDir folder;
    MakeSeries(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TALIV_COM1", device);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder.path());
    program.start(ProgramCopyIn(folder.path(), TALIV01_EXE), {});
    QVERIFY(program.waitForStarted());

    const qsizetype found = simulator.waitForLog("< E\n", 30000);
    QVERIFY2(found >= 0, simulator.log.constData());
    const qsizetype started = simulator.waitForLog("> *S11\n", 30000);
    QVERIFY2(started >= 0, simulator.log.right(2000).constData());
    QVERIFY2(started > found, "the instrument started before the program had found it");
    const qsizetype ended = simulator.waitForLog("> *E11\n", 60000, started);
    QVERIFY2(ended > started, simulator.log.right(2000).constData());
    // The program's answer to the end.
    QVERIFY2(
        simulator.waitForLog("< E\n", 10000, ended) > ended, simulator.log.right(2000).constData());

    CheckWholeTestFile(
        folder.filePath("Serie/No-00001-1.CSV"), ReportedViscosityTenths(simulator.log));
    CheckSeriesRecord(folder);
    if (QTest::currentTestFailed())
        return;

    program.terminate();
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(simulator.stop());
}

// The user starts a test with Start; the instrument ends it after its 15 minutes and the button
// offers Start again.
void EndToEndTest::recordsATestStartedByTheStartButton()
{
    Simulator simulator({"--speed", SimulatorSpeed});
    const QString device = simulator.device();
    QVERIFY(device.startsWith("/dev/"));
    qputenv("TALIV_COM1", device.toLocal8Bit());
    const auto unsetPort = qScopeGuard([] { qunsetenv("TALIV_COM1"); });

    QTemporaryDir folder;
    MakeSeries(folder);
    QStringList questions;
    FormEnvironment environment;
    environment.programFolder = folder.path();
    environment.startFolder = folder.path();
    environment.serialBackend = std::make_unique<SerialPortBackend>();
    environment.answerer = [&questions](int, const QString& title, const QString& text) {
        questions.append(title + ": " + text);
        return MsgResult::Cancel;
    };
    Form1 window(std::move(environment));
    window.show();
    window.SSTab1->setCurrentIndex(1);
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTRY_COMPARE_WITH_TIMEOUT(window.StBar1->panelText(5), QStringLiteral("COM1: OK"), 30000);
    QPushButton& start = *window.Start[1];
    QCOMPARE(start.text(), QStringLiteral("Start"));
    QTest::mouseClick(&start, Qt::LeftButton);
    QCOMPARE(start.text(), QStringLiteral("Stop"));
    QTRY_COMPARE_WITH_TIMEOUT(start.text(), QStringLiteral("Start"), 60000);
    QVERIFY2(simulator.waitForLog("> *E11\n", 10000) >= 0, simulator.log.right(2000).constData());

    CheckWholeTestFile(
        folder.filePath("Serie/No-00001-1.CSV"), ReportedViscosityTenths(simulator.log));
    CheckSeriesRecord(folder);
    QVERIFY2(questions.isEmpty(), qPrintable(questions.join(u'\n')));
    QVERIFY(simulator.stop());
}

// The program is closed after a test and started again on the same folder: once it has found the
// instrument it sends the stored run parameters again, and the next test continues the numbering
// of the protocol file.
void EndToEndTest::aSeriesSurvivesARestart()
{
    QTemporaryDir folder;
    MakeSeries(folder);
    QByteArray firstLog;
    RunInstrumentStartedTest(folder, firstLog);
    if (QTest::currentTestFailed())
        return;

    // Lines 8-19 name the protocol file in use.
    QStringList settings = SettingsLinesIn(folder);
    QCOMPARE(settings.size(), 19);
    for (int line = 8; line <= 19; ++line)
        QCOMPARE(settings.at(line - 1), QStringLiteral("Serie"));
    // Nothing was chosen in the first run: no cycle, the first duration, temperature off.
    bool cycleRead = false;
    bool durationRead = false;
    const int cycle = settings.at(2).trimmed().toInt(&cycleRead);
    const int duration = settings.at(3).trimmed().toInt(&durationRead);
    QVERIFY(cycleRead && durationRead);
    QCOMPARE(duration, 0);
    QCOMPARE(settings.at(5), QStringLiteral("0"));
    // What the program sends once it has found the instrument, before it resets position 1.
    QByteArray parameters;
    if (cycle >= 0)
        parameters += "< M" + QByteArray(1, char(48 + cycle)) + '\n';
    parameters += "< D" + QByteArray::number(duration + 1) + "\n< T0\n< E\n";

    QByteArray secondLog;
    RunInstrumentStartedTest(folder, secondLog);
    if (QTest::currentTestFailed())
        return;
    const qsizetype probed = secondLog.indexOf("> *OK! RUN\n");
    QVERIFY2(probed >= 0, secondLog.left(2000).constData());
    QVERIFY2(secondLog.indexOf(parameters, probed) > probed, secondLog.left(2000).constData());

    CheckWholeTestFile(folder.filePath("Serie/No-00001-1.CSV"), ReportedViscosityTenths(firstLog));
    CheckWholeTestFile(folder.filePath("Serie/No-00002-1.CSV"), ReportedViscosityTenths(secondLog));
    CheckSeriesRecord(folder, 2);
    settings = SettingsLinesIn(folder);
    QCOMPARE(settings.size(), 19);
    QCOMPARE(settings.last(), QStringLiteral("Serie"));
}

// The simulated adapter is pulled out in the middle of a test and put back under another device:
// the program finds it again through its link, the test goes on in the same file and ends once.
void EndToEndTest::aTestGoesOnAcrossAnUnpluggedAdapter()
{
    QTemporaryDir folder;
    MakeSeries(folder);
    const QString link = folder.filePath("com1");
    Simulator simulator({"--link", link, "--speed", "50"});
    QVERIFY(simulator.device().startsWith("/dev/"));
    qputenv("TALIV_COM1", link.toLocal8Bit());
    const auto unsetPort = qScopeGuard([] { qunsetenv("TALIV_COM1"); });
    FormEnvironment environment;
    environment.programFolder = folder.path();
    environment.startFolder = folder.path();
    environment.serialBackend = std::make_unique<SerialPortBackend>();
    environment.answerer = [](int, const QString&, const QString&) { return MsgResult::Cancel; };
    Form1 window(std::move(environment));
    QTRY_COMPARE_WITH_TIMEOUT(window.StBar1->panelText(5), QStringLiteral("COM1: OK"), 30000);
    const QString file = folder.filePath("Serie/No-00001-1.CSV");
    const auto dataLines = [&file] {
        QFile measurement(file);
        return measurement.open(QIODevice::ReadOnly)
            ? int(measurement.readAll().count('\n')) - MeasurementFile::HeaderLineCount
            : 0;
    };

    window.Start_Click(1);
    QTRY_VERIFY_WITH_TIMEOUT(dataLines() > 100, 30000);
    simulator.process.write("unplug\n");
    const qsizetype unplugged = simulator.waitForLog("! device unplugged", 5000);
    QVERIFY(unplugged >= 0);
    QTRY_COMPARE_WITH_TIMEOUT(
        window.StBar1->panelText(5), QStringLiteral("COM1: Verbindung unterbrochen"), 10000);
    const int linesBeforeTheReturn = dataLines();
    QTest::qWait(1500);
    QCOMPARE(window.Start[1]->text(), QStringLiteral("Stop"));
    QCOMPARE(dataLines(), linesBeforeTheReturn);
    simulator.process.write("plug\n");
    QTRY_COMPARE_WITH_TIMEOUT(window.StBar1->panelText(5), QStringLiteral("COM1: OK"), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(dataLines() > linesBeforeTheReturn, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(window.Start[1]->text(), QStringLiteral("Start"), 60000);

    const qsizetype ended = simulator.waitForLog("> *E11\n", 10000, unplugged);
    QVERIFY2(ended > unplugged, simulator.log.right(2000).constData());
    const QByteArray whileAway = simulator.log.mid(unplugged, ended - unplugged);
    QVERIFY2(!whileAway.contains("< RUN") && !whileAway.contains("< E\n"), whileAway.constData());
    QFile measurement(file);
    QVERIFY(measurement.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(measurement.readAll())
                                  .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)
                                  .mid(MeasurementFile::HeaderLineCount);
    QVERIFY(lines.size() < SamplesOfWholeTest);
    for (qsizetype index = 1; index < lines.size(); ++index)
        QVERIFY(ReadDataLine(lines.at(index)).seconds > ReadDataLine(lines.at(index - 1)).seconds);
    QCOMPARE(lines.last().left(8), QStringLiteral("00:15:00"));
    CheckSeriesRecord(folder);
    QVERIFY(simulator.stop());
}

QTEST_MAIN(EndToEndTest)
#include "test_end_to_end.moc"
