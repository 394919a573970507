// Starting and ending tests.
#include "instrument/instrument_link.h"
#include "platform/file_lock.h"
#include "platform/status_bar.h"
#include "records/test_numbers.h"
#include "run/value_format.h"
#include "window/choice_lists.h"
#include "window/form1.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <algorithm>

namespace {
const QString StartCaption = QStringLiteral("Start");
const QString StopCaption = QStringLiteral("Stop");
const QString StartTitle = QStringLiteral("Messung starten");
const QColor RunningColour(255, 0, 0);
// How long Start ignores clicks after a test has ended by itself.
constexpr qint64 StartLockMilliseconds = 2000;

// The test number in LaufNr: one to five digits between blanks, 1 to 99999.
std::optional<qint32> TestNumberOf(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^\\s*([0-9]{1,5})\\s*$"));
    const QRegularExpressionMatch match = digits.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const qint32 number = match.captured(1).toInt();
    return number >= 1 ? std::optional<qint32>(number) : std::nullopt;
}

QString RefusedStart(int position, const QString& reason)
{
    return QStringLiteral("Start für Kanal %1 abgelehnt: %2").arg(position).arg(reason);
}

// The status texts of the ends the user did not ask for.
const QString LimitEndText = QStringLiteral("Messung beendet: Grenzwert unterschritten");
const QString DurationEndText = QStringLiteral("Messung beendet: Messdauer erreicht");
const QString InstrumentEndText = QStringLiteral("Messung am Gerät beendet");

} // namespace

void Form1::Start_Click(int Index)
{
    if (Index < 1 || Index >= int(Start.size()))
        return;
    const QString caption = Start[Index]->text();
    const qint64 locked = Now().msecsTo(startLockedUntil);
    if (caption == StartCaption && locked > 0 && locked <= StartLockMilliseconds)
        return;
    if (caption == StartCaption)
        StartTest(Index);
    else if (caption == StopCaption)
        EndTest(Index);
}

// Every refusal is decided before the first step, so a refused start changes nothing. False
// when no test was started.
bool Form1::StartTest(int position, StartOrigin origin)
{
    if (const std::optional<QString> refusal = StartRefusal(position)) {
        StBar1->showNotice(RefusedStart(position, *refusal));
        if (origin == StartOrigin::Instrument && !AnyPositionRunning())
            ReportRefusedReportedStart(position, *refusal);
        return false;
    }
    const QDateTime now = Now();
    RunningTest test {
        {}, {}, HeaderAt(now), 0, ProtocolFilePath(), FieldSeparator, DecimalSeparator, false};
    // How the test before ended is no news once the next one starts.
    StBar1->clearNotice();
    if (!CreateMeasurementFile(position, test, *TestNumberOf(LaufNr->text())))
        return false;
    const qint32 testNumber = test.testNumber;
    RunningTests[position] = std::move(test);
    if (!TemperatureChosen())
        MessWert[0]->clear();
    link->SendTemperatureCommand(TemperatureChosen());
    link->SendStartCommand();
    ShowRunning(position, true);
    DrawPlotFrame(position);
    PositionRunning[position] = 1;
    MessDauer[position]->setText(QStringLiteral("00:00:00"));
    LastWriteMinute[position] = MinuteStamp(now);
    ElapsedSeconds = 0;
    TestDatum->setText(now.toString(QStringLiteral("dd.MM.yyyy")));
    TestZeit->setText(now.toString(QStringLiteral("hh:mm")));
    SetCurveStart(position);
    LastSampleSeconds[position] = 0;
    TestNr->setText(FFix0(testNumber, 5, 0));
    CurrentTestNumber = testNumber;
    LaufNr->setText(FFix(double(testNumber) + 1, 5, 0));
    SetParameterFramesEnabled(false);
    return true;
}

// The instrument reports a start. A test the program cannot record would run unseen: the
// instrument is told to stop and the user why. While a test runs, the end command would stop that
// test too, so a second start is only noted.
void Form1::StartReportedTest(int position)
{
    if (StartTest(position, StartOrigin::Instrument) || AnyPositionRunning())
        return;
    link->SendEndCommand();
}

void Form1::ReportRefusedReportedStart(int position, const QString& reason)
{
    MsgBoxLater(QStringLiteral("Das Messgerät hat auf Kanal %1 eine Messung gestartet, die nicht "
                               "aufgezeichnet werden kann:")
                    .arg(position)
            + CrLf + reason + CrLf + CrLf + QStringLiteral("Die Messung am Gerät wurde beendet."),
        MsgStyle::Exclamation, StartTitle);
}

// Why a start cannot be made: only position 1 has controls and data, a running position has its
// file open, a test without a protocol file would be recorded nowhere, and the record holds test
// numbers of five digits, 0 meaning "no test". While the line is down the instrument could not be
// told to start, and the program would wait for a test that never runs.
std::optional<QString> Form1::StartRefusal(int position) const
{
    if (position != 1)
        return QStringLiteral("nur Kanal 1 wird gemessen.");
    if (PositionRunning[position] == 1 || RunningTests[position].file.IsOpen())
        return QStringLiteral("Messung läuft bereits.");
    if (!link->PortOpen())
        return QStringLiteral("keine Verbindung zum Messgerät.");
    if (TabProtDatei->currentIndex() < 0)
        return QStringLiteral("keine Protokolldatei gewählt.");
    if (!TestNumberOf(LaufNr->text()))
        return QStringLiteral("Test-Nr. muss 1 bis 99999 sein.");
    return std::nullopt;
}

// Takes the test's number and makes its file with its header before anything goes to the
// instrument. Both happen under the protocol file's lock, so that a second program on the same
// protocol can neither take the same number nor touch the file. A number is never given twice:
// not one recorded, not one whose file exists, not one of a running test. On failure nothing is
// left behind and the user is told.
bool Form1::CreateMeasurementFile(int position, RunningTest& test, qint32 wanted)
{
    const FileLock protocolLock(test.protocolPath, SharedFileWaitMilliseconds);
    if (protocolLock.HeldByOther()) {
        ReportProtocolLocked(test.protocolPath);
        return false;
    }
    if (!MakeMeasurementFolder())
        return ReportUncreatableFile(position, MeasurementFolder());
    const qint32 highest
        = std::max(HighestRecordedNumber(test.protocolPath), HighestRunningNumber());
    const std::optional<qint32> number = NewTestNumber(wanted, highest, NumbersOfFiles());
    if (!number) {
        StBar1->showNotice(RefusedStart(position, QStringLiteral("keine freie Test-Nr. mehr.")));
        return false;
    }
    const QString path = MeasurementFolder()
        + MeasurementFileName(FFix0(*number, 5, 0) + u'-' + FFix(position, 1, 0));
    test.fileLock = std::make_unique<FileLock>(path, 0, FileLock::Hold::WhileRunning);
    bool written = !test.fileLock->HeldByOther() && test.file.Open(path, WriteMode::CreateNew);
    for (const QString& line : HeaderLines(test.header, test.fieldSeparator))
        written = written && test.file.WriteLine(line);
    if (!written) {
        if (test.file.IsOpen()) {
            test.file.Close();
            FileDelete(path);
        }
        return ReportUncreatableFile(position, path);
    }
    test.testNumber = *number;
    return true;
}

// The measurement folder of the selected protocol file, made again where it is missing (removed
// by hand, or a program ended before it made it).
bool Form1::MakeMeasurementFolder()
{
    const QString folder = MeasurementFolder();
    if (QFileInfo(folder).isDir())
        return true;
    if (!MakeFolder(folder))
        return false;
    StBar1->showNotice(QStringLiteral("Der Ordner der Messdateien ")
        + QDir::toNativeSeparators(folder) + QStringLiteral(" fehlte und wurde neu angelegt."));
    return true;
}

// The numbers of the measurement folder's files, which a new test cannot get.
QSet<qint32> Form1::NumbersOfFiles() const
{
    return NumbersOfMeasurementFiles(ListFolderFiles(MeasurementFolder(), QStringLiteral("*")));
}

qint32 Form1::HighestRunningNumber() const
{
    qint32 highest = 0;
    for (int position = 1; position <= PositionCount; ++position) {
        if (PositionRunning[position] == 1)
            highest = std::max(highest, RunningTests[position].testNumber);
    }
    return highest;
}

bool Form1::ReportUncreatableFile(int position, const QString& path)
{
    MsgBoxLater(QStringLiteral("Die Messdatei ") + QDir::toNativeSeparators(path)
            + QStringLiteral(" kann nicht angelegt werden.") + CrLf
            + QStringLiteral("Bitte die Dateiablage und die Protokolldatei prüfen. Die "
                             "Messung wurde nicht gestartet."),
        MsgStyle::Exclamation, StartTitle);
    StBar1->showNotice(RefusedStart(position, QStringLiteral("Messdatei nicht anlegbar.")));
    return false;
}

// Another program holds the protocol file longer than a record takes.
void Form1::ReportProtocolLocked(const QString& protocolPath)
{
    MsgBoxLater(QStringLiteral("Die Protokolldatei ") + QDir::toNativeSeparators(protocolPath)
            + QStringLiteral(" wird gerade von einem anderen Programm benutzt.") + CrLf
            + QStringLiteral("Bitte in einigen Sekunden noch einmal versuchen. Hält die Sperre an, "
                             "die Datei ")
            + QDir::toNativeSeparators(LockFileOf(protocolPath)) + QStringLiteral(" prüfen."),
        MsgStyle::Exclamation, QStringLiteral("Messprotokoll"));
}

MeasurementHeader Form1::HeaderAt(const QDateTime& now) const
{
    return {Text1->text(), Text2->text(), Text3->text(), Bem1->text(), Bem2->text(), Bem3->text(),
        now.toString(QStringLiteral("dd.MM.yyyy")), now.toString(QStringLiteral("hh:mm")),
        MessZyklusTab->currentText()};
}

// The live curves start at the values now shown.
void Form1::SetCurveStart(int position)
{
    PrevX[position] = 0;
    PrevY[position] = float(ReadShownValue(MessWert[position]->text()) * 10);
    PrevTempX[position] = 0;
    PrevTempY[position] = float(ReadShownValue(MessWert[0]->text()) * 10 / TempScaleFactor);
}

// Ends the test of a position: the instrument is told to stop, the position shows as idle, its
// file is closed and its record appended. A position that was not running is shown stopped
// again, nothing more: a repeated end never records the same test twice.
void Form1::EndTest(int position, EndReason reason)
{
    const bool instrumentTold = link->SendEndCommand();
    if (position < 1 || position > PositionCount)
        return;
    ShowRunning(position, false);
    const bool wasRunning = PositionRunning[position] == 1;
    PositionRunning[position] = 0;
    if (!RunningTests[position].file.Close())
        StBar1->showNotice(
            QStringLiteral("Die Messdatei konnte nicht vollständig geschlossen werden."));
    if (!AnyPositionRunning())
        SetParameterFramesEnabled(true);
    if (wasRunning)
        AppendTestRecord(position);
    // Only once its record is written is the file free: until then it is no orphan.
    RunningTests[position].fileLock.reset();
    RedrawStoredCurves();
    if (!wasRunning)
        return;
    ReportEndReason(reason);
    if (!instrumentTold && reason != EndReason::Instrument)
        ReportInstrumentNotStopped(reason);
}

// An end by the limit, the duration or the instrument is named, and Start waits a moment so that
// a Stop clicked just too late does not start the next test. The instrument's end counts as the
// end of the duration when no further sample would have fitted into it.
void Form1::ReportEndReason(EndReason reason)
{
    if (reason != EndReason::Limit && reason != EndReason::Instrument)
        return;
    startLockedUntil = Now().addMSecs(StartLockMilliseconds);
    if (reason == EndReason::Limit) {
        StBar1->showNotice(LimitEndText);
        return;
    }
    const std::optional<qint32> duration = DurationSeconds(DurationIndex);
    const qint32 cycle = CycleSeconds(MessZyklusTab->currentIndex());
    const bool durationReached = duration && ElapsedSeconds + cycle > *duration;
    StBar1->showNotice(durationReached ? DurationEndText : InstrumentEndText);
}

// A test ended while the line is down: its file and record are kept, but the instrument may
// still be measuring. When the user closes the window the report is waited for: a box still open
// after the close would go with the program unread. A close by signal waits for nobody.
void Form1::ReportInstrumentNotStopped(EndReason reason)
{
    const QString text = QStringLiteral("Die Messung wurde beendet und gespeichert.") + CrLf + CrLf
        + QStringLiteral("Das Messgerät ist zurzeit nicht verbunden und konnte nicht "
                         "angehalten werden. Bitte die Messung am Gerät beenden.");
    const QString title = QStringLiteral("Verbindung zum Messgerät ");
    if (reason == EndReason::Close && !closeRequestedBySignal)
        MsgBox(text, MsgStyle::Exclamation, title);
    else
        MsgBoxLater(text, MsgStyle::Exclamation, title);
}

// The running tests end because the window closes.
void Form1::EndRunningTests()
{
    for (int position = 1; position <= PositionCount; ++position) {
        if (PositionRunning[position] == 1)
            EndTest(position, EndReason::Close);
    }
}

bool Form1::AnyPositionRunning() const
{
    return std::any_of(PositionRunning.begin() + 1, PositionRunning.end(),
        [](qint16 running) { return running == 1; });
}

// The Start button of a running position is a red "Stop".
void Form1::ShowRunning(int position, bool running)
{
    if (position >= int(Start.size()) || !Start[position])
        return;
    Start[position]->setText(running ? StopCaption : StartCaption);
    QPalette palette;
    if (running)
        palette.setColor(QPalette::Button, RunningColour);
    Start[position]->setPalette(palette);
}

void Form1::SetParameterFramesEnabled(bool enabled)
{
    for (QGroupBox* frame : {Frame5, Frame6, Frame7})
        frame->setEnabled(enabled);
}

// A start sends "T0" only when "Temperatur AUS" is chosen.
bool Form1::TemperatureChosen() const
{
    return !TempOnOff[0]->isChecked();
}

// The chosen run parameters, sent once the instrument is found: the cycle if one is chosen, the
// duration and the temperature option.
void Form1::SendRunParameters()
{
    if (MessZyklusTab->currentIndex() >= 0)
        link->SendCycleCommand(MessZyklusTab->currentIndex());
    if (CurrentDurationRow() > 0)
        link->SendDurationCommand(DurationIndex);
    link->SendTemperatureCommand(TemperatureChosen());
}
