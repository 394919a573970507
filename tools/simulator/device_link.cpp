#include "device_link.h"

#include "traffic_log.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(const QByteArray& path)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(TrafficLog::printable(path)),
        QString::fromLocal8Bit(std::strerror(errno)));
}

QByteArray linkTarget(const QByteArray& path)
{
    QByteArray buffer(4096, '\0');
    const ssize_t n
        = ::readlink(path.constData(), buffer.data(), static_cast<size_t>(buffer.size()));
    return n < 0 ? QByteArray() : buffer.left(n);
}

} // namespace

DeviceLink::~DeviceLink()
{
    remove();
}

bool DeviceLink::create(const QString& linkPath, const QString& targetPath, QString* error)
{
    const QByteArray path = linkPath.toLocal8Bit();
    struct stat existing { };
    if (::lstat(path.constData(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            *error = QStringLiteral("%1 exists and is not a symbolic link")
                         .arg(TrafficLog::shown(linkPath));
            return false;
        }
        if (::unlink(path.constData()) != 0) {
            *error = systemError(path);
            return false;
        }
    }
    const QByteArray device = targetPath.toLocal8Bit();
    if (::symlink(device.constData(), path.constData()) != 0) {
        *error = systemError(path);
        return false;
    }
    link = path;
    target = device;
    return true;
}

void DeviceLink::remove()
{
    if (!link.isEmpty() && linkTarget(link) == target)
        ::unlink(link.constData());
    link.clear();
}
