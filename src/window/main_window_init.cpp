// The window's initialisation at load and its message boxes.
#include "instrument/instrument_link.h"
#include "numbers/value_format.h"
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "platform/status_bar.h"
#include "platform/text_file.h"
#include "run/choice_lists.h"
#include "window/form1.h"
#include "window/help_dialog.h"
#include "window/live_graph.h"
#include "window/measurement_panel.h"
#include "window/parameter_panel.h"
#include "window/record_keeping.h"
#include "window/settings_panel.h"

#include <QDir>

namespace {
constexpr int FirstGroupTab = 1;
constexpr int LastGroupTab = 4;
// The groups of positions this instrument has; the tabs of the others stay locked.
constexpr int GroupCount = 2;
#ifdef Q_OS_WIN
const QString ExecutableName = QStringLiteral("TALIV01.EXE");
#else
const QString ExecutableName = QStringLiteral("taliv01");
#endif
} // namespace

void Form1::Form_Load()
{
    for (int tab = 2; tab <= 4; ++tab)
        SSTab1->setTabEnabled(tab, false);
    measurement->ClearTestData();
    graphScale.TempScaleFactor = 0.5F;
    link->OpenFirstPort();
    InitMainWindow();
    link->ApplyCommandLinePort(arguments);
    ReportLineLogFailure();
}

// A line log asked for but not written is only mentioned: the measurement goes on without it.
void Form1::ReportLineLogFailure()
{
    const QString failure = link->LineLogFailure();
    if (!failure.isEmpty())
        StBar1->showNotice(
            QStringLiteral("Das Leitungsprotokoll wird nicht geschrieben: ") + failure);
}

// The instrument answered the search. A test it started since its answer goes on undisturbed;
// else the chosen run parameters go to it and position 1 is reset.
void Form1::InstrumentFound()
{
    if (run->AnyPositionRunning())
        return;
    run->SendRunParameters();
    run->EndTest(1);
}

// A port opened without a search, or opened again after its device was lost: without a running
// test the run parameters are sent, as the user may have chosen others meanwhile.
void Form1::PortReady()
{
    if (!run->AnyPositionRunning())
        run->SendRunParameters();
}

// True for Retry.
bool Form1::AskToSearchAgain()
{
    const QString text = "Die Verbindung zum Messgerät konnte nicht aufgebaut werden !" + CrLf
        + CrLf + "Gerät einschalten, Verbindung prüfen und 'Wiederholen'" + CrLf + "  " + CrLf
        + CrLf + " " + CrLf + CrLf;
    return messages.MsgBox(text, MsgStyle::RetryCancel + MsgStyle::Exclamation,
               QStringLiteral("Verbindung zum Messgerät "))
        == MsgResult::Retry;
}

void Form1::InitMainWindow()
{
    settingsTab->FillCycleList(CycleEntries());
    settingsTab->FillDurationList(graphScale.DurationEntries());
    parameters->FillSeparatorLists();
    SSTab1->setCurrentIndex(0);
    liveGraph->UseInvertingDrawMode();
    graphScale.DurationIndex = 1;
    recordKeeping->BeginStart();
    LoadSettings();
    for (int tab = FirstGroupTab; tab <= LastGroupTab; ++tab)
        SSTab1->setTabEnabled(tab, tab <= GroupCount && SSTab1->isTabEnabled(tab));
    StBar1->setPanelText(4, QStringLiteral("Zyklus: ") + settingsTab->CycleText());
    settingsTab->ShowStorageFolder();
    RemoveUnfinishedSaves();
    ShowVersion();
    recordKeeping->FinishStart();
    link->StartSearch();
}

// "Version: " and the version from the executable's date; nothing when the date is unknown.
void Form1::ShowVersion()
{
    const std::optional<QDateTime> built
        = FileDateTime(programFolder + QDir::separator() + ExecutableName);
    versionText = built ? QStringLiteral("Version: ") + VersionText(*built) : QString();
    StBar1->setPanelText(6, versionText);
}

// One guide, raised again when it is open already.
void Form1::ShowHelp()
{
    if (!help)
        help = new HelpDialog(versionText, this);
    help->show();
    help->raise();
    help->activateWindow();
}
