#include "instrument/commands.h"

#include "platform/ansi_codec.h"
#include "platform/comm_control.h"
#include "platform/line_log.h"
#include "platform/status_bar.h"
#include "window/form1.h"

QString CommandLine(const QString& command)
{
    return command + QStringLiteral("\n\r");
}

QString CycleCommand(int cycleIndex)
{
    return QStringLiteral("M") + QChar(48 + cycleIndex);
}

QString DurationCommand(int durationIndex)
{
    return QStringLiteral("D") + QString::number(durationIndex);
}

QString TemperatureCommand(bool on)
{
    return on ? QStringLiteral("T1") : QStringLiteral("T0");
}

// Writes a command and echoes it in panel 1. A write to a port that is closed or missing is lost;
// nothing waits for an answer. True when the command reached the line.
bool Form1::SendCommand(const QString& command)
{
    const bool sent = WriteCommand(command);
    StBar1->setPanelText(1, QStringLiteral("Ausg: ") + command);
    return sent;
}

// The probe of the port search; it has no echo.
void Form1::SendProbe()
{
    WriteCommand(ProbeCommand);
}

// A command as it goes out, with its line end, and into the line log.
bool Form1::WriteCommand(const QString& command)
{
    const QString text = CommandLine(command);
    const bool sent = comTest->setOutput(text);
    if (sent && lineLog)
        lineLog->Sent(comTest->CommPort(), EncodeAnsi(text));
    return sent;
}

void Form1::SendCycleCommand(int cycleIndex)
{
    SendCommand(CycleCommand(cycleIndex));
}

void Form1::SendDurationCommand(int durationIndex)
{
    SendCommand(DurationCommand(durationIndex));
}

void Form1::SendTemperatureCommand(bool on)
{
    SendCommand(TemperatureCommand(on));
}

void Form1::SendStartCommand()
{
    SendCommand(StartCommand);
}

bool Form1::SendEndCommand()
{
    return SendCommand(EndCommand);
}
