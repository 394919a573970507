#include "window/separators.h"

#include "numbers/value_format.h"

const QStringList& FieldSeparatorEntries()
{
    static const QStringList entries = {";  Semikolon", ",  Komma"};
    return entries;
}

const QStringList& DecimalSeparatorEntries()
{
    static const QStringList entries = {".  Dezimalpunkt", ",  Komma"};
    return entries;
}

QString SeparatorOfEntry(const QString& entry)
{
    return entry.left(1);
}

QString SeparatorCodeOf(int fieldIndex, int decimalIndex)
{
    return SignedNumberText(fieldIndex).left(2) + SignedNumberText(decimalIndex).left(2);
}
