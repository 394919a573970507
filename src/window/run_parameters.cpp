// The run parameters: cycle, duration and temperature measurement, sent to the instrument as
// soon as they are chosen.
#include "instrument/instrument_link.h"
#include "platform/status_bar.h"
#include "window/comparison_panel.h"
#include "window/form1.h"
#include "window/live_graph.h"
#include "window/settings_panel.h"

// A list with no entry chosen sends nothing.
void Form1::MessZyklusTab_Click()
{
    const int entry = settingsTab->CycleEntry();
    if (entry < 0)
        return;
    link->SendCycleCommand(entry);
    StBar1->setPanelText(4, QStringLiteral("Zyklus: ") + settingsTab->CycleText());
}

void Form1::Messzeit_Click()
{
    const int entry = settingsTab->DurationEntry();
    if (entry < 0)
        return;
    graphScale.DurationIndex = qint16(entry + 1);
    liveGraph->DrawPlotFrame();
    comparison->ResetComparisonGraph();
    link->SendDurationCommand(graphScale.DurationIndex);
}

// Without temperature measurement no temperature is shown: the last one measured would look
// current.
void Form1::TempOnOff_Click(int Index)
{
    link->SendTemperatureCommand(Index == 1);
    settingsTab->ShowScaleFrame(Index == 1);
    run->TemperatureChosen(Index);
}
