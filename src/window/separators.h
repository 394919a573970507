#pragma once

#include <QString>
#include <QStringList>

// The entries of the field-separator and decimal-separator lists; the character taken is always
// the first character of the entry.
const QStringList& FieldSeparatorEntries();
const QStringList& DecimalSeparatorEntries();

// The separator character of a list entry (empty for an empty entry).
QString SeparatorOfEntry(const QString& entry);

// The two list indexes as stored in the settings file: the first two characters of each index's
// signed-number text (" 0 0", " 1 0").
QString SeparatorCodeOf(int fieldIndex, int decimalIndex);
