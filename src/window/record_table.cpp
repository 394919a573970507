// The record table: the tests of the selected protocol file in ProtTab, their curves in WahlTab,
// and the list of protocol files.
#include "instrument/field_reading.h"
#include "platform/flex_grid.h"
#include "platform/text_file.h"
#include "records/protocol_register.h"
#include "records/test_numbers.h"
#include "run/value_format.h"
#include "window/form1.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <array>

namespace {

const QString ProtocolExtension = QStringLiteral(".CSV");
constexpr std::array<int, 16> ColumnWidths {
    720, 400, 2000, 2000, 1000, 2000, 2000, 2000, 1000, 800, 600, 1000, 900, 1100, 100, 100};
constexpr std::array<int, 6> HiddenColumns {1, 11, 12, 13, 14, 15};

} // namespace

void Form1::FormatRecordTable()
{
    ProtTab->setRows(1);
    ProtTab->Clear();
    QString format;
    const QStringList captions = RecordTableCaptions();
    for (int column = 0; column < int(captions.size()); ++column)
        format += (column < 2 ? u'>' : u'<') + captions[column] + u'|';
    ProtTab->setFormatString(format);
    ProtTab->setCols(int(ColumnWidths.size()));
    for (int column = 0; column < int(ColumnWidths.size()); ++column)
        ProtTab->setColWidth(column, ColumnWidths[column]);
    for (int column : HiddenColumns)
        ProtTab->setColHidden(column, true);
}

// One record into row `row` of both grids, which grow to hold it; its curve starts hidden.
void Form1::AddRecordRow(qint32 row, const QStringList& cells)
{
    if (ProtTab->Rows() < row + 1)
        ProtTab->setRows(row + 1);
    for (int column = 0; column < int(cells.size()); ++column)
        ProtTab->setTextMatrix(row, column, cells[column]);
    if (WahlTab->Rows() < row + 1)
        WahlTab->setRows(row + 1);
    WahlTab->setTextMatrix(row, 0, cells[0]);
    WahlTab->setTextMatrix(row, 1, cells[1]);
    WahlTab->setTextMatrix(row, ShownColumn, QStringLiteral("0"));
}

void Form1::SetRecordRows(int count)
{
    ProtTab->setRows(count);
    WahlTab->setRows(count);
}

QString Form1::ProtocolFilePath() const
{
    return Label10->text() + TabProtDatei->currentText() + ProtocolExtension;
}

// Fills both grids from the selected protocol file and sets the next test number. A file that
// cannot be read leaves the grids empty and the test number as it was.
void Form1::LoadProtocolFile()
{
    FormatRecordTable();
    FormatCurveList();
    // No test of the newly loaded table is chosen yet, so none may be deleted.
    DelMessung->hide();
    Label28->hide();
    LabelProt->setText(ProtocolFilePath());
    const QString path = TabProtDatei->currentIndex() >= 0 ? ProtocolFilePath() : QString();
    if (!protocol->LoadProtocolFile(path, MeasurementFolder()))
        return;
    const std::vector<QStringList>& records = protocol->Records();
    SetRecordRows(int(records.size()) + 1);
    for (std::size_t row = 0; row < records.size(); ++row)
        AddRecordRow(qint32(row + 1), records[row]);
    if (const std::optional<qint32> next = protocol->NextTestNumber(run->HighestRunningNumber()))
        LaufNr->setText(SignedNumberText(*next));
}

// Loads the protocol file again, as another program has changed it; the curves shown stay shown.
void Form1::ReloadProtocolFile()
{
    const QStringList shown = ShownStoredTests();
    const QString typedNumber = LaufNr->text();
    LoadProtocolFile();
    // A higher number the user typed stays: the start takes it if it is still free.
    if (FieldValue(typedNumber) > FieldValue(LaufNr->text()))
        LaufNr->setText(typedNumber);
    for (int row = 1; row < WahlTab->Rows(); ++row) {
        if (shown.contains(StoredTestName(row)))
            WahlTab->setTextMatrix(row, ShownColumn, QStringLiteral("-1"));
    }
    RedrawStoredCurves();
}

// Lists the protocol files of the storage folder and selects the one chosen last, or else the
// first; selecting loads it. Measurement files ("No-...") and nameless files are left out, and so
// is a "name.csv" that the name's path "name.CSV" would not reach (a file system that tells
// cases apart).
void Form1::ListProtocolFiles()
{
    const QStringList names = ProtocolFileNames(Label10->text());
    {
        const QSignalBlocker quiet(TabProtDatei);
        TabProtDatei->clear();
        TabProtDatei->addItems(names);
        TabProtDatei->setCurrentIndex(-1);
    }
    if (names.isEmpty())
        return;
    TabProtDatei->setCurrentIndex(std::max<qsizetype>(0, names.indexOf(ProtocolFileName)));
}

// A protocol file selected: its records are loaded and every stored curve is hidden.
void Form1::TabProtDatei_Click()
{
    LoadProtocolFile();
    ButDel_Click(0);
    OfferUnrecordedTests();
}

void Form1::ShowSelectedTest()
{
    const int row = ProtTab->Row();
    if (row < 1) {
        DelMessung->hide();
        Label28->hide();
        return;
    }
    Label28->setText(SelectedTestText(row));
    DelMessung->show();
    Label28->show();
}

QString Form1::SelectedTestText(int row) const
{
    return QStringLiteral("Test-Nr.: ") + ProtTab->TextMatrix(row, 0) + QStringLiteral(" / ")
        + ProtTab->TextMatrix(row, 2);
}

void Form1::Dir1_LostFocus()
{
    ListProtocolFiles();
    LoadProtocolFile();
}
