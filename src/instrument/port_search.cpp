// The search for the instrument's port, one port per tick of Timer2.
#include "platform/comm_control.h"
#include "platform/message_box.h"
#include "platform/status_bar.h"
#include "run/value_format.h"
#include "window/form1.h"

#include <QPushButton>
#include <QTimer>

namespace {
const QString SearchTitle = QStringLiteral("Verbindung zum Messgerät ");
const QString OfflineText = QStringLiteral("Keine Verbindung / Offline ");
} // namespace

void Form1::Timer2_Timer()
{
    if (SearchQuestionOpen)
        return;
    if (InstrumentAnswered) {
        Timer2->stop();
        StBar1->setPanelText(5, QStringLiteral("COM%1: OK").arg(PortNumber));
        EndTest(1);
        return;
    }
    if (PortNumber >= LastSearchPort) {
        if (!AskToSearchAgain()) {
            GoOffline();
            return;
        }
        // The instrument answered on the last port while the question was open: the next tick
        // connects to that port instead of moving on.
        if (InstrumentAnswered)
            return;
        PortNumber = 0;
    }
    ++PortNumber;
    StBar1->setPanelText(5, QStringLiteral("Test COM") + SignedNumberText(PortNumber) + ":");
    ProbePort(PortNumber);
}

// True for Retry. Ticks that fall due while the question is open do nothing.
bool Form1::AskToSearchAgain()
{
    const QString text = "Die Verbindung zum Messgerät konnte nicht aufgebaut werden !" + CrLf
        + CrLf + "Gerät einschalten, Verbindung prüfen und 'Wiederholen'" + CrLf + "  " + CrLf
        + CrLf + " " + CrLf + CrLf;
    SearchQuestionOpen = true;
    const int answer = MsgBox(text, MsgStyle::RetryCancel + MsgStyle::Exclamation, SearchTitle);
    SearchQuestionOpen = false;
    return answer == MsgResult::Retry;
}

void Form1::GoOffline()
{
    Start[1]->hide();
    Timer2->stop();
    StBar1->setPanelText(5, OfflineText);
}

// Errors are ignored: a port that does not exist fails to open and its probe is lost.
void Form1::ProbePort(int portNumber)
{
    comTest->setPortOpen(false);
    comTest->setCommPort(portNumber);
    comTest->setPortOpen(true);
    SendProbe();
}
