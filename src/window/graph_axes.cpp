// The plot frame of both graphs: the duration tables, the three axes, the temperature scale.
#include "graph/plot_frame.h"
#include "instrument/field_reading.h"
#include "platform/picture_box.h"
#include "run/value_format.h"
#include "window/form1.h"

#include <QApplication>
#include <QRadioButton>
#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr int AxisStep = 100;
constexpr std::array<float, 4> TempScaleFactors {0, 0.5F, 1.0F, 1.5F};
const QColor Black(PlotColour::Black);
const QColor Cyan(PlotColour::Cyan);
const QColor Red(PlotColour::Red);
const QColor Blue(PlotColour::Blue);
const QColor GraphBackground(PlotColour::Background);
} // namespace

void Form1::FillDurationTables()
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

// Both graphs alike: the plot coordinates, solid lines of width 1, Arial 8 pt on light yellow.
void Form1::SetUpGraphs()
{
    for (PictureBox* graph : Grafik) {
        graph->setDrawWidth(1);
        graph->setDrawStyle(Qt::SolidLine);
        graph->Scale({Plot::Left, Plot::Top}, {Plot::Right, Plot::Bottom});
        graph->setTextFont(QFont(QStringLiteral("Arial"), 8, QFont::Normal));
        graph->setBackColor(GraphBackground);
        graph->Cls();
    }
}

PictureBox* Form1::GraphAt(int Index) const
{
    return Index >= 0 && Index < int(Grafik.size()) ? Grafik[Index] : nullptr;
}

void Form1::DrawViscosityAxis(int Index)
{
    if (!GraphAt(Index))
        return;
    PictureBox& graph = *Grafik[Index];
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
void Form1::DrawTimeAxis(int Index)
{
    if (!GraphAt(Index))
        return;
    PictureBox& graph = *Grafik[Index];
    const int d = CurrentDurationRow();
    graph.Line({0, 0}, {Plot::Width, 0});
    if (MinorTickStep[d] > 0) {
        for (int x = int(Plot::Width); x >= 0; x -= MinorTickStep[d])
            graph.Line({float(x), -14}, {float(x), 0});
    }
    if (MajorTickStep[d] > 0 && TimeLabelDivisor[d] > 0) {
        for (int x = 0; x <= Plot::Width; x += MajorTickStep[d]) {
            graph.Line({float(x), -30}, {float(x), 0}, Black);
            graph.setCurrentPosition(float(x - 40), -50);
            graph.Print(TimeLabel(double(x) / TimeLabelDivisor[d]));
            if (x > 0)
                graph.Line({float(x), 0}, {float(x), Plot::Height}, Cyan);
        }
    }
    graph.setCurrentPosition(3400, 60);
    graph.Print(DurationText[d].mid(4));
}

void Form1::DrawTemperatureAxis(int Index)
{
    if (TempOnOff[0]->isChecked() || !GraphAt(Index))
        return;
    PictureBox& graph = *Grafik[Index];
    for (int y = 0; y <= Plot::Height; y += AxisStep) {
        graph.Line({20, float(y)}, {0, float(y)});
        graph.setCurrentPosition(60, float(y + 15));
        if (y > 0) {
            graph.setForeColor(Red);
            graph.Print(AxisLabel(RoundHalfEven(y / 10 * TempScaleFactor)));
            graph.setForeColor(Black);
        }
    }
    graph.setForeColor(Red);
    graph.setCurrentPosition(40, 1100);
    graph.Print(QStringLiteral("Temperatur"));
    graph.setCurrentPosition(60, 1070);
    graph.Print(QStringLiteral("Grad C"));
    graph.setForeColor(Black);
}

// Clears the graph of a position and draws its frame and limit line (the live graph is
// position 1).
void Form1::DrawPlotFrame(int position)
{
    if (!GraphAt(position))
        return;
    Grafik[position]->Cls();
    DrawViscosityAxis(position);
    DrawTimeAxis(position);
    DrawTemperatureAxis(position);
    if (LimitValue[position] > 0)
        DrawLimitLine(position);
}

void Form1::ResetComparisonGraph()
{
    Grafik[0]->Cls();
    DrawViscosityAxis(0);
    DrawTimeAxis(0);
    DrawTemperatureAxis(0);
}

void Form1::TempSkal_Click(int Index)
{
    if (Index < 1 || Index > 3)
        return;
    for (int i = 1; i <= 3; ++i)
        ShowScaleChoice(*TempSkal[i], false);
    TempSkal[Index]->setChecked(true);
    ShowScaleChoice(*TempSkal[Index], true);
    TempScaleFactor = TempScaleFactors[Index];
    DrawPlotFrame(1);
    ResetComparisonGraph();
}

// The chosen scale stands out in bold blue; the others in the usual button text.
void Form1::ShowScaleChoice(QRadioButton& option, bool chosen)
{
    QPalette colours = option.palette();
    const QColor text = chosen ? Blue : QApplication::palette().color(QPalette::ButtonText);
    colours.setColor(QPalette::WindowText, text);
    colours.setColor(QPalette::ButtonText, text);
    option.setPalette(colours);
    QFont font = option.font();
    font.setBold(chosen);
    option.setFont(font);
}
