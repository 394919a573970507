#pragma once

#include <QByteArray>
#include <QString>

// One line per event on standard error: "< CMD" for a received command, "> REPLY" for a reply
// sent, "! text" for anything else worth knowing. Control and non-ASCII bytes are written as
// escapes (platform/visible_text.h, as in the program's own serial-line log) so that every event
// stays on one line.
namespace TrafficLog {
void received(const QByteArray& command);
void sent(const QByteArray& reply);
void note(const QByteArray& text);
// The bytes with those escapes.
QByteArray printable(const QByteArray& bytes);
// A path or argument for a one-line message, with control and non-ASCII bytes escaped.
QString shown(const QString& text);
// The start of bytes for a one-line message: at most 60 bytes, escaped, "..." when cut.
QByteArray excerpt(const QByteArray& bytes);
} // namespace TrafficLog
