// The plot frame of both graphs: the duration tables, the three axes, the temperature scale.
#include "numbers/field_reading.h"
#include "numbers/value_format.h"
#include "platform/picture_box.h"
#include "window/graph_scale.h"

#include <array>

namespace {
constexpr int AxisStep = 100;
constexpr std::array<float, 4> TempScaleFactors {0, 0.5F, 1.0F, 1.5F};
const QColor Black(PlotColour::Black);
const QColor Cyan(PlotColour::Cyan);
const QColor Red(PlotColour::Red);
const QColor GraphBackground(PlotColour::Background);
} // namespace

GraphScale::GraphScale()
{
    for (int index = 1; index <= DurationCount; ++index) {
        const DurationRow& row = *DurationTableRow(index);
        DurationText[index] = QString::fromLatin1(row.text);
        DurationMinutes[index] = row.minutes;
        MinorTickStep[index] = row.minorTickStep;
        MajorTickStep[index] = row.majorTickStep;
        TimeLabelDivisor[index] = row.timeLabelDivisor;
    }
}

int GraphScale::CurrentDurationRow() const
{
    return DurationIndex >= 1 && DurationIndex <= DurationCount ? DurationIndex : 0;
}

QStringList GraphScale::DurationEntries() const
{
    return QStringList(DurationText.begin() + 1, DurationText.end());
}

float TempScaleFactorOf(int scaleIndex)
{
    return scaleIndex >= 1 && scaleIndex <= 3 ? TempScaleFactors[scaleIndex] : 0.0F;
}

void SetUpGraph(PictureBox& graph)
{
    graph.setDrawWidth(1);
    graph.setDrawStyle(Qt::SolidLine);
    graph.Scale({Plot::Left, Plot::Top}, {Plot::Right, Plot::Bottom});
    graph.setTextFont(QFont(QStringLiteral("Arial"), 8, QFont::Normal));
    graph.setBackColor(GraphBackground);
    graph.Cls();
}

void DrawPlotAxes(PictureBox& graph, const GraphScale& scale)
{
    graph.Cls();
    DrawViscosityAxis(graph);
    DrawTimeAxis(graph, scale);
    DrawTemperatureAxis(graph, scale);
}

void DrawViscosityAxis(PictureBox& graph)
{
    graph.Line({0, 0}, {0, Plot::Height});
    for (int y = int(Plot::Height); y >= 0; y -= AxisStep)
        graph.Line({-40, float(y)}, {0, float(y)});
    for (int y = 0; y <= Plot::Height; y += AxisStep) {
        graph.Line({-20, float(y)}, {0, float(y)}, Black);
        graph.setCurrentPosition(-140, float(y + 15));
        graph.Print(AxisLabel(y / 10));
        graph.Line({0, float(y)}, {Plot::Width, float(y)}, Cyan);
    }
    graph.setCurrentPosition(-180, 1100);
    graph.Print(QStringLiteral("Viskosität"));
    graph.setCurrentPosition(-140, 1070);
    graph.Print(QStringLiteral("in %"));
}

// An unknown duration draws the axis line and its unit place only: no step may be 0.
void DrawTimeAxis(PictureBox& graph, const GraphScale& scale)
{
    const int d = scale.CurrentDurationRow();
    graph.Line({0, 0}, {Plot::Width, 0});
    if (scale.MinorTickStep[d] > 0) {
        for (int x = int(Plot::Width); x >= 0; x -= scale.MinorTickStep[d])
            graph.Line({float(x), -14}, {float(x), 0});
    }
    if (scale.MajorTickStep[d] > 0 && scale.TimeLabelDivisor[d] > 0) {
        for (int x = 0; x <= Plot::Width; x += scale.MajorTickStep[d]) {
            graph.Line({float(x), -30}, {float(x), 0}, Black);
            graph.setCurrentPosition(float(x - 40), -50);
            graph.Print(TimeLabel(double(x) / scale.TimeLabelDivisor[d]));
            if (x > 0)
                graph.Line({float(x), 0}, {float(x), Plot::Height}, Cyan);
        }
    }
    graph.setCurrentPosition(3400, 60);
    graph.Print(scale.DurationText[d].mid(4));
}

void DrawTemperatureAxis(PictureBox& graph, const GraphScale& scale)
{
    if (!scale.temperatureAxis)
        return;
    for (int y = 0; y <= Plot::Height; y += AxisStep) {
        graph.Line({20, float(y)}, {0, float(y)});
        graph.setCurrentPosition(60, float(y + 15));
        if (y > 0) {
            graph.setForeColor(Red);
            graph.Print(AxisLabel(RoundHalfEven(y / 10 * scale.TempScaleFactor)));
            graph.setForeColor(Black);
        }
    }
    // The headings follow the viscosity's where a narrow graph leaves them too little room.
    graph.setForeColor(Red);
    graph.setCurrentPosition(40, 1100);
    graph.PrintBeside(QStringLiteral("Temperatur"));
    graph.setCurrentPosition(60, 1070);
    graph.PrintBeside(QStringLiteral("Grad C"));
    graph.setForeColor(Black);
}
