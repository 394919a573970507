// What the window shows of the run, and what the run reads from the window.
#include "instrument/instrument_link.h"
#include "instrument/replies.h"
#include "platform/status_bar.h"
#include "records/protocol_file.h"
#include "run/value_format.h"
#include "window/form1.h"
#include "window/parameter_panel.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QString StartCaption = QStringLiteral("Start");
const QString StopCaption = QStringLiteral("Stop");
const QColor RunningColour(255, 0, 0);
} // namespace

void Form1::ConnectRun()
{
    connect(run, &TestRun::notice, StBar1, &StatusBar::showNotice);
    connect(run, &TestRun::noticeCleared, StBar1, &StatusBar::clearNotice);
    connect(run, &TestRun::message, this, &Form1::ShowMessage);
    connect(run, &TestRun::valuesShown, this, &Form1::ShowValues);
    connect(run, &TestRun::elapsedShown, this, &Form1::ShowElapsed);
    connect(run, &TestRun::runningShown, this, &Form1::ShowRunning);
    connect(run, &TestRun::parametersLocked, this,
        [this](bool locked) { SetParameterFramesEnabled(!locked); });
    connect(run, &TestRun::testStarted, this, &Form1::ShowTestStart);
    connect(run, &TestRun::samplePlotted, this, &Form1::PlotLiveSample);
    connect(run, &TestRun::testFinished, this, &Form1::AppendTestRecord);
    connect(run, &TestRun::testEnded, this, [this] { RedrawStoredCurves(); });
    connect(link, &InstrumentLink::startReported, run, &TestRun::StartReportedTest);
    connect(link, &InstrumentLink::endReported, run,
        [this](int position) { run->EndTest(position, EndReason::Instrument); });
    connect(link, &InstrumentLink::elapsedTimeReported, run, &TestRun::HandleElapsedTime);
    connect(link, &InstrumentLink::sampleReported, run,
        [this](const QString& line) { run->HandleSample(1, line); });
}

void Form1::Start_Click(int Index)
{
    if (Index >= 1 && Index < int(Start.size()))
        run->StartOrStop(Index);
}

TestOrder Form1::Order() const
{
    return {{Text1->text(), Text2->text(), Text3->text(), Bem1->text(), Bem2->text(), Bem3->text(),
                {}, {}, MessZyklusTab->currentText()},
        LaufNr->text(), TabProtDatei->currentIndex() >= 0, ProtocolFilePath(), MeasurementFolder(),
        parameters->FieldSeparator(), parameters->DecimalSeparator()};
}

RunChoices Form1::Choices() const
{
    const int temperature = TempOnOff[0]->isChecked() ? 0 : TempOnOff[1]->isChecked() ? 1 : -1;
    return {MessZyklusTab->currentIndex(), DurationIndex, temperature, LimitValue[1]};
}

// A close by the user waits for the message; anything else shows it without holding up the run.
void Form1::ShowMessage(const QString& text, int style, const QString& title, bool waitForIt)
{
    if (waitForIt)
        MsgBox(text, style, title);
    else
        MsgBoxLater(text, style, title);
}

void Form1::ShowTestStart(int position, qint32 testNumber, const QDateTime& at)
{
    DrawPlotFrame(position);
    TestDatum->setText(at.toString(QStringLiteral("dd.MM.yyyy")));
    TestZeit->setText(at.toString(QStringLiteral("hh:mm")));
    SetCurveStart(position);
    TestNr->setText(FFix0(testNumber, 5, 0));
    LaufNr->setText(FFix(double(testNumber) + 1, 5, 0));
}

void Form1::ShowValues(const QString& viscosity, const QString& temperature)
{
    MessWert[1]->setText(viscosity);
    MessWert[0]->setText(temperature);
}

void Form1::ShowElapsed(int position, const QString& text)
{
    if (position >= 1 && position < int(MessDauer.size()))
        MessDauer[position]->setText(text);
}

// The live curves start at the values now shown.
void Form1::SetCurveStart(int position)
{
    PrevX[position] = 0;
    PrevY[position] = float(ReadShownValue(MessWert[position]->text()) * 10);
    PrevTempX[position] = 0;
    PrevTempY[position] = float(ReadShownValue(MessWert[0]->text()) * 10 / TempScaleFactor);
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

// A start or end reply for a position outside 1 to 32 is only reported.
void Form1::ReportUnknownPosition(const QString& line)
{
    StBar1->showNotice(
        QStringLiteral("Meldung für einen unbekannten Kanal nicht ausgeführt: ") + ReplyEcho(line));
}

// Another program holds the protocol file longer than a record takes.
void Form1::ReportProtocolLocked(const QString& protocolPath)
{
    MsgBoxLater(
        ProtocolLockedText(protocolPath), MsgStyle::Exclamation, QStringLiteral("Messprotokoll"));
}
