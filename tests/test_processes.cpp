// Whole programs: termination signals caught at any moment end the program normally; two programs
// on one protocol file, and a program killed in the middle of a test, lose no record.
#include "platform/message_box.h"
#include "platform/termination_signals.h"
#include "pty_port.h"
#include "records/measurement_file.h"
#include "records/protocol_file.h"
#include "records/protocol_register.h"
#include "test_support.h"
#include "window/close_on_signal.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// The instrument simulator playing a script kept in the folder; its log on standard error is
// collected as it is waited for. Ended with SIGTERM when the test leaves.
class Simulator {
public:
    Simulator(const QTemporaryDir& folder, const QString& name, const QByteArray& script)
    {
        PutBytes(folder.filePath(name), script);
        process.start(QTM_SIMULATOR_EXE, {"--script", folder.filePath(name)});
    }
    ~Simulator()
    {
        process.terminate();
        process.waitForFinished(20000);
    }

    // The device from the first line on standard output; empty when none comes in time.
    QString device()
    {
        QDeadlineTimer deadline(20000);
        while (!process.canReadLine() && process.waitForReadyRead(deadline.remainingTime())) { }
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    bool waitForLog(const QByteArray& text, int milliseconds)
    {
        const QDeadlineTimer deadline(milliseconds);
        while (!(log += process.readAllStandardError()).contains(text) && !deadline.hasExpired())
            process.waitForReadyRead(100);
        return log.contains(text);
    }

    QProcess process;
    QByteArray log;
};

// The program, copied into `programFolder` and started in `storageFolder`. COM1 to
// COM`missingPorts` lead nowhere, every later port to `device`: a probe lost while the line settles
// is answered at the next tick instead of ending the search at a message box.
class Program {
public:
    Program(const QString& programFolder, const QString& storageFolder, const QString& device,
        int missingPorts = 0)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        for (int port = 1; port <= InstrumentLink::LastSearchPort; ++port)
            environment.insert(QStringLiteral("TALIV_COM%1").arg(port),
                port <= missingPorts ? programFolder + "/no-such-device" : device);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(storageFolder);
        process.start(ProgramCopyIn(programFolder, TALIV01_EXE), {});
    }
    ~Program()
    {
        if (!stop())
            process.kill();
    }

    // SIGTERM closes the window as the user's close does: true for a normal end with exit code 0.
    bool stop()
    {
        process.terminate();
        process.waitForFinished(30000);
        return process.state() == QProcess::NotRunning
            && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QProcess process;
};

// A test series "Serie" in the folder: its protocol file with the header only, and its
// measurement folder.
void MakeSeries(const QTemporaryDir& folder)
{
    PutBytes(folder.filePath("Serie.CSV"), CreatedHeaderLine().toLatin1() + "\r\n");
    QVERIFY(QDir(folder.path()).mkdir("Serie"));
}

// The records of the series "Serie" in the folder.
QStringList Records(const QTemporaryDir& folder)
{
    return QString::fromLatin1(BytesOf(folder.filePath("Serie.CSV")))
        .split("\r\n", Qt::SkipEmptyParts)
        .mid(1);
}

constexpr int TestsEach = 20;
// The program has found the instrument and reset position 1.
const QByteArray Connected = "expect E\n";

// `tests` tests of one sample of `tenths` (five digits), each started once the program has
// answered the end of the one before; the first once the program is connected.
QByteArray Script(int tests, const QByteArray& tenths)
{
    QByteArray script = Connected;
    for (int test = 0; test < tests; ++test)
        script += "wait 0.05\n*S11\n*I00000010\n*A000000" + tenths + "000.0\n*E11\nexpect E\n";
    return script;
}

// The viscosity fields of a measurement file's data lines.
QStringList Values(const QString& path)
{
    const QByteArray bytes = BytesOf(path);
    if (!bytes.endsWith("\r\n") || bytes.count('\n') != bytes.count("\r\n"))
        return {"<not a measurement file>"};
    QStringList values;
    for (const QString& line : QString::fromLatin1(bytes.chopped(2))
                                   .split(QStringLiteral("\r\n"))
                                   .mid(MeasurementFile::HeaderLineCount))
        values << line.mid(MeasurementFile::ViscosityAt, MeasurementFile::ValueLength);
    return values;
}

} // namespace

class ProcessesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(TerminationSignals::Catch()); }

    // Signals caught before anyone reacts are kept, and any number of them is one reaction.
    void floodNeitherBlocksNorTouchesErrno()
    {
        ::raise(SIGHUP);
        for (int count = 0; count < 20000; ++count) // more than the self-pipe holds
            ::raise(SIGTERM);
        errno = EDOM;
        ::raise(SIGINT);
        QCOMPARE(errno, EDOM);

        QObject context;
        int reactions = 0;
        TerminationSignals::React(&context, [&] { ++reactions; });
        QTRY_COMPARE_WITH_TIMEOUT(reactions, 1, 20000);
        QTest::qWait(50);
        QCOMPARE(reactions, 1);
    }

    void openMessageBoxIsAnsweredAndTheWindowClosed()
    {
        WindowFixture fixture;
        Form1& window = *fixture.window;
        window.show();
        CloseOnTerminationSignals(&window);
        QTimer::singleShot(0, [] { ::raise(SIGTERM); });
        const int answer = ShowMessageBox(
            &window, MsgStyle::RetryCancel + MsgStyle::Exclamation, "Frage", "Wiederholen?");
        QCOMPARE(answer, MsgResult::Cancel);
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 20000);
    }

    // A copy of taliv01 in a folder, started there with COM1 on a pseudo-terminal. It is started
    // without QProcess so that it is reaped only when the test says so: a pid that is not reaped
    // cannot be reused by another process while the flood goes on.
    void programEndsNormallyUnderAFlood()
    {
        PtyPort instrument;
        QString error;
        QVERIFY2(instrument.open(&error), qPrintable(error));
        QByteArray probe;
        connect(&instrument, &PtyPort::received, this,
            [&](const QByteArray& bytes) { probe += bytes; });
        const QTemporaryDir folder;
        qputenv("TALIV_COM1", instrument.devicePath().toLocal8Bit());
        const QByteArray path = ProgramCopyIn(folder.path(), TALIV01_EXE).toLocal8Bit();
        const QByteArray workingFolder = folder.path().toLocal8Bit();
        char* argv[] = {const_cast<char*>(path.constData()), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.constData());
        pid_t program = -1;
        const int failed
            = posix_spawn(&program, path.constData(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        QCOMPARE(failed, 0);
        // The probe on COM1 shows that the program is up and its window being built.
        for (const QDeadlineTimer deadline(60000); probe.size() < 5 && !deadline.hasExpired();)
            QTest::qWait(10);
        // Three threads send SIGTERM as fast as they can until the program has ended; it is
        // reaped only after they stopped.
        std::vector<std::jthread> flood;
        for (int sender = 0; sender < 3; ++sender)
            flood.emplace_back([program](const std::stop_token& stop) {
                while (!stop.stop_requested())
                    ::kill(program, SIGTERM);
            });
        siginfo_t ended {};
        for (const QDeadlineTimer deadline(60000); !ended.si_pid && !deadline.hasExpired();) {
            ::waitid(P_PID, id_t(program), &ended, WEXITED | WNOHANG | WNOWAIT);
            QTest::qSleep(10);
        }
        flood.clear();
        ::kill(program, SIGKILL); // one still running is killed before it is reaped
        int status = 0;
        ::waitpid(program, &status, 0);
        QVERIFY2(probe.startsWith("RUN\n\r"), probe.constData());
        QVERIFY2(ended.si_pid == program, "the program did not end");
        QCOMPARE(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
        QVERIFY(QFile::exists(folder.filePath(SettingsFileName)));
    }

    void twoProgramsOnOneProtocol();
    void aKilledProgramsTestIsRecordedLater();
};

// Two programs, two instruments, one protocol file, 20 tests each as fast as the instruments can
// start them: 40 records with 40 numbers, each naming the file with its own program's values.
// Program A finds its instrument behind two ports that lead nowhere; both end normally at SIGTERM.
void ProcessesTest::twoProgramsOnOneProtocol()
{
    QTemporaryDir storage, programA, programB;
    MakeSeries(storage);
    Simulator instrumentA(storage, "a.txt", Script(TestsEach, "00111"));
    Simulator instrumentB(storage, "b.txt", Script(TestsEach, "00222"));
    Program a(programA.path(), storage.path(), instrumentA.device(), 2);
    Program b(programB.path(), storage.path(), instrumentB.device());
    for (Simulator* instrument : {&instrumentA, &instrumentB})
        QVERIFY2(instrument->waitForLog("! script finished", 120000),
            instrument->log.right(2000).constData());
    QVERIFY(a.stop());
    QVERIFY(b.stop());

    const QStringList records = Records(storage);
    QCOMPARE(records.size(), 2 * TestsEach);
    QSet<QString> names;
    QMap<QString, int> testsWithValue;
    for (const QString& record : records) {
        const std::optional<QString> name = RecordTestName(record);
        QVERIFY2(name.has_value(), qPrintable(record));
        names.insert(*name);
        const QStringList values = Values(storage.filePath("Serie/" + MeasurementFileName(*name)));
        QCOMPARE(values.size(), 1);
        ++testsWithValue[values.first()];
    }
    QCOMPARE(names.size(), 2 * TestsEach);
    QCOMPARE(testsWithValue, (QMap<QString, int> {{" 11.1", TestsEach}, {" 22.2", TestsEach}}));
    QCOMPARE(QDir(storage.filePath("Serie")).entryList({"Alt*"}, QDir::Files), QStringList());
}

// A program killed in the middle of a test leaves its file without a record; the next start on the
// protocol finds it and records it from its header.
void ProcessesTest::aKilledProgramsTestIsRecordedLater()
{
    QTemporaryDir storage, program;
    MakeSeries(storage);
    Simulator instrument(
        storage, "s.txt", Connected + "*S11\n*I00000010\n*A00000000333000.0\nwait 600\n");
    Program killed(program.path(), storage.path(), instrument.device());
    const QString file = storage.filePath("Serie/No-00001-1.CSV");
    QTRY_COMPARE_WITH_TIMEOUT(Values(file), QStringList {" 33.3"}, 60000);
    ::kill(pid_t(killed.process.processId()), SIGKILL);
    QVERIFY(killed.process.waitForFinished(20000));
    QCOMPARE(Records(storage), QStringList());

    // The next start finds it, and records it from its header.
    const QString protocol = storage.filePath("Serie.CSV"), folder = storage.filePath("Serie/");
    QCOMPARE(FindUnrecordedTests(protocol, folder).size(), 1u);
    QCOMPARE(WriteUnrecordedRecords(protocol, folder, ';', {"00001-1"}), AppendOutcome::Added);
    QCOMPARE(Records(storage).size(), 1);
    QCOMPARE(RecordTestName(Records(storage).first()), QString("00001-1"));
}
QTEST_MAIN(ProcessesTest)
#include "test_processes.moc"
