// Showing a stored test in the comparison graph, and deleting a test from the records.
#include "numbers/field_reading.h"
#include "numbers/value_format.h"
#include "platform/ansi_codec.h"
#include "platform/file_lock.h"
#include "platform/flex_grid.h"
#include "platform/status_bar.h"
#include "platform/text_file.h"
#include "records/measurement_file.h"
#include "records/protocol_register.h"
#include "window/comparison_panel.h"
#include "window/messages.h"
#include "window/protocol_panel.h"
#include "window/record_keeping.h"

#include <QDir>

namespace {

constexpr int RemarkColumn = 5;
const QString DeleteTitle = QStringLiteral("Messung löschen ");

// The test name "00012-1" of a row of the record table.
QString TestNameOfRow(const ProtocolPanel& table, int row)
{
    return table.Cell(row, 0).trimmed() + u'-' + table.Cell(row, 1).trimmed();
}

} // namespace

// A double click on a record shows its curve in the comparison graph, or hides it again.
void RecordKeeping::ToggleStoredCurve()
{
    const int row = records->SelectedRow();
    if (row < 1 || comparison->CurveRows() < 2 || row >= comparison->CurveRows())
        return;
    const QString name = TestNameOfRow(*records, row);
    const bool switchedOn = !comparison->IsShown(row);
    const QString path = MeasurementFolder() + MeasurementFileName(name);
    if (switchedOn && !FileExist(path)) {
        messages.MsgBox(QStringLiteral("Die Messdatei der Messung ") + name
                + QStringLiteral(" fehlt:") + CrLf + QDir::toNativeSeparators(path) + CrLf + CrLf
                + QStringLiteral("Es kann keine Messkurve gezeigt werden."),
            MsgStyle::OkOnly + MsgStyle::Exclamation, QStringLiteral("Messdatei fehlt"));
        return;
    }
    comparison->ShowCurve(row, switchedOn);
    if (!switchedOn)
        return;
    messages.MsgBox(QStringLiteral("Die einzelnen Werte der Messung: ") + name
            + QStringLiteral(" ,  vom ") + records->Cell(row, RemarkColumn) + CrLf + CrLf
            + QStringLiteral("wurden geladen und grafisch dargestellt. ") + CrLf
            + QStringLiteral("  ") + CrLf + CrLf
            + QStringLiteral("Klicken Sie auf 'Alle Messungen' um die Messkurve anzusehen.") + CrLf
            + QStringLiteral("  ") + CrLf + CrLf + QStringLiteral(" "),
        MsgStyle::OkOnly + MsgStyle::Information, QStringLiteral("Die Messkurve wurde erstellt "));
}

// Removes the selected test's record and measurement file after the user's confirmation. A record
// that is no longer the one the row shows (the file changed since it was loaded) is not removed.
void RecordKeeping::DeleteSelectedTest()
{
    const int row = records->SelectedRow();
    if (row < 1)
        return;
    // The record as confirmed: another program may change the file, and so the table, while the
    // question is open.
    const QStringList confirmed = records->RowCells(row);
    const int answer = messages.MsgBox(QStringLiteral("Soll die gewählte Messung gelöscht werden ?")
            + CrLf + CrLf + records->SelectedTestText(row) + CrLf + QStringLiteral("  ") + CrLf
            + CrLf + QStringLiteral(" ") + CrLf + CrLf,
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
        messages.MsgBox(QStringLiteral("Die Protokolldatei wurde inzwischen verändert.") + CrLf
                + QStringLiteral("Es wurde nichts gelöscht; die Tabelle wird neu geladen."),
            MsgStyle::OkOnly + MsgStyle::Exclamation, DeleteTitle);
        ReadProtocolFile();
        return;
    case DeleteOutcome::Unwritable:
        messages.MsgBox(QStringLiteral("Die Protokolldatei ") + QDir::toNativeSeparators(path)
                + QStringLiteral(" kann nicht geschrieben werden. Es wurde nichts gelöscht."),
            MsgStyle::OkOnly + MsgStyle::Exclamation, DeleteTitle);
        return;
    case DeleteOutcome::Deleted:
        break;
    }
    if (!protocol->ShowsFileAsItIs(path, MeasurementFolder())) {
        ReloadProtocolFile();
        return;
    }
    RemoveRecordRow(row);
}

// The deleted record's row leaves both lists; the curves shown stay shown, and the graph is
// drawn again only when the deleted test's curve was among them.
void RecordKeeping::RemoveRecordRow(int row)
{
    const bool curveShown = comparison->IsShown(row);
    records->RemoveRecordRow(row);
    comparison->RemoveCurveRow(row);
    if (curveShown)
        comparison->RedrawStoredCurves();
    ShowNextTestNumber();
}

void RecordKeeping::ReportUndeletable(const QString& path)
{
    messages.MsgBox(QStringLiteral("Die Protokolldatei ") + QDir::toNativeSeparators(path)
            + QStringLiteral(" kann nicht gelesen oder gesichert werden.") + CrLf
            + QStringLiteral("Es wurde nichts gelöscht."),
        MsgStyle::OkOnly + MsgStyle::Exclamation, DeleteTitle);
}
