// The window's tabs and how their panels and the core objects are connected.
#include "instrument/instrument_link.h"
#include "platform/display_pacer.h"
#include "platform/status_bar.h"
#include "records/protocol_register.h"
#include "window/comparison_panel.h"
#include "window/form1.h"
#include "window/graph_export.h"
#include "window/live_graph.h"
#include "window/measurement_panel.h"
#include "window/parameter_panel.h"
#include "window/protocol_panel.h"
#include "window/record_keeping.h"
#include "window/settings_panel.h"

#include <QFileInfo>
#include <QIcon>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>

namespace {

const QStringList TabCaptions
    = {"  Einstellung     ", "  Messung  /  Grafik    ", "Reserve", "Reserve", "Reserve",
        "  Alle Messungen      ", "  Messprotokoll   ", "Messprogramm - Parameter"};

const QString ProgramTitle = QStringLiteral("KALDURA - QTM");

} // namespace

void Form1::BuildLayout(const QString& startFolder)
{
    setWindowTitle(ProgramTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/taliv01.png")));
    SSTab1 = new QTabWidget;
    SSTab1->setObjectName("SSTab1");
    settingsTab = new SettingsPanel(startFolder, messages.Teller());
    SSTab1->addTab(settingsTab, TabCaptions[0]);
    liveGraph = new LiveGraph(graphScale);
    measurement = new MeasurementPanel(liveGraph);
    SSTab1->addTab(measurement, TabCaptions[1]);
    for (int tab = 2; tab <= 4; ++tab)
        SSTab1->addTab(new QWidget, TabCaptions[tab]);
    comparison
        = new ComparisonPanel(graphScale, [this] { return recordKeeping->MeasurementFolder(); });
    SSTab1->addTab(comparison, TabCaptions[5]);
    liveExport
        = new GraphExport(liveGraph->Graph(), GraphNamesOf(1), printRunner, messages.Teller());
    liveGraph->SetMenu(liveExport->Menu());
    comparisonExport
        = new GraphExport(comparison->Graph(), GraphNamesOf(0), printRunner, messages.Teller());
    records = new ProtocolPanel;
    // The title names the protocol file shown, so that two programs' windows are told apart.
    connect(records, &ProtocolPanel::protocolFileShown, this, [this](const QString& path) {
        // "[*]" in a title stands for the modified mark unless it is doubled.
        const QString name = QFileInfo(path).completeBaseName().replace(
            QStringLiteral("[*]"), QStringLiteral("[*][*]"));
        setWindowTitle(path.isEmpty() ? ProgramTitle : ProgramTitle + QStringLiteral(" – ") + name);
    });
    SSTab1->addTab(records, TabCaptions[6]);
    parameters = new ParameterPanel(messages.Teller());
    SSTab1->addTab(parameters, TabCaptions.back());
    setCentralWidget(SSTab1);
    auto* helpButton = new QToolButton;
    helpButton->setObjectName("ButHilfe");
    helpButton->setText(QStringLiteral("?"));
    helpButton->setToolTip(QStringLiteral("Kurzanleitung (F1)"));
    SSTab1->setCornerWidget(helpButton, Qt::TopRightCorner);
    connect(helpButton, &QToolButton::clicked, this, &Form1::ShowHelp);
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, &Form1::ShowHelp);
    StBar1 = new StatusBar;
    StBar1->setObjectName("StBar1");
    setStatusBar(StBar1);
    recordKeeping = new RecordKeeping(
        *protocol, *run, {settingsTab, records, comparison, parameters, StBar1, messages}, this);
    resize(1024, 720);
}

void Form1::ConnectControls()
{
    link->SetSearchQuestion([this] { return AskToSearchAgain(); });
    // The echo of the line changes with every reply; it is shown at a pace the eye can follow.
    for (const auto& [shown, panel] : {std::pair {&InstrumentLink::commandShown, 1},
             std::pair {&InstrumentLink::replyShown, 2}}) {
        auto* pacer = new DisplayPacer(this);
        connect(link, shown, this, [this, pacer, panel](const QString& text) {
            pacer->Show([this, panel, text] { StBar1->setPanelText(panel, text); });
        });
    }
    connect(link, &InstrumentLink::portShown, this,
        [this](const QString& text) { StBar1->setPanelText(5, text); });
    connect(link, &InstrumentLink::connected, this, &Form1::InstrumentFound);
    connect(link, &InstrumentLink::reconnected, this, &Form1::PortReady);
    connect(link, &InstrumentLink::wentOffline, measurement, &MeasurementPanel::HideStart);
    connect(link, &InstrumentLink::unknownPositionReported, this, &Form1::ReportUnknownPosition);
    ConnectRun();
    connect(liveGraph, &LiveGraph::limitShown, measurement, &MeasurementPanel::ShowLimit);
    connect(liveGraph, &LiveGraph::menuRequested, liveExport, &GraphExport::ShowMenu);
    connect(comparison, &ComparisonPanel::menuRequested, comparisonExport, &GraphExport::ShowMenu);
    connect(records, &ProtocolPanel::printRequested, this, &Form1::PrintProtocol);
    connect(records, &ProtocolPanel::previewRequested, this, &Form1::PreviewProtocol);
    connect(measurement, &MeasurementPanel::startClicked, this, [this] { Start_Click(1); });
    connect(settingsTab, &SettingsPanel::folderPicked, this,
        [this] { UnreachableStorageFolder.reset(); });
    connect(settingsTab, &SettingsPanel::cycleChosen, this, &Form1::MessZyklusTab_Click);
    connect(settingsTab, &SettingsPanel::durationChosen, this, &Form1::Messzeit_Click);
    connect(settingsTab, &SettingsPanel::temperatureChosen, this, &Form1::TempOnOff_Click);
    connect(settingsTab, &SettingsPanel::scaleChosen, this, &Form1::TempSkal_Click);
    // The temperature axis is drawn unless temperature measurement is off.
    connect(settingsTab, &SettingsPanel::temperatureOffShown, this,
        [this](bool off) { graphScale.temperatureAxis = !off; });
}
