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
#include <QItemSelectionModel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr int ShownColumn = 2;
constexpr int ColourColumn = 3;
constexpr int ProductColumn = 4;
constexpr int ProductCell = 2;
constexpr int HighlightWidth = 3;
// The colours of the shown tests, told apart also by the colour-blind and in print; yellow, weak
// on the light background, comes last.
const std::array<QString, 8> Palette {QStringLiteral("#0072b2"), QStringLiteral("#d55e00"),
    QStringLiteral("#009e73"), QStringLiteral("#cc79a7"), QStringLiteral("#e69f00"),
    QStringLiteral("#56b4e9"), QStringLiteral("#000000"), QStringLiteral("#f0e442")};
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

// The temperature curve's colour: its test's colour mixed half with white. A solid lighter line
// stays clear where a dashed one would not: the dashes of a dense curve's short pieces run
// together.
QColor Lighter(const QColor& colour)
{
    return QColor((colour.red() + 255) / 2, (colour.green() + 255) / 2, (colour.blue() + 255) / 2);
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
    WahlTab->setColourColumn(ColourColumn);
    // A row is the record's test number, position and product, and its curve starts hidden.
    WahlTab->setLineCutter([](QStringView record, int column) {
        return column < ShownColumn   ? RecordCell(record, column)
            : column == ShownColumn   ? NotShown
            : column == ProductColumn ? RecordCell(record, ProductCell)
                                      : QString();
    });
    WahlTab->setFont(QFont("Arial", 8));
    // The list holds short test numbers and products; the rest of the width belongs to the graph.
    WahlTab->setMaximumWidth(300);

    auto* legend = new QHBoxLayout;
    legend->addWidget(LegendLine(Qt::black));
    legend->addWidget(new QLabel("Leitwert"));
    legend->addSpacing(24);
    legend->addWidget(LegendLine(Lighter(Qt::black)));
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
    connect(WahlTab->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current, const QModelIndex& previous) {
            CurrentRowChanged(current.row() + 1, previous.row() + 1);
        });
    connect(ButDel0, &QPushButton::clicked, this, &ComparisonPanel::ButDel_Click);
    connect(Grafik0, &PictureBox::MenuRequested, this, &ComparisonPanel::menuRequested);
}

void ComparisonPanel::FormatCurveList()
{
    WahlTab->setRows(1);
    WahlTab->Clear();
    WahlTab->setFormatString(QStringLiteral(">Test-Nr.|>Kan.|<|<Farbe|<Produkt"));
    const std::array<int, 5> widths {650, 400, 340, 750, 1500};
    for (int column = 0; column < int(widths.size()); ++column)
        WahlTab->setColWidth(column, widths[column]);
    WahlTab->setColHidden(1, true);
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

// A test shown keeps its colour until it is hidden; a test newly shown takes a free one.
void ComparisonPanel::SetShown(int row, bool shown)
{
    if (row < 1 || row >= WahlTab->Rows())
        return;
    if (!shown)
        WahlTab->setTextMatrix(row, ColourColumn, QString());
    else if (!CurveColour(row).isValid())
        WahlTab->setTextMatrix(row, ColourColumn, FreeColour());
    WahlTab->setTextMatrix(row, ShownColumn, shown ? Shown : NotShown);
}

// The first colour of the palette that the fewest shown tests use: past 8 tests, the colours
// come round again in their order.
QString ComparisonPanel::FreeColour() const
{
    std::array<int, Palette.size()> users {};
    for (int row = 1; row < WahlTab->Rows(); ++row) {
        const auto used = std::find(
            Palette.begin(), Palette.end(), WahlTab->TextMatrix(row, ColourColumn).toLower());
        if (IsShown(row) && used != Palette.end())
            ++users[std::size_t(used - Palette.begin())];
    }
    return Palette[std::size_t(std::min_element(users.begin(), users.end()) - users.begin())];
}

QColor ComparisonPanel::CurveColour(int row) const
{
    const QString name = WahlTab->TextMatrix(row, ColourColumn);
    return IsShown(row) && QColor::isValidColorName(name) ? QColor::fromString(name) : QColor();
}

QList<GraphLegendEntry> ComparisonPanel::Legend() const
{
    QList<GraphLegendEntry> entries;
    for (int row = 1; row < WahlTab->Rows(); ++row) {
        if (IsShown(row))
            entries.append({WahlTab->TextMatrix(row, 0).trimmed(),
                WahlTab->TextMatrix(row, ProductColumn).trimmed(), CurveColour(row)});
    }
    return entries;
}

int ComparisonPanel::HighlightedRow() const
{
    const int row = WahlTab->Row();
    return row >= 1 && IsShown(row) ? row : 0;
}

// The curve of the current row is drawn on top, thicker; the one of the row before goes back.
void ComparisonPanel::CurrentRowChanged(int row, int previous)
{
    const auto shown = [this](int r) { return r >= 1 && r < WahlTab->Rows() && IsShown(r); };
    if (row != previous && (shown(row) || shown(previous)))
        RedrawStoredCurves();
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

// Showing a curve draws it over the graph, unless another curve is to stay on top; hiding one
// draws the graph again from the curves already read.
void ComparisonPanel::ShowCurve(int row, bool shown)
{
    SetShown(row, shown);
    const int highlighted = HighlightedRow();
    if (shown && (highlighted == 0 || highlighted == row))
        DrawStoredCurveOfRow(row);
    else
        RedrawStoredCurves();
}

// Draws the shown curves in the list's order, the highlighted one last; the curves of tests no
// longer shown are let go.
void ComparisonPanel::RedrawStoredCurves()
{
    ResetComparisonGraph();
    QSet<QString> shownPaths;
    const int highlighted = HighlightedRow();
    for (int row = 1; row < WahlTab->Rows(); ++row) {
        if (!IsShown(row))
            continue;
        shownPaths.insert(folderOfCurves() + MeasurementFileName(StoredTestName(row)));
        if (row != highlighted)
            DrawStoredCurveOfRow(row);
    }
    if (highlighted > 0)
        DrawStoredCurveOfRow(highlighted);
    readCurves.removeIf([&shownPaths](const QHash<QString, ReadCurve>::iterator& entry) {
        return !shownPaths.contains(entry.key());
    });
}

void ComparisonPanel::DrawStoredCurveOfRow(int row)
{
    Grafik0->setDrawWidth(row == HighlightedRow() ? HighlightWidth : 1);
    DrawStoredCurve(StoredTestName(row), RoundHalfEven16(FieldValue(WahlTab->TextMatrix(row, 1))),
        CurveColour(row));
    Grafik0->setDrawWidth(1);
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
void ComparisonPanel::DrawStoredCurve(const QString& Name, qint16 Position, const QColor& colour)
{
    const std::optional<StoredCurve>& curve
        = CurveOfFile(folderOfCurves() + MeasurementFileName(Name));
    if (!curve || curve->samples.empty())
        return;
    const std::vector<StoredSample>& samples = curve->samples;
    const bool temperatureMeasured = curve->temperatureMeasured;
    PictureBox& graph = *Grafik0;
    const QColor temperatureColour = Lighter(colour);
    const float factor = scale.TempScaleFactor;
    const bool viscosityDrawn = Position >= 1 && Position <= 3;
    QPointF previousViscosity(0, samples.front().viscosity * 10);
    QPointF previousTemperature(0, samples.front().temperature / factor * 10);
    for (const StoredSample& sample : samples) {
        const double x = RoundHalfEven(PlotX(sample.seconds, scale.CurrentDurationMinutes()));
        const QPointF viscosity(x, sample.viscosity * 10);
        const QPointF temperature(x, sample.temperature / factor * 10);
        const auto viscositySegment = WithinTimeAxis(previousViscosity, viscosity);
        if (viscosityDrawn && viscositySegment)
            graph.Line(viscositySegment->p1(), viscositySegment->p2(), colour);
        const auto temperatureSegment = WithinTimeAxis(previousTemperature, temperature);
        if (temperatureMeasured && temperatureSegment)
            graph.Line(temperatureSegment->p1(), temperatureSegment->p2(), temperatureColour);
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
