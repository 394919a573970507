#include "platform/ansi_codec.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr char kUnmappable = '?';
constexpr int kByteCount = 256;

// Both directions of the code page, derived once from the system's converter so that no table is
// written by hand. Lookups are plain array accesses, which keeps long texts fast.
struct CodePage {
    struct Extra {
        char16_t character;
        char byte;
    };

    std::array<QChar, kByteCount> byteToChar {};
    std::array<int, kByteCount> latinToByte {}; // -1 where the character has no byte
    std::vector<Extra> extras; // characters above U+00FF, sorted by character

    CodePage();
    int ByteOf(char16_t character) const;
};

QChar DecodeOneByte(int byte)
{
    QStringDecoder decoder("windows-1252");
    const QString decoded = decoder.decode(QByteArray(1, static_cast<char>(byte)));
    // Without a Windows-1252 converter a byte reads as Latin-1, which agrees outside 0x80..0x9F.
    if (!decoder.isValid() || decoder.hasError() || decoded.size() != 1) {
        return QChar(static_cast<char16_t>(byte));
    }
    return decoded.front();
}

CodePage::CodePage()
{
    latinToByte.fill(-1);
    for (int byte = 0; byte < kByteCount; ++byte) {
        const char16_t character = DecodeOneByte(byte).unicode();
        byteToChar[byte] = QChar(character);
        if (character < kByteCount) {
            latinToByte[character] = byte;
        } else {
            extras.push_back({character, static_cast<char>(byte)});
        }
    }
    std::sort(extras.begin(), extras.end(),
        [](const Extra& a, const Extra& b) { return a.character < b.character; });
}

int CodePage::ByteOf(char16_t character) const
{
    if (character < kByteCount) {
        return latinToByte[character];
    }
    const auto found = std::lower_bound(extras.begin(), extras.end(), character,
        [](const Extra& extra, char16_t wanted) { return extra.character < wanted; });
    if (found == extras.end() || found->character != character) {
        return -1;
    }
    return static_cast<unsigned char>(found->byte);
}

const CodePage& Windows1252()
{
    static const CodePage codePage;
    return codePage;
}

bool StartsSurrogatePair(const QString& text, qsizetype index)
{
    return text[index].isHighSurrogate() && index + 1 < text.size()
        && text[index + 1].isLowSurrogate();
}

} // namespace

QByteArray EncodeAnsi(const QString& text)
{
    const CodePage& codePage = Windows1252();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (qsizetype index = 0; index < text.size(); ++index) {
        const int byte = codePage.ByteOf(text[index].unicode());
        if (byte < 0 && StartsSurrogatePair(text, index)) {
            ++index;
        }
        *out++ = byte < 0 ? kUnmappable : static_cast<char>(byte);
    }
    bytes.truncate(out - bytes.constData());
    return bytes;
}

QString DecodeAnsi(const QByteArray& bytes)
{
    const CodePage& codePage = Windows1252();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        *out++ = codePage.byteToChar[static_cast<unsigned char>(byte)];
    }
    return text;
}
