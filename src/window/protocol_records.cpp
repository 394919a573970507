// Creating a protocol file and appending the record of a finished test.
#include "platform/file_lock.h"
#include "platform/flex_grid.h"
#include "platform/status_bar.h"
#include "platform/text_file.h"
#include "records/protocol_register.h"
#include "run/test_run.h"
#include "window/comparison_panel.h"
#include "window/messages.h"
#include "window/parameter_panel.h"
#include "window/protocol_panel.h"
#include "window/record_keeping.h"
#include "window/settings_panel.h"

#include <QDir>

namespace {
const QString NameErrorTitle = QStringLiteral("Fehler Protokoll-Dateiname ");
const QString RecordTitle = QStringLiteral("Messprotokoll");
} // namespace

// Makes the protocol file with its header and, beside it, its measurement folder. A name that
// cannot serve as a file and folder name, or that is taken, makes nothing.
void RecordKeeping::CreateProtocolFile()
{
    const QString name = settingsTab->NewProtocolName();
    if (const std::optional<QString> problem = ProtocolNameProblem(name)) {
        messages.MsgBox(
            QStringLiteral("Die Protokoll-Datei : ") + name + CrLf + CrLf + *problem + CrLf,
            MsgStyle::OkOnly + MsgStyle::Exclamation, NameErrorTitle);
        return;
    }
    const CreateOutcome outcome = MakeProtocolFile(
        settingsTab->StorageFolder(), name, parameters->FieldSeparator().front());
    if (outcome == CreateOutcome::Exists) {
        messages.MsgBox(QStringLiteral("Die Protokoll-Datei : ") + name + CrLf + CrLf
                + QStringLiteral("existiert bereits und kann nicht neu eröffnet werden !") + CrLf
                + CrLf + QStringLiteral("Verwenden Sie bitte einen anderen Namen.  ") + CrLf + CrLf
                + QStringLiteral(" ") + CrLf + CrLf,
            MsgStyle::OkOnly + MsgStyle::Exclamation, NameErrorTitle);
        settingsTab->CloseNewProtocolPanel();
        return;
    }
    if (outcome == CreateOutcome::Failed) {
        messages.MsgBox(QStringLiteral("Die Protokoll-Datei ")
                + QDir::toNativeSeparators(
                    settingsTab->StorageFolder() + name + QStringLiteral(".CSV"))
                + QStringLiteral(" kann nicht angelegt werden.") + CrLf
                + QStringLiteral("Bitte die Dateiablage prüfen."),
            MsgStyle::OkOnly + MsgStyle::Exclamation, NameErrorTitle);
        return;
    }
    settingsTab->RememberProtocolName(name);
    ListProtocolFiles();
    settingsTab->CloseNewProtocolPanel();
}

// Appends the record of the test that has just ended at the position, with the texts of its
// start, to the protocol file chosen at its start, and adds its row, shown in the comparison
// graph, where the table shows that file. A record that cannot be written is reported and gets no
// row, so that rows keep mirroring the file.
void RecordKeeping::AppendTestRecord(int position, const RunningTest& test)
{
    if (test.testNumber == 0)
        return;
    const TestRecordTexts texts {test.testNumber, position, test.header};
    switch (protocol->AppendTestRecord(
        test.protocolPath, texts, parameters->FieldSeparator().front())) {
    case AppendOutcome::Locked:
        ReportProtocolLocked(test.protocolPath);
        ReportRecordNotWritten(test.testNumber, test.protocolPath);
        return;
    case AppendOutcome::Failed:
        ReportRecordNotWritten(test.testNumber, test.protocolPath);
        return;
    case AppendOutcome::Elsewhere:
        return;
    case AppendOutcome::ReloadNeeded:
        ReloadProtocolFile();
        break;
    case AppendOutcome::Added:
        AddRecordRow(records->RecordRows(), protocol->Records().back());
        break;
    }
    comparison->SetShown(records->RecordRows() - 1, true);
}

// Each lost record has a box of its own: a later one must not replace the report of an earlier.
void RecordKeeping::ReportRecordNotWritten(qint32 testNumber, const QString& path)
{
    messages.MsgBoxLater(QStringLiteral("Der Eintrag von Test ") + QString::number(testNumber)
            + QStringLiteral(" konnte nicht in die Protokolldatei ")
            + QDir::toNativeSeparators(path) + QStringLiteral(" geschrieben werden.") + CrLf
            + QStringLiteral("Die Messdatei ist erhalten."),
        MsgStyle::Exclamation, RecordTitle + QStringLiteral(": Test %1").arg(testNumber));
    StBar1->showNotice(QStringLiteral("Protokolleintrag nicht geschrieben!"));
}

// Another program holds the protocol file longer than a record takes.
void RecordKeeping::ReportProtocolLocked(const QString& protocolPath)
{
    messages.MsgBoxLater(
        ProtocolLockedText(protocolPath), MsgStyle::Exclamation, QStringLiteral("Messprotokoll"));
}
