// End-to-end tests of the instrument simulator: the built program is started as a process and
// talked to through its pseudo-terminal, as the measuring program would.

#include <QSerialPort>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
        process.setStandardErrorFile(logPath);
        process.start(QTM_SIMULATOR_EXE, arguments.replaceInStrings("%FILE%", filePath));
        const QDeadlineTimer deadline(waitLimitMs);
        while (!process.canReadLine() && process.waitForReadyRead(int(deadline.remainingTime()))) {
        }
        devicePath = QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    ~Simulator()
    {
        if (QTest::currentTestFailed())
            qWarning().noquote() << readFile(logPath).right(3000);
        process.kill();
        process.waitForFinished(waitLimitMs);
    }

    // Whether the simulator ends by itself, or after `signalNumber`, with `exitCode` in time.
    bool endsWith(int exitCode, int signalNumber = 0, int limitMs = waitLimitMs)
    {
        if (signalNumber != 0)
            ::kill(pid_t(process.processId()), signalNumber);
        return (process.state() == QProcess::NotRunning || process.waitForFinished(limitMs))
            && process.exitStatus() == QProcess::NormalExit && process.exitCode() == exitCode;
    }

    QTemporaryDir folder;
    const QString filePath = folder.filePath("given");
    const QString logPath = folder.filePath("simulator.log");
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
        return write(bytes) == bytes.size() && waitForBytesWritten(waitLimitMs);
    }

    // The next reply without its CR LF, or a marker when none is complete before the deadline.
    QByteArray nextLine(const QDeadlineTimer& deadline)
    {
        while (!canReadLine() && waitForReadyRead(int(deadline.remainingTime()))) { }
        return canReadLine() ? readLine().chopped(2) : "<no reply>";
    }

    // Exactly `count` bytes, or fewer when the deadline passes first.
    QByteArray readBytes(qsizetype count, const QDeadlineTimer& deadline)
    {
        while (bytesAvailable() < count && waitForReadyRead(int(deadline.remainingTime()))) { }
        return read(count);
    }
};

// The next reply matched against the layout of "*A": viscosity and temperature.
QRegularExpressionMatch nextData(Port& port, const QDeadlineTimer& deadline)
{
    static const QRegularExpression layout(R"(^\*A000000(\d{5})(\d{3}\.\d)$)");
    return layout.match(QString::fromLatin1(port.nextLine(deadline)));
}

QByteArray elapsedLine(int seconds)
{
    return "*I" + QByteArray::number(seconds).rightJustified(8, '0');
}

// The elapsed times of the samples of a test.
QList<int> samplesEvery(int cycleSeconds, int durationSeconds)
{
    QList<int> elapsed;
    for (int seconds = 0; seconds <= durationSeconds; seconds += cycleSeconds)
        elapsed.append(seconds);
    return elapsed;
}

} // namespace

class TestSimulator : public QObject {
    Q_OBJECT

private slots:
    // The replies to a script and the commands sent meanwhile, byte for byte. The probe rows use a
    // script that answers "PING" with "PONG", so any extra or missing "*OK! RUN" before it shows.
    void repliesFollowScriptAndCommands_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QByteArray>("commands"); // "|" separates writes
        QTest::addColumn<QByteArray>("expected");

        const QByteArray pong = "expect PING\nPONG\n";
        const QByteArray ok = "*OK! RUN\r\n";
        QTest::newRow("probe: every line end, empty lines, split over writes")
            << pong << QByteArray("\r\n\n\rRUN\n\rRUN\r\nRUN\rRUN\n\r\rR|U|N\n|\rPING\r")
            << ok.repeated(5) + "PONG\r\n";
        QTest::newRow("garbage, lower case and overlong lines are no probe")
            << pong
            << QByteArray("\x00\xff\x1b\r|run\r", 9) + QByteArray(2000, 'X') + "RUN\r|RUN\rPING\r"
            << ok + "PONG\r\n";
        QTest::newRow("comments, blank lines, mixed line ends, escapes, no line end")
            << QByteArray("# comment\r\n\r*S11\r  \n\\x23 text\r\n\\x77ait 5\r"
                          "a\\r\\nb\n\\x01\\x7E\\\\\npart\\c\rial\r\nx\\r\\c\n")
            << QByteArray()
            << QByteArray("*S11\r\n  \r\n# text\r\nwait 5\r\na\r\nb\r\n\x01~\\\r\npartial\r\nx\r");
        // Each expect takes one command and skips others; a command sent during a wait is kept;
        // "S" does not start a measurement. The script has CR line ends.
        QTest::newRow("expect and wait")
            << QByteArray("expect S\rONE\rexpect S\rTWO\rwait 300\rexpect D2\rEND\r")
            << QByteArray("RUN\rM0\rD1\rE\rS\rRUN\rS\rD2\r")
            << ok + "ONE\r\n" + ok + "TWO\r\nEND\r\n";
        QByteArray numbers;
        for (int i = 0; i < 3000; ++i)
            numbers += QByteArray::number(i) + '\n';
        QTest::newRow("thousands of replies in order")
            << numbers << QByteArray() << QByteArray(numbers).replace("\n", "\r\n");
    }

    void repliesFollowScriptAndCommands()
    {
        QFETCH(QByteArray, script);
        QFETCH(QByteArray, commands);
        QFETCH(QByteArray, expected);
        Simulator simulator({"--speed", "600", "--script", "%FILE%"}, script);
        Port port(simulator.devicePath);
        for (const QByteArray& chunk : commands.split('|'))
            QVERIFY(chunk.isEmpty() || port.send(chunk));
        QCOMPARE(port.readBytes(expected.size(), QDeadlineTimer(waitLimitMs)), expected);
    }

    // A test sends "*I" and "*A" at each sample, then "*E11". "S" during a test is ignored; after
    // "E" it starts a fresh test. With --start-after the instrument reports "*S11" and starts by
    // itself; the "T1" and "S" that the program answers with switch the temperature on.
    void measurementReplies_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("commands");
        QTest::addColumn<QList<int>>("elapsed");
        QTest::addColumn<QString>("temperature");

        const QStringList none;
        QTest::newRow("defaults: every second, 15 min")
            << none << QByteArray("S\n\r") << samplesEvery(1, 900) << "off";
        QTest::newRow("invalid parameters keep the last valid")
            << none << QByteArray("D2\rD0\rDx\rD\rM5\rMr\rM/\rM\rT1\rT2\rS\r")
            << samplesEvery(50, 1800) << "on";
        QTest::newRow("cycle longer than the test, restarted")
            << none << QByteArray("Mq\rD1\rS\rS\rE\rS\r") << QList<int> {0, 0} << "off";
        QTest::newRow("started at once")
            << QStringList {"--start-after", "0"} << QByteArray("T1\n\rS\n\r")
            << samplesEvery(1, 900) << "switched on";
        QTest::newRow("started after 2.5 s")
            << QStringList {"--start-after", "2.5"} << QByteArray("T1\n\rS\n\r")
            << samplesEvery(1, 900) << "switched on";
    }

    void measurementReplies()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, commands);
        QFETCH(QList<int>, elapsed);
        QFETCH(QString, temperature);
        // Each test runs one or two seconds; the fraction exercises a fractional speed.
        Simulator simulator(arguments + QStringList {"--speed", "900.5"});
        Port port(simulator.devicePath);
        const QDeadlineTimer deadline(waitLimitMs);
        QVERIFY(arguments.isEmpty() || port.nextLine(deadline) == "*S11");
        QVERIFY(port.send(commands));

        QList<int> viscosities;
        double celsius = 0.0;
        for (const int seconds : elapsed) {
            QCOMPARE(port.nextLine(deadline), elapsedLine(seconds));
            const QRegularExpressionMatch data = nextData(port, deadline);
            celsius = data.captured(2).toDouble();
            QVERIFY(data.hasMatch() && data.captured(1).toInt() <= 1000);
            QVERIFY(celsius == 0.0 ? temperature != "on"
                                   : temperature != "off" && celsius >= 15.0 && celsius <= 35.0);
            viscosities.append(data.captured(1).toInt());
        }
        QCOMPARE(celsius != 0.0, temperature != "off");
        QCOMPARE(port.nextLine(deadline), QByteArray("*E11"));
        QVERIFY(elapsed.last() == 0 || viscosities.first() > viscosities.last());
    }

    // The program under test closes and re-opens ports while it searches for the instrument; the
    // simulator keeps serving the device. The link is made, replacing an existing symbolic link,
    // and removed on a clean exit.
    void deviceIsServedAcrossReopening_data()
    {
        QTest::addColumn<QString>("existingTarget");
        QTest::addColumn<int>("signalNumber");

        QTest::newRow("new link, SIGINT") << QString() << int(SIGINT);
        QTest::newRow("stale link replaced, SIGTERM") << "/nonexistent/device" << int(SIGTERM);
        QTest::newRow("link to another file replaced, SIGHUP") << "/dev/null" << int(SIGHUP);
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
        QVERIFY(simulator.endsWith(0, signalNumber));
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    // A script of millions of replies without pauses still lets a signal end the simulator at once.
    void longScriptYieldsToSignal()
    {
        Simulator simulator({"--script", "%FILE%"}, QByteArray("x\n").repeated(2500000));
        QVERIFY(!simulator.devicePath.isEmpty());
        QVERIFY(simulator.endsWith(0, SIGTERM, 3000));
    }

    // A log on a pipe that nobody drains blocks the simulator's writes; a signal still ends it.
    void undrainedLogDoesNotKeepItAlive()
    {
        QTemporaryDir folder;
        const QByteArray fifo = folder.filePath("log").toLocal8Bit();
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(reader >= 0);
        QFile script(folder.filePath("script"));
        QVERIFY(
            script.open(QIODevice::WriteOnly) && script.write(QByteArray("x\n").repeated(200000)));
        script.close();
        QProcess simulator;
        simulator.setStandardErrorFile(QString::fromLocal8Bit(fifo));
        simulator.start(QTM_SIMULATOR_EXE, {"--script", script.fileName()});
        QVERIFY(simulator.waitForReadyRead(waitLimitMs));
        QTest::qWait(500);
        ::kill(pid_t(simulator.processId()), SIGTERM);
        const bool ended = simulator.waitForFinished(5000);
        ::close(reader);
        QVERIFY(ended);
        QCOMPARE(simulator.exitCode(), 0);
    }

    // A mistaken command line or script ends the simulator with exit code 2 before it announces a
    // device and leaves the given file alone. It says why in one short line of plain text, which
    // names the bad line of a script.
    void badInvocationIsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("mention");
        const auto row = [](const char* name, const QStringList& arguments,
                             const QByteArray& file = {}, const QString& mention = {}) {
            QTest::newRow(name) << arguments << file << mention;
        };

        const QStringList script {"--script", "%FILE%"};
        row("speed 0", {"--speed", "0"});
        row("negative start", {"--start-after", "-1"});
        row("unknown option", {"--bogus"});
        row("link over a plain file", {"--link", "%FILE%"}, "keep");
        row("script with start-after", script + QStringList {"--start-after", "1"}, "x\n");
        row("endless device", {"--script", "/dev/zero"});
        row("directory", {"--script", "/"});
        row("control characters in the path", {"--script", "/nonexistent/\x1b[31mred"});
        row("script over 16 MiB", script, QByteArray((16 << 20) + 1, '#'));
        row("line ends CR, CR LF, LF, LF CR", script, "ok\rok\r\n\nok\n\rbad \\q\r", "line 6: ");
        row("bad line of 1 MB with control characters", script,
            "x\r" + QByteArray("\x1b\t\xff").repeated(350000) + "\\q", "line 2: ");
    }

    void badInvocationIsRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, file);
        QFETCH(QString, mention);
        Simulator simulator(arguments, file);
        QVERIFY(simulator.endsWith(2));
        QVERIFY(simulator.devicePath.isEmpty());
        QCOMPARE(readFile(simulator.filePath), file);
        const QString message = QString::fromLatin1(readFile(simulator.logPath));
        QVERIFY(QRegularExpression(R"(^[ -~]{1,500}\n\z)").match(message).hasMatch());
        QVERIFY(message.contains(mention));
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "test_simulator.moc"
