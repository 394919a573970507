#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <limits>
#include <memory>
#include <optional>

class QFile;

// Text files of the program: Windows-1252 bytes (ansi_codec.h), every line ended by CR LF, no
// byte-order mark. No function here throws; failures are returned.

enum class WriteMode {
    Create, // an existing file is replaced
    CreateNew, // only a file that does not exist yet is made
    Append, // lines go after the end (a last line without line end is ended first); a missing
            // file is made
};

// Writes lines to one file. Every line reaches the operating system as soon as it is written, so a
// file may stay open for a whole test and a crash never loses a line already written.
class TextFileWriter {
public:
    TextFileWriter();
    ~TextFileWriter();
    TextFileWriter(TextFileWriter&& other) noexcept;
    TextFileWriter& operator=(TextFileWriter&& other) noexcept;

    // Closes the file open before, if any, and opens path.
    bool Open(const QString& path, WriteMode mode);
    // Writes text and CR LF. A CR or LF inside text is written as a blank: one call, one line.
    // False when the bytes were not all written (a part written is taken back, so the file always
    // ends with a whole line) or the file has been removed meanwhile.
    bool WriteLine(const QString& text);
    // Makes the lines written so far reach the disk itself, so that a power cut cannot take them.
    // False without an open file or when the disk reports a failure.
    bool Sync();
    // Lines written since the last sync.
    int UnsyncedLines() const { return unsyncedLines; }
    // Syncs and closes; false when the last bytes could not be written. Without an open file it
    // does nothing.
    bool Close();
    bool IsOpen() const;

private:
    std::unique_ptr<QFile> file;
    int unsyncedLines = 0;
};

// A line's text as the file will hold it and give it back: characters the code page lacks are
// "?", a line break inside is a blank.
QString AsWrittenLine(const QString& text);

// Opens path, writes the lines, syncs them to the disk and closes it again.
bool WriteTextLines(const QString& path, const QStringList& lines, WriteMode mode);

// The name a replacement of path is written under before it is renamed over path. It is the
// program's own, so the leftover of a save cut short can be told from a user's file.
QString SavingNameOf(const QString& path);

// Replaces the whole file: the lines are written under SavingNameOf(path), synced to the disk
// and renamed over it, so a crash or a power cut leaves the old or the new file, never half of one.
bool ReplaceTextFile(const QString& path, const QStringList& lines);

// True for a regular file or a free name: anything else (a folder, a pipe, a device) is not
// opened for writing, as opening it can block or have effects of its own.
bool IsRegularFileOrFree(const QString& path);

// Replaces the whole file with the bytes, in the same way.
bool ReplaceFileBytes(const QString& path, const QByteArray& bytes);

// The bytes of a regular file of at most kMaxReadAllBytes; nothing otherwise.
std::optional<QByteArray> ReadFileBytes(const QString& path);

// Reads a file a line at a time. A line ends at CR LF, at LF or at CR alone; the line end is not
// part of the line; a last line without a line end counts, an empty line after the last line end
// does not. A line longer than kMaxLineLength characters is cut to that length, so that a file
// without line ends (a binary file) cannot fill the memory.
class TextFileReader {
public:
    static constexpr qsizetype kMaxLineLength = 64 * 1024;

    TextFileReader();
    ~TextFileReader();
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    // False when path is no regular file or cannot be opened for reading.
    bool Open(const QString& path);
    // The next line; nothing at the end of the file, without an open file, or after a read error.
    std::optional<QString> ReadLine();
    // The end-of-file test: true when no line is left (or no file is open).
    bool AtEnd();
    // True once reading has failed; the lines read before it stand.
    bool HasFailed() const { return failed; }
    void Close();

private:
    bool FillBuffer();
    void SkipLfOfCrLf();
    bool AppendUpToLineEnd(QByteArray& line);

    std::unique_ptr<QFile> file;
    QByteArray buffer;
    qsizetype position = 0;
    bool lineEndedWithCr = false;
    bool failed = false;
};

// Files larger than this are not read whole; they are no file of this program.
constexpr qint64 kMaxReadAllBytes = 64 * 1024 * 1024;

// The lines of a file (as TextFileReader reads them), at most maxLines of them; nothing when the
// file is missing, cannot be read or is larger than kMaxReadAllBytes.
std::optional<QStringList> ReadTextLines(
    const QString& path, qsizetype maxLines = std::numeric_limits<qsizetype>::max());

// File operations. Paths are written with the platform's separator (QDir::separator()); "/" works
// everywhere too.

// True for an existing regular file (or a link to one); false for folders and anything else.
bool FileExist(const QString& path);

// Copies source over target, replacing a file there. The copy is written beside the target and
// renamed over it, so an old target stays whole when copying fails.
bool FileCopy(const QString& source, const QString& target);

// Deletes one regular file; false when there is none or it cannot be deleted.
bool FileDelete(const QString& path);

// Makes one folder (its parent must exist); false when it exists already or cannot be made.
bool MakeFolder(const QString& path);

// Names of the regular, not hidden files of folder that match pattern ("*" and "?" wildcards,
// letters matched without regard to case, as on Windows), sorted by name without regard to case.
// An empty list when the folder is missing.
QStringList ListFolderFiles(const QString& folder, const QString& pattern);

// The date and time of the last change of a file or folder (local time); nothing when it is
// missing.
std::optional<QDateTime> FileDateTime(const QString& path);
