#include "run/test_run.h"

#include "graph/plot_frame.h"
#include "instrument/instrument_link.h"
#include "instrument/replies.h"
#include "numbers/field_reading.h"
#include "numbers/value_format.h"
#include "platform/message_box.h"
#include "records/protocol_file.h"
#include "records/test_numbers.h"
#include "run/choice_lists.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>

namespace {
const QString StartTitle = QStringLiteral("Messung starten");
const QString CrLf = QStringLiteral("\r\n");
// How long Start ignores clicks after a test has ended by itself.
constexpr qint64 StartLockMilliseconds = 2000;
// A power cut loses at most this much of a test's data lines; one sync per line would slow down
// the receive path.
constexpr int DataLineSyncMilliseconds = 1000;
// From this duration on (10 hours) one data line per clock minute is written, without temperature.
constexpr int FirstLongDuration = 6;

// The status texts of the ends the user did not ask for.
const QString LimitEndText = QStringLiteral("Messung beendet: Grenzwert unterschritten");
const QString DurationEndText = QStringLiteral("Messung beendet: Messdauer erreicht");
const QString InstrumentEndText = QStringLiteral("Messung am Gerät beendet");
const QString WriteFailureText
    = QStringLiteral("Ein Messwert konnte nicht in die Messdatei geschrieben werden (Datenträger "
                     "voll oder Ordner entfernt?). Die Messung läuft weiter.");
const QString WriteFailureNotice
    = QStringLiteral("Messwert nicht gespeichert: Messdatei nicht beschreibbar!");

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

// The rounded previous and current viscosity points of a live sample, in plot units.
struct ViscosityPoints {
    qint16 PrevViscInt = 0;
    qint16 CurViscInt = 0;
};

// The automatic end of a test: the viscosity fell and is below the limit (plot units).
bool FallsBelowLimit(const ViscosityPoints& points, float limit)
{
    return points.CurViscInt < points.PrevViscInt && points.CurViscInt < limit;
}

QString RefusedStart(int position, const QString& reason)
{
    return QStringLiteral("Start für Kanal %1 abgelehnt: %2").arg(position).arg(reason);
}

} // namespace

TestRun::TestRun(
    InstrumentLink& instrumentLink, const RunContext& runContext, Clock now, QObject* parent)
    : QObject(parent)
    , link(instrumentLink)
    , context(runContext)
    , clock(std::move(now))
    , SyncTimer(new QTimer(this))
{
    SyncTimer->setSingleShot(true);
    SyncTimer->setInterval(DataLineSyncMilliseconds);
    connect(SyncTimer, &QTimer::timeout, this, &TestRun::SyncDataLines);
    connect(&link, &InstrumentLink::startReported, this, &TestRun::StartReportedTest);
    connect(&link, &InstrumentLink::endReported, this, &TestRun::EndReportedTest);
    connect(&link, &InstrumentLink::elapsedTimeReported, this, &TestRun::HandleElapsedTime);
    connect(&link, &InstrumentLink::sampleReported, this,
        [this](const QString& line) { HandleSample(1, line); });
}

TestRun::~TestRun() = default;

void TestRun::StartOrStop(int position)
{
    if (IsRunning(position)) {
        EndTest(position);
        return;
    }
    const qint64 locked = clock().msecsTo(startLockedUntil);
    if (locked <= 0 || locked > StartLockMilliseconds)
        StartTest(position);
}

// Every refusal is decided before the first step, so a refused start changes nothing.
bool TestRun::StartTest(int position, StartOrigin origin)
{
    const TestOrder order = context.Order();
    if (const std::optional<QString> refusal = StartRefusal(position, order)) {
        emit notice(RefusedStart(position, *refusal));
        if (origin == StartOrigin::Instrument && !AnyPositionRunning())
            ReportRefusedReportedStart(position, *refusal);
        return false;
    }
    const QDateTime now = clock();
    RunningTest test {{}, {}, order.texts, 0, order.protocolPath, order.fieldSeparator,
        order.decimalSeparator, false};
    test.header.date = now.toString(QStringLiteral("dd.MM.yyyy"));
    test.header.time = now.toString(QStringLiteral("hh:mm"));
    // How the test before ended is no news once the next one starts.
    emit noticeCleared();
    if (!CreateMeasurementFile(position, test, order, *TestNumberOf(order.wantedNumber)))
        return false;
    const qint32 testNumber = test.testNumber;
    RunningTests[position] = std::move(test);
    const bool temperatureChosen = context.Choices().temperatureOption != 0;
    if (!temperatureChosen)
        shownTemperature.clear();
    ShowValues();
    link.SendTemperatureCommand(temperatureChosen);
    link.SendStartCommand();
    emit runningShown(position, true);
    PositionRunning[position] = true;
    emit elapsedShown(position, QStringLiteral("00:00:00"));
    LastWriteMinute[position] = MinuteStamp(now);
    elapsedSeconds = 0;
    LastSampleSeconds[position] = 0;
    PreviousViscosityY[position] = float(ReadShownValue(shownViscosity) * 10);
    currentTestNumber = testNumber;
    emit testStarted(position, testNumber, now);
    emit parametersLocked(true);
    return true;
}

// The instrument reports a start. A test the program cannot record would run unseen: the
// instrument is told to stop and the user why. While a test runs, the end command would stop that
// test too, so a second start is only noted.
void TestRun::StartReportedTest(int position)
{
    if (StartTest(position, StartOrigin::Instrument) || AnyPositionRunning())
        return;
    link.SendEndCommand();
}

void TestRun::EndReportedTest(int position)
{
    if (position == 1 || IsRunning(position))
        EndTest(position, EndReason::Instrument);
}

void TestRun::ReportRefusedReportedStart(int position, const QString& reason)
{
    emit message(QStringLiteral("Das Messgerät hat auf Kanal %1 eine Messung gestartet, die nicht "
                                "aufgezeichnet werden kann:")
                     .arg(position)
            + CrLf + reason + CrLf + CrLf + QStringLiteral("Die Messung am Gerät wurde beendet."),
        MsgStyle::Exclamation, StartTitle, false);
}

// Why a start cannot be made: only position 1 has controls and data, a running position has its
// file open, a test without a protocol file would be recorded nowhere, and the record holds test
// numbers of five digits, 0 meaning "no test". While the line is down the instrument could not be
// told to start, and the program would wait for a test that never runs.
std::optional<QString> TestRun::StartRefusal(int position, const TestOrder& order) const
{
    if (position != 1)
        return QStringLiteral("nur Kanal 1 wird gemessen.");
    if (PositionRunning[position] || RunningTests[position].file.IsOpen())
        return QStringLiteral("Messung läuft bereits.");
    if (!link.PortOpen())
        return QStringLiteral("keine Verbindung zum Messgerät.");
    if (!order.protocolChosen)
        return QStringLiteral("keine Protokolldatei gewählt.");
    if (!TestNumberOf(order.wantedNumber))
        return QStringLiteral("Test-Nr. muss 1 bis 99999 sein.");
    return std::nullopt;
}

// Takes the test's number and makes its file with its header before anything goes to the
// instrument. Both happen under the protocol file's lock, so that a second program on the same
// protocol can neither take the same number nor touch the file. A number is never given twice:
// not one recorded, not one whose file exists, not one of a running test. On failure nothing is
// left behind and the user is told.
bool TestRun::CreateMeasurementFile(
    int position, RunningTest& test, const TestOrder& order, qint32 wanted)
{
    const FileLock protocolLock(test.protocolPath, SharedFileWaitMilliseconds);
    if (protocolLock.HeldByOther()) {
        emit message(ProtocolLockedText(test.protocolPath), MsgStyle::Exclamation,
            QStringLiteral("Messprotokoll"), false);
        return false;
    }
    const QString& folder = order.measurementFolder;
    if (!MakeMeasurementFolder(folder))
        return ReportUncreatableFile(position, folder);
    const qint32 highest
        = std::max(HighestRecordedNumber(test.protocolPath), HighestRunningNumber());
    const std::optional<qint32> number = NewTestNumber(wanted, highest, NumbersOfFilesIn(folder));
    if (!number) {
        emit notice(RefusedStart(position, QStringLiteral("keine freie Test-Nr. mehr.")));
        return false;
    }
    const QString path = folder + MeasurementFileName(TestName(*number, position));
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
bool TestRun::MakeMeasurementFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    if (!MakeFolder(folder))
        return false;
    emit notice(QStringLiteral("Der Ordner der Messdateien ") + QDir::toNativeSeparators(folder)
        + QStringLiteral(" fehlte und wurde neu angelegt."));
    return true;
}

qint32 TestRun::HighestRunningNumber() const
{
    qint32 highest = 0;
    for (int position = 1; position <= PositionCount; ++position) {
        if (PositionRunning[position])
            highest = std::max(highest, RunningTests[position].testNumber);
    }
    return highest;
}

bool TestRun::ReportUncreatableFile(int position, const QString& path)
{
    emit message(QStringLiteral("Die Messdatei ") + QDir::toNativeSeparators(path)
            + QStringLiteral(" kann nicht angelegt werden.") + CrLf
            + QStringLiteral("Bitte die Dateiablage und die Protokolldatei prüfen. Die "
                             "Messung wurde nicht gestartet."),
        MsgStyle::Exclamation, StartTitle, false);
    emit notice(RefusedStart(position, QStringLiteral("Messdatei nicht anlegbar.")));
    return false;
}

// Ends the test of a position: the instrument is told to stop, the position shows as idle, its
// file is closed and its record appended. A position that was not running is shown stopped
// again, nothing more: a repeated end never records the same test twice.
void TestRun::EndTest(int position, EndReason reason)
{
    const bool instrumentTold = link.SendEndCommand();
    if (position < 1 || position > PositionCount)
        return;
    emit runningShown(position, false);
    const bool wasRunning = PositionRunning[position];
    PositionRunning[position] = false;
    // The last lines reach the disk at the close: when they do not, lines are lost as when one
    // fails to be written.
    if (!RunningTests[position].file.Close())
        ReportWriteFailure(position);
    if (!AnyPositionRunning())
        emit parametersLocked(false);
    if (wasRunning)
        emit testFinished(position, RunningTests[position]);
    // Only once its record is written is the file free: until then it is no orphan.
    RunningTests[position].fileLock.reset();
    emit testEnded(position);
    if (!wasRunning)
        return;
    ReportEndReason(reason);
    if (!instrumentTold && reason != EndReason::Instrument)
        ReportInstrumentNotStopped(reason);
}

// An end by the limit, the duration or the instrument is named, and Start waits a moment so that
// a Stop clicked just too late does not start the next test. The instrument's end counts as the
// end of the duration when no further sample would have fitted into it.
void TestRun::ReportEndReason(EndReason reason)
{
    if (reason != EndReason::Limit && reason != EndReason::Instrument)
        return;
    startLockedUntil = clock().addMSecs(StartLockMilliseconds);
    if (reason == EndReason::Limit) {
        emit notice(LimitEndText);
        return;
    }
    const RunChoices choices = context.Choices();
    const std::optional<qint32> duration = DurationSeconds(choices.durationIndex);
    const qint32 cycle = CycleSeconds(choices.cycleIndex);
    const bool durationReached = duration && elapsedSeconds + cycle > *duration;
    emit notice(durationReached ? DurationEndText : InstrumentEndText);
}

// A test ended while the line is down: its file and record are kept, but the instrument may
// still be measuring. When the user closes the window the report is waited for: a box still open
// after the close would go with the program unread. A close by signal waits for nobody.
void TestRun::ReportInstrumentNotStopped(EndReason reason)
{
    const QString text = QStringLiteral("Die Messung wurde beendet und gespeichert.") + CrLf + CrLf
        + QStringLiteral("Das Messgerät ist zurzeit nicht verbunden und konnte nicht "
                         "angehalten werden. Bitte die Messung am Gerät beenden.");
    emit message(text, MsgStyle::Exclamation, QStringLiteral("Verbindung zum Messgerät "),
        reason == EndReason::Close && !closingBySignal);
}

void TestRun::EndRunningTests(bool bySignal)
{
    closingBySignal = bySignal;
    for (int position = 1; position <= PositionCount; ++position) {
        if (PositionRunning[position])
            EndTest(position, EndReason::Close);
    }
}

bool TestRun::IsRunning(int position) const
{
    return position >= 1 && position <= PositionCount && PositionRunning[position];
}

bool TestRun::AnyPositionRunning() const
{
    return std::any_of(
        PositionRunning.begin() + 1, PositionRunning.end(), [](bool running) { return running; });
}

// The chosen run parameters, sent once the instrument is found: the cycle if one is chosen, the
// duration and the temperature option. A start sends "T0" only when "Temperatur AUS" is chosen.
void TestRun::SendRunParameters()
{
    const RunChoices choices = context.Choices();
    if (choices.cycleIndex >= 0)
        link.SendCycleCommand(choices.cycleIndex);
    if (DurationTableRow(choices.durationIndex))
        link.SendDurationCommand(choices.durationIndex);
    link.SendTemperatureCommand(choices.temperatureOption != 0);
}

// Without temperature measurement no temperature is shown: the last one measured would look
// current.
void TestRun::TemperatureChosen(int option)
{
    if (option == 1)
        return;
    shownTemperature.clear();
    ShowValues();
}

// The elapsed time belongs to a running test; without one it is not shown, so that a test the
// program refused never looks as if it ran.
void TestRun::HandleElapsedTime(const QString& line)
{
    const double seconds = ReportedSeconds(line);
    elapsedSeconds = RoundHalfEven32(seconds);
    if (PositionRunning[1])
        emit elapsedShown(1, FZeit(seconds));
}

// Data replies belong to position 1. A viscosity field that is cut or holds no number is shown and
// written as read, but never ends a test.
void TestRun::HandleSample(int position, const QString& line)
{
    if (position != 1)
        return;
    const double viscosity = SampleViscosity(line);
    shownViscosity = ShownNumber(viscosity) + QStringLiteral(" %");
    if (!PositionRunning[1]) {
        ShowValues();
        return;
    }
    const bool temperatureOn = TemperatureOn();
    const double temperature = temperatureOn ? SampleTemperature(line) : 0.0;
    if (temperatureOn)
        shownTemperature = ShownNumber(temperature) + QStringLiteral(" °");
    ShowValues();
    // Samples before the test's time runs only move the curves' start; every later one joins the
    // point before it at its own time.
    emit samplePlotted(
        1, viscosity, temperature, temperatureOn, elapsedSeconds, elapsedSeconds > 0);
    const float y = PlotOrdinate(viscosity * 10);
    const ViscosityPoints points {RoundHalfEven16(PreviousViscosityY[1]), RoundHalfEven16(y)};
    PreviousViscosityY[1] = y;
    WriteDataLine();
    if (HoldsWholeViscosity(line) && FallsBelowLimit(points, context.Choices().limit))
        EndTest(1, EndReason::Limit);
}

bool TestRun::TemperatureOn() const
{
    return context.Choices().temperatureOption == 1;
}

void TestRun::ShowValues()
{
    emit valuesShown(shownViscosity, shownTemperature);
}

// Writes the values just shown, read back from their texts. Tests of 10 hours and more get one
// two-field line per clock minute, shorter ones a three-field line per sample.
void TestRun::WriteDataLine()
{
    LastSampleSeconds[1] = float(elapsedSeconds);
    const RunningTest& test = RunningTests[1];
    const double viscosity = ReadShownValue(shownViscosity);
    if (context.Choices().durationIndex >= FirstLongDuration) {
        const QString minute = MinuteStamp(clock());
        if (minute != LastWriteMinute[1]) {
            AppendDataLine(1,
                DataLine(LastSampleSeconds[1], viscosity, std::nullopt, test.fieldSeparator,
                    test.decimalSeparator));
            LastWriteMinute[1] = minute;
        }
        emit elapsedShown(1, FZeit(LastSampleSeconds[1]));
        return;
    }
    const double temperature = ReadShownValue(shownTemperature + QStringLiteral("  "));
    AppendDataLine(1,
        DataLine(LastSampleSeconds[1], viscosity, temperature, test.fieldSeparator,
            test.decimalSeparator));
}

void TestRun::AppendDataLine(int position, const QString& line)
{
    if (!RunningTests[position].file.WriteLine(line))
        ReportWriteFailure(position);
    else if (!SyncTimer->isActive())
        SyncTimer->start();
}

// The lines written since the last sync reach the disk.
void TestRun::SyncDataLines()
{
    for (int position = 1; position <= PositionCount; ++position) {
        TextFileWriter& file = RunningTests[position].file;
        if (file.UnsyncedLines() > 0 && !file.Sync())
            ReportWriteFailure(position);
    }
}

// Every lost line is shown in the status bar; the first of a test also in a message box that does
// not hold up the receive handler.
void TestRun::ReportWriteFailure(int position)
{
    emit notice(WriteFailureNotice);
    if (std::exchange(RunningTests[position].writeFailureReported, true))
        return;
    emit message(WriteFailureText, MsgStyle::Exclamation, QStringLiteral("Messdatei"), false);
}
