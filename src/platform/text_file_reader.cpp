#include "platform/ansi_codec.h"
#include "platform/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

constexpr qint64 kReadChunkBytes = 64 * 1024;

bool IsLineEnd(char byte)
{
    return byte == '\r' || byte == '\n';
}

} // namespace

TextFileReader::TextFileReader() = default;
TextFileReader::~TextFileReader() = default;

bool TextFileReader::Open(const QString& path)
{
    Close();
    if (!QFileInfo(path).isFile()) {
        return false;
    }
    auto opened = std::make_unique<QFile>(path);
    if (!opened->open(QIODevice::ReadOnly)) {
        return false;
    }
    file = std::move(opened);
    return true;
}

void TextFileReader::Close()
{
    file.reset();
    buffer.clear();
    position = 0;
    lineEndedWithCr = false;
    failed = false;
}

// Makes sure that at least one unread byte is in the buffer; false at the end or on an error.
bool TextFileReader::FillBuffer()
{
    if (position < buffer.size()) {
        return true;
    }
    if (!file || failed) {
        return false;
    }
    buffer.resize(kReadChunkBytes);
    const qint64 count = file->read(buffer.data(), buffer.size());
    failed = count < 0;
    buffer.resize(std::max<qint64>(count, 0));
    position = 0;
    return count > 0;
}

// The LF of a CR LF pair may lie in the next chunk, so it is skipped when the next line is asked
// for.
void TextFileReader::SkipLfOfCrLf()
{
    if (lineEndedWithCr && FillBuffer() && buffer[position] == '\n') {
        ++position;
    }
    lineEndedWithCr = false;
}

bool TextFileReader::AtEnd()
{
    SkipLfOfCrLf();
    return !FillBuffer();
}

// Moves the bytes up to the next line end (or the end of the buffer) into line, as far as the line
// has room; true when the line end was reached.
bool TextFileReader::AppendUpToLineEnd(QByteArray& line)
{
    const char* begin = buffer.constData() + position;
    const char* end = buffer.constData() + buffer.size();
    const char* stop = std::find_if(begin, end, IsLineEnd);
    const qsizetype room = kMaxLineLength - line.size();
    line.append(begin, std::min<qsizetype>(stop - begin, room));
    position = stop - buffer.constData();
    if (stop == end) {
        return false;
    }
    lineEndedWithCr = *stop == '\r';
    ++position;
    return true;
}

std::optional<QString> TextFileReader::ReadLine()
{
    if (AtEnd()) {
        return std::nullopt;
    }
    QByteArray line;
    while (FillBuffer()) {
        if (AppendUpToLineEnd(line)) {
            return DecodeAnsi(line);
        }
    }
    if (failed) {
        return std::nullopt;
    }
    return DecodeAnsi(line);
}

std::optional<QStringList> ReadTextLines(const QString& path, qsizetype maxLines)
{
    TextFileReader reader;
    if (!reader.Open(path) || QFileInfo(path).size() > kMaxReadAllBytes) {
        return std::nullopt;
    }
    QStringList lines;
    while (lines.size() < maxLines) {
        const std::optional<QString> line = reader.ReadLine();
        if (!line) {
            break;
        }
        lines.append(*line);
    }
    if (reader.HasFailed()) {
        return std::nullopt;
    }
    return lines;
}
