#include "window/separators.h"

#include "run/value_format.h"
#include "window/form1.h"

#include <QComboBox>
#include <QSignalBlocker>

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

// Fills both lists and selects their first entries, which sets the separators through the
// lists' own click handling.
void Form1::FillSeparatorLists()
{
    for (int index = 0; index < 2; ++index) {
        FieldSepByIndex[index] = QString(QChar(FieldSeparatorByIndex[index]));
        FieldSepSubstitute[index] = QString(QChar(FieldSeparatorSubstitute[index]));
    }
    for (auto [list, entries] : {std::pair {DatenTrenn, &FieldSeparatorEntries()},
             std::pair {DezimalTrenn, &DecimalSeparatorEntries()}}) {
        const QSignalBlocker quiet(list);
        list->clear();
        list->addItems(*entries);
        list->setCurrentIndex(-1);
    }
    DatenTrenn->setCurrentIndex(0);
    DezimalTrenn->setCurrentIndex(0);
}

void Form1::DatenTrenn_Click()
{
    FieldSeparator = SeparatorOfEntry(DatenTrenn->currentText());
    UpdateSeparatorCode();
}

void Form1::DezimalTrenn_Click()
{
    DecimalSeparator = SeparatorOfEntry(DezimalTrenn->currentText());
    UpdateSeparatorCode();
}

void Form1::UpdateSeparatorCode()
{
    SeparatorCode = SeparatorCodeOf(DatenTrenn->currentIndex(), DezimalTrenn->currentIndex());
}
