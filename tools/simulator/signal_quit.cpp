#include "signal_quit.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::array<int, 2> signalPipe {-1, -1};

void handleSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

bool catchSignal(int number)
{
    struct sigaction action { };
    action.sa_handler = handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(number, &action, nullptr) == 0;
}

} // namespace

SignalQuit::SignalQuit(QObject* parent)
    : QObject(parent)
{
}

SignalQuit::~SignalQuit()
{
    delete notifier;
    for (int& fd : signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

bool SignalQuit::install(QString* error)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe.data()) != 0
        || !catchSignal(SIGTERM) || !catchSignal(SIGINT) || ::signal(SIGPIPE, SIG_IGN) == SIG_ERR) {
        *error = QStringLiteral("signal handling: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read);
    connect(notifier, &QSocketNotifier::activated, this, &SignalQuit::onSignal);
    return true;
}

void SignalQuit::onSignal()
{
    char buffer[16];
    while (::read(signalPipe[0], buffer, sizeof buffer) > 0) { }
    QCoreApplication::quit();
}
