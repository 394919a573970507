// Showing a stored test in the comparison graph, and deleting a test from the records.
#include "instrument/field_reading.h"
#include "platform/ansi_codec.h"
#include "platform/file_lock.h"
#include "platform/flex_grid.h"
#include "platform/status_bar.h"
#include "platform/text_file.h"
#include "records/protocol_register.h"
#include "run/measurement_file.h"
#include "run/value_format.h"
#include "window/form1.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int RemarkColumn = 5;
const QString DeleteTitle = QStringLiteral("Messung löschen ");

// The test name "00012-1" of a row of the record table.
QString TestNameOfRow(const FlexGrid& table, int row)
{
    return table.TextMatrix(row, 0).trimmed() + u'-' + table.TextMatrix(row, 1).trimmed();
}

} // namespace

// A double click on a record shows its curve in the comparison graph, or hides it again.
void Form1::ToggleStoredCurve()
{
    const int row = ProtTab->Row();
    if (row < 1 || WahlTab->Rows() < 2 || row >= WahlTab->Rows())
        return;
    const QString name = TestNameOfRow(*ProtTab, row);
    const bool switchedOn = FieldValue(WahlTab->TextMatrix(row, ShownColumn)) == 0;
    const QString path = MeasurementFolder() + MeasurementFileName(name);
    if (switchedOn && !FileExist(path)) {
        MsgBox(QStringLiteral("Die Messdatei der Messung ") + name + QStringLiteral(" fehlt:")
                + CrLf + QDir::toNativeSeparators(path) + CrLf + CrLf
                + QStringLiteral("Es kann keine Messkurve gezeigt werden."),
            MsgStyle::OkOnly + MsgStyle::Exclamation, QStringLiteral("Messdatei fehlt"));
        return;
    }
    WahlTab->setTextMatrix(
        row, ShownColumn, switchedOn ? QStringLiteral("-1") : QStringLiteral("0"));
    RedrawStoredCurves();
    if (!switchedOn)
        return;
    MsgBox(QStringLiteral("Die einzelnen Werte der Messung: ") + name + QStringLiteral(" ,  vom ")
            + ProtTab->TextMatrix(row, RemarkColumn) + CrLf + CrLf
            + QStringLiteral("wurden geladen und grafisch dargestellt. ") + CrLf
            + QStringLiteral("  ") + CrLf + CrLf
            + QStringLiteral("Klicken Sie auf 'Alle Messungen' um die Messkurve anzusehen.") + CrLf
            + QStringLiteral("  ") + CrLf + CrLf + QStringLiteral(" "),
        MsgStyle::OkOnly + MsgStyle::Information, QStringLiteral("Die Messkurve wurde erstellt "));
}

// Removes the selected test's record and measurement file after the user's confirmation. A record
// that is no longer the one the row shows (the file changed since it was loaded) is not removed.
void Form1::DeleteSelectedTest()
{
    const int row = ProtTab->Row();
    if (row < 1)
        return;
    // The record as confirmed: another program may change the file, and so the table, while the
    // question is open.
    const QStringList confirmed = RowCells(row);
    const int answer = MsgBox(QStringLiteral("Soll die gewählte Messung gelöscht werden ?") + CrLf
            + CrLf + SelectedTestText(row) + CrLf + QStringLiteral("  ") + CrLf + CrLf
            + QStringLiteral(" ") + CrLf + CrLf,
        MsgStyle::YesNo + MsgStyle::Question + MsgStyle::DefaultButton2, DeleteTitle);
    if (answer != MsgResult::Yes)
        return;
    const QString path = ProtocolFilePath();
    switch (protocol->DeleteRecord(row, confirmed)) {
    case DeleteOutcome::Locked:
        ReportProtocolLocked(path);
        return;
    case DeleteOutcome::Unreadable:
        ReportUndeletable(path);
        return;
    case DeleteOutcome::Changed:
        MsgBox(QStringLiteral("Die Protokolldatei wurde inzwischen verändert.") + CrLf
                + QStringLiteral("Es wurde nichts gelöscht; die Tabelle wird neu geladen."),
            MsgStyle::OkOnly + MsgStyle::Exclamation, DeleteTitle);
        LoadProtocolFile();
        return;
    case DeleteOutcome::Unwritable:
        MsgBox(QStringLiteral("Die Protokolldatei ") + QDir::toNativeSeparators(path)
                + QStringLiteral(" kann nicht geschrieben werden. Es wurde nichts gelöscht."),
            MsgStyle::OkOnly + MsgStyle::Exclamation, DeleteTitle);
        return;
    case DeleteOutcome::Deleted:
        break;
    }
    const QStringList curvesBefore = CurveListRows();
    LoadProtocolFile();
    ShowStoredTestsAgain(curvesBefore, row);
    DelMessung->hide();
    Label28->hide();
}

// Each row of the curve list as "name shown-flag" (index 0: the heading row).
QStringList Form1::CurveListRows() const
{
    QStringList rows {QString()};
    for (int row = 1; row < WahlTab->Rows(); ++row)
        rows.append(StoredTestName(row) + u' ' + WahlTab->TextMatrix(row, ShownColumn));
    return rows;
}

// After the table is loaded again, the curves shown before stay shown, all but the deleted row's,
// which leaves the graph. Rows after it have moved up by one.
void Form1::ShowStoredTestsAgain(const QStringList& rowsBefore, int deletedRow)
{
    const QString shown = QStringLiteral("-1");
    for (int row = 1; row < WahlTab->Rows(); ++row) {
        const qsizetype rowBefore = row < deletedRow ? row : row + 1;
        if (rowsBefore.value(rowBefore) == StoredTestName(row) + u' ' + shown)
            WahlTab->setTextMatrix(row, ShownColumn, shown);
    }
    RedrawStoredCurves();
}

void Form1::ReportUndeletable(const QString& path)
{
    MsgBox(QStringLiteral("Die Protokolldatei ") + QDir::toNativeSeparators(path)
            + QStringLiteral(" kann nicht gelesen oder gesichert werden.") + CrLf
            + QStringLiteral("Es wurde nichts gelöscht."),
        MsgStyle::OkOnly + MsgStyle::Exclamation, DeleteTitle);
}

// The cells of a row of the record table, as a record is cut into them.
QStringList Form1::RowCells(int row) const
{
    QStringList cells;
    for (std::size_t column = 0; column < std::size(ProtocolFile::CellCuts); ++column)
        cells.append(ProtTab->TextMatrix(row, int(column)));
    return cells;
}
