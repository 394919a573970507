// The record table: the tests of the selected protocol file in ProtTab, their curves in WahlTab,
// and the list of protocol files.
#include "instrument/field_reading.h"
#include "platform/flex_grid.h"
#include "platform/text_file.h"
#include "records/protocol_file.h"
#include "records/test_numbers.h"
#include "run/value_format.h"
#include "window/form1.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <array>
#include <limits>

namespace {

const QString ProtocolExtension = QStringLiteral(".CSV");
const QString ProtocolPattern = QStringLiteral("*") + ProtocolExtension;
const QString MeasurementPrefix = QStringLiteral("No-");
constexpr qsizetype ExtensionLength = 4;
constexpr int ShownColumn = 2;
constexpr std::array<int, 16> ColumnWidths {
    720, 400, 2000, 2000, 1000, 2000, 2000, 2000, 1000, 800, 600, 1000, 900, 1100, 100, 100};
constexpr std::array<int, 6> HiddenColumns {1, 11, 12, 13, 14, 15};

} // namespace

void Form1::FormatRecordTable()
{
    ProtTab->setRows(1);
    ProtTab->Clear();
    ProtTab->setFormatString(QStringLiteral(
        ">Test-Nr.|>Res.|<Produkt-Bezeichnung|<Auftrags-Nr.|<Chargen-Nr.|<Bemerkung 1 |"
        "<Bemerkung 2 |<Bemerkung 3 |<Datum|<Zeit|<Messszyklus|<Reserve  |"));
    ProtTab->setCols(int(ColumnWidths.size()));
    for (int column = 0; column < int(ColumnWidths.size()); ++column)
        ProtTab->setColWidth(column, ColumnWidths[column]);
    for (int column : HiddenColumns)
        ProtTab->setColHidden(column, true);
}

// One record into row `row` of both grids, which grow to hold it; its curve starts hidden.
void Form1::AddRecordRow(qint32 row, const QString& line)
{
    const QStringList cells = RecordCells(line);
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
    WatchProtocolFile();
    TextFileReader file;
    if (TabProtDatei->currentIndex() < 0 || !file.Open(ProtocolFilePath()))
        return;
    ProtocolBytesShown = QFileInfo(ProtocolFilePath()).size();
    file.ReadLine();
    qint32 rows = 0;
    qint32 highest = 0;
    while (const std::optional<QString> line = file.ReadLine()) {
        if (rows == std::numeric_limits<int>::max() - 1)
            break;
        if (!IsRecordLine(*line))
            continue;
        ++rows;
        // The grids grow by doubling, not by one insertion per record, and are cut to size after.
        if (ProtTab->Rows() <= rows)
            SetRecordRows(std::max(rows + 1, 2 * ProtTab->Rows()));
        AddRecordRow(rows, *line);
        highest = std::max(highest, RecordTestNumber(*line));
    }
    SetRecordRows(rows + 1);
    highest = std::max(highest, run->HighestRunningNumber());
    LaufNr->setText(SignedNumberText(
        NewTestNumber(1, highest, NumbersOfFilesIn(MeasurementFolder())).value_or(highest + 1)));
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

// The table follows the records that other programs add to the shown protocol file.
void Form1::WatchProtocolFile()
{
    ProtocolBytesShown = -1;
    if (!ProtocolWatcher->files().isEmpty())
        ProtocolWatcher->removePaths(ProtocolWatcher->files());
    if (TabProtDatei->currentIndex() >= 0)
        ProtocolWatcher->addPath(ProtocolFilePath());
}

// A file replaced as a whole (renamed over) drops out of the watch: it is loaded and watched again.
void Form1::ProtocolFileChanged(const QString& path)
{
    const bool replaced = !ProtocolWatcher->files().contains(path);
    if (path == ProtocolFilePath() && (replaced || QFileInfo(path).size() != ProtocolBytesShown))
        ReloadProtocolFile();
}

// Lists the protocol files of the storage folder and selects the one chosen last, or else the
// first; selecting loads it. Measurement files ("No-...") and nameless files are left out, and so
// is a "name.csv" that the name's path "name.CSV" would not reach (a file system that tells
// cases apart).
void Form1::ListProtocolFiles()
{
    QStringList names;
    for (const QString& file : ListFolderFiles(Label10->text(), ProtocolPattern)) {
        const QString name = file.chopped(ExtensionLength);
        if (!name.startsWith(MeasurementPrefix) && !name.trimmed().isEmpty()
            && FileExist(Label10->text() + name + ProtocolExtension))
            names.append(name);
    }
    names.removeDuplicates();
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
