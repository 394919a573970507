// Creating a protocol file and appending the record of a finished test.
#include "platform/file_lock.h"
#include "platform/flex_grid.h"
#include "platform/status_bar.h"
#include "platform/text_file.h"
#include "records/protocol_register.h"
#include "window/form1.h"
#include "window/parameter_panel.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {
const QString NameErrorTitle = QStringLiteral("Fehler Protokoll-Dateiname ");
const QString RecordTitle = QStringLiteral("Messprotokoll");
} // namespace

void Form1::ButProtNeu_Click()
{
    Frame14->show();
    ProtDat->setFocus();
}

// Makes the protocol file with its header and, beside it, its measurement folder. A name that
// cannot serve as a file and folder name, or that is taken, makes nothing.
void Form1::CreateProtocolFile()
{
    const QString name = ProtDat->text();
    if (const std::optional<QString> problem = ProtocolNameProblem(name)) {
        MsgBox(QStringLiteral("Die Protokoll-Datei : ") + name + CrLf + CrLf + *problem + CrLf,
            MsgStyle::OkOnly + MsgStyle::Exclamation, NameErrorTitle);
        return;
    }
    const CreateOutcome outcome
        = MakeProtocolFile(Label10->text(), name, parameters->FieldSeparator().front());
    if (outcome == CreateOutcome::Exists) {
        MsgBox(QStringLiteral("Die Protokoll-Datei : ") + name + CrLf + CrLf
                + QStringLiteral("existiert bereits und kann nicht neu eröffnet werden !") + CrLf
                + CrLf + QStringLiteral("Verwenden Sie bitte einen anderen Namen.  ") + CrLf + CrLf
                + QStringLiteral(" ") + CrLf + CrLf,
            MsgStyle::OkOnly + MsgStyle::Exclamation, NameErrorTitle);
        Frame14->hide();
        return;
    }
    if (outcome == CreateOutcome::Failed) {
        MsgBox(QStringLiteral("Die Protokoll-Datei ")
                + QDir::toNativeSeparators(Label10->text() + name + QStringLiteral(".CSV"))
                + QStringLiteral(" kann nicht angelegt werden.") + CrLf
                + QStringLiteral("Bitte die Dateiablage prüfen."),
            MsgStyle::OkOnly + MsgStyle::Exclamation, NameErrorTitle);
        return;
    }
    ProtocolFileName = name;
    ListProtocolFiles();
    Frame14->hide();
}

// Appends the record of the test that has just ended at the position, with the texts of its
// start, to the protocol file chosen at its start, and adds its row, shown in the comparison
// graph, where the table shows that file. A record that cannot be written is reported and gets no
// row, so that rows keep mirroring the file.
void Form1::AppendTestRecord(int position, const RunningTest& test)
{
    if (test.testNumber == 0)
        return;
    switch (protocol->AppendTestRecord(position, test, parameters->FieldSeparator().front())) {
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
        AddRecordRow(ProtTab->Rows(), protocol->Records().back());
        break;
    }
    WahlTab->setTextMatrix(ProtTab->Rows() - 1, ShownColumn, QStringLiteral("-1"));
}

// Each lost record has a box of its own: a later one must not replace the report of an earlier.
void Form1::ReportRecordNotWritten(qint32 testNumber, const QString& path)
{
    MsgBoxLater(QStringLiteral("Der Eintrag von Test ") + QString::number(testNumber)
            + QStringLiteral(" konnte nicht in die Protokolldatei ")
            + QDir::toNativeSeparators(path) + QStringLiteral(" geschrieben werden.") + CrLf
            + QStringLiteral("Die Messdatei ist erhalten."),
        MsgStyle::Exclamation, RecordTitle + QStringLiteral(": Test %1").arg(testNumber));
    StBar1->showNotice(QStringLiteral("Protokolleintrag nicht geschrieben!"));
}
