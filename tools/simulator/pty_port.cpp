#include "pty_port.h"

#include "traffic_log.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr qsizetype pendingLimit = 64 * 1024;
constexpr qsizetype readChunk = 4096;
constexpr qsizetype readPerWakeup = 64 * 1024;
constexpr int readRetryMs = 100;

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(
        QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

PtyPort::PtyPort(QObject* parent)
    : QObject(parent)
{
    readRetry.setSingleShot(true);
    readRetry.setInterval(readRetryMs);
    connect(&readRetry, &QTimer::timeout, this, &PtyPort::resumeReading);
}

PtyPort::~PtyPort()
{
    close();
}

void PtyPort::close()
{
    delete readNotifier;
    readNotifier = nullptr;
    delete writeNotifier;
    writeNotifier = nullptr;
    readRetry.stop();
    readFailing = false;
    pending.clear();
    closeFd(slaveFd);
    closeFd(masterFd);
    slavePath.clear();
}

bool PtyPort::open(QString* error)
{
    if (!openMaster(error) || !openSlave(error)) {
        closeFd(slaveFd);
        closeFd(masterFd);
        return false;
    }
    watchMaster();
    return true;
}

bool PtyPort::openMaster(QString* error)
{
    masterFd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (masterFd < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    if (::grantpt(masterFd) != 0 || ::unlockpt(masterFd) != 0) {
        *error = systemError("grantpt/unlockpt");
        return false;
    }
    const int flags = ::fcntl(masterFd, F_GETFL);
    if (flags < 0 || ::fcntl(masterFd, F_SETFL, flags | O_NONBLOCK) != 0
        || ::fcntl(masterFd, F_SETFD, FD_CLOEXEC) != 0) {
        *error = systemError("fcntl");
        return false;
    }
    const char* name = ::ptsname(masterFd);
    if (name == nullptr) {
        *error = systemError("ptsname");
        return false;
    }
    slavePath = QString::fromLocal8Bit(name);
    return true;
}

bool PtyPort::openSlave(QString* error)
{
    slaveFd = ::open(slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveFd < 0) {
        *error = systemError("open slave");
        return false;
    }
    termios settings {};
    if (::tcgetattr(slaveFd, &settings) != 0) {
        *error = systemError("tcgetattr");
        return false;
    }
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    if (::tcsetattr(slaveFd, TCSANOW, &settings) != 0) {
        *error = systemError("tcsetattr");
        return false;
    }
    return true;
}

void PtyPort::watchMaster()
{
    readNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Read);
    connect(readNotifier, &QSocketNotifier::activated, this, &PtyPort::readAvailable);
    writeNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Write);
    writeNotifier->setEnabled(false);
    connect(writeNotifier, &QSocketNotifier::activated, this, &PtyPort::flushPending);
}

void PtyPort::write(const QByteArray& bytes)
{
    if (masterFd < 0)
        return;
    if (pending.size() + bytes.size() > pendingLimit) {
        TrafficLog::note("output queue full, dropped: " + TrafficLog::excerpt(bytes));
        return;
    }
    pending += bytes;
    flushPending();
}

void PtyPort::flushPending()
{
    while (!pending.isEmpty()) {
        const ssize_t n
            = ::write(masterFd, pending.constData(), static_cast<size_t>(pending.size()));
        if (n > 0) {
            pending.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            writeNotifier->setEnabled(true);
            return;
        }
        TrafficLog::note("write failed, output dropped: " + QByteArray(std::strerror(errno)));
        pending.clear();
    }
    writeNotifier->setEnabled(false);
}

void PtyPort::readAvailable()
{
    char buffer[readChunk];
    qsizetype total = 0;
    while (total < readPerWakeup) {
        const ssize_t n = ::read(masterFd, buffer, sizeof buffer);
        if (n > 0) {
            total += n;
            readFailing = false;
            emit received(QByteArray(buffer, n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        pauseReading(n == 0 ? QByteArray("end of input") : QByteArray(std::strerror(errno)));
        return;
    }
}

void PtyPort::pauseReading(const QByteArray& reason)
{
    if (!readFailing)
        TrafficLog::note("read failed, retrying: " + reason);
    readFailing = true;
    readNotifier->setEnabled(false);
    readRetry.start();
}

void PtyPort::resumeReading()
{
    if (readNotifier)
        readNotifier->setEnabled(true);
}
