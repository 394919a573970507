#include "platform/visible_text.h"

namespace {

// Appends "\xHH" for a byte without temporaries, as a reply may be megabytes long.
void AppendHexEscape(QByteArray& out, unsigned char code)
{
    constexpr char digits[] = "0123456789abcdef";
    out += "\\x";
    out += digits[code >> 4];
    out += digits[code & 0xf];
}

} // namespace

QByteArray VisibleBytes(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (code < 0x20 || code >= 0x7f)
            AppendHexEscape(out, code);
        else
            out += c;
    }
    return out;
}

QByteArray VisibleExcerpt(const QByteArray& bytes, qsizetype length)
{
    const QByteArray shown = VisibleBytes(bytes.left(length));
    return bytes.size() > length ? shown + "..." : shown;
}

QString VisibleText(const QString& text)
{
    return QString::fromLatin1(VisibleBytes(text.toLocal8Bit()));
}
