#pragma once

#include <QString>
#include <QStringList>

// The settings file "TALIV01.INI": 19 lines, each value at its line number.
//   1 drive, 2 storage folder, 3 cycle list index (-1: none), 4 duration list index,
//   5 separator code (" 0 0": field and decimal separator list indexes), 6 temperature "1"/"0",
//   7 temperature scale 1-3, 8-19 the protocol file in use (the last line counts).
inline const QString SettingsFileName = QStringLiteral("TALIV01.INI");
constexpr int SettingsLineCount = 19;

struct Settings {
    QString drive;
    QString folder;
    int cycleIndex = -1;
    int durationIndex = 0;
    QString separatorCode = QStringLiteral(" 0 0");
    int temperature = 0;
    int scaleIndex = 1;
    QString protocolName;
};

QStringList SettingsLines(const Settings& settings);

// The settings of the lines read; a line the file does not have, or a number line without a
// number, keeps its value from `missing` (the first start's values), so a cut or damaged file
// never turns into other choices. A separator code with the comma twice, and a duration index
// beyond the duration list, keep `missing`'s too.
Settings ReadSettingsLines(const QStringList& lines, const Settings& missing);

// The list indexes in a separator code: characters 1-2 and 3-4, each read as a number.
int FieldSeparatorIndexOf(const QString& separatorCode);
int DecimalSeparatorIndexOf(const QString& separatorCode);
