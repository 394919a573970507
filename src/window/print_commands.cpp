// The buttons of the protocol printout and the reports of a print that did not succeed.
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "print/protocol_printout.h"
#include "window/form1.h"
#include "window/graph_export.h"
#include "window/protocol_panel.h"

#include <QDir>
#include <QProgressDialog>
#include <memory>

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
    PrintedTable shown;
    shown.headings = cellsOf(0);
    for (int row = 1; row < table.Rows(); ++row) {
        if (!table.RowHidden(row))
            shown.rows.push_back(cellsOf(row));
    }
    return shown;
}

// Printouts of up to so many pages take too short a time to show their progress.
constexpr int FewPages = 5;

// A dialog over the window that shows the pages printed; setting its value lets the window answer.
std::unique_ptr<QProgressDialog> PrintProgress(QWidget* window, int pages)
{
    auto progress = std::make_unique<QProgressDialog>(window);
    progress->setWindowTitle(QStringLiteral("Drucken"));
    progress->setCancelButtonText(QStringLiteral("Abbrechen"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setRange(0, pages);
    return progress;
}

} // namespace

// Cancelling the printer selection, or the printout on its way, prints nothing.
void Form1::PrintProtocol()
{
    const auto cancelled = std::make_shared<bool>(false);
    const PrintOutcome outcome
        = printRunner(QStringLiteral("Messprotokoll"), ProtocolPrintJob(cancelled));
    ReportPrintOutcome(*cancelled ? PrintOutcome::Cancelled : outcome,
        QStringLiteral("Das Messprotokoll"), messages.Teller());
}

void Form1::PreviewProtocol()
{
    const auto cancelled = std::make_shared<bool>(false);
    const PrintOutcome outcome = systemPrinter->Preview(
        this, QStringLiteral("Messprotokoll"), ProtocolPrintJob(cancelled));
    ReportPrintOutcome(*cancelled ? PrintOutcome::Cancelled : outcome,
        QStringLiteral("Das Messprotokoll"), messages.Teller());
}

// The table is read when the job runs, so that a preview shows it as it stands then. A printout
// of more than a few pages shows how far it has come and can be cancelled; the window is drawn
// again between its pages.
PrintJob Form1::ProtocolPrintJob(std::shared_ptr<bool> cancelled)
{
    const PrintKind kind = records->ChosenPrintKind();
    return [this, kind, cancelled](Printer& printer) {
        std::unique_ptr<QProgressDialog> progress;
        PrintedTable table = ShownRows(records->Table());
        table.protocolFile = QDir::toNativeSeparators(records->ShownProtocolFile());
        table.printDate = clock().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
        PrintRecordTable(printer, table, kind, [&](int page, int pages) {
            if (pages <= FewPages)
                return true;
            if (!progress)
                progress = PrintProgress(const_cast<Form1*>(this), pages);
            progress->setLabelText(
                QStringLiteral("Das Messprotokoll wird gedruckt: Seite %1 von %2")
                    .arg(page)
                    .arg(pages));
            progress->setValue(page - 1);
            *cancelled = progress->wasCanceled();
            return !*cancelled;
        });
    };
}
