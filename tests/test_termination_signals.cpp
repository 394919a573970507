// Termination signals: caught at any moment, in any number, they end the program normally.
#include "platform/message_box.h"
#include "platform/termination_signals.h"
#include "test_support.h"
#include "window/close_on_signal.h"

#include <QDeadlineTimer>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

class TerminationSignalsTest : public QObject {
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
        PseudoTerminal instrument;
        const QTemporaryDir folder;
        qputenv("TALIV_COM1", instrument.device.toLocal8Bit());
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
        QByteArray probe;
        for (const QDeadlineTimer deadline(60000); probe.size() < 5 && !deadline.hasExpired();)
            probe += instrument.receive(5 - probe.size());
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
};

QTEST_MAIN(TerminationSignalsTest)
#include "test_termination_signals.moc"
