#pragma once

#include <QByteArray>

// The commands the instrument understands, one per line.
enum class CommandKind { Probe, Cycle, Duration, Temperature, Start, End, Unknown };

struct Command {
    CommandKind kind = CommandKind::Unknown;
    int value = 0; // Cycle and Duration: seconds; Temperature: 1 on, 0 off
};

Command parseCommand(const QByteArray& line);

// "M" + character of code 48 + n: n = 0 motor always on (a measurement every second),
// n = 1..5 every 10 * n seconds, n = 6..65 every n - 5 minutes. 0 for a character out of range.
int cycleSeconds(char code);

// "D" + digit 1..9: 15, 30, 60 minutes, 2, 5, 10, 20, 50, 100 hours. 0 for any other character.
int durationSeconds(char digit);
