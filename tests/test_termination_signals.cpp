// Termination signals: caught at any moment, in any number, they end the program normally.
#include "platform/message_box.h"
#include "platform/termination_signals.h"
#include "test_support.h"
#include "window/close_on_signal.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

namespace {

// More signals than the self-pipe can hold.
constexpr int FloodSize = 20000;

// taliv01 started directly (not through QProcess), so that the test reaps it only after the
// senders have stopped: a pid that is never reaped early cannot be reused by another process.
class Program {
public:
    explicit Program(const QString& comDevice)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("TALIV_COM1", comDevice);
        for (const QString& entry : environment.toStringList())
            environmentBytes << entry.toLocal8Bit();
        std::vector<char*> envp;
        for (QByteArray& entry : environmentBytes)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(TALIV01_EXE), nullptr};
        if (posix_spawn(&pid, TALIV01_EXE, nullptr, nullptr, argv, envp.data()) != 0)
            pid = -1;
    }
    ~Program()
    {
        if (pid > 0 && !reaped) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Waits without reaping, so that signals sent meanwhile still reach this pid or its zombie.
    bool endsWithin(int milliseconds) const
    {
        const QDeadlineTimer deadline(milliseconds);
        siginfo_t info {};
        while (!deadline.hasExpired()) {
            info.si_pid = 0;
            if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid)
                return true;
            QTest::qSleep(10);
        }
        return false;
    }
    // The exit code of a normal end; -1 for an end by a signal.
    int reap()
    {
        int status = 0;
        reaped = ::waitpid(pid, &status, 0) == pid;
        return reaped && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    pid_t pid = -1;

private:
    QList<QByteArray> environmentBytes;
    bool reaped = false;
};

// Threads that send a signal to a process as fast as they can until stopped.
class SignalFlood {
public:
    SignalFlood(pid_t target, int signalNumber, int senders)
    {
        for (int sender = 0; sender < senders; ++sender) {
            threads.emplace_back([this, target, signalNumber] {
                while (!stopped.load())
                    ::kill(target, signalNumber);
            });
        }
    }
    ~SignalFlood() { stop(); }
    SignalFlood(const SignalFlood&) = delete;
    SignalFlood& operator=(const SignalFlood&) = delete;

    void stop()
    {
        stopped.store(true);
        for (std::thread& thread : threads) {
            if (thread.joinable())
                thread.join();
        }
    }

private:
    std::atomic<bool> stopped {false};
    std::vector<std::thread> threads;
};

} // namespace

class TerminationSignalsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(TerminationSignals::Catch()); }
    void signalBeforeTheReactionIsKept();
    void floodNeitherBlocksNorTouchesErrno();
    void openMessageBoxIsAnsweredAndTheWindowClosed();
    void programEndsNormallyUnderAFlood_data();
    void programEndsNormallyUnderAFlood();
};

void TerminationSignalsTest::signalBeforeTheReactionIsKept()
{
    ::raise(SIGHUP);
    QObject context;
    int reactions = 0;
    TerminationSignals::React(&context, [&] { ++reactions; });
    QTRY_COMPARE(reactions, 1);
}

void TerminationSignalsTest::floodNeitherBlocksNorTouchesErrno()
{
    for (int count = 0; count < FloodSize; ++count)
        ::raise(SIGTERM);
    errno = EDOM;
    ::raise(SIGINT);
    QCOMPARE(errno, EDOM);

    QObject context;
    int reactions = 0;
    TerminationSignals::React(&context, [&] { ++reactions; });
    QTRY_COMPARE(reactions, 1);
    QTest::qWait(50);
    QCOMPARE(reactions, 1);
}

void TerminationSignalsTest::openMessageBoxIsAnsweredAndTheWindowClosed()
{
    QWidget window;
    window.show();
    CloseOnTerminationSignals(&window);
    QTimer::singleShot(0, [] { ::raise(SIGTERM); });
    const int answer = ShowMessageBox(
        &window, MsgStyle::RetryCancel + MsgStyle::Exclamation, "Frage", "Wiederholen?");
    QCOMPARE(answer, MsgResult::Cancel);
    QTRY_VERIFY(!window.isVisible());
}

void TerminationSignalsTest::programEndsNormallyUnderAFlood_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<int>("senders");

    QTest::newRow("SIGTERM from three senders") << SIGTERM << 3;
    QTest::newRow("SIGINT") << SIGINT << 1;
    QTest::newRow("SIGHUP") << SIGHUP << 1;
}

void TerminationSignalsTest::programEndsNormallyUnderAFlood()
{
    QFETCH(int, signalNumber);
    QFETCH(int, senders);

    PseudoTerminal instrument;
    Program program(instrument.device);
    QVERIFY(program.pid > 0);
    // The probe on COM1 shows that the program is up and its window being built.
    QCOMPARE(instrument.receive(5), QByteArray("RUN\n\r"));
    SignalFlood flood(program.pid, signalNumber, senders);
    const bool ended = program.endsWithin(20000);
    flood.stop();
    QVERIFY2(ended, "the program did not end");
    QCOMPARE(program.reap(), 0);
}

QTEST_MAIN(TerminationSignalsTest)
#include "test_termination_signals.moc"
