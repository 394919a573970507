// The run parameters: cycle, duration and temperature measurement, sent to the instrument as
// soon as they are chosen.
#include "instrument/instrument_link.h"
#include "platform/status_bar.h"
#include "window/form1.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>

// A list with no entry chosen sends nothing.
void Form1::MessZyklusTab_Click()
{
    const int entry = MessZyklusTab->currentIndex();
    if (entry < 0)
        return;
    link->SendCycleCommand(entry);
    StBar1->setPanelText(4, QStringLiteral("Zyklus: ") + MessZyklusTab->currentText());
}

void Form1::Messzeit_Click()
{
    const int entry = Messzeit->currentIndex();
    if (entry < 0)
        return;
    DurationIndex = qint16(entry + 1);
    DrawPlotFrame(1);
    ResetComparisonGraph();
    link->SendDurationCommand(DurationIndex);
}

// Without temperature measurement no temperature is shown: the last one measured would look
// current.
void Form1::TempOnOff_Click(int Index)
{
    link->SendTemperatureCommand(Index == 1);
    Frame10->setVisible(Index == 1);
    run->TemperatureChosen(Index);
}
