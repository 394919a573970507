#include "instrument/line_assembly.h"

namespace {
constexpr char16_t CR = 13;
constexpr char16_t LF = 10;
} // namespace

QStringList AssembleLines(QString& rxBuffer, bool& discardingLongLine, QStringView received)
{
    QStringList lines;
    for (const QChar character : received) {
        if (character == CR) {
            if (!discardingLongLine)
                lines << rxBuffer;
            rxBuffer.clear();
            discardingLongLine = false;
        } else if (character != LF && !discardingLongLine) {
            if (rxBuffer.size() < MaxReplyLength) {
                rxBuffer += character;
            } else {
                rxBuffer.clear();
                discardingLongLine = true;
            }
        }
    }
    return lines;
}
