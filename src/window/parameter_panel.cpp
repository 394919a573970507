#include "window/parameter_panel.h"

#include "platform/message_box.h"
#include "settings/settings_file.h"
#include "window/layout_helpers.h"
#include "window/separators.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

ParameterPanel::ParameterPanel(
    std::function<void(const QString&, int, const QString&)> message, QWidget* parent)
    : QWidget(parent)
    , DatenTrenn(new QComboBox)
    , DezimalTrenn(new QComboBox)
    , tell(std::move(message))
{
    DatenTrenn->setObjectName("DatenTrenn");
    DezimalTrenn->setObjectName("DezimalTrenn");
    auto* frame = new QGroupBox("Feldtrennzeichen / Dezimal-Trennzeichen  ");
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel("Datentrennzeichen:"), 0, 0);
    grid->addWidget(DatenTrenn, 0, 1);
    grid->addWidget(WrappedLabel("Die Messzeit und der Messwert werden durch dieses Zeichen "
                                 "getrennt .................................."),
        0, 2);
    grid->addWidget(new QLabel("Dezimaltrennzeichen:"), 1, 0);
    grid->addWidget(DezimalTrenn, 1, 1);
    grid->addWidget(WrappedLabel("Die Nachkommastellen vom Messwert werden mit diesem Zeichen "
                                 "getrennt ..........................."),
        1, 2);
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addStretch(1);
    ChainTabOrder({DatenTrenn, DezimalTrenn});
    connect(DatenTrenn, &QComboBox::currentIndexChanged, this, &ParameterPanel::DatenTrenn_Click);
    connect(
        DezimalTrenn, &QComboBox::currentIndexChanged, this, &ParameterPanel::DezimalTrenn_Click);
}

// Fills both lists and selects their first entries, which sets the separators through the
// lists' own click handling.
void ParameterPanel::FillSeparatorLists()
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

void ParameterPanel::DatenTrenn_Click()
{
    const QString chosen = SeparatorOfEntry(DatenTrenn->currentText());
    if (chosen == decimalSeparator) {
        RefuseSeparatorPair(*DatenTrenn, fieldSeparator);
        return;
    }
    fieldSeparator = chosen;
    UpdateSeparatorCode();
}

void ParameterPanel::DezimalTrenn_Click()
{
    const QString chosen = SeparatorOfEntry(DezimalTrenn->currentText());
    if (chosen == fieldSeparator) {
        RefuseSeparatorPair(*DezimalTrenn, decimalSeparator);
        return;
    }
    decimalSeparator = chosen;
    UpdateSeparatorCode();
}

// One character as field and decimal separator would make every data line unreadable: the
// choice is refused and the list shows the separator in force again.
void ParameterPanel::RefuseSeparatorPair(QComboBox& list, const QString& kept)
{
    {
        const QSignalBlocker quiet(&list);
        for (int index = 0; index < list.count(); ++index) {
            if (SeparatorOfEntry(list.itemText(index)) == kept)
                list.setCurrentIndex(index);
        }
    }
    tell(QStringLiteral("Feldtrennzeichen und Dezimaltrennzeichen dürfen nicht gleich sein.")
            + QStringLiteral("\r\n\r\n")
            + QStringLiteral("Sonst kann kein Programm die Messwerte der Messdatei mehr "
                             "auseinanderhalten. Die bisherige Wahl bleibt bestehen."),
        MsgStyle::OkOnly + MsgStyle::Exclamation, QStringLiteral("Trennzeichen"));
}

void ParameterPanel::UpdateSeparatorCode()
{
    separatorCode = SeparatorCodeOf(DatenTrenn->currentIndex(), DezimalTrenn->currentIndex());
}

void ParameterPanel::ApplySeparatorCode(const QString& code)
{
    const int fieldIndex = FieldSeparatorIndexOf(code);
    if (fieldIndex >= 0 && fieldIndex < DatenTrenn->count())
        DatenTrenn->setCurrentIndex(fieldIndex);
    const int decimalIndex = DecimalSeparatorIndexOf(code);
    if (decimalIndex >= 0 && decimalIndex < DezimalTrenn->count())
        DezimalTrenn->setCurrentIndex(decimalIndex);
}
