#pragma once

#include <QByteArray>
#include <QString>

// Bytes made fit for one line of a log: CR as "\r", LF as "\n", a backslash as "\\", every other
// control or non-ASCII byte as "\xHH" (lower-case hex), printable ASCII as it is. Shared by the
// program's serial-line log and the simulator's traffic log, so both read the same.
QByteArray VisibleBytes(const QByteArray& bytes);

// The first `length` bytes made visible, then "..." when there were more. The cut falls between
// bytes, never inside an escape.
QByteArray VisibleExcerpt(const QByteArray& bytes, qsizetype length);

// A path or argument for a one-line message: its local 8-bit bytes made visible.
QString VisibleText(const QString& text);
