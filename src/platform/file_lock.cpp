#include "platform/file_lock.h"

#include "platform/text_file.h"

#include <QLockFile>

FileLock::FileLock(const QString& guardedPath, int waitMilliseconds, Hold hold)
    : lock(std::make_unique<QLockFile>(LockFileOf(guardedPath)))
{
    if (hold == Hold::WhileRunning)
        lock->setStaleLockTime(0);
    held = lock->tryLock(waitMilliseconds);
    heldByOther = !held && lock->error() == QLockFile::LockFailedError;
}

FileLock::~FileLock() = default;

QString LockFileOf(const QString& guardedPath)
{
    return guardedPath + QStringLiteral(".lock");
}

bool IsLockedByOther(const QString& guardedPath)
{
    // The lock of a running test may be hours old: only a program that is gone lets it go.
    return FileLock(guardedPath, 0, FileLock::Hold::WhileRunning).HeldByOther();
}

void RemoveUnfinishedSave(const QString& savedPath, const QString& guardPath)
{
    const QString saving = SavingNameOf(savedPath);
    if (!FileExist(saving))
        return;
    const FileLock guard(guardPath, 0);
    if (!guard.HeldByOther())
        FileDelete(saving);
}
