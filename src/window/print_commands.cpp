// The buttons of the protocol printout and the reports of a print that did not succeed.
#include "platform/message_box.h"
#include "print/protocol_printout.h"
#include "window/form1.h"

#include <QComboBox>

void Form1::ProtDrucken_Click()
{
    PrintProtocol();
}

// Cancelling the printer selection prints nothing.
void Form1::PrintProtocol()
{
    ReportPrintOutcome(printRunner(QStringLiteral("Messprotokoll"), ProtocolPrintJob()),
        QStringLiteral("Das Messprotokoll"));
}

void Form1::ProtVorschau_Click()
{
    ReportPrintOutcome(
        systemPrinter->Preview(this, QStringLiteral("Messprotokoll"), ProtocolPrintJob()),
        QStringLiteral("Das Messprotokoll"));
}

// The table is read when the job runs, so that a preview shows it as it stands then.
PrintJob Form1::ProtocolPrintJob() const
{
    const PrintKind kind
        = DruckArt->currentIndex() == 1 ? PrintKind::ListWithDetails : PrintKind::List;
    return [this, kind](Printer& printer) { PrintRecordTable(printer, *ProtTab, kind); };
}

void Form1::ReportPrintOutcome(PrintOutcome outcome, const QString& what)
{
    if (outcome != PrintOutcome::Failed)
        return;
    MsgBox(what + QStringLiteral(" konnte nicht gedruckt oder gespeichert werden.") + CrLf + CrLf
            + QStringLiteral("Bitte prüfen Sie den Drucker, oder beim Speichern als PDF, ob der "
                             "Ordner beschreibbar ist und genug Platz bietet."),
        MsgStyle::Exclamation, QStringLiteral("Drucken"));
}
