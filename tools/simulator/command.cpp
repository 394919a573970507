#include "command.h"

#include <array>

int cycleSeconds(char code)
{
    const int n = code - '0';
    if (n == 0)
        return 1;
    if (n >= 1 && n <= 5)
        return 10 * n;
    if (n >= 6 && n <= 65)
        return 60 * (n - 5);
    return 0;
}

int durationSeconds(char digit)
{
    constexpr std::array<int, 9> minutes {15, 30, 60, 120, 300, 600, 1200, 3000, 6000};
    const int index = digit - '1';
    if (index < 0 || index >= static_cast<int>(minutes.size()))
        return 0;
    return 60 * minutes[static_cast<size_t>(index)];
}

namespace {

Command withValue(CommandKind kind, int value)
{
    if (value == 0)
        return {};
    return {kind, value};
}

Command parseTemperature(char flag)
{
    if (flag == '0' || flag == '1')
        return {CommandKind::Temperature, flag - '0'};
    return {};
}

} // namespace

Command parseCommand(const QByteArray& line)
{
    if (line == "RUN")
        return {CommandKind::Probe};
    if (line == "S")
        return {CommandKind::Start};
    if (line == "E")
        return {CommandKind::End};
    if (line.size() != 2)
        return {};
    switch (line[0]) {
    case 'M':
        return withValue(CommandKind::Cycle, cycleSeconds(line[1]));
    case 'D':
        return withValue(CommandKind::Duration, durationSeconds(line[1]));
    case 'T':
        return parseTemperature(line[1]);
    default:
        return {};
    }
}
