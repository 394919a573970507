// End-to-end tests of the instrument simulator: the built program is started as a process and
// talked to through its pseudo-terminal, as the measuring program would.

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int waitLimitMs = 10000;

// The simulator as a child process; its log goes to a file so that it can never block on a full
// pipe, and is shown when a test fails.
class Simulator {
public:
    explicit Simulator(const QStringList& arguments)
    {
        process.setStandardErrorFile(folder.filePath("simulator.log"));
        process.start(QTM_SIMULATOR_EXE, arguments);
        const QDeadlineTimer deadline(waitLimitMs);
        while (!process.canReadLine() && process.waitForReadyRead(int(deadline.remainingTime()))) {
        }
        devicePath = QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    ~Simulator()
    {
        if (QTest::currentTestFailed())
            qWarning().noquote() << "simulator log (last lines):\n" << logTail();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(waitLimitMs);
        }
    }

    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Whether the simulator has ended or ends before the wait limit.
    bool ended()
    {
        return process.state() == QProcess::NotRunning || process.waitForFinished(waitLimitMs);
    }

    // Sends the signal and reports whether the simulator then ended normally with exit code 0.
    bool stopCleanly(int signalNumber)
    {
        ::kill(pid_t(process.processId()), signalNumber);
        return ended() && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QString devicePath;
    QTemporaryDir folder;
    QProcess process;

private:
    QString logTail()
    {
        QFile log(folder.filePath("simulator.log"));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(log.readAll().right(3000));
    }
};

// The client's end of the device: raw mode, non-blocking reads with a deadline.
class Port {
public:
    explicit Port(const QString& path)
        : fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
    {
        termios settings {};
        if (fd >= 0 && ::tcgetattr(fd, &settings) == 0) {
            ::cfmakeraw(&settings);
            ::tcsetattr(fd, TCSANOW, &settings);
        }
    }

    ~Port()
    {
        if (fd >= 0)
            ::close(fd);
    }

    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    bool isOpen() const { return fd >= 0; }

    // Writes all bytes, waiting while the terminal is full; false when that takes too long.
    bool send(const QByteArray& bytes) const
    {
        const QDeadlineTimer deadline(waitLimitMs);
        qsizetype done = 0;
        while (done < bytes.size() && !deadline.hasExpired()) {
            const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN)
                return false;
            pollfd request {fd, POLLOUT, 0};
            ::poll(&request, 1, 100);
        }
        return done == bytes.size();
    }

    // The next reply without its CR LF, or nothing when none is complete before the deadline.
    std::optional<QByteArray> readLine(const QDeadlineTimer& deadline)
    {
        qsizetype end = buffer.indexOf("\r\n");
        while (end < 0 && receiveSome(deadline))
            end = buffer.indexOf("\r\n");
        if (end < 0)
            return std::nullopt;
        const QByteArray line = buffer.left(end);
        buffer.remove(0, end + 2);
        return line;
    }

    // The next reply, or a marker that no complete reply came before the deadline.
    QByteArray nextLine(const QDeadlineTimer& deadline)
    {
        return readLine(deadline).value_or("<no reply>");
    }

    // Exactly `count` bytes, or fewer when the deadline passes first.
    QByteArray readBytes(qsizetype count, const QDeadlineTimer& deadline)
    {
        while (buffer.size() < count && receiveSome(deadline)) { }
        const QByteArray bytes = buffer.left(count);
        buffer.remove(0, bytes.size());
        return bytes;
    }

private:
    bool receiveSome(const QDeadlineTimer& deadline)
    {
        pollfd request {fd, POLLIN, 0};
        while (!deadline.hasExpired()) {
            if (::poll(&request, 1, int(qMin<qint64>(deadline.remainingTime(), 100))) <= 0)
                continue;
            char chunk[4096];
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n > 0) {
                buffer.append(chunk, n);
                return true;
            }
            if (n == 0 || errno != EAGAIN)
                return false;
        }
        return false;
    }

    int fd;
    QByteArray buffer;
};

const QRegularExpression elapsedLayout(QStringLiteral(R"(^\*I(\d{8})$)"));
const QRegularExpression dataLayout(QStringLiteral(R"(^\*A000000(\d{5})(\d{3}\.\d)$)"));

struct Sample {
    int elapsed = 0;
    int viscosityTenths = 0;
    QString temperature;
};

// Reads "*I"/"*A" pairs up to the first line that does not fit this layout. Returns the pairs
// and that line in *after (empty when nothing more came).
QList<Sample> readSamples(Port& port, const QDeadlineTimer& deadline, QByteArray* after)
{
    QList<Sample> samples;
    while (const std::optional<QByteArray> line = port.readLine(deadline)) {
        const QRegularExpressionMatch elapsed = elapsedLayout.match(QString::fromLatin1(*line));
        if (!elapsed.hasMatch()) {
            *after = *line;
            return samples;
        }
        const QByteArray data = port.nextLine(deadline);
        const QRegularExpressionMatch fields = dataLayout.match(QString::fromLatin1(data));
        if (!fields.hasMatch()) {
            *after = data;
            return samples;
        }
        samples.append(
            {elapsed.captured(1).toInt(), fields.captured(1).toInt(), fields.captured(2)});
    }
    after->clear();
    return samples;
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

QByteArray commandLines(const QByteArrayList& commands)
{
    QByteArray bytes;
    for (const QByteArray& command : commands)
        bytes += command + "\n\r";
    return bytes;
}

QString writeFile(const QTemporaryDir& folder, const QString& name, const QByteArray& content)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

} // namespace

class TestSimulator : public QObject {
    Q_OBJECT

private slots:
    void probeIsAnswered_data();
    void probeIsAnswered();
    void measurementReplies_data();
    void measurementReplies();
    void endStopsTheTest();
    void startsByItself_data();
    void startsByItself();
    void scriptIsPlayed_data();
    void scriptIsPlayed();
    void reopenedPortIsServed();
    void linkIsMadeAndRemoved_data();
    void linkIsMadeAndRemoved();
    void linkNeverReplacesAFile();
    void badInvocationIsRefused_data();
    void badInvocationIsRefused();
};

// The probe is answered whatever the line end, also after noise. The sentinel script answers
// "PING" with "PONG", so any extra or missing answer before it shows.
void TestSimulator::probeIsAnswered_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<int>("answers");

    QTest::newRow("LF CR") << QByteArrayList {"RUN\n\r"} << 1;
    QTest::newRow("CR") << QByteArrayList {"RUN\r"} << 1;
    QTest::newRow("LF") << QByteArrayList {"RUN\n"} << 1;
    QTest::newRow("CR LF") << QByteArrayList {"RUN\r\n"} << 1;
    QTest::newRow("split over writes") << QByteArrayList {"R", "U", "N\n", "\r"} << 1;
    QTest::newRow("two in one write") << QByteArrayList {"RUN\rRUN\n\r"} << 2;
    QTest::newRow("empty lines around") << QByteArrayList {"\r\n\n\r\rRUN\r\r\n"} << 1;
    QTest::newRow("after garbage")
        << QByteArrayList {QByteArray("\x00\xff\x1b[2J\x7f", 7) + "\r", "RUN\r"} << 1;
    QTest::newRow("lower case is no probe") << QByteArrayList {"run\r"} << 0;
    QTest::newRow("overlong line is dropped whole")
        << QByteArrayList {QByteArray(5000, 'X') + "RUN\r", "RUN\r"} << 1;
}

void TestSimulator::probeIsAnswered()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(int, answers);
    QTemporaryDir folder;
    const QString script = writeFile(folder, "sentinel.txt", "expect PING\nPONG\n");
    Simulator simulator({"--script", script});
    Port port(simulator.devicePath);
    QVERIFY(port.isOpen());

    for (const QByteArray& chunk : chunks)
        QVERIFY(port.send(chunk));
    QVERIFY(port.send("PING\r"));
    const QDeadlineTimer deadline(waitLimitMs);
    for (int i = 0; i < answers; ++i)
        QCOMPARE(port.nextLine(deadline), QByteArray("*OK! RUN"));
    QCOMPARE(port.nextLine(deadline), QByteArray("PONG"));
}

void TestSimulator::measurementReplies_data()
{
    QTest::addColumn<QByteArrayList>("commands");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("cycleSeconds");
    QTest::addColumn<int>("durationSeconds");
    QTest::addColumn<bool>("temperatureOn");

    QTest::newRow("defaults") << QByteArrayList {"S"} << "1800" << 1 << 900 << false;
    QTest::newRow("motor always on, 15 min")
        << QByteArrayList {"M0", "D1", "T1", "S"} << "1800" << 1 << 900 << true;
    QTest::newRow("10 s, 60 min") << QByteArrayList {"M1", "D3", "T1", "S"} << "7200" << 10 << 3600
                                  << true;
    QTest::newRow("50 s, 30 min") << QByteArrayList {"M5", "D2", "T0", "S"} << "3600" << 50 << 1800
                                  << false;
    QTest::newRow("1 min, 2 h") << QByteArrayList {"M6", "D4", "T1", "S"} << "14400" << 60 << 7200
                                << true;
    QTest::newRow("5 min (M:), 30 min")
        << QByteArrayList {"M:", "D2", "S"} << "3600" << 300 << 1800 << false;
    QTest::newRow("5 min, 5 h") << QByteArrayList {"M:", "D5", "S"} << "36000" << 300 << 18000
                                << false;
    QTest::newRow("60 min, 100 h")
        << QByteArrayList {"Mq", "D9", "T1", "S"} << "720000" << 3600 << 360000 << true;
    QTest::newRow("60 min cycle, longer than the test")
        << QByteArrayList {"Mq", "D1", "S"} << "1800" << 3600 << 900 << false;
    QTest::newRow("fractional speed")
        << QByteArrayList {"M:", "D1", "S"} << "1500.5" << 300 << 900 << false;
    QTest::newRow("invalid parameters ignored")
        << QByteArrayList {"D2", "D0", "Dx", "D", "M1", "Mr", "M/", "M", "T1", "T2", "S"} << "3600"
        << 10 << 1800 << true;
}

void TestSimulator::measurementReplies()
{
    QFETCH(QByteArrayList, commands);
    QFETCH(QString, speed);
    QFETCH(int, cycleSeconds);
    QFETCH(int, durationSeconds);
    QFETCH(bool, temperatureOn);
    Simulator simulator({"--speed", speed});
    Port port(simulator.devicePath);
    QVERIFY(port.isOpen());

    QVERIFY(port.send(commandLines(commands)));
    QByteArray after;
    const QList<Sample> samples = readSamples(port, QDeadlineTimer(waitLimitMs), &after);
    QCOMPARE(after, QByteArray("*E11"));

    QCOMPARE(samples.size(), durationSeconds / cycleSeconds + 1);
    for (qsizetype k = 0; k < samples.size(); ++k) {
        const Sample& sample = samples[k];
        QCOMPARE(sample.elapsed, int(k) * cycleSeconds);
        QVERIFY2(sample.viscosityTenths >= 0 && sample.viscosityTenths <= 1000,
            qPrintable(QString::number(sample.viscosityTenths)));
        if (temperatureOn) {
            const double celsius = sample.temperature.toDouble();
            QVERIFY2(celsius >= 15.0 && celsius <= 35.0, qPrintable(sample.temperature));
        } else {
            QCOMPARE(sample.temperature, QStringLiteral("000.0"));
        }
    }
    if (samples.size() > 1)
        QVERIFY(samples.first().viscosityTenths > samples.last().viscosityTenths);
}

// "E" ends the test: a new "S" then starts a fresh one at elapsed 0 instead of being refused as
// a start during a running test.
void TestSimulator::endStopsTheTest()
{
    Simulator simulator({"--speed", "600"});
    Port port(simulator.devicePath);
    QVERIFY(port.isOpen());
    const QDeadlineTimer deadline(waitLimitMs);

    QVERIFY(port.send("M0\rS\r"));
    for (int i = 0; i < 6; ++i)
        QVERIFY(port.readLine(deadline).has_value());
    QVERIFY(port.send("E\rRUN\r"));
    std::optional<QByteArray> line;
    do
        line = port.readLine(deadline);
    while (line && line != "*OK! RUN");
    QVERIFY(line.has_value());

    QVERIFY(port.send("S\r"));
    QCOMPARE(port.nextLine(deadline), QByteArray("*I00000000"));
}

// With --start-after the instrument reports "*S11" and measures; the "T1" and "S" that the
// program answers with switch the temperature on without restarting the test.
void TestSimulator::startsByItself_data()
{
    QTest::addColumn<QString>("startAfter");

    QTest::newRow("at once") << "0";
    QTest::newRow("after 30 s") << "30";
    QTest::newRow("after 2.5 s") << "2.5";
}

void TestSimulator::startsByItself()
{
    QFETCH(QString, startAfter);
    Simulator simulator({"--speed", "600", "--start-after", startAfter});
    Port port(simulator.devicePath);
    QVERIFY(port.isOpen());
    const QDeadlineTimer deadline(waitLimitMs);

    QCOMPARE(port.nextLine(deadline), QByteArray("*S11"));
    QCOMPARE(port.nextLine(deadline), QByteArray("*I00000000"));
    QVERIFY(dataLayout.match(QString::fromLatin1(port.nextLine(deadline))).hasMatch());
    QVERIFY(port.send("T1\n\rS\n\r"));

    int lastElapsed = 0;
    bool temperatureSeen = false;
    while (!temperatureSeen) {
        const std::optional<QByteArray> line = port.readLine(deadline);
        QVERIFY2(line && *line != "*E11", "test ended without a temperature");
        if (const QRegularExpressionMatch elapsed = elapsedLayout.match(QString::fromLatin1(*line));
            elapsed.hasMatch()) {
            QVERIFY(elapsed.captured(1).toInt() > lastElapsed);
            lastElapsed = elapsed.captured(1).toInt();
        } else if (const QRegularExpressionMatch data
                   = dataLayout.match(QString::fromLatin1(*line));
                   data.hasMatch()) {
            temperatureSeen = data.captured(2) != "000.0";
        } else {
            QFAIL(line->constData());
        }
    }
}

void TestSimulator::scriptIsPlayed_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("lines in order")
        << QByteArray("*S11\n*I00000000\n*A00000000800000.0\n*E11\n") << QByteArray()
        << QByteArray("*S11\r\n*I00000000\r\n*A00000000800000.0\r\n*E11\r\n");
    QTest::newRow("comments, blank lines, CR LF file")
        << QByteArray("# comment\r\n\r\n*S11\r\n\n  \n") << QByteArray()
        << QByteArray("*S11\r\n  \r\n");
    QTest::newRow("escapes") << QByteArray("a\\r\\nb\n\\x01\\x7E\\\\\n") << QByteArray()
                             << QByteArray("a\r\nb\r\n\x01~\\\r\n");
    QTest::newRow("no line end") << QByteArray("part\\c\nial\nx\\r\\c\n") << QByteArray()
                                 << QByteArray("partial\r\nx\r");
    QTest::newRow("keywords escaped") << QByteArray("\\x23 text\n\\x77ait 5\n") << QByteArray()
                                      << QByteArray("# text\r\nwait 5\r\n");
    QTest::newRow("wait") << QByteArray("A\nwait 0.5\nB\n") << QByteArray()
                          << QByteArray("A\r\nB\r\n");
    QTest::newRow("expect waits for the command")
        << QByteArray("expect S\nAFTER\n") << QByteArray("RUN\rS\r")
        << QByteArray("*OK! RUN\r\nAFTER\r\n");
    QTest::newRow("expect skips other commands")
        << QByteArray("expect S\nX\n") << QByteArray("M0\rD1\rE\rS\r") << QByteArray("X\r\n");
    QTest::newRow("command sent during a wait is kept")
        << QByteArray("expect S\nwait 300\nexpect D1\nDONE\n") << QByteArray("S\rD1\r")
        << QByteArray("DONE\r\n");
    QTest::newRow("two expects need two commands")
        << QByteArray("expect S\nONE\nexpect S\nTWO\n") << QByteArray("S\rRUN\rS\r")
        << QByteArray("ONE\r\n*OK! RUN\r\nTWO\r\n");
    QTest::newRow("start does not measure")
        << QByteArray("expect S\nwait 5\nONLY\n") << QByteArray("S\r") << QByteArray("ONLY\r\n");
}

void TestSimulator::scriptIsPlayed()
{
    QFETCH(QByteArray, script);
    QFETCH(QByteArray, commands);
    QFETCH(QByteArray, expected);
    QTemporaryDir folder;
    const QString path = writeFile(folder, "script.txt", script);
    QVERIFY(!path.isEmpty());
    Simulator simulator({"--speed", "600", "--script", path});
    Port port(simulator.devicePath);
    QVERIFY(port.isOpen());

    QVERIFY(commands.isEmpty() || port.send(commands));
    QCOMPARE(port.readBytes(expected.size(), QDeadlineTimer(waitLimitMs)), expected);
}

// The program under test closes and re-opens ports while it searches for the instrument. The
// simulator holds the device open itself, so the client's closing is no hang-up for it.
void TestSimulator::reopenedPortIsServed()
{
    Simulator simulator(QStringList {});
    const QDeadlineTimer deadline(waitLimitMs);
    for (int round = 0; round < 3; ++round) {
        Port port(simulator.devicePath);
        QVERIFY(port.isOpen());
        QVERIFY(port.send("RUN\n\r"));
        QCOMPARE(port.nextLine(deadline), QByteArray("*OK! RUN"));
    }
    QVERIFY(holdsOpen(simulator.process.processId(), simulator.devicePath));
}

void TestSimulator::linkIsMadeAndRemoved_data()
{
    QTest::addColumn<QString>("existingTarget");
    QTest::addColumn<int>("signalNumber");

    QTest::newRow("new link, SIGTERM") << QString() << int(SIGTERM);
    QTest::newRow("new link, SIGINT") << QString() << int(SIGINT);
    QTest::newRow("stale link replaced") << "/nonexistent/device" << int(SIGTERM);
    QTest::newRow("link to another file replaced") << "/dev/null" << int(SIGTERM);
}

void TestSimulator::linkIsMadeAndRemoved()
{
    QFETCH(QString, existingTarget);
    QFETCH(int, signalNumber);
    QTemporaryDir folder;
    const QString link = folder.filePath("com1");
    if (!existingTarget.isEmpty())
        QVERIFY(QFile::link(existingTarget, link));

    Simulator simulator({"--link", link});
    QVERIFY(!simulator.devicePath.isEmpty());
    QCOMPARE(QFileInfo(link).symLinkTarget(), simulator.devicePath);
    {
        Port port(link);
        QVERIFY(port.isOpen());
        QVERIFY(port.send("RUN\r"));
        QCOMPARE(port.nextLine(QDeadlineTimer(waitLimitMs)), QByteArray("*OK! RUN"));
    }
    QVERIFY(simulator.stopCleanly(signalNumber));
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestSimulator::linkNeverReplacesAFile()
{
    QTemporaryDir folder;
    const QString path = writeFile(folder, "occupied", "keep me");
    QVERIFY(!path.isEmpty());

    Simulator simulator({"--link", path});
    QVERIFY(simulator.ended());
    QVERIFY(simulator.process.exitCode() != 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

// A mistaken command line ends the simulator with an error before it announces a device.
void TestSimulator::badInvocationIsRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("script");

    QTest::newRow("speed 0") << QStringList {"--speed", "0"} << QByteArray();
    QTest::newRow("negative speed") << QStringList {"--speed", "-2"} << QByteArray();
    QTest::newRow("speed not a number") << QStringList {"--speed", "fast"} << QByteArray();
    QTest::newRow("speed beyond the limit") << QStringList {"--speed", "1e8"} << QByteArray();
    QTest::newRow("infinite speed") << QStringList {"--speed", "inf"} << QByteArray();
    QTest::newRow("negative start") << QStringList {"--start-after", "-1"} << QByteArray();
    QTest::newRow("unknown option") << QStringList {"--bogus"} << QByteArray();
    QTest::newRow("stray argument") << QStringList {"COM1"} << QByteArray();
    QTest::newRow("link in missing folder")
        << QStringList {"--link", "/nonexistent/folder/com1"} << QByteArray();
    QTest::newRow("missing script")
        << QStringList {"--script", "/nonexistent/script.txt"} << QByteArray();
    QTest::newRow("unknown escape")
        << QStringList {"--script", "%SCRIPT%"} << QByteArray("ok\nbad \\q\n");
    QTest::newRow("short hex escape")
        << QStringList {"--script", "%SCRIPT%"} << QByteArray("\\x4\n");
    QTest::newRow("line end mark inside")
        << QStringList {"--script", "%SCRIPT%"} << QByteArray("a\\cb\n");
    QTest::newRow("wait without seconds")
        << QStringList {"--script", "%SCRIPT%"} << QByteArray("wait soon\n");
    QTest::newRow("negative wait")
        << QStringList {"--script", "%SCRIPT%"} << QByteArray("wait -1\n");
    QTest::newRow("expect without command")
        << QStringList {"--script", "%SCRIPT%"} << QByteArray("expect\n");
    QTest::newRow("script with start-after")
        << QStringList {"--script", "%SCRIPT%", "--start-after", "1"} << QByteArray("x\n");
}

void TestSimulator::badInvocationIsRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, script);
    QTemporaryDir folder;
    const QString scriptPath = writeFile(folder, "script.txt", script);
    arguments.replaceInStrings("%SCRIPT%", scriptPath);

    Simulator simulator(arguments);
    QVERIFY(simulator.ended());
    QCOMPARE(simulator.process.exitStatus(), QProcess::NormalExit);
    QVERIFY(simulator.process.exitCode() != 0);
    QVERIFY(simulator.devicePath.isEmpty());
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "test_simulator.moc"
