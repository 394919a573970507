#pragma once

#include <QString>
#include <memory>

class QLockFile;

// How long a program waits for another one to finish with a shared file: far longer than a record
// or the start of a test takes.
constexpr int SharedFileWaitMilliseconds = 3000;
// A record is not given up while other programs take turns on the protocol file: its wait is
// longer than many programs' appends and starts one after the other.
constexpr int RecordWaitMilliseconds = 20000;

// A lock that every copy of the program respects, kept as the file "<path>.lock" beside the file
// it guards. A lock left behind by a process that no longer runs is taken over. Held while the
// object lives.
class FileLock {
public:
    // Waits up to `waitMilliseconds` for the lock; IsHeld() tells whether it was taken.
    // HeldByOther() whether another program keeps it: a lock that cannot be made at all (a full
    // disk, a folder that cannot be written) keeps nobody from the file.
    // A lock held `Briefly` counts as left behind once it is older than half a minute, also when
    // its program runs on another computer; one held `WhileRunning` only once its program is gone.
    enum class Hold { Briefly, WhileRunning };
    FileLock(const QString& guardedPath, int waitMilliseconds, Hold hold = Hold::Briefly);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool IsHeld() const { return held; }
    bool HeldByOther() const { return heldByOther; }

private:
    std::unique_ptr<QLockFile> lock;
    bool held = false;
    bool heldByOther = false;
};

// The name of the lock file of a guarded file.
QString LockFileOf(const QString& guardedPath);

// Whether a running program holds the lock of the file now; the lock's age does not count.
bool IsLockedByOther(const QString& guardedPath);

// Removes the saving file that a save of savedPath left behind (a crash, a power cut), while no
// program holds the lock of guardPath, under which every save of savedPath is made.
void RemoveUnfinishedSave(const QString& savedPath, const QString& guardPath);
