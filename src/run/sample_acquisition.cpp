// The time and data replies of a running test: display, live curves, data lines and the automatic
// stop below the limit.
#include "instrument/field_reading.h"
#include "instrument/replies.h"
#include "platform/status_bar.h"
#include "run/value_format.h"
#include "window/form1.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

namespace {
// From this duration on (10 hours) one data line per clock minute is written, without temperature.
constexpr int FirstLongDuration = 6;
const QString WriteFailureText
    = QStringLiteral("Ein Messwert konnte nicht in die Messdatei geschrieben werden (Datenträger "
                     "voll oder Ordner entfernt?). Die Messung läuft weiter.");
const QString WriteFailureNotice
    = QStringLiteral("Messwert nicht gespeichert: Messdatei nicht beschreibbar!");
} // namespace

// The elapsed time belongs to a running test; without one it is not shown, so that a test the
// program refused never looks as if it ran.
void Form1::HandleElapsedTime(const QString& line)
{
    const double seconds = ReportedSeconds(line);
    ElapsedSeconds = RoundHalfEven32(seconds);
    if (PositionRunning[1] == 1)
        MessDauer[1]->setText(FZeit(seconds));
}

// Data replies belong to position 1. A viscosity field that is cut or holds no number is shown and
// written as read, but never ends a test.
void Form1::HandleSample(int position, const QString& line)
{
    if (position != 1)
        return;
    const double viscosity = SampleViscosity(line);
    MessWert[1]->setText(ShownNumber(viscosity) + QStringLiteral(" %"));
    if (PositionRunning[1] != 1)
        return;
    const bool temperatureOn = TempOnOff[1]->isChecked();
    const double temperature = temperatureOn ? SampleTemperature(line) : 0.0;
    if (temperatureOn)
        MessWert[0]->setText(ShownNumber(temperature) + QStringLiteral(" °"));
    const ViscosityPoints points = PlotLiveSample(1, viscosity, temperature, temperatureOn);
    WriteDataLine();
    if (HoldsWholeViscosity(line) && FallsBelowLimit(points, LimitValue[1]))
        EndTest(1, EndReason::Limit);
}

// Writes the values just shown, read back from their fields. Tests of 10 hours and more get one
// two-field line per clock minute, shorter ones a three-field line per sample.
void Form1::WriteDataLine()
{
    if (PositionRunning[1] != 1 || MessWert[1]->text().trimmed().isEmpty())
        return;
    LastSampleSeconds[1] = float(ElapsedSeconds);
    const RunningTest& test = RunningTests[1];
    const double viscosity = ReadShownValue(MessWert[1]->text());
    if (DurationIndex >= FirstLongDuration) {
        const QString minute = MinuteStamp(Now());
        if (minute != LastWriteMinute[1]) {
            AppendDataLine(1,
                DataLine(LastSampleSeconds[1], viscosity, std::nullopt, test.fieldSeparator,
                    test.decimalSeparator));
            LastWriteMinute[1] = minute;
        }
        MessDauer[1]->setText(FZeit(LastSampleSeconds[1]));
        return;
    }
    const double temperature = ReadShownValue(MessWert[0]->text() + QStringLiteral("  "));
    AppendDataLine(1,
        DataLine(LastSampleSeconds[1], viscosity, temperature, test.fieldSeparator,
            test.decimalSeparator));
}

void Form1::AppendDataLine(int position, const QString& line)
{
    if (!RunningTests[position].file.WriteLine(line))
        ReportWriteFailure(position);
    else if (!SyncTimer->isActive())
        SyncTimer->start();
}

// The lines written since the last sync reach the disk.
void Form1::SyncDataLines()
{
    for (int position = 1; position <= PositionCount; ++position) {
        TextFileWriter& file = RunningTests[position].file;
        if (file.UnsyncedLines() > 0 && !file.Sync())
            ReportWriteFailure(position);
    }
}

// Every lost line is shown in the status bar; the first of a test also in a message box that does
// not hold up the receive handler.
// A start or end reply for a position outside 1 to 32 is only reported.
void Form1::ReportUnknownPosition(const QString& line)
{
    StBar1->showNotice(
        QStringLiteral("Meldung für einen unbekannten Kanal nicht ausgeführt: ") + ReplyEcho(line));
}

void Form1::ReportWriteFailure(int position)
{
    StBar1->showNotice(WriteFailureNotice);
    if (std::exchange(RunningTests[position].writeFailureReported, true))
        return;
    MsgBoxLater(WriteFailureText, MsgStyle::Exclamation, QStringLiteral("Messdatei"));
}
