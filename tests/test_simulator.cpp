// End-to-end tests of the instrument simulator: the built program is started as a process and
// talked to through its pseudo-terminal, as the measuring program would.

#include <QSerialPort>
#include <QtTest>
#include <algorithm>
#include <csignal>

namespace {

constexpr int waitLimitMs = 10000;

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The simulator as a child process; its log goes to a file so that it can never block on a full
// pipe, and is shown when a test fails. "%FILE%" in the arguments names a file that holds `file`.
class Simulator {
public:
    explicit Simulator(QStringList arguments, const QByteArray& file = {})
    {
        QFile given(filePath);
        if (!given.open(QIODevice::WriteOnly) || given.write(file) != file.size() || !given.flush())
            return;
        process.setStandardErrorFile(folder.filePath("simulator.log"));
        process.start(QTM_SIMULATOR_EXE, arguments.replaceInStrings("%FILE%", filePath));
        const QDeadlineTimer deadline(waitLimitMs);
        while (!process.canReadLine() && process.waitForReadyRead(int(deadline.remainingTime()))) {
        }
        devicePath = QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    ~Simulator()
    {
        if (QTest::currentTestFailed())
            qWarning().noquote() << readFile(folder.filePath("simulator.log")).right(3000);
        process.kill();
        process.waitForFinished(waitLimitMs);
    }

    // Whether the simulator ends by itself, or after `signalNumber`, with `exitCode`.
    bool endsWith(int exitCode, int signalNumber = 0)
    {
        if (signalNumber != 0)
            ::kill(pid_t(process.processId()), signalNumber);
        return (process.state() == QProcess::NotRunning || process.waitForFinished(waitLimitMs))
            && process.exitStatus() == QProcess::NormalExit && process.exitCode() == exitCode;
    }

    QTemporaryDir folder;
    const QString filePath = folder.filePath("given");
    QProcess process;
    QString devicePath;
};

// The client's end of the device, opened as the measuring program opens its port.
class Port : public QSerialPort {
public:
    explicit Port(const QString& path)
    {
        setPortName(path);
        open(QIODevice::ReadWrite);
    }

    bool send(const QByteArray& bytes)
    {
        const bool accepted = write(bytes) == bytes.size();
        while (bytesToWrite() > 0 && waitForBytesWritten(waitLimitMs)) { }
        return accepted && bytesToWrite() == 0;
    }

    // The next reply without its CR LF, or a marker when none is complete before the deadline.
    QByteArray nextLine(const QDeadlineTimer& deadline)
    {
        while (!canReadLine() && waitForReadyRead(int(deadline.remainingTime()))) { }
        if (!canReadLine())
            return "<no reply>";
        const QByteArray line = readLine();
        return line.endsWith("\r\n") ? line.chopped(2) : "<no CR LF> " + line;
    }

    // Exactly `count` bytes, or fewer when the deadline passes first.
    QByteArray readBytes(qsizetype count, const QDeadlineTimer& deadline)
    {
        while (bytesAvailable() < count && waitForReadyRead(int(deadline.remainingTime()))) { }
        return read(count);
    }
};

const QRegularExpression dataLayout(QStringLiteral(R"(^\*A000000(\d{5})(\d{3}\.\d)$)"));

// The next reply matched against the layout of "*A".
QRegularExpressionMatch nextData(Port& port, const QDeadlineTimer& deadline)
{
    return dataLayout.match(QString::fromLatin1(port.nextLine(deadline)));
}

QByteArray elapsedLine(int seconds)
{
    return "*I" + QByteArray::number(seconds).rightJustified(8, '0');
}

// Whether the process has a descriptor open on the given device.
bool holdsOpen(qint64 pid, const QString& device)
{
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(pid));
    const QFileInfoList entries
        = descriptors.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    return std::any_of(entries.begin(), entries.end(),
        [&](const QFileInfo& entry) { return entry.symLinkTarget() == device; });
}

} // namespace

class TestSimulator : public QObject {
    Q_OBJECT

private slots:
    // The probe is answered whatever the line end. The sentinel script answers "PING" with
    // "PONG", so any extra or missing answer before it shows.
    void probeIsAnswered_data()
    {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<int>("answers");

        QTest::newRow("LF CR") << QByteArrayList {"RUN\n\r"} << 1;
        QTest::newRow("CR LF") << QByteArrayList {"RUN\r\n"} << 1;
        QTest::newRow("CR") << QByteArrayList {"RUN\r"} << 1;
        QTest::newRow("LF") << QByteArrayList {"RUN\n"} << 1;
        QTest::newRow("split over writes") << QByteArrayList {"R", "U", "N\n", "\r"} << 1;
        QTest::newRow("two in one write, empty lines around")
            << QByteArrayList {"\r\n\n\rRUN\rRUN\n\r\r"} << 2;
        QTest::newRow("garbage and lower case are no probe")
            << QByteArrayList {QByteArray("\x00\xff\x1b\r", 4), "run\r", "RUN\r"} << 1;
        QTest::newRow("overlong line is dropped whole")
            << QByteArrayList {QByteArray(2000, 'X') + "RUN\r", "RUN\r"} << 1;
    }

    void probeIsAnswered()
    {
        QFETCH(QByteArrayList, chunks);
        QFETCH(int, answers);
        Simulator simulator({"--script", "%FILE%"}, "expect PING\nPONG\n");
        Port port(simulator.devicePath);
        for (const QByteArray& chunk : chunks + QByteArrayList {"PING\r"})
            QVERIFY(port.send(chunk));
        const QDeadlineTimer deadline(waitLimitMs);
        for (int i = 0; i < answers; ++i)
            QCOMPARE(port.nextLine(deadline), QByteArray("*OK! RUN"));
        QCOMPARE(port.nextLine(deadline), QByteArray("PONG"));
    }

    void measurementReplies_data()
    {
        QTest::addColumn<QByteArray>("commands");
        QTest::addColumn<int>("cycleSeconds");
        QTest::addColumn<int>("durationSeconds");
        QTest::addColumn<bool>("temperatureOn");

        QTest::newRow("defaults: every second, 15 min") << QByteArray("S\n\r") << 1 << 900 << false;
        QTest::newRow("1 min, 2 h") << QByteArray("M6\n\rD4\n\rS\n\r") << 60 << 7200 << false;
        QTest::newRow("60 min, 100 h")
            << QByteArray("Mq\n\rD9\n\rT1\n\rS\n\r") << 3600 << 360000 << true;
        QTest::newRow("cycle longer than the test")
            << QByteArray("Mq\n\rD1\n\rS\n\r") << 3600 << 900 << false;
        QTest::newRow("invalid parameters keep the last valid")
            << QByteArray("D2\rD0\rDx\rD\rM5\rMr\rM/\rM\rT1\rT2\rS\r") << 50 << 1800 << true;
    }

    void measurementReplies()
    {
        QFETCH(QByteArray, commands);
        QFETCH(int, cycleSeconds);
        QFETCH(int, durationSeconds);
        QFETCH(bool, temperatureOn);
        // Each test runs about half a second; the fraction exercises a fractional speed.
        Simulator simulator({"--speed", QString::number(durationSeconds * 2 + 0.5)});
        Port port(simulator.devicePath);
        QVERIFY(port.send(commands));

        const QDeadlineTimer deadline(waitLimitMs);
        QList<int> viscosities;
        for (int elapsed = 0; elapsed <= durationSeconds; elapsed += cycleSeconds) {
            QCOMPARE(port.nextLine(deadline), elapsedLine(elapsed));
            const QRegularExpressionMatch data = nextData(port, deadline);
            const double celsius = data.captured(2).toDouble();
            QVERIFY(data.hasMatch() && data.captured(1).toInt() <= 1000);
            QVERIFY(temperatureOn ? celsius >= 15.0 && celsius <= 35.0 : celsius == 0.0);
            viscosities.append(data.captured(1).toInt());
        }
        QCOMPARE(port.nextLine(deadline), QByteArray("*E11"));
        QVERIFY(viscosities.size() == 1 || viscosities.first() > viscosities.last());
    }

    // With --start-after the instrument reports "*S11" and measures; the "T1" and "S" that the
    // program answers with switch the temperature on without restarting the test. "E" ends it:
    // a new "S" then starts a fresh test instead of being ignored as a start during a test.
    void startedTestRunsUntilEnd_data()
    {
        QTest::addColumn<QString>("startAfter");

        QTest::newRow("at once") << "0";
        QTest::newRow("after 2.5 s") << "2.5";
    }

    void startedTestRunsUntilEnd()
    {
        QFETCH(QString, startAfter);
        Simulator simulator({"--speed", "600", "--start-after", startAfter});
        Port port(simulator.devicePath);
        const QDeadlineTimer deadline(waitLimitMs);
        QCOMPARE(port.nextLine(deadline), QByteArray("*S11"));
        QVERIFY(port.send("T1\n\rS\n\r"));
        QString temperature = "000.0";
        for (int elapsed = 0; temperature == "000.0"; ++elapsed) {
            QCOMPARE(port.nextLine(deadline), elapsedLine(elapsed));
            temperature = nextData(port, deadline).captured(2);
        }
        QVERIFY(!temperature.isEmpty());
        QVERIFY(port.send("E\rRUN\r"));
        while (port.nextLine(deadline) != "*OK! RUN")
            QVERIFY(!deadline.hasExpired());
        QVERIFY(port.send("S\r"));
        QCOMPARE(port.nextLine(deadline), elapsedLine(0));
    }

    void scriptIsPlayed_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QByteArray>("commands");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("comments, blank lines, CR LF file, escapes, no line end")
            << QByteArray("# comment\r\n\r\n*S11\r\n  \n\\x23 text\n\\x77ait 5\n"
                          "a\\r\\nb\n\\x01\\x7E\\\\\npart\\c\nial\nx\\r\\c\n")
            << QByteArray()
            << QByteArray("*S11\r\n  \r\n# text\r\nwait 5\r\na\r\nb\r\n\x01~\\\r\npartial\r\nx\r");
        // Each expect takes one command and skips others; a command sent during a wait is kept;
        // "S" does not start a measurement.
        QTest::newRow("expect and wait")
            << QByteArray("expect S\nONE\nexpect S\nTWO\nwait 300\nexpect D2\nEND\n")
            << QByteArray("RUN\rM0\rD1\rE\rS\rRUN\rS\rD2\r")
            << QByteArray("*OK! RUN\r\nONE\r\n*OK! RUN\r\nTWO\r\nEND\r\n");
    }

    void scriptIsPlayed()
    {
        QFETCH(QByteArray, script);
        QFETCH(QByteArray, commands);
        QFETCH(QByteArray, expected);
        Simulator simulator({"--speed", "600", "--script", "%FILE%"}, script);
        Port port(simulator.devicePath);
        QVERIFY(port.send(commands));
        QCOMPARE(port.readBytes(expected.size(), QDeadlineTimer(waitLimitMs)), expected);
    }

    // The program under test closes and re-opens ports while it searches for the instrument. The
    // simulator holds the device open itself, so the client's closing is no hang-up for it. The
    // link is made, replacing an existing symbolic link, and removed on a clean exit.
    void deviceIsServedAcrossReopening_data()
    {
        QTest::addColumn<QString>("existingTarget");
        QTest::addColumn<int>("signalNumber");

        QTest::newRow("new link, SIGINT") << QString() << int(SIGINT);
        QTest::newRow("stale link replaced, SIGTERM") << "/nonexistent/device" << int(SIGTERM);
        QTest::newRow("link to another file replaced") << "/dev/null" << int(SIGTERM);
    }

    void deviceIsServedAcrossReopening()
    {
        QFETCH(QString, existingTarget);
        QFETCH(int, signalNumber);
        QTemporaryDir folder;
        const QString link = folder.filePath("com1");
        QVERIFY(existingTarget.isEmpty() || QFile::link(existingTarget, link));

        Simulator simulator({"--link", link});
        QCOMPARE(QFileInfo(link).symLinkTarget(), simulator.devicePath);
        for (const QString& path : {link, simulator.devicePath, link}) {
            Port port(path);
            QVERIFY(port.send("RUN\n\r"));
            QCOMPARE(port.nextLine(QDeadlineTimer(waitLimitMs)), QByteArray("*OK! RUN"));
        }
        QVERIFY(holdsOpen(simulator.process.processId(), simulator.devicePath));
        QVERIFY(simulator.endsWith(0, signalNumber));
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    // A mistaken command line or script ends the simulator with exit code 2 before it announces a
    // device, and leaves the given file alone.
    void badInvocationIsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("file");

        QTest::newRow("speed 0") << QStringList {"--speed", "0"} << QByteArray();
        QTest::newRow("negative start") << QStringList {"--start-after", "-1"} << QByteArray();
        QTest::newRow("unknown option") << QStringList {"--bogus"} << QByteArray();
        QTest::newRow("link over a plain file")
            << QStringList {"--link", "%FILE%"} << QByteArray("keep");
        QTest::newRow("unknown escape")
            << QStringList {"--script", "%FILE%"} << QByteArray("ok\nbad \\q\n");
        QTest::newRow("script with start-after")
            << QStringList {"--script", "%FILE%", "--start-after", "1"} << QByteArray("x\n");
    }

    void badInvocationIsRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, file);
        Simulator simulator(arguments, file);
        QVERIFY(simulator.endsWith(2));
        QVERIFY(simulator.devicePath.isEmpty());
        QCOMPARE(readFile(simulator.filePath), file);
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "test_simulator.moc"
