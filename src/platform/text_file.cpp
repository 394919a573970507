#include "platform/text_file.h"

#include "platform/ansi_codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <functional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <io.h>
#endif

namespace {

constexpr qint64 kCopyChunkBytes = 64 * 1024;

// The bytes of one line with its CR LF. A line break inside the text would split the line and
// shift every line after it, so it is written as a blank.
QByteArray EncodeLine(const QString& text)
{
    QByteArray bytes = EncodeAnsi(text);
    bytes.replace('\r', ' ').replace('\n', ' ');
    bytes.append("\r\n");
    return bytes;
}

bool CopyContents(QFile& from, QFile& to)
{
    QByteArray chunk(kCopyChunkBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 count = from.read(chunk.data(), chunk.size());
        if (count <= 0) {
            return count == 0;
        }
        if (to.write(chunk.constData(), count) != count) {
            return false;
        }
    }
}

// A file removed from its folder while open (its folder deleted) still takes writes on Unix, but
// they are lost: that counts as a failed write.
bool StillInItsFolder(const QFile& file)
{
#ifdef Q_OS_UNIX
    struct stat status { };
    return ::fstat(file.handle(), &status) != 0 || status.st_nlink > 0;
#else
    Q_UNUSED(file);
    return true;
#endif
}

bool EndsWithinALine(const QString& path)
{
    QFile existing(path);
    if (!existing.open(QIODevice::ReadOnly) || existing.size() == 0
        || !existing.seek(existing.size() - 1)) {
        return false;
    }
    char last = 0;
    return existing.getChar(&last) && last != '\n' && last != '\r';
}

bool SyncToDisk(QFile& file)
{
#ifdef Q_OS_WIN
    return file.flush() && ::_commit(file.handle()) == 0;
#else
    return file.flush() && ::fsync(file.handle()) == 0;
#endif
}

// A rename is on the disk only once its folder is.
void SyncFolderOf(const QString& path)
{
#ifdef Q_OS_UNIX
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
#else
    Q_UNUSED(path);
#endif
}

// Writes the new contents under the saving name, syncs them and renames them over path; on any
// failure the saving file is removed and path stays as it was. A link is followed, so the file it
// names is replaced and the link stays.
bool SaveReplacing(const QString& path, const std::function<bool(QFile&)>& fill)
{
    if (!IsRegularFileOrFree(path)) {
        return false;
    }
    const QFileInfo target(path);
    const QString finalPath = target.isSymLink() ? target.symLinkTarget() : path;
    QFile saving(SavingNameOf(finalPath));
    if (!saving.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    if (target.exists()) {
        saving.setPermissions(QFile::permissions(finalPath));
    }
    const bool written = fill(saving) && SyncToDisk(saving);
    saving.close();
    std::error_code failed;
    if (written && saving.error() == QFileDevice::NoError) {
        std::filesystem::rename(std::filesystem::path(saving.fileName().toStdU16String()),
            std::filesystem::path(finalPath.toStdU16String()), failed);
        if (!failed) {
            SyncFolderOf(finalPath);
            return true;
        }
    }
    saving.remove();
    return false;
}

bool NameLessIgnoringCase(const QString& a, const QString& b)
{
    const int ignoringCase = a.compare(b, Qt::CaseInsensitive);
    return ignoringCase != 0 ? ignoringCase < 0 : a < b;
}

} // namespace

TextFileWriter::TextFileWriter() = default;
TextFileWriter::~TextFileWriter() = default;
TextFileWriter::TextFileWriter(TextFileWriter&& other) noexcept = default;
TextFileWriter& TextFileWriter::operator=(TextFileWriter&& other) noexcept = default;

bool TextFileWriter::Open(const QString& path, WriteMode mode)
{
    Close();
    if (!IsRegularFileOrFree(path)) {
        return false;
    }
    // Unbuffered: each line goes to the operating system in one write, nothing waits in memory.
    const QIODevice::OpenMode flags = QIODevice::WriteOnly | QIODevice::Unbuffered
        | (mode == WriteMode::Append           ? QIODevice::Append
                : mode == WriteMode::CreateNew ? QIODevice::NewOnly
                                               : QIODevice::Truncate);
    const bool lastLineOpen = mode == WriteMode::Append && EndsWithinALine(path);
    auto opened = std::make_unique<QFile>(path);
    if (!opened->open(flags)) {
        return false;
    }
    // A last line without its line end (a file saved by an editor) is ended first, so that the
    // appended lines never run into it.
    if (lastLineOpen && opened->write("\r\n") != 2) {
        return false;
    }
    file = std::move(opened);
    return true;
}

bool TextFileWriter::WriteLine(const QString& text)
{
    if (!IsOpen()) {
        return false;
    }
    const QByteArray bytes = EncodeLine(text);
    const qint64 sizeBefore = file->size();
    if (file->write(bytes) != bytes.size()) {
        // A part of a line (a full disk) would run into the next line: it is taken back.
        file->resize(sizeBefore);
        return false;
    }
    ++unsyncedLines;
    return StillInItsFolder(*file);
}

bool TextFileWriter::Sync()
{
    if (!file) {
        return false;
    }
    unsyncedLines = 0;
    return SyncToDisk(*file);
}

bool TextFileWriter::Close()
{
    if (!file) {
        return true;
    }
    const bool flushed = Sync();
    file->close();
    const bool closedCleanly = file->error() == QFileDevice::NoError;
    file.reset();
    return flushed && closedCleanly;
}

bool TextFileWriter::IsOpen() const
{
    return file != nullptr;
}

bool WriteTextLines(const QString& path, const QStringList& lines, WriteMode mode)
{
    TextFileWriter writer;
    if (!writer.Open(path, mode)) {
        return false;
    }
    const bool allWritten = std::all_of(lines.begin(), lines.end(),
        [&writer](const QString& line) { return writer.WriteLine(line); });
    return writer.Close() && allWritten;
}

QString AsWrittenLine(const QString& text)
{
    return DecodeAnsi(EncodeLine(text).chopped(2));
}

bool ReplaceTextFile(const QString& path, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += EncodeLine(line);
    }
    return ReplaceFileBytes(path, bytes);
}

bool IsRegularFileOrFree(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() || !info.exists();
}

QString SavingNameOf(const QString& path)
{
    return path + QStringLiteral(".~taliv");
}

bool ReplaceFileBytes(const QString& path, const QByteArray& bytes)
{
    return SaveReplacing(path, [&bytes](QFile& file) { return file.write(bytes) == bytes.size(); });
}

std::optional<QByteArray> ReadFileBytes(const QString& path)
{
    QFile file(path);
    if (!FileExist(path) || file.size() > kMaxReadAllBytes || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.read(kMaxReadAllBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxReadAllBytes) {
        return std::nullopt;
    }
    return bytes;
}

bool FileExist(const QString& path)
{
    return QFileInfo(path).isFile();
}

bool FileCopy(const QString& source, const QString& target)
{
    QFile from(source);
    if (!FileExist(source) || !from.open(QIODevice::ReadOnly)) {
        return false;
    }
    return SaveReplacing(target, [&from](QFile& to) { return CopyContents(from, to); });
}

bool FileDelete(const QString& path)
{
    return FileExist(path) && QFile::remove(path);
}

bool MakeFolder(const QString& path)
{
    return QDir().mkdir(path);
}

QStringList ListFolderFiles(const QString& folder, const QString& pattern)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists()) {
        return {};
    }
    // Without QDir::CaseSensitive the pattern matches letters of either case.
    QStringList names = dir.entryList({pattern}, QDir::Files, QDir::NoSort);
    std::sort(names.begin(), names.end(), NameLessIgnoringCase);
    return names;
}

std::optional<QDateTime> FileDateTime(const QString& path)
{
    const QFileInfo info(path);
    const QDateTime changed = info.lastModified();
    if (!info.exists() || !changed.isValid()) {
        return std::nullopt;
    }
    return changed;
}
