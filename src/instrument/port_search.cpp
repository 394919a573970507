// The search for the instrument's port, one port per tick of Timer2, and the watch of the
// connected port.
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
const QString ConnectedText = QStringLiteral(": OK");
const QString LostText = QStringLiteral(": Verbindung unterbrochen");
} // namespace

void Form1::Timer2_Timer()
{
    if (SearchQuestionOpen)
        return;
    if (InstrumentAnswered) {
        Timer2->stop();
        ShowConnectionState();
        // A test the instrument started since its answer goes on undisturbed.
        if (!AnyPositionRunning()) {
            SendRunParameters();
            EndTest(1);
        }
        WatchConnection();
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
    ReopenPort(portNumber);
    SendProbe();
}

// Closes the port in use and opens another. The new port starts with an empty line buffer, so
// that a partial line from the previous device never completes a line of the next one.
bool Form1::ReopenPort(int portNumber)
{
    comTest->setPortOpen(false);
    comTest->setCommPort(portNumber);
    RxBuffer.clear();
    RxDiscardingLongLine = false;
    return comTest->setPortOpen(true);
}

// Panel 5 of a connection: the port, and whether its device is still there.
void Form1::ShowConnectionState()
{
    const QString state = comTest->PortOpen() ? ConnectedText : LostText;
    StBar1->setPanelText(5, QStringLiteral("COM%1").arg(PortNumber) + state);
}

// The device of the open port went away. Once connected, the loss is shown at once and the port
// is tried again on every tick; during the search the next tick simply moves on.
void Form1::comTest_PortLost()
{
    if (InstrumentAnswered && !Timer2->isActive()) {
        ShowConnectionState();
        WatchConnection();
    }
}

// A connection whose port is not open is tried again until it opens.
void Form1::WatchConnection()
{
    if (!comTest->PortOpen())
        ReconnectTimer->start();
}

// The same COM n is opened again, as the device that its name leads to now. Nothing is sent that
// would disturb the instrument's running test: no probe, no end command. A test that runs goes on
// with the instrument's next replies; without one the run parameters are sent again, as the user
// may have chosen others meanwhile.
void Form1::ReconnectTimer_Timer()
{
    if (comTest->PortOpen() || ReopenPort(PortNumber)) {
        ReconnectTimer->stop();
        ShowConnectionState();
        if (!AnyPositionRunning())
            SendRunParameters();
    }
}
