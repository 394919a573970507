#include "platform/line_log.h"

#include "platform/text_file.h"
#include "platform/visible_text.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <QDir>
#include <io.h>
#include <windows.h>
#endif

namespace {

constexpr char kLogVariable[] = "TALIV_LOG";

QByteArray Stamp(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1();
}

// The bytes of an entry made visible; a long one is cut and says how long it was.
QByteArray Shown(const QByteArray& bytes)
{
    if (bytes.size() <= LineLog::MaxEntryBytes)
        return VisibleBytes(bytes);
    return VisibleExcerpt(bytes, LineLog::MaxEntryBytes) + " (" + QByteArray::number(bytes.size())
        + " bytes)";
}

// The one place of the log's line format: time, port, direction, the bytes, LF.
QByteArray Entry(const QDateTime& time, int port, const char* direction, const QByteArray& bytes)
{
    return Stamp(time) + " COM" + QByteArray::number(port) + ' ' + direction + ' ' + Shown(bytes)
        + '\n';
}

// A line of the log about itself: "--" where port and direction would stand.
QByteArray Note(const QDateTime& time, const QByteArray& text)
{
    return Stamp(time) + " -- " + text + '\n';
}

QString Reason(const QString& path, const QString& what)
{
    return QStringLiteral("%1: %2").arg(path, what);
}

#ifdef Q_OS_WIN
// Windows: a handle with append access only, so the system puts every write at the end, also with
// other programs writing; not inherited by started programs. Others may read and append, but not
// remove the file while it is written. Without write access a part of an entry cannot be taken
// back. -1 on failure, with GetLastError set.
int OpenForAppending(const QString& path)
{
    const HANDLE file
        = ::CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
            FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    // Binary; no _O_APPEND, whose seek before each write the handle makes needless.
    const int opened = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY);
    if (opened < 0)
        ::CloseHandle(file);
    return opened;
}

// The C library of Windows has no ftruncate under that name.
int ftruncate(int handle, qint64 size)
{
    return ::_chsize_s(handle, size) == 0 ? 0 : -1;
}
#endif

} // namespace

std::unique_ptr<LineLog> LineLog::FromEnvironment(Clock clock)
{
    if (qEnvironmentVariableIsEmpty(kLogVariable))
        return nullptr;
    return std::make_unique<LineLog>(QFile::decodeName(qgetenv(kLogVariable)), std::move(clock));
}

LineLog::LineLog(const QString& path, Clock clock, qint64 sizeLimit)
    : path(path)
    , clock(clock ? std::move(clock) : Clock(SystemNow))
    , sizeLimit(sizeLimit)
{
    Open();
}

LineLog::~LineLog()
{
    if (handle >= 0)
        ::close(handle);
}

void LineLog::Sent(int port, const QByteArray& bytes)
{
    Add(port, "->", bytes);
}

void LineLog::Received(int port, const QByteArray& bytes)
{
    Add(port, "<-", bytes);
}

void LineLog::Add(int port, const char* direction, const QByteArray& bytes)
{
    if (!IsWriting())
        return;
    const std::optional<qint64> size = CurrentSize();
    if (!size)
        return;
    const QDateTime now = clock();
    const QByteArray entry = Entry(now, port, direction, bytes);
    if (*size + entry.size() > sizeLimit) {
        const QByteArray limit = QByteArray::number(sizeLimit);
        Append(Note(now, "log stopped: it reached its limit of " + limit + " bytes"), *size);
        Stop(Reason(path, QStringLiteral("Größengrenze von %1 Bytes erreicht").arg(sizeLimit)));
        return;
    }
    Append(entry, *size);
}

// Appending, never truncating. O_NONBLOCK: should a pipe without a reader take the name between
// the check and the open, the open fails instead of waiting for a reader.
void LineLog::Open()
{
    if (!IsRegularFileOrFree(path)) {
        Stop(Reason(path, QStringLiteral("keine gewöhnliche Datei")));
        return;
    }
#ifdef Q_OS_WIN
    const int opened = OpenForAppending(path);
    if (opened < 0) {
        Stop(Reason(path, qt_error_string(int(::GetLastError()))));
        return;
    }
#else
    const int opened = ::open(QFile::encodeName(path).constData(),
        O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (opened < 0) {
        Stop(Reason(path, qt_error_string(errno)));
        return;
    }
#endif
    struct stat status { };
    if (::fstat(opened, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(opened);
        Stop(Reason(path, QStringLiteral("keine gewöhnliche Datei")));
        return;
    }
    handle = opened;
}

// The size of the log file. A file removed meanwhile (to start afresh) would swallow every line,
// so the path is opened anew, once for each removal.
std::optional<qint64> LineLog::CurrentSize()
{
    struct stat status { };
    if (::fstat(handle, &status) == 0 && status.st_nlink == 0) {
        ::close(handle);
        handle = -1;
        Open();
        if (!IsWriting())
            return std::nullopt;
    }
    if (::fstat(handle, &status) != 0) {
        Stop(Reason(path, qt_error_string(errno)));
        return std::nullopt;
    }
    return qint64(status.st_size);
}

// One write per entry, so that two programs on the same log never mix their lines. A part of an
// entry (a full disk) is taken back, so the log always ends with a whole line.
bool LineLog::Append(const QByteArray& entry, qint64 sizeBefore)
{
    ssize_t written = -1;
    do {
        written = ::write(handle, entry.constData(), size_t(entry.size()));
    } while (written < 0 && errno == EINTR);
    if (written == entry.size())
        return true;
    const QString what = written < 0
        ? qt_error_string(errno)
        : QStringLiteral("nur %1 von %2 Bytes geschrieben").arg(written).arg(entry.size());
    if (written > 0 && ::ftruncate(handle, sizeBefore) != 0) {
        // Nothing more to do: the log stops below either way.
    }
    Stop(Reason(path, what));
    return false;
}

// The log stays stopped: trying again on every line could cost each line a failing system call
// and a disk that fills and empties would leave holes that look like a quiet line.
void LineLog::Stop(const QString& reason)
{
    if (handle >= 0)
        ::close(handle);
    handle = -1;
    failure = reason;
}
