#include "platform/drives.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace {

bool IsPseudoFileSystem(const QString& root)
{
    static const QStringList systemAreas = {"/proc", "/sys", "/dev", "/run"};
    return std::any_of(systemAreas.begin(), systemAreas.end(),
        [&](const QString& area) { return root == area || root.startsWith(area + "/"); });
}

bool Contains(const QString& root, const QString& path)
{
    const Qt::CaseSensitivity sensitivity =
#ifdef Q_OS_WIN
        Qt::CaseInsensitive;
#else
        Qt::CaseSensitive;
#endif
    if (root.endsWith('/'))
        return path.startsWith(root, sensitivity)
            || path.compare(root.chopped(1), sensitivity) == 0;
    return path.compare(root, sensitivity) == 0 || path.startsWith(root + "/", sensitivity);
}

} // namespace

QStringList MountedDriveRoots()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && QFileInfo(root).isDir() && !IsPseudoFileSystem(root))
            roots << root;
    }
    roots.removeDuplicates();
    std::sort(roots.begin(), roots.end());
    const QString systemRoot = QDir::rootPath();
    roots.removeAll(systemRoot);
    roots.prepend(systemRoot);
    return roots;
}

QString DriveOfPath(const QString& path, const QStringList& roots)
{
    const QString cleanPath = QDir::fromNativeSeparators(QDir::cleanPath(path));
    QString best;
    for (const QString& root : roots) {
        if (Contains(QDir::fromNativeSeparators(root), cleanPath) && root.size() > best.size())
            best = root;
    }
    return best;
}
