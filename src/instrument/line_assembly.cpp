#include "instrument/line_assembly.h"

#include "platform/ansi_codec.h"
#include "platform/comm_control.h"
#include "platform/line_log.h"
#include "window/form1.h"

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

// The receive event: reads everything waiting and processes each completed line in order.
void Form1::comTest_OnComm()
{
    const QString received = comTest->Input();
    const QStringList lines = AssembleLines(RxBuffer, RxDiscardingLongLine, received);
    for (const QString& line : lines) {
        if (lineLog)
            lineLog->Received(comTest->CommPort(), EncodeAnsi(line));
        LastLine = line;
        ProcessLine();
    }
}
