#pragma once

#include "platform/clock.h"
#include "platform/file_lock.h"
#include "platform/text_file.h"
#include "records/measurement_file.h"

#include <QDateTime>
#include <QObject>
#include <array>
#include <memory>

class InstrumentLink;
class QTimer;

// A running test's measurement file with the texts and separators of its start: the whole file
// keeps the separators it began with, even when the user changes them meanwhile.
struct RunningTest {
    TextFileWriter file;
    // Held while the test runs: other programs leave the file alone.
    std::unique_ptr<FileLock> fileLock;
    MeasurementHeader header;
    qint32 testNumber = 0;
    // The protocol file the test's record goes to, chosen at its start.
    QString protocolPath;
    QString fieldSeparator;
    QString decimalSeparator;
    // Whether a lost data line has been shown in a message box during this test.
    bool writeFailureReported = false;
};

// Why a test ends. Ends the user did not ask for are named in the status bar and keep the Start
// button from starting a new test for a moment.
enum class EndReason { User, Limit, Instrument, Close };

// Who asks for a test: the user's Start, or the instrument's start report.
enum class StartOrigin { User, Instrument };

// What a start takes from the window, as it stands at that moment: the typed texts (date and
// time are the start's own), the number asked for and where the test is recorded.
struct TestOrder {
    MeasurementHeader texts;
    QString wantedNumber;
    bool protocolChosen = false;
    QString protocolPath;
    QString measurementFolder;
    QString fieldSeparator = QStringLiteral(";");
    QString decimalSeparator = QStringLiteral(".");
};

// The run parameters chosen now. The temperature option is 0 for off, 1 for on, -1 for neither.
struct RunChoices {
    int cycleIndex = -1;
    int durationIndex = 1;
    int temperatureOption = -1;
    // The limit of the live graph in plot units (viscosity % × 10); 0: no limit.
    float limit = 0;
};

// What the run reads from the window when it needs it.
class RunContext {
public:
    virtual ~RunContext() = default;
    virtual TestOrder Order() const = 0;
    virtual RunChoices Choices() const = 0;
};

// The tests of the measuring positions: their start and end, the replies of a running test, its
// measurement file with its data lines, the automatic stop below the limit and the elapsed time.
// Only position 1 is measured; the run follows the replies its link reports. What is to be shown
// goes out through signals.
class TestRun : public QObject {
    Q_OBJECT

public:
    static constexpr int PositionCount = 32;

    TestRun(
        InstrumentLink& link, const RunContext& context, Clock clock, QObject* parent = nullptr);
    ~TestRun() override;

    // The Start button of a position: a running test is stopped, else one is started, but not
    // within two seconds of an end the user did not ask for.
    void StartOrStop(int position);
    // False when no test was started.
    bool StartTest(int position, StartOrigin origin = StartOrigin::User);
    void StartReportedTest(int position);
    // The instrument reports an end. An end for another position than 1 that runs no test here is
    // left alone: the end command it would send stops the instrument's running test.
    void EndReportedTest(int position);
    void EndTest(int position, EndReason reason = EndReason::User);
    // The window closes; a close by signal waits for no message.
    void EndRunningTests(bool bySignal);
    void SendRunParameters();
    void HandleElapsedTime(const QString& line);
    void HandleSample(int position, const QString& line);
    void SyncDataLines();
    // A temperature option chosen: "off" clears the temperature shown.
    void TemperatureChosen(int option);

    bool IsRunning(int position) const;
    bool AnyPositionRunning() const;
    qint32 CurrentTestNumber() const { return currentTestNumber; }
    qint32 ElapsedSeconds() const { return elapsedSeconds; }
    // The highest number of a running test; 0 when none runs.
    qint32 HighestRunningNumber() const;

signals:
    void notice(const QString& text);
    void noticeCleared();
    // A message box; waitForIt: shown before the run goes on.
    void message(const QString& text, int style, const QString& title, bool waitForIt);
    // MessWert(1) and MessWert(0), as they are shown and read back for the data lines.
    void valuesShown(const QString& viscosity, const QString& temperature);
    void elapsedShown(int position, const QString& text);
    void runningShown(int position, bool running);
    void parametersLocked(bool locked);
    void testStarted(int position, qint32 testNumber, const QDateTime& at);
    // A sample of a running test for the live graph; continuesCurve: the test's time runs, so a
    // segment joins the previous point.
    void samplePlotted(int position, double viscosity, double temperature, bool temperatureOn,
        qint32 elapsedSeconds, bool continuesCurve);
    // The test ended with its file closed; its record is due. Its file stays held until the
    // handlers return.
    void testFinished(int position, const RunningTest& test);
    void testEnded(int position);

private:
    std::optional<QString> StartRefusal(int position, const TestOrder& order) const;
    bool CreateMeasurementFile(
        int position, RunningTest& test, const TestOrder& order, qint32 wanted);
    bool MakeMeasurementFolder(const QString& folder);
    bool ReportUncreatableFile(int position, const QString& path);
    void ReportRefusedReportedStart(int position, const QString& reason);
    void ReportEndReason(EndReason reason);
    void ReportInstrumentNotStopped(EndReason reason);
    void WriteDataLine();
    void AppendDataLine(int position, const QString& line);
    void ReportWriteFailure(int position);
    void ShowValues();
    bool TemperatureOn() const;

    InstrumentLink& link;
    const RunContext& context;
    Clock clock;
    // Brings the data lines of running tests to the disk within a second of their writing.
    QTimer* SyncTimer = nullptr;
    // Index 0 belongs to no position.
    std::array<bool, PositionCount + 1> PositionRunning {};
    std::array<RunningTest, PositionCount + 1> RunningTests;
    // Clock minute of the last data line, "yyyyMMdd hh:mm".
    std::array<QString, PositionCount + 1> LastWriteMinute {};
    // Elapsed seconds of the last data line written; 0: no segment may be drawn yet.
    std::array<float, PositionCount + 1> LastSampleSeconds {};
    // The previous viscosity point in plot units, for the automatic stop.
    std::array<float, PositionCount + 1> PreviousViscosityY {};
    qint32 elapsedSeconds = 0;
    qint32 currentTestNumber = 0;
    QString shownViscosity;
    QString shownTemperature;
    bool closingBySignal = false;
    // Until then a click on Start starts nothing: a Stop meant for a test that has just ended by
    // itself must not start the next one.
    QDateTime startLockedUntil;
};
