#include "window/form1.h"

#include "instrument/instrument_link.h"
#include "platform/environment.h"
#include "records/protocol_register.h"
#include "window/settings_panel.h"

#include <QCloseEvent>

Form1::Form1(FormEnvironment environment, QWidget* parent)
    : QMainWindow(parent)
    , programFolder(environment.programFolder)
    , settingsStore(environment.programFolder, environment.userConfigFolder,
          environment.settingsBesideProgram)
    , arguments(environment.arguments)
    , clock(environment.clock ? environment.clock : Clock(SystemNow))
    , messages(this, environment.answerer)
    , printRunner(environment.print)
    , systemPrinter(
          std::make_unique<SystemPrinter>([this] { return settingsTab->StorageFolder(); }))
{
    if (!printRunner) {
        printRunner = [this](const QString& documentName, const PrintJob& job) {
            return systemPrinter->PrintWithDialog(this, documentName, job);
        };
    }
    link = new InstrumentLink(
        std::move(environment.serialBackend), std::move(environment.lineLog), this);
    run = new TestRun(*link, *this, clock, this);
    protocol = new ProtocolRegister(this);
    BuildLayout(environment.startFolder);
    ConnectControls();
    Form_Load();
}

Form1::~Form1() = default;

// A close would lose a running test: the user is asked first, and Yes ends every running test as
// Stop does. A close by signal ends them without asking, also when it comes while the question is
// open.
void Form1::closeEvent(QCloseEvent* event)
{
    if (run->AnyPositionRunning() && !closeRequestedBySignal) {
        const int answer = messages.MsgBox(QStringLiteral("Es läuft noch eine Messung.") + CrLf
                + CrLf
                + QStringLiteral("Soll die Messung beendet und das Programm geschlossen werden?"),
            MsgStyle::YesNo + MsgStyle::Question + MsgStyle::DefaultButton2,
            QStringLiteral("Programm beenden"));
        if (answer != MsgResult::Yes && !closeRequestedBySignal) {
            event->ignore();
            return;
        }
    }
    run->EndRunningTests(closeRequestedBySignal);
    Form_Unload();
    event->accept();
}

void Form1::CloseWithoutAsking()
{
    closeRequestedBySignal = true;
    close();
}
