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
    const QString chosen = SeparatorOfEntry(DatenTrenn->currentText());
    if (chosen == DecimalSeparator) {
        RefuseSeparatorPair(*DatenTrenn, FieldSeparator);
        return;
    }
    FieldSeparator = chosen;
    UpdateSeparatorCode();
}

void Form1::DezimalTrenn_Click()
{
    const QString chosen = SeparatorOfEntry(DezimalTrenn->currentText());
    if (chosen == FieldSeparator) {
        RefuseSeparatorPair(*DezimalTrenn, DecimalSeparator);
        return;
    }
    DecimalSeparator = chosen;
    UpdateSeparatorCode();
}

// One character as field and decimal separator would make every data line unreadable: the
// choice is refused and the list shows the separator in force again.
void Form1::RefuseSeparatorPair(QComboBox& list, const QString& kept)
{
    {
        const QSignalBlocker quiet(&list);
        for (int index = 0; index < list.count(); ++index) {
            if (SeparatorOfEntry(list.itemText(index)) == kept)
                list.setCurrentIndex(index);
        }
    }
    MsgBox(QStringLiteral("Feldtrennzeichen und Dezimaltrennzeichen dürfen nicht gleich sein.")
            + CrLf + CrLf
            + QStringLiteral("Sonst kann kein Programm die Messwerte der Messdatei mehr "
                             "auseinanderhalten. Die bisherige Wahl bleibt bestehen."),
        MsgStyle::OkOnly + MsgStyle::Exclamation, QStringLiteral("Trennzeichen"));
}

void Form1::UpdateSeparatorCode()
{
    SeparatorCode = SeparatorCodeOf(DatenTrenn->currentIndex(), DezimalTrenn->currentIndex());
}
