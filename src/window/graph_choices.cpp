// The window's side of the graphs: the measurement folder of the stored curves, the temperature
// scale both graphs are drawn to, and what their files and printouts are named after.
#include "window/comparison_panel.h"
#include "window/form1.h"
#include "window/graph_export.h"
#include "window/live_graph.h"
#include "window/measurement_panel.h"
#include "window/settings_panel.h"

void Form1::TempSkal_Click(int Index)
{
    if (Index < 1 || Index > 3)
        return;
    settingsTab->ChooseScale(Index);
    graphScale.TempScaleFactor = TempScaleFactorOf(Index);
    liveGraph->DrawPlotFrame();
    comparison->ResetComparisonGraph();
}

// Index 0: the comparison graph, named after the curves shown; 1: the live graph, named after the
// running test.
GraphNames Form1::GraphNamesOf(int Index) const
{
    const auto folder = [this] { return settingsTab->StorageFolder(); };
    if (Index == 0)
        return {[this] { return ComparisonTitle(); },
            [this] {
                return QStringLiteral("Vergleich-") + FileNamePart(settingsTab->ProtocolName());
            },
            folder, [this] { return comparison->Legend(); }};
    return {[this] {
                return (QStringList {QStringLiteral("Messung")} + measurement->TestDescription())
                    .join(QStringLiteral("  "));
            },
        [this] { return QStringLiteral("Messung-") + FileNamePart(measurement->TestNumberText()); },
        folder};
}

// The protocol the curves come from and the day the graph is saved or printed.
QString Form1::ComparisonTitle() const
{
    return settingsTab->ProtocolName().trimmed() + QStringLiteral(" – ")
        + clock().date().toString(QStringLiteral("dd.MM.yyyy"));
}
