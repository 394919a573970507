#pragma once

#include <QString>
#include <QStringList>

// A line longer than this without CR is discarded up to the next CR, so that a sender that never
// ends its line cannot fill the memory.
constexpr qsizetype MaxReplyLength = 1024;

// Received characters become lines: CR ends a line, LF is dropped, everything else is collected in
// rxBuffer until the next CR. Returns the lines completed by these characters, in order.
// discardingLongLine remembers across calls that the line under way has passed MaxReplyLength.
QStringList AssembleLines(QString& rxBuffer, bool& discardingLongLine, QStringView received);
