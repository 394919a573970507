// The window's load event: opens the first port, reads the command line and initialises the
// window.
#include "instrument/field_reading.h"
#include "platform/comm_control.h"
#include "platform/line_log.h"
#include "platform/status_bar.h"
#include "window/form1.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

namespace {
constexpr int ReceiveBufferSize = 200;
constexpr int HighestCommandLinePort = 255;
const QString LineSettingsText = QStringLiteral("9600,n,8,1");
} // namespace

void Form1::Form_Load()
{
    InstrumentAnswered = false;
    for (int tab = 2; tab <= 4; ++tab)
        SSTab1->setTabEnabled(tab, false);
    for (QLineEdit* field : {Text1, Text2, Text3, Bem1, Bem2, Bem3, TestNr, TestDatum, TestZeit})
        field->clear();
    TempScaleFactor = 0.5F;
    PortNumber = 1;
    StBar1->setPanelText(5, QStringLiteral("Test COM 1:"));
    OpenFirstPort();
    CommandWords = (arguments.join(u' ') + u' ').split(u' ');
    InitMainWindow();
    ApplyCommandLinePort();
    ReportLineLogFailure();
}

// A line log asked for but not written is only mentioned: the measurement goes on without it.
void Form1::ReportLineLogFailure()
{
    if (lineLog && !lineLog->IsWriting())
        StBar1->showNotice(
            QStringLiteral("Das Leitungsprotokoll wird nicht geschrieben: ") + lineLog->Failure());
}

void Form1::OpenFirstPort()
{
    comTest->setCommPort(PortNumber);
    comTest->setSettings(LineSettingsText);
    comTest->setInBufferSize(ReceiveBufferSize);
    comTest->setPortOpen(true);
    comTest->setRThreshold(1);
    SendProbe();
}

// A positive port number as the first command-line word opens that port without a search.
// A port that cannot be opened is shown as such rather than as connected.
void Form1::ApplyCommandLinePort()
{
    const qint64 word = RoundHalfEven(FieldValue(CommandWords.value(0)));
    if (word < 1 || word > HighestCommandLinePort)
        return;
    InstrumentAnswered = true;
    PortNumber = qint16(word);
    Timer2->stop();
    if (ReopenPort(PortNumber)) {
        ShowConnectionState();
        SendRunParameters();
    } else {
        StBar1->setPanelText(5, QStringLiteral("COM%1: nicht verfügbar").arg(PortNumber));
        WatchConnection();
    }
}
