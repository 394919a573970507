#include "platform/termination_signals.h"

#include <QObject>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// [0] is read by the event loop, [1] written by the handler.
std::array<int, 2> signalPipe {-1, -1};
volatile std::sig_atomic_t signalCaught = 0;

void NoteSignal(int)
{
    const int savedErrno = errno;
    signalCaught = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

bool CatchSignal(int number, TerminationSignals::BlockedCalls blockedCalls)
{
    struct sigaction action { };
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = blockedCalls == TerminationSignals::BlockedCalls::Resume ? SA_RESTART : 0;
    return ::sigaction(number, &action, nullptr) == 0;
}

void DrainSignalPipe()
{
    char buffer[256];
    while (::read(signalPipe[0], buffer, sizeof buffer) > 0) { }
}

QString SystemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

namespace TerminationSignals {

bool Catch(QString* error, BlockedCalls blockedCalls)
{
    if (signalPipe[0] >= 0)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalPipe.data())
        != 0) {
        if (error)
            *error = QStringLiteral("signal handling: %1").arg(SystemError());
        return false;
    }
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        if (!CatchSignal(number, blockedCalls)) {
            if (error)
                *error = QStringLiteral("signal handling: %1").arg(SystemError());
            return false;
        }
    }
    return true;
}

bool Requested()
{
    return signalCaught != 0;
}

void React(QObject* context, std::function<void()> action)
{
    if (!Catch())
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [action = std::move(action)] {
        DrainSignalPipe();
        action();
    });
}

} // namespace TerminationSignals

#else

namespace TerminationSignals {

bool Catch(QString*, BlockedCalls)
{
    return true;
}

bool Requested()
{
    return false;
}

void React(QObject*, std::function<void()>) { }

} // namespace TerminationSignals

#endif
