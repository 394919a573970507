// Showing a stored test in the comparison graph, and deleting a test from the records.
#include "instrument/field_reading.h"
#include "platform/ansi_codec.h"
#include "platform/flex_grid.h"
#include "platform/status_bar.h"
#include "platform/text_file.h"
#include "records/protocol_file.h"
#include "run/measurement_file.h"
#include "window/form1.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

namespace {

constexpr int ShownColumn = 2;
constexpr int RemarkColumn = 5;
const QString DeleteTitle = QStringLiteral("Messung löschen ");

// The test name "00012-1" of a row of the record table.
QString TestNameOfRow(const FlexGrid& table, int row)
{
    return table.TextMatrix(row, 0).trimmed() + u'-' + table.TextMatrix(row, 1).trimmed();
}

// Only a name as the program writes it may lead to a file being deleted.
bool IsTestName(const QString& name)
{
    static const QRegularExpression testName(QStringLiteral("^[0-9]{5}-[0-9]{1,2}$"));
    return testName.match(name).hasMatch();
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

// Removes the selected test's record and measurement file after the user's confirmation. The
// protocol file is first copied to ".TMP", then written beside itself without the record's bytes
// and renamed over it; every other byte stays as it was. A record that is no longer the one the
// row shows (the file changed since it was loaded) is not removed.
void Form1::DeleteSelectedTest()
{
    const int row = ProtTab->Row();
    if (row < 1)
        return;
    const int answer = MsgBox(QStringLiteral("Soll die gewählte Messung gelöscht werden ?") + CrLf
            + CrLf + Label28->text() + CrLf + QStringLiteral("  ") + CrLf + CrLf
            + QStringLiteral(" ") + CrLf + CrLf,
        MsgStyle::YesNo + MsgStyle::Question, DeleteTitle);
    if (answer != MsgResult::Yes)
        return;
    const QString path = ProtocolFilePath();
    const QString backup = path.chopped(4) + QStringLiteral(".TMP");
    const std::optional<QByteArray> bytes = ReadFileBytes(path);
    if (!bytes || !FileCopy(path, backup)) {
        MsgBox(QStringLiteral("Die Protokolldatei ") + QDir::toNativeSeparators(path)
                + QStringLiteral(" kann nicht gelesen oder gesichert werden.") + CrLf
                + QStringLiteral("Es wurde nichts gelöscht."),
            MsgStyle::OkOnly + MsgStyle::Exclamation, DeleteTitle);
        return;
    }
    const std::optional<LineSpan> record = LineAt(*bytes, row);
    if (!record || !RecordMatchesRow(DecodeAnsi(bytes->mid(record->start, record->length)), row)) {
        MsgBox(QStringLiteral("Die Protokolldatei wurde inzwischen verändert.") + CrLf
                + QStringLiteral("Es wurde nichts gelöscht; die Tabelle wird neu geladen."),
            MsgStyle::OkOnly + MsgStyle::Exclamation, DeleteTitle);
        LoadProtocolFile();
        return;
    }
    const QString name = TestNameOfRow(*ProtTab, row);
    if (!ReplaceFileBytes(path, bytes->left(record->start) + bytes->mid(record->next))) {
        MsgBox(QStringLiteral("Die Protokolldatei ") + QDir::toNativeSeparators(path)
                + QStringLiteral(" kann nicht geschrieben werden. Es wurde nichts gelöscht."),
            MsgStyle::OkOnly + MsgStyle::Exclamation, DeleteTitle);
        return;
    }
    if (IsTestName(name))
        FileDelete(MeasurementFolder() + MeasurementFileName(name));
    LoadProtocolFile();
    DelMessung->hide();
    Label28->hide();
}

// Whether a line of the protocol file is still the record the table shows in that row.
bool Form1::RecordMatchesRow(const QString& record, int row) const
{
    const QStringList cells = RecordCells(record);
    for (int column = 0; column < int(cells.size()); ++column) {
        if (cells.at(column) != ProtTab->TextMatrix(row, column))
            return false;
    }
    return true;
}
