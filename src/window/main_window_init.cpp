// The window's initialisation at load and its message boxes.
#include "instrument/instrument_link.h"
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "platform/status_bar.h"
#include "platform/text_file.h"
#include "run/choice_lists.h"
#include "run/value_format.h"
#include "window/form1.h"
#include "window/parameter_panel.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>

namespace {
constexpr int FirstGroupTab = 1;
constexpr int LastGroupTab = 4;
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
    for (QLineEdit* field : {Text1, Text2, Text3, Bem1, Bem2, Bem3, TestNr, TestDatum, TestZeit})
        field->clear();
    TempScaleFactor = 0.5F;
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
    return MsgBox(text, MsgStyle::RetryCancel + MsgStyle::Exclamation,
               QStringLiteral("Verbindung zum Messgerät "))
        == MsgResult::Retry;
}

void Form1::InitMainWindow()
{
    CrLf = QStringLiteral("\r\n");
    FillDurationTables();
    FillCycleList();
    GroupCount = 2;
    FillDurationList();
    parameters->FillSeparatorLists();
    SSTab1->setCurrentIndex(0);
    LimitDrawMode = InvertingDrawMode;
    SetUpGraphs();
    DurationIndex = 1;
    LoadSettings();
    for (int tab = FirstGroupTab; tab <= LastGroupTab; ++tab)
        SSTab1->setTabEnabled(tab, tab <= GroupCount && SSTab1->isTabEnabled(tab));
    StBar1->setPanelText(4, QStringLiteral("Zyklus: ") + MessZyklusTab->currentText());
    ShowStorageFolder();
    RemoveUnfinishedSaves();
    ShowVersion();
    WahlTab->setColHidden(1, true);
    FormatRecordTable();
    LoadProtocolFile();
    link->StartSearch();
}

// The lists are filled with no entry chosen and without their click handlers: the settings
// choose an entry, and that sends its command.
void Form1::FillCycleList()
{
    const QSignalBlocker quiet(MessZyklusTab);
    MessZyklusTab->clear();
    MessZyklusTab->addItems(CycleEntries());
    MessZyklusTab->setCurrentIndex(-1);
}

void Form1::FillDurationList()
{
    const QSignalBlocker quiet(Messzeit);
    Messzeit->clear();
    for (int index = 1; index <= DurationCount; ++index)
        Messzeit->addItem(DurationText[index]);
    Messzeit->setCurrentIndex(-1);
}

// "Version: " and the version from the executable's date; nothing when the date is unknown.
void Form1::ShowVersion()
{
    const std::optional<QDateTime> built
        = FileDateTime(ProgramFolder() + QDir::separator() + ExecutableName);
    StBar1->setPanelText(6, built ? QStringLiteral("Version: ") + VersionText(*built) : QString());
}

int Form1::MsgBox(const QString& text, int style, const QString& title)
{
    if (answerer)
        return answerer(style, title, text);
    return ShowMessageBox(this, style, title, text);
}

void Form1::MsgBoxAsk(
    const QString& text, int style, const QString& title, const std::function<void(int)>& answered)
{
    if (answerer)
        answered(answerer(style, title, text));
    else
        AskLater(this, style, title, text, answered);
}

void Form1::MsgBoxLater(const QString& text, int style, const QString& title)
{
    if (answerer)
        answerer(style, title, text);
    else
        ShowMessageBoxLater(this, style, title, text);
}
