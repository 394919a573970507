#include "window/protocol_panel.h"

#include "platform/flex_grid.h"
#include "records/protocol_file.h"
#include "run/choice_lists.h"
#include "window/layout_helpers.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

namespace {

constexpr int ColumnCount = 16;
constexpr std::array<int, 6> HiddenColumns {1, 11, 12, 13, 14, 15};
// Room beside a cell's text: the view's margins and the grid line.
constexpr int CellMargin = 12;
const QString NoProtocolFile = QStringLiteral(
    "keine – auf der Seite „Einstellung“ eine Protokolldatei wählen oder neu anlegen");

// What a column must show whatever the records hold: five digits of the test number, a date, a
// time, the longest cycle.
QString LeastValue(int column, const QFontMetrics& metrics)
{
    switch (column) {
    case 0:
        return QStringLiteral("00000");
    case 8:
        return QStringLiteral("00.00.0000");
    case 9:
        return QStringLiteral("00:00:00");
    case 10: {
        QString longest;
        for (const QString& entry : CycleEntries()) {
            if (metrics.horizontalAdvance(entry) > metrics.horizontalAdvance(longest))
                longest = entry;
        }
        return longest;
    }
    default:
        return {};
    }
}

// The cell of the column with the most characters among the records.
QStringView LongestCell(const QStringList& records, int column)
{
    QStringView longest;
    for (const QString& record : records) {
        const QStringView cell = RecordCellText(record, column);
        if (cell.size() > longest.size())
            longest = cell;
    }
    return longest;
}

} // namespace

ProtocolPanel::ProtocolPanel(QWidget* parent)
    : QWidget(parent)
    , ProtTab(new FlexGrid)
    , LabelProt(new QLabel)
    , Label28(WrappedLabel(QString()))
    , DelMessung(new QPushButton("Messung löschen"))
    , DruckArt(new QComboBox)
    , ProtDrucken(new QPushButton("Protokoll drucken"))
    , ProtVorschau(new QPushButton("Druckvorschau …"))
{
    ProtTab->setObjectName("ProtTab");
    LabelProt->setObjectName("LabelProt");
    Label28->setObjectName("Label28");
    DelMessung->setObjectName("DelMessung");
    DruckArt->setObjectName("DruckArt");
    ProtDrucken->setObjectName("ProtDrucken");
    ProtVorschau->setObjectName("ProtVorschau");
    // Offered only once a test is selected in the table.
    Label28->hide();
    DelMessung->hide();
    DruckArt->addItems({QStringLiteral("Liste einzeilig"), QStringLiteral("Liste mit Zusatzzeile"),
        QStringLiteral("Liste vollständig")});

    auto* current = new QHBoxLayout;
    current->addWidget(new QLabel("Aktuelle Protokolldatei : "));
    current->addWidget(LabelProt, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(DelMessung);
    buttons->addStretch(1);
    buttons->addWidget(DruckArt);
    buttons->addWidget(ProtVorschau);
    buttons->addWidget(ProtDrucken);

    auto* frame = new QGroupBox("Messprotokoll  ");
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addLayout(current);
    frameLayout->addWidget(ProtTab, 1);
    frameLayout->addWidget(Label28);
    frameLayout->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    ChainTabOrder({ProtTab, DelMessung, DruckArt, ProtVorschau, ProtDrucken});

    FormatRecordTable();
    for (int column = 0; column < ColumnCount; ++column)
        ProtTab->setColumnWidth(column, 0);
    WidenColumns({});
    connect(ProtTab->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (!sizingColumns)
            userSizedColumns.insert(column);
    });
    ProtTab->setLineCutter(RecordCell);
    connect(ProtTab, &FlexGrid::Click, this, &ProtocolPanel::ShowSelectedTest);
    connect(ProtTab, &FlexGrid::KeyUp, this, &ProtocolPanel::ShowSelectedTest);
    connect(ProtTab, &FlexGrid::DblClick, this, &ProtocolPanel::curveToggleRequested);
    connect(DelMessung, &QPushButton::clicked, this, &ProtocolPanel::deleteRequested);
    connect(ProtDrucken, &QPushButton::clicked, this, &ProtocolPanel::printRequested);
    connect(ProtVorschau, &QPushButton::clicked, this, &ProtocolPanel::previewRequested);
}

void ProtocolPanel::FormatRecordTable()
{
    ProtTab->setRows(1);
    ProtTab->Clear();
    QString format;
    const QStringList captions = RecordTableCaptions();
    for (int column = 0; column < int(captions.size()); ++column)
        format += (column < 2 ? u'>' : u'<') + captions[column] + u'|';
    ProtTab->setFormatString(format);
    ProtTab->setCols(ColumnCount);
    for (int column : HiddenColumns)
        ProtTab->setColHidden(column, true);
}

// Each shown column grows to its heading, what it must show and the longest cell of the records;
// it never shrinks, and a column whose width the user set keeps it while the program runs.
void ProtocolPanel::WidenColumns(const QStringList& records)
{
    const QFontMetrics cells(ProtTab->font());
    const QFontMetrics headings(ProtTab->horizontalHeader()->font());
    sizingColumns = true;
    for (int column = 0; column < ColumnCount; ++column) {
        if (ProtTab->ColHidden(column) || userSizedColumns.contains(column))
            continue;
        // A column of fixed form is as wide as its least value; only typed texts are searched.
        const QString least = LeastValue(column, cells);
        const int value = least.isEmpty()
            ? cells.horizontalAdvance(LongestCell(records, column).toString())
            : cells.horizontalAdvance(least);
        const int text
            = std::max(headings.horizontalAdvance(ProtTab->TextMatrix(0, column)), value);
        if (text + CellMargin > ProtTab->columnWidth(column))
            ProtTab->setColumnWidth(column, text + CellMargin);
    }
    sizingColumns = false;
}

void ProtocolPanel::ShowProtocolFile(const QString& path)
{
    FormatRecordTable();
    // No test of the newly loaded table is chosen yet, so none may be deleted.
    ForgetSelection();
    shownFile = path;
    LabelProt->setText(path.isEmpty() ? NoProtocolFile : path);
    emit protocolFileShown(path);
}

QString ProtocolPanel::ShownProtocolFile() const
{
    return shownFile;
}

void ProtocolPanel::ShowRecords(const QStringList& records)
{
    ProtTab->setRows(1);
    ProtTab->AppendLines(records);
    WidenColumns(records);
}

void ProtocolPanel::AddRecordRow(int row, const QString& record)
{
    if (ProtTab->Rows() < row + 1)
        ProtTab->setRows(row + 1);
    const QStringList cells = RecordCells(record);
    for (int column = 0; column < int(cells.size()); ++column)
        ProtTab->setTextMatrix(row, column, cells[column]);
    WidenColumns({record});
}

void ProtocolPanel::RemoveRecordRow(int row)
{
    ProtTab->RemoveRow(row);
    ForgetSelection();
}

int ProtocolPanel::RecordRows() const
{
    return ProtTab->Rows();
}

int ProtocolPanel::SelectedRow() const
{
    return ProtTab->Row();
}

QStringList ProtocolPanel::RowCells(int row) const
{
    QStringList cells;
    for (std::size_t column = 0; column < std::size(ProtocolFile::CellCuts); ++column)
        cells.append(ProtTab->TextMatrix(row, int(column)));
    return cells;
}

QString ProtocolPanel::Cell(int row, int column) const
{
    return ProtTab->TextMatrix(row, column);
}

QString ProtocolPanel::SelectedTestText(int row) const
{
    return QStringLiteral("Test-Nr.: ") + ProtTab->TextMatrix(row, 0) + QStringLiteral(" / ")
        + ProtTab->TextMatrix(row, 2);
}

void ProtocolPanel::ForgetSelection()
{
    DelMessung->hide();
    Label28->hide();
}

void ProtocolPanel::ShowSelectedTest()
{
    const int row = ProtTab->Row();
    if (row < 1) {
        ForgetSelection();
        return;
    }
    Label28->setText(SelectedTestText(row));
    DelMessung->show();
    Label28->show();
}

PrintKind ProtocolPanel::ChosenPrintKind() const
{
    switch (DruckArt->currentIndex()) {
    case 1:
        return PrintKind::ListWithDetails;
    case 2:
        return PrintKind::FullList;
    default:
        return PrintKind::List;
    }
}
