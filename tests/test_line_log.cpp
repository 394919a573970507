#include "platform/line_log.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QDateTime FixedTime(QDate(2026, 12, 6), QTime(10, 30, 0, 123));
const QByteArray FixedStamp = "2026-12-06 10:30:00.123";

QDateTime FixedNow()
{
    return FixedTime;
}

QByteArray Line(const QByteArray& afterStamp)
{
    return FixedStamp + ' ' + afterStamp + '\n';
}

// Sets or clears an environment variable for a test and puts the old value back.
struct ScopedVariable {
    ScopedVariable(const char* name, bool set, const QByteArray& value)
        : name(name)
        , wasSet(qEnvironmentVariableIsSet(name))
        , previous(qgetenv(name))
    {
        set ? qputenv(name, value) : qunsetenv(name);
    }
    ~ScopedVariable() { wasSet ? qputenv(name, previous) : qunsetenv(name); }
    Q_DISABLE_COPY_MOVE(ScopedVariable)

    const char* name;
    bool wasSet;
    QByteArray previous;
};

} // namespace

class TestLineLog : public QObject {
    Q_OBJECT

private slots:
    void init() { dir = std::make_unique<QTemporaryDir>(); }
    void entry_data();
    void entry();
    void stamp_data();
    void stamp();
    void longEntry_data();
    void longEntry();
    void appendsAfterWhatIsThere();
    void unwritablePlace_data();
    void unwritablePlace();
    void fullDisk_data();
    void fullDisk();
    void removedLog_data();
    void removedLog();
    void sizeLimitEndsWithANote();
    void fromEnvironment_data();
    void fromEnvironment();

private:
    QString PathOf(const QString& name) const { return dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir;
};

void TestLineLog::entry_data()
{
    QTest::addColumn<bool>("sent");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("shown");

    QTest::newRow("command with its CR")
        << true << 1 << QByteArray("RUN\r") << QByteArray("COM1 -> RUN\\r");
    QTest::newRow("reply line") << false << 1 << QByteArray("*OK! RUN")
                                << QByteArray("COM1 <- *OK! RUN");
    QTest::newRow("CR LF") << false << 2 << QByteArray("*E11\r\n")
                           << QByteArray("COM2 <- *E11\\r\\n");
    QTest::newRow("LF inside stays on the line")
        << false << 1 << QByteArray("A\nB") << QByteArray("COM1 <- A\\nB");
    QTest::newRow("control bytes") << true << 1 << QByteArray("\x00\x01\t\x1b\x1f\x7f", 6)
                                   << QByteArray("COM1 -> \\x00\\x01\\x09\\x1b\\x1f\\x7f");
    QTest::newRow("backslash differs from an escape")
        << true << 1 << QByteArray("C:\\x41") << QByteArray("COM1 -> C:\\\\x41");
    QTest::newRow("non-ASCII bytes") << false << 1 << QByteArray("\xc3\xa4\x80\xff")
                                     << QByteArray("COM1 <- \\xc3\\xa4\\x80\\xff");
    QTest::newRow("printable edges") << true << 1 << QByteArray(" ~") << QByteArray("COM1 ->  ~");
    QTest::newRow("empty") << true << 1 << QByteArray() << QByteArray("COM1 -> ");
    QTest::newRow("high port") << false << 255 << QByteArray("*") << QByteArray("COM255 <- *");
}

void TestLineLog::entry()
{
    QFETCH(bool, sent);
    QFETCH(int, port);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, shown);

    const QString path = PathOf("serial.log");
    LineLog log(path, FixedNow);
    sent ? log.Sent(port, bytes) : log.Received(port, bytes);
    QCOMPARE(BytesOf(path), Line(shown));
    QVERIFY(log.IsWriting());
}

void TestLineLog::stamp_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QByteArray>("stamp");

    QTest::newRow("small numbers padded")
        << QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5, 6)) << QByteArray("2027-01-02 03:04:05.006");
    QTest::newRow("midnight") << QDateTime(QDate(2026, 12, 31), QTime(0, 0))
                              << QByteArray("2026-12-31 00:00:00.000");
    QTest::newRow("afternoon, last millisecond") << QDateTime(QDate(2026, 7, 15),
        QTime(23, 59, 59, 999)) << QByteArray("2026-07-15 23:59:59.999");
}

void TestLineLog::stamp()
{
    QFETCH(QDateTime, time);
    QFETCH(QByteArray, stamp);

    const QString path = PathOf("serial.log");
    QDateTime now = FixedTime;
    LineLog log(path, [&now] { return now; });
    log.Sent(1, "A\r");
    now = time;
    log.Received(1, "B");
    QCOMPARE(BytesOf(path), Line("COM1 -> A\\r") + stamp + " COM1 <- B\n");
}

void TestLineLog::longEntry_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("shown");

    const qsizetype most = LineLog::MaxEntryBytes;
    QTest::newRow("at the bound, whole") << QByteArray(most, 'A') << QByteArray(most, 'A');
    QTest::newRow("one byte beyond, cut")
        << QByteArray(most + 1, 'A') << QByteArray(most, 'A') + "... (4097 bytes)";
    QTest::newRow("escapes count as one byte")
        << QByteArray(5000, '\r') << QByteArray("\\r").repeated(most) + "... (5000 bytes)";
    QTest::newRow("escape at the cut kept whole") << QByteArray(most - 1, 'A')
            + "\xe4\xe4" << QByteArray(most - 1, 'A') + "\\xe4... (4097 bytes)";
}

void TestLineLog::longEntry()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, shown);

    const QString path = PathOf("serial.log");
    LineLog log(path, FixedNow);
    log.Received(1, bytes);
    QCOMPARE(BytesOf(path), Line("COM1 <- " + shown));
}

// A log is appended to, never replaced, also by a second program on the same file.
void TestLineLog::appendsAfterWhatIsThere()
{
    const QString path = PathOf("serial.log");
    const QByteArray earlier = "an earlier session\n";
    PutBytes(path, earlier);

    LineLog first(path, FixedNow);
    LineLog second(path, FixedNow);
    first.Sent(1, "RUN\r");
    second.Sent(2, "STOP\r");
    first.Received(1, "*OK! RUN");
    QCOMPARE(BytesOf(path),
        earlier + Line("COM1 -> RUN\\r") + Line("COM2 -> STOP\\r") + Line("COM1 <- *OK! RUN"));
}

// Each place refuses the log at once; the calls then do nothing and return (a call that blocked
// would show as the suite's time-out).
void TestLineLog::unwritablePlace_data()
{
    QTest::addColumn<QString>("place");

    QTest::newRow("folder missing") << "fehlt/serial.log";
    QTest::newRow("a folder") << ".";
    QTest::newRow("pipe without a reader") << "pipe";
    QTest::newRow("device") << "/dev/null";
    QTest::newRow("read-only folder") << "nur-lesen/serial.log";
    QTest::newRow("folder nobody may write") << "/proc/taliv-serial.log";
}

void TestLineLog::unwritablePlace()
{
    QFETCH(QString, place);

    const QString path = QDir(dir->path()).filePath(place);
    if (place == "pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (place.startsWith("nur-lesen")) {
        if (::geteuid() == 0)
            QSKIP("root writes into a read-only folder");
        QVERIFY(QDir(dir->path()).mkdir("nur-lesen", QFile::ReadOwner | QFile::ExeOwner));
    }

    LineLog log(path, FixedNow);
    QVERIFY(!log.IsWriting());
    QVERIFY2(log.Failure().startsWith(path), qPrintable(log.Failure()));
    log.Sent(1, "RUN\r");
    log.Received(1, "*OK! RUN");
    QVERIFY(!log.IsWriting());
    QVERIFY(!QFileInfo::exists(PathOf("fehlt")));
    struct stat status { };
    if (place == "pipe")
        QVERIFY(
            ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode));
}

// A full disk stops the log; a part of a line is taken back, and nothing is written once there
// is room again.
void TestLineLog::fullDisk_data()
{
    QTest::addColumn<qint64>("room");

    QTest::newRow("no room") << qint64(0);
    QTest::newRow("room for a part") << qint64(10);
}

void TestLineLog::fullDisk()
{
    QFETCH(qint64, room);

    const QString path = PathOf("serial.log");
    LineLog log(path, FixedNow);
    log.Sent(1, "RUN\r");
    const QByteArray before = BytesOf(path);
    {
        const FileSizeLimit full(before.size() + room);
        QVERIFY(full.active);
        log.Received(1, "*OK! RUN");
        QVERIFY(!log.IsWriting());
    }
    QVERIFY(!log.Failure().isEmpty());
    QCOMPARE(BytesOf(path), before);
    log.Sent(1, "STOP\r");
    QCOMPARE(BytesOf(path), before);
}

// A log removed to start afresh is made anew; with its folder gone the log stops.
void TestLineLog::removedLog_data()
{
    QTest::addColumn<bool>("folderToo");
    QTest::addColumn<bool>("writing");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("file removed") << false << true
                                  << Line("COM1 <- *OK! RUN") + Line("COM1 -> STOP\\r");
    QTest::newRow("folder removed") << true << false << QByteArray("<missing>");
}

void TestLineLog::removedLog()
{
    QFETCH(bool, folderToo);
    QFETCH(bool, writing);
    QFETCH(QByteArray, after);

    QVERIFY(QDir(dir->path()).mkdir("logs"));
    const QString path = PathOf("logs/serial.log");
    LineLog log(path, FixedNow);
    log.Sent(1, "RUN\r");
    QVERIFY(folderToo ? QDir(PathOf("logs")).removeRecursively() : QFile::remove(path));
    log.Received(1, "*OK! RUN");
    log.Sent(1, "STOP\r");
    QCOMPARE(log.IsWriting(), writing);
    QCOMPARE(BytesOf(path), after);
    QCOMPARE(QFileInfo::exists(PathOf("logs")), !folderToo);
}

// At its size limit the log writes a last line saying so and stops; a log already at its limit
// says so once more and stops at once.
void TestLineLog::sizeLimitEndsWithANote()
{
    const QString path = PathOf("serial.log");
    const QByteArray entry = Line("COM1 -> RUN\\r");
    const qint64 limit = 2 * entry.size() + 5;
    const QByteArray note
        = Line("-- log stopped: it reached its limit of " + QByteArray::number(limit) + " bytes");
    {
        LineLog log(path, FixedNow, limit);
        for (int line = 0; line < 4; ++line)
            log.Sent(1, "RUN\r");
        QVERIFY(!log.IsWriting());
        QVERIFY(log.Failure().contains("Größengrenze"));
    }
    QCOMPARE(BytesOf(path), entry + entry + note);

    LineLog again(path, FixedNow, limit);
    QVERIFY(again.IsWriting());
    again.Sent(1, "RUN\r");
    again.Sent(1, "RUN\r");
    QCOMPARE(BytesOf(path), entry + entry + note + note);
}

void TestLineLog::fromEnvironment_data()
{
    QTest::addColumn<bool>("set");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("unset") << false << QByteArray();
    QTest::newRow("empty") << true << QByteArray();
    QTest::newRow("a file") << true << QByteArray("serial.log");
    QTest::newRow("a name with an umlaut") << true << QByteArray("Prüfung.log");
}

void TestLineLog::fromEnvironment()
{
    QFETCH(bool, set);
    QFETCH(QByteArray, value);

    const QString path = value.isEmpty() ? QString() : PathOf(QString::fromUtf8(value));
    const ScopedVariable variable("TALIV_LOG", set, QFile::encodeName(path));
    const std::unique_ptr<LineLog> log = LineLog::FromEnvironment(FixedNow);
    QCOMPARE(log != nullptr, !path.isEmpty());
    if (log)
        log->Sent(3, "RUN\r");
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files),
        path.isEmpty() ? QStringList() : QStringList {QFileInfo(path).fileName()});
    if (log)
        QCOMPARE(BytesOf(path), Line("COM3 -> RUN\\r"));
}

QTEST_GUILESS_MAIN(TestLineLog)
#include "test_line_log.moc"
