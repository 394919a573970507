#include "traffic_log.h"

#include "platform/termination_signals.h"
#include "platform/visible_text.h"

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

} // namespace

namespace TrafficLog {

QByteArray printable(const QByteArray& bytes)
{
    return VisibleBytes(bytes);
}

QString shown(const QString& text)
{
    return VisibleText(text);
}

QByteArray excerpt(const QByteArray& bytes)
{
    return VisibleExcerpt(bytes, excerptLength);
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
