#pragma once

#include <QString>
#include <QStringList>

// The storage drives offered by the drive list: the mounted volumes by their root paths, the
// root "/" first (drive letters on Windows). Pseudo file systems are left out.
QStringList MountedDriveRoots();

// The drive of a path: the longest of the roots that contains it; empty when none does.
QString DriveOfPath(const QString& path, const QStringList& roots);
