// The record table: the tests of the selected protocol file in ProtTab, their curves in WahlTab,
// and the list of protocol files.
#include "numbers/field_reading.h"
#include "numbers/value_format.h"
#include "platform/flex_grid.h"
#include "platform/text_file.h"
#include "records/protocol_register.h"
#include "records/test_numbers.h"
#include "run/test_run.h"
#include "window/comparison_panel.h"
#include "window/messages.h"
#include "window/protocol_panel.h"
#include "window/record_keeping.h"
#include "window/settings_panel.h"

#include <QDir>
#include <algorithm>
#include <array>

RecordKeeping::RecordKeeping(ProtocolRegister& protocolRegister, const TestRun& testRun,
    const RecordViews& views, QObject* parent)
    : QObject(parent)
    , protocol(&protocolRegister)
    , run(&testRun)
    , settingsTab(views.settingsTab)
    , records(views.records)
    , comparison(views.comparison)
    , parameters(views.parameters)
    , StBar1(views.StBar1)
    , messages(views.messages)
{
    connect(
        protocol, &ProtocolRegister::changedElsewhere, this, &RecordKeeping::ReloadProtocolFile);
    connect(records, &ProtocolPanel::curveToggleRequested, this, &RecordKeeping::ToggleStoredCurve);
    connect(records, &ProtocolPanel::deleteRequested, this, &RecordKeeping::DeleteSelectedTest);
    connect(
        settingsTab, &SettingsPanel::storageFolderShown, this, &RecordKeeping::ListProtocolFiles);
    connect(settingsTab, &SettingsPanel::folderLeft, this, &RecordKeeping::Dir1_LostFocus);
    connect(
        settingsTab, &SettingsPanel::protocolSelected, this, &RecordKeeping::TabProtDatei_Click);
    connect(settingsTab, &SettingsPanel::newProtocolConfirmed, this,
        &RecordKeeping::CreateProtocolFile);
}

// The measurement folder of the protocol file now selected.
QString RecordKeeping::MeasurementFolder() const
{
    return settingsTab->StorageFolder() + settingsTab->ProtocolName() + QDir::separator();
}

void RecordKeeping::AddRecordRow(qint32 row, const QString& record)
{
    records->AddRecordRow(row, record);
    comparison->AddCurveRows({record});
}

QString RecordKeeping::ProtocolFilePath() const
{
    return settingsTab->StorageFolder() + settingsTab->ProtocolName() + QStringLiteral(".CSV");
}

// Fills both grids from the selected protocol file and sets the next test number. A file that
// cannot be read leaves the grids empty and the test number as it was. A file the grids already
// show as it is now is not read again: the grids stay, as reading would leave them, with no test
// chosen and no curve marked shown.
void RecordKeeping::LoadProtocolFile()
{
    const QString path = settingsTab->ProtocolChosen() ? ProtocolFilePath() : QString();
    if (path.isEmpty() || !protocol->ShowsFileAsItIs(path, MeasurementFolder())) {
        ReadProtocolFile();
        return;
    }
    records->ForgetSelection();
    comparison->ForgetShownCurves();
    ShowNextTestNumber();
}

void RecordKeeping::ReadProtocolFile()
{
    const QString path = settingsTab->ProtocolChosen() ? ProtocolFilePath() : QString();
    records->ShowProtocolFile(path);
    comparison->FormatCurveList();
    if (!protocol->LoadProtocolFile(path, MeasurementFolder()))
        return;
    records->ShowRecords(protocol->Records());
    comparison->AddCurveRows(protocol->Records());
    ShowNextTestNumber();
}

void RecordKeeping::ShowNextTestNumber()
{
    if (const std::optional<qint32> next = protocol->NextTestNumber(run->HighestRunningNumber()))
        settingsTab->ShowNextNumber(SignedNumberText(*next));
}

// Reads the protocol file again, as another program has changed it; the curves shown stay shown.
void RecordKeeping::ReloadProtocolFile()
{
    const QStringList shown = comparison->ShownStoredTests();
    const QString typedNumber = settingsTab->NextNumberText();
    ReadProtocolFile();
    // A higher number the user typed stays: the start takes it if it is still free.
    if (FieldValue(typedNumber) > FieldValue(settingsTab->NextNumberText()))
        settingsTab->ShowNextNumber(typedNumber);
    comparison->ShowAgain(shown);
    comparison->RedrawStoredCurves();
}

// Lists the protocol files of the storage folder and selects the one chosen last, or else the
// first; selecting loads it. Measurement files ("No-...") and nameless files are left out, and so
// is a "name.csv" that the name's path "name.CSV" would not reach (a file system that tells
// cases apart).
void RecordKeeping::ListProtocolFiles()
{
    settingsTab->ShowProtocolNames(ProtocolFileNames(settingsTab->StorageFolder()));
}

void RecordKeeping::FinishStart()
{
    starting = false;
    ListProtocolFiles();
    LoadProtocolFile();
}

// A protocol file selected: its records are loaded and every stored curve is hidden.
void RecordKeeping::TabProtDatei_Click()
{
    if (starting)
        return;
    LoadProtocolFile();
    comparison->ButDel_Click();
    OfferUnrecordedTests();
}

void RecordKeeping::Dir1_LostFocus()
{
    ListProtocolFiles();
    LoadProtocolFile();
}
