#include "window/comparison_panel.h"

#include "graph/plot_frame.h"
#include "numbers/field_reading.h"
#include "platform/flex_grid.h"
#include "platform/picture_box.h"
#include "records/measurement_file.h"
#include "records/protocol_file.h"
#include "window/graph_scale.h"
#include "window/layout_helpers.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <vector>

namespace {

constexpr int ShownColumn = 2;
const QColor Red(PlotColour::Red);
constexpr std::array<QRgb, 4> PositionColours {
    0, PlotColour::Black, PlotColour::Blue, PlotColour::Red};
const QString Shown = QStringLiteral("-1");
const QString NotShown = QStringLiteral("0");

// A short line of the legend of the comparison graph.
QLabel* LegendLine(const QColor& color)
{
    auto* line = new QLabel;
    line->setFixedSize(36, 2);
    line->setAutoFillBackground(true);
    QPalette colours = line->palette();
    colours.setColor(QPalette::Window, color);
    line->setPalette(colours);
    return line;
}

} // namespace

ComparisonPanel::ComparisonPanel(
    const GraphScale& graphScale, std::function<QString()> folder, QWidget* parent)
    : QWidget(parent)
    , scale(graphScale)
    , folderOfCurves(std::move(folder))
    , Grafik0(new PictureBox)
    , WahlTab(new FlexGrid)
    , ButDel0(new QPushButton("Alle Kurven löschen"))
{
    Grafik0->setObjectName("Grafik0");
    WahlTab->setObjectName("WahlTab");
    ButDel0->setObjectName("ButDel0");
    SetUpGraph(*Grafik0);
    WahlTab->setCheckColumn(ShownColumn);
    // A row is the record's test number and position, and its curve starts hidden.
    WahlTab->setLineCutter([](QStringView record, int column) {
        return column < ShownColumn ? RecordCell(record, column)
            : column == ShownColumn ? NotShown
                                    : QString();
    });
    WahlTab->setFont(QFont("Arial", 8));
    // The list holds short test numbers; the rest of the width belongs to the graph.
    WahlTab->setMaximumWidth(200);

    auto* legend = new QHBoxLayout;
    legend->addWidget(LegendLine(Qt::black));
    legend->addWidget(new QLabel("Leitwert"));
    legend->addSpacing(24);
    legend->addWidget(LegendLine(Qt::red));
    legend->addWidget(new QLabel("Temperatur"));
    legend->addStretch(1);

    auto* list = new QVBoxLayout;
    list->addWidget(new QLabel("Angezeigte Messungen :"));
    list->addWidget(WahlTab, 1);
    list->addWidget(ButDel0);

    auto* frame = new QGroupBox("Alle Messungen ");
    auto* grid = new QGridLayout(frame);
    grid->addLayout(legend, 0, 0);
    grid->addWidget(Grafik0, 1, 0);
    grid->addLayout(list, 0, 1, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    ChainTabOrder({WahlTab, ButDel0});

    connect(WahlTab, &FlexGrid::Click, this, &ComparisonPanel::WahlTab_Click);
    connect(ButDel0, &QPushButton::clicked, this, &ComparisonPanel::ButDel_Click);
    connect(Grafik0, &PictureBox::MenuRequested, this, &ComparisonPanel::menuRequested);
}

void ComparisonPanel::FormatCurveList()
{
    WahlTab->setRows(1);
    WahlTab->Clear();
    WahlTab->setFormatString(QStringLiteral(">Test-Nr.|>Kan.|<|<Farbe"));
    const std::array<int, 4> widths {650, 400, 340, 750};
    for (int column = 0; column < int(widths.size()); ++column)
        WahlTab->setColWidth(column, widths[column]);
    WahlTab->setColHidden(1, true);
    WahlTab->setColHidden(3, true);
}

void ComparisonPanel::AddCurveRows(const QStringList& records)
{
    WahlTab->AppendLines(records);
}

int ComparisonPanel::CurveRows() const
{
    return WahlTab->Rows();
}

bool ComparisonPanel::IsShown(int row) const
{
    return FieldValue(WahlTab->TextMatrix(row, ShownColumn)) != 0;
}

void ComparisonPanel::SetShown(int row, bool shown)
{
    WahlTab->setTextMatrix(row, ShownColumn, shown ? Shown : NotShown);
}

QString ComparisonPanel::StoredTestName(int row) const
{
    return WahlTab->TextMatrix(row, 0).trimmed() + '-' + WahlTab->TextMatrix(row, 1).trimmed();
}

QStringList ComparisonPanel::ShownStoredTests() const
{
    QStringList names;
    for (int row = 1; row < WahlTab->Rows(); ++row) {
        if (IsShown(row))
            names.append(StoredTestName(row));
    }
    return names;
}

void ComparisonPanel::ShowAgain(const QStringList& names)
{
    if (names.isEmpty())
        return;
    for (int row = 1; row < WahlTab->Rows(); ++row) {
        if (names.contains(StoredTestName(row)))
            SetShown(row, true);
    }
}

void ComparisonPanel::RemoveCurveRow(int row)
{
    WahlTab->RemoveRow(row);
}

void ComparisonPanel::ResetComparisonGraph()
{
    DrawPlotAxes(*Grafik0, scale);
}

// Showing a curve draws it over the graph; hiding one draws the graph again from the curves
// already read.
void ComparisonPanel::ShowCurve(int row, bool shown)
{
    SetShown(row, shown);
    if (shown)
        DrawStoredCurveOfRow(row);
    else
        RedrawStoredCurves();
}

// Draws the shown curves in the list's order; the curves of tests no longer shown are let go.
void ComparisonPanel::RedrawStoredCurves()
{
    ResetComparisonGraph();
    QSet<QString> shownPaths;
    for (int row = 1; row < WahlTab->Rows(); ++row) {
        if (!IsShown(row))
            continue;
        shownPaths.insert(folderOfCurves() + MeasurementFileName(StoredTestName(row)));
        DrawStoredCurveOfRow(row);
    }
    readCurves.removeIf([&shownPaths](const QHash<QString, ReadCurve>::iterator& entry) {
        return !shownPaths.contains(entry.key());
    });
}

void ComparisonPanel::DrawStoredCurveOfRow(int row)
{
    DrawStoredCurve(StoredTestName(row), RoundHalfEven16(FieldValue(WahlTab->TextMatrix(row, 1))));
}

// The file is read again only when its size or time of change differ from the last read.
const std::optional<StoredCurve>& ComparisonPanel::CurveOfFile(const QString& path)
{
    const QFileInfo file(path);
    const qint64 size = file.exists() ? file.size() : -1;
    const QDateTime modified = file.lastModified();
    ReadCurve& read = readCurves[path];
    if (read.size != size || read.modified != modified || size < 0)
        read = {size, modified, ReadStoredCurve(path)};
    return read.curve;
}

// Draws one stored test from its measurement file; a missing or short file draws nothing. A test
// whose temperatures are all 0 measured none and gets no temperature curve.
void ComparisonPanel::DrawStoredCurve(const QString& Name, qint16 Position)
{
    const std::optional<StoredCurve>& curve
        = CurveOfFile(folderOfCurves() + MeasurementFileName(Name));
    if (!curve || curve->samples.empty())
        return;
    const std::vector<StoredSample>& samples = curve->samples;
    const bool temperatureMeasured = curve->temperatureMeasured;
    PictureBox& graph = *Grafik0;
    graph.setDrawWidth(1);
    const float factor = scale.TempScaleFactor;
    const bool viscosityDrawn = Position >= 1 && Position < qint16(PositionColours.size());
    QPointF previousViscosity(0, samples.front().viscosity * 10);
    QPointF previousTemperature(0, samples.front().temperature / factor * 10);
    for (const StoredSample& sample : samples) {
        const double x = RoundHalfEven(PlotX(sample.seconds, scale.CurrentDurationMinutes()));
        const QPointF viscosity(x, sample.viscosity * 10);
        const QPointF temperature(x, sample.temperature / factor * 10);
        if (viscosityDrawn)
            graph.Line(previousViscosity, viscosity, QColor(PositionColours[Position]));
        if (temperatureMeasured)
            graph.Line(previousTemperature, temperature, Red);
        previousViscosity = viscosity;
        previousTemperature = temperature;
    }
}

// Shows or hides the curve of the clicked row.
void ComparisonPanel::WahlTab_Click()
{
    if (WahlTab->Rows() < 2)
        return;
    const int row = WahlTab->Row();
    if (row < 1)
        return;
    ShowCurve(row, !IsShown(row));
}

void ComparisonPanel::ButDel_Click()
{
    ResetComparisonGraph();
    ForgetShownCurves();
}

void ComparisonPanel::ForgetShownCurves()
{
    for (int row = 1; row < WahlTab->Rows(); ++row)
        SetShown(row, false);
}
