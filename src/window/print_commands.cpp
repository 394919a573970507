// The buttons of the protocol printout and the reports of a print that did not succeed.
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "print/protocol_printout.h"
#include "window/form1.h"
#include "window/graph_export.h"
#include "window/protocol_panel.h"

namespace {

// The record table as it is shown: its titles and the rows not hidden.
PrintedTable ShownRows(const FlexGrid& table)
{
    const auto cellsOf = [&table](int row) {
        QStringList cells;
        for (int column = 0; column < table.Cols(); ++column)
            cells.append(table.TextMatrix(row, column));
        return cells;
    };
    PrintedTable shown {cellsOf(0), {}};
    for (int row = 1; row < table.Rows(); ++row) {
        if (!table.RowHidden(row))
            shown.rows.push_back(cellsOf(row));
    }
    return shown;
}

} // namespace

// Cancelling the printer selection prints nothing.
void Form1::PrintProtocol()
{
    ReportPrintOutcome(printRunner(QStringLiteral("Messprotokoll"), ProtocolPrintJob()),
        QStringLiteral("Das Messprotokoll"), messages.Teller());
}

void Form1::PreviewProtocol()
{
    ReportPrintOutcome(
        systemPrinter->Preview(this, QStringLiteral("Messprotokoll"), ProtocolPrintJob()),
        QStringLiteral("Das Messprotokoll"), messages.Teller());
}

// The table is read when the job runs, so that a preview shows it as it stands then.
PrintJob Form1::ProtocolPrintJob() const
{
    const PrintKind kind = records->ChosenPrintKind();
    return [this, kind](
               Printer& printer) { PrintRecordTable(printer, ShownRows(records->Table()), kind); };
}
