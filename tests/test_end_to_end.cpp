// The built program against the instrument simulator on a pseudo-terminal.
#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Reads the simulator's log until it holds the text; false when the deadline passes first.
bool WaitForLog(QProcess& simulator, QByteArray& log, const QByteArray& text, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!log.contains(text) && !deadline.hasExpired()) {
        simulator.waitForReadyRead(100);
        log += simulator.readAllStandardError();
    }
    return log.contains(text);
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void findsTheSimulatorBehindMissingPorts();
};

void EndToEndTest::findsTheSimulatorBehindMissingPorts()
{
    QProcess simulator;
    simulator.start(QTM_SIMULATOR_EXE, {});
    QVERIFY(simulator.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(simulator.canReadLine() || simulator.waitForReadyRead(100), 5000);
    const QString device = QString::fromLocal8Bit(simulator.readLine()).trimmed();
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
    program.start(TALIV01_EXE, {});
    QVERIFY(program.waitForStarted());

    // Found: the probe was answered and the program has reset position 1 with "E".
    QByteArray log;
    QVERIFY2(WaitForLog(simulator, log, "< E", 10000), log.constData());
    QVERIFY(log.indexOf("< RUN") < log.indexOf("*OK! RUN"));
    QVERIFY(log.indexOf("*OK! RUN") < log.indexOf("< E"));

    // SIGTERM closes the window as the user's close does: a normal end.
    program.terminate();
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    simulator.terminate();
    QVERIFY(simulator.waitForFinished(5000));
}

QTEST_GUILESS_MAIN(EndToEndTest)
#include "test_end_to_end.moc"
