// Termination signals: caught at any moment, in any number, they end the program normally.
#include "platform/message_box.h"
#include "platform/termination_signals.h"
#include "test_support.h"
#include "window/close_on_signal.h"

#include <QDeadlineTimer>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// More signals than the self-pipe can hold.
constexpr int FloodSize = 20000;

// Three threads that send SIGTERM to a process as fast as they can until they are cleared.
std::vector<std::jthread> SignalFlood(pid_t target)
{
    std::vector<std::jthread> threads;
    for (int sender = 0; sender < 3; ++sender)
        threads.emplace_back([target](const std::stop_token& stop) {
            while (!stop.stop_requested())
                ::kill(target, SIGTERM);
        });
    return threads;
}

// A copy of taliv01 in the folder, started there with COM1 on the given device (the test runs
// offscreen, and so does the program). It is started without QProcess so that it is reaped only
// when the test says so: a pid that is not reaped cannot be reused by another process while the
// flood goes on.
pid_t StartProgram(const QString& folder, const QString& comDevice)
{
    qputenv("TALIV_COM1", comDevice.toLocal8Bit());
    const QByteArray program = ProgramCopyIn(folder, TALIV01_EXE).toLocal8Bit();
    const QByteArray workingFolder = folder.toLocal8Bit();
    char* argv[] = {const_cast<char*>(program.constData()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, workingFolder.constData());
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
}

// Whether the process has ended within the time; it is left unreaped.
bool EndsWithin(pid_t pid, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    siginfo_t info {};
    while (!deadline.hasExpired()) {
        if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid)
            return true;
        QTest::qSleep(10);
    }
    return false;
}

// Reaps the process (killing it first if it still runs): its exit code, or -1 for a crash.
int Reap(pid_t pid)
{
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

class TerminationSignalsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(TerminationSignals::Catch()); }

    // Signals caught before anyone reacts are kept, and any number of them is one reaction.
    void floodNeitherBlocksNorTouchesErrno()
    {
        ::raise(SIGHUP);
        for (int count = 0; count < FloodSize; ++count)
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

    void programEndsNormallyUnderAFlood()
    {
        PseudoTerminal instrument;
        const QTemporaryDir folder;
        const pid_t program = StartProgram(folder.path(), instrument.device);
        QVERIFY(program > 0);
        // The probe on COM1 shows that the program is up and its window being built.
        QByteArray probe;
        for (const QDeadlineTimer deadline(60000); probe.size() < 5 && !deadline.hasExpired();)
            probe += instrument.receive(5 - probe.size());
        std::vector<std::jthread> flood = SignalFlood(program);
        const bool ended = EndsWithin(program, 60000);
        flood.clear();
        const int exitCode = Reap(program);
        QVERIFY2(probe.startsWith("RUN\n\r"), probe.constData());
        QVERIFY2(ended, "the program did not end");
        QCOMPARE(exitCode, 0);
        QVERIFY(QFile::exists(folder.filePath(SettingsFileName)));
    }
};

QTEST_MAIN(TerminationSignalsTest)
#include "test_termination_signals.moc"
