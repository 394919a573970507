// The window's side of the graphs: the measurement folder of the stored curves, the temperature
// scale both graphs are drawn to, and what their files and printouts are named after.
#include "window/comparison_panel.h"
#include "window/form1.h"
#include "window/graph_export.h"
#include "window/live_graph.h"
#include "window/measurement_panel.h"
#include "window/settings_panel.h"

#include <QRegularExpression>

namespace {

constexpr int MostNamedCurves = 12;

// Only characters every file system takes, so that a suggested name always works.
QString FileNamePart(QString text)
{
    static const QRegularExpression unsafe(QStringLiteral(R"([^\w.-]+)"));
    return text.trimmed().replace(unsafe, QStringLiteral("_"));
}

} // namespace

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
            folder};
    return {[this] {
                return (QStringList {QStringLiteral("Messung")} + measurement->TestDescription())
                    .join(QStringLiteral("  "));
            },
        [this] { return QStringLiteral("Messung-") + FileNamePart(measurement->TestNumberText()); },
        folder};
}

QString Form1::ComparisonTitle() const
{
    QStringList curves = comparison->ShownStoredTests();
    if (curves.size() > MostNamedCurves) {
        curves = curves.mid(0, MostNamedCurves);
        curves.append(QStringLiteral("…"));
    }
    return QStringLiteral("Vergleichsgrafik  ")
        + (curves.isEmpty() ? QStringLiteral("(keine Kurve gewählt)") : curves.join(", "));
}
