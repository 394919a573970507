#include "traffic_log.h"

#include <cstdio>

namespace {

void writeLine(char marker, const QByteArray& text)
{
    const QByteArray line = QByteArray(1, marker) + ' ' + text + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace

namespace TrafficLog {

QByteArray printable(const QByteArray& bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (code < 0x20 || code >= 0x7f)
            out += "\\x" + QByteArray::number(code, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
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
