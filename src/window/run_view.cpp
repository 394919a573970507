// What the window shows of the run, and what the run reads from the window.
#include "instrument/instrument_link.h"
#include "instrument/replies.h"
#include "numbers/value_format.h"
#include "platform/display_pacer.h"
#include "platform/status_bar.h"
#include "records/protocol_file.h"
#include "run/choice_lists.h"
#include "window/comparison_panel.h"
#include "window/form1.h"
#include "window/live_graph.h"
#include "window/measurement_panel.h"
#include "window/parameter_panel.h"
#include "window/record_keeping.h"
#include "window/settings_panel.h"

void Form1::ConnectRun()
{
    connect(run, &TestRun::notice, StBar1, &StatusBar::showNotice);
    connect(run, &TestRun::noticeCleared, StBar1, &StatusBar::clearNotice);
    connect(run, &TestRun::message, this, &Form1::ShowMessage);
    // Only position 1 has controls.
    // Values and time follow every reply at a pace the eye can follow.
    auto* valuesPacer = new DisplayPacer(this);
    connect(run, &TestRun::valuesShown, this,
        [this, valuesPacer](const QString& viscosity, const QString& temperature) {
            valuesPacer->Show([this, viscosity, temperature] {
                measurement->ShowValues(viscosity, temperature);
            });
        });
    auto* elapsedPacer = new DisplayPacer(this);
    connect(
        run, &TestRun::elapsedShown, this, [this, elapsedPacer](int position, const QString& text) {
            if (position == 1)
                elapsedPacer->Show([this, text] {
                    measurement->ShowElapsed(text, DurationSeconds(graphScale.DurationIndex));
                });
        });
    connect(run, &TestRun::runningShown, this, [this](int position, bool running) {
        if (position == 1)
            measurement->ShowRunning(running);
    });
    connect(run, &TestRun::parametersLocked, this,
        [this](bool locked) { settingsTab->SetParameterFramesEnabled(!locked); });
    connect(run, &TestRun::testStarted, this, &Form1::ShowTestStart);
    connect(run, &TestRun::samplePlotted, this,
        [this](int position, double viscosity, double temperature, bool temperatureOn,
            qint32 elapsedSeconds, bool continuesCurve) {
            if (position == 1)
                liveGraph->PlotLiveSample(
                    viscosity, temperature, temperatureOn, elapsedSeconds, continuesCurve);
        });
    connect(run, &TestRun::testFinished, recordKeeping, &RecordKeeping::AppendTestRecord);
    connect(run, &TestRun::testEnded, comparison, &ComparisonPanel::RedrawStoredCurves);
}

void Form1::Start_Click(int Index)
{
    if (Index == 1)
        run->StartOrStop(Index);
}

TestOrder Form1::Order() const
{
    MeasurementHeader texts = measurement->TypedTexts();
    texts.cycle = settingsTab->CycleText();
    return {texts, settingsTab->NextNumberText(), settingsTab->ProtocolChosen(),
        recordKeeping->ProtocolFilePath(), recordKeeping->MeasurementFolder(),
        parameters->FieldSeparator(), parameters->DecimalSeparator()};
}

RunChoices Form1::Choices() const
{
    return {settingsTab->CycleEntry(), graphScale.DurationIndex, settingsTab->TemperatureOption(),
        liveGraph->Limit()};
}

// A close by the user waits for the message; anything else shows it without holding up the run.
void Form1::ShowMessage(const QString& text, int style, const QString& title, bool waitForIt)
{
    if (waitForIt)
        messages.MsgBox(text, style, title);
    else
        messages.MsgBoxLater(text, style, title);
}

void Form1::ShowTestStart(int position, qint32 testNumber, const QDateTime& at)
{
    if (position != 1)
        return;
    liveGraph->DrawPlotFrame();
    measurement->ShowTestStart(testNumber, at);
    liveGraph->SetCurveStart(measurement->ShownViscosity(), measurement->ShownTemperature());
    settingsTab->ShowNextNumber(FFix(double(testNumber) + 1, 5, 0));
}

// A start or end reply for a position outside 1 to 32 is only reported.
void Form1::ReportUnknownPosition(const QString& line)
{
    StBar1->showNotice(
        QStringLiteral("Meldung für einen unbekannten Kanal nicht ausgeführt: ") + ReplyEcho(line));
}
