#include "traffic_log.h"

#include "platform/termination_signals.h"

#include <cstdio>

namespace {

constexpr qsizetype excerptLength = 60;

// Once the simulator is asked to end, the log is left alone: a reader that does not drain it
// must not keep the simulator from ending.
void writeLine(char marker, const QByteArray& text)
{
    if (TerminationSignals::Requested())
        return;
    const QByteArray line = QByteArray(1, marker) + ' ' + text + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

// Appends "\xHH" for a byte without temporaries, as a reply may be megabytes long.
void appendHexEscape(QByteArray& out, unsigned char code)
{
    constexpr char digits[] = "0123456789abcdef";
    out += "\\x";
    out += digits[code >> 4];
    out += digits[code & 0xf];
}

} // namespace

namespace TrafficLog {

QByteArray printable(const QByteArray& bytes)
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
            appendHexEscape(out, code);
        else
            out += c;
    }
    return out;
}

QString shown(const QString& text)
{
    return QString::fromLatin1(printable(text.toLocal8Bit()));
}

QByteArray excerpt(const QByteArray& bytes)
{
    const QByteArray shown = printable(bytes.left(excerptLength));
    return bytes.size() > excerptLength ? shown + "..." : shown;
}

void received(const QByteArray& command)
{
    writeLine('<', printable(command));
}

void sent(const QByteArray& reply)
{
    writeLine('>', printable(reply));
}

void note(const QByteArray& text)
{
    writeLine('!', text);
}

} // namespace TrafficLog
