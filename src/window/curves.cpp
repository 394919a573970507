// The curves: the running test in the live graph, stored tests in the comparison graph, and the
// curve list that chooses them.
#include "graph/plot_frame.h"
#include "instrument/field_reading.h"
#include "platform/flex_grid.h"
#include "platform/picture_box.h"
#include "platform/text_file.h"
#include "run/measurement_file.h"
#include "window/form1.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <array>
#include <vector>

namespace {

const QColor Red(PlotColour::Red);
constexpr std::array<QRgb, 4> PositionColours {
    0, PlotColour::Black, PlotColour::Blue, PlotColour::Red};
const QString Shown = QStringLiteral("-1");
const QString NotShown = QStringLiteral("0");

bool IsShown(const QString& flag)
{
    return FieldValue(flag) != 0;
}

} // namespace

void Form1::PlotLiveSample(int position, double viscosity, double temperature, bool temperatureOn,
    qint32 elapsedSeconds, bool continuesCurve)
{
    if (position < 1 || position >= int(Grafik.size()))
        return;
    PictureBox& graph = *Grafik[position];
    const float y = PlotOrdinate(viscosity * 10);
    float x = 0;
    graph.setDrawWidth(2);
    if (continuesCurve) {
        x = float(PlotX(elapsedSeconds, DurationMinutes[CurrentDurationRow()]));
        graph.Line({PrevX[position], PrevY[position]}, {x, y});
    }
    PrevX[position] = x;
    PrevY[position] = y;
    graph.setDrawWidth(1);
    if (temperatureOn) {
        const float temperatureY = PlotOrdinate(temperature * 10 / TempScaleFactor);
        if (continuesCurve)
            graph.Line({PrevTempX[position], PrevTempY[position]}, {x, temperatureY}, Red);
        PrevTempX[position] = x;
        PrevTempY[position] = temperatureY;
    }
}

// The row of the duration tables for DurationIndex; the empty row 0 for an unknown duration.
int Form1::CurrentDurationRow() const
{
    return DurationIndex >= 1 && DurationIndex <= DurationCount ? DurationIndex : 0;
}

// The measurement folder of the protocol file now selected.
QString Form1::MeasurementFolder() const
{
    return Label10->text() + TabProtDatei->currentText() + QDir::separator();
}

// Draws one stored test from its measurement file; a missing or short file draws nothing. A test
// whose temperatures are all 0 measured none and gets no temperature curve.
void Form1::DrawStoredCurve(const QString& Name, qint16 Position)
{
    const std::optional<StoredCurve> curve
        = ReadStoredCurve(MeasurementFolder() + MeasurementFileName(Name));
    if (!curve || curve->samples.empty())
        return;
    const std::vector<StoredSample>& samples = curve->samples;
    const bool temperatureMeasured = curve->temperatureMeasured;
    PictureBox& graph = *Grafik[0];
    graph.setDrawWidth(1);
    const bool viscosityDrawn = Position >= 1 && Position < qint16(PositionColours.size());
    QPointF previousViscosity(0, samples.front().viscosity * 10);
    QPointF previousTemperature(0, samples.front().temperature / TempScaleFactor * 10);
    for (const StoredSample& sample : samples) {
        const double x
            = RoundHalfEven(PlotX(sample.seconds, DurationMinutes[CurrentDurationRow()]));
        const QPointF viscosity(x, sample.viscosity * 10);
        const QPointF temperature(x, sample.temperature / TempScaleFactor * 10);
        if (viscosityDrawn)
            graph.Line(previousViscosity, viscosity, QColor(PositionColours[Position]));
        if (temperatureMeasured)
            graph.Line(previousTemperature, temperature, Red);
        previousViscosity = viscosity;
        previousTemperature = temperature;
    }
}

void Form1::RedrawStoredCurves()
{
    ResetComparisonGraph();
    for (int row = 1; row < WahlTab->Rows(); ++row) {
        if (!IsShown(WahlTab->TextMatrix(row, ShownColumn)))
            continue;
        DrawStoredCurve(
            StoredTestName(row), RoundHalfEven16(FieldValue(WahlTab->TextMatrix(row, 1))));
    }
}

// "test-position" of a row of the curve list, as its measurement file is named.
QString Form1::StoredTestName(int row) const
{
    return WahlTab->TextMatrix(row, 0).trimmed() + '-' + WahlTab->TextMatrix(row, 1).trimmed();
}

QStringList Form1::ShownStoredTests() const
{
    QStringList names;
    for (int row = 1; row < WahlTab->Rows(); ++row) {
        if (IsShown(WahlTab->TextMatrix(row, ShownColumn)))
            names.append(StoredTestName(row));
    }
    return names;
}

void Form1::FormatCurveList()
{
    WahlTab->setRows(1);
    WahlTab->Clear();
    WahlTab->setFormatString(QStringLiteral(">Test-Nr.|>Kan.|<|<Farbe"));
    const std::array<int, 4> widths {650, 400, 340, 750};
    for (int column = 0; column < int(widths.size()); ++column)
        WahlTab->setColWidth(column, widths[column]);
    WahlTab->setColHidden(3, true);
}

// Shows or hides the curve of the clicked row.
void Form1::WahlTab_Click()
{
    if (WahlTab->Rows() < 2)
        return;
    const int row = WahlTab->Row();
    if (row < 1)
        return;
    const bool shown = IsShown(WahlTab->TextMatrix(row, ShownColumn));
    WahlTab->setTextMatrix(row, ShownColumn, shown ? NotShown : Shown);
    RedrawStoredCurves();
}

void Form1::ButDel_Click(int Index)
{
    ResetComparisonGraph();
    if (Index != 0)
        return;
    for (int row = 1; row < WahlTab->Rows(); ++row)
        WahlTab->setTextMatrix(row, ShownColumn, NotShown);
}
