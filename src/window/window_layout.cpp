// The window's controls and their places on the tabs.
#include "instrument/instrument_link.h"
#include "platform/drives.h"
#include "platform/flex_grid.h"
#include "platform/folder_list.h"
#include "platform/picture_box.h"
#include "platform/status_bar.h"
#include "records/protocol_register.h"
#include "window/form1.h"
#include "window/layout_helpers.h"
#include "window/parameter_panel.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QStringList TabCaptions
    = {"  Einstellung     ", "  Messung  /  Grafik    ", "Reserve", "Reserve", "Reserve",
        "  Alle Messungen      ", "  Messprotokoll   ", "Messprogramm - Parameter"};

// A short line of the legend of the comparison graph.
QLabel* LegendLine(const QColor& color)
{
    auto* line = new QLabel;
    line->setFixedSize(36, 2);
    line->setAutoFillBackground(true);
    QPalette colours = line->palette();
    colours.setColor(QPalette::Window, color);
    line->setPalette(colours);
    return line;
}

} // namespace

void Form1::BuildLayout(const QString& startFolder)
{
    setWindowTitle("KALDURA - QTM");
    SSTab1 = new QTabWidget;
    SSTab1->addTab(BuildSettingsTab(startFolder), TabCaptions[0]);
    SSTab1->addTab(BuildMeasurementTab(), TabCaptions[1]);
    for (int tab = 2; tab <= 4; ++tab)
        SSTab1->addTab(new QWidget, TabCaptions[tab]);
    SSTab1->addTab(BuildComparisonTab(), TabCaptions[5]);
    SSTab1->addTab(BuildProtocolTab(), TabCaptions[6]);
    parameters = new ParameterPanel([this](const QString& text, int style, const QString& title) {
        MsgBox(text, style, title);
    });
    SSTab1->addTab(parameters, TabCaptions.back());
    setCentralWidget(SSTab1);
    StBar1 = new StatusBar;
    setStatusBar(StBar1);
    resize(1024, 720);
    NameControls();
}

// Every control carries its established name, so that it can be found by name (accessibility,
// tests) wherever it lives.
void Form1::NameControls()
{
    const auto name = [](QWidget* control, const QString& text) { control->setObjectName(text); };
    const auto nameAll = [&name](const auto& controls, const QString& text) {
        for (int index = 0; index < int(controls.size()); ++index) {
            if (controls[index])
                name(controls[index], text + QString::number(index));
        }
    };
    name(SSTab1, "SSTab1");
    name(StBar1, "StBar1");
    name(Frame7, "Frame7");
    name(Drive1, "Drive1");
    name(Dir1, "Dir1");
    name(Label10, "Label10");
    name(TabProtDatei, "TabProtDatei");
    name(LaufNr, "LaufNr");
    name(ButProtNeu, "ButProtNeu");
    name(Frame14, "Frame14");
    name(ProtDat, "ProtDat");
    name(ButOK, "ButOK");
    name(ButCancel, "ButCancel");
    name(Frame5, "Frame5");
    name(Frame6, "Frame6");
    name(Frame10, "Frame10");
    name(Picture1, "Picture1");
    nameAll(Adresse, "Adresse");
    name(Label7, "Label7");
    name(MessZyklusTab, "MessZyklusTab");
    name(Messzeit, "Messzeit");
    nameAll(TempOnOff, "TempOnOff");
    nameAll(TempSkal, "TempSkal");
    name(TestNr, "TestNr");
    name(TestDatum, "TestDatum");
    name(TestZeit, "TestZeit");
    name(Text1, "Text1");
    name(Text2, "Text2");
    name(Text3, "Text3");
    name(Bem1, "Bem1");
    name(Bem2, "Bem2");
    name(Bem3, "Bem3");
    nameAll(Start, "Start");
    nameAll(MessWert, "MessWert");
    nameAll(MessDauer, "MessDauer");
    nameAll(GWert, "GWert");
    nameAll(Grafik, "Grafik");
    name(WahlTab, "WahlTab");
    nameAll(ButDel, "ButDel");
    name(ProtTab, "ProtTab");
    name(LabelProt, "LabelProt");
    name(Label28, "Label28");
    name(DelMessung, "DelMessung");
    name(DruckArt, "DruckArt");
    name(ProtDrucken, "ProtDrucken");
    name(ProtVorschau, "ProtVorschau");
    name(parameters->DatenTrenn, "DatenTrenn");
    name(parameters->DezimalTrenn, "DezimalTrenn");
}

QWidget* Form1::BuildMeasurementTab()
{
    TestNr = ReadOnlyField();
    TestDatum = ReadOnlyField();
    TestZeit = ReadOnlyField();
    Text1 = new QLineEdit;
    Text2 = new QLineEdit;
    Text3 = new QLineEdit;
    Bem1 = new QLineEdit;
    Bem2 = new QLineEdit;
    Bem3 = new QLineEdit;
    Start[1] = new QPushButton("Start");
    for (int index = 0; index < 2; ++index) {
        MessWert[index] = ReadOnlyField();
        MessDauer[index] = ReadOnlyField();
    }
    GWert[1] = ReadOnlyField();

    // Wide enough for a product name or a remark of about 40 characters.
    Text1->setMinimumWidth(Text1->fontMetrics().averageCharWidth() * 40);
    // The readings of the running test stand out from the test data.
    for (QLineEdit* reading : {MessWert[1], MessWert[0], MessDauer[1]}) {
        QFont bold = reading->font();
        bold.setBold(true);
        reading->setFont(bold);
    }
    Start[1]->setMinimumHeight(Start[1]->sizeHint().height() * 3 / 2);

    auto* frame = new QGroupBox("Messung ");
    auto* form = new QFormLayout;
    // Right-aligned, so that the remark numbers "2" and "3" stand under the "1".
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow("Test-Nummer :", TestNr);
    form->addRow("Test-Datum :", TestDatum);
    form->addRow("Test-Zeit :", TestZeit);
    form->addRow(SeparatorLine());
    form->addRow("Produkt-Bezeichnung:", Text1);
    form->addRow("Auftragsnummer :", Text2);
    form->addRow("Chargennummer :", Text3);
    form->addRow("Bemerkungen  1  :", Bem1);
    form->addRow("2  :", Bem2);
    form->addRow("3  :", Bem3);
    form->addRow(SeparatorLine());
    form->addRow("Aktuelle  Viskosität:", MessWert[1]);
    form->addRow("Aktuelle Temperatur:", MessWert[0]);
    form->addRow("Messzeit:", MessDauer[1]);
    form->addRow("Grenzwert:", GWert[1]);
    // Position 0 has no elapsed time of its own; its field is never shown.
    MessDauer[0]->setParent(frame);
    MessDauer[0]->hide();

    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addLayout(form);
    frameLayout->addSpacing(12);
    frameLayout->addWidget(Start[1]);
    frameLayout->addStretch(1);

    auto* tab = new QWidget;
    auto* layout = new QHBoxLayout(tab);
    layout->addWidget(frame);
    layout->addWidget(BuildLiveGraph(), 1);
    // Only the entries take the Tab key; after the last remark it reaches Start (or Stop).
    ChainTabOrder({Text1, Text2, Text3, Bem1, Bem2, Bem3, Start[1]});
    return tab;
}

// The live graph's right button sets the limit line, so its menu opens from a button below it
// (or with the menu key).
QWidget* Form1::BuildLiveGraph()
{
    Grafik[1] = new PictureBox;
    auto* menuButton = new QToolButton;
    menuButton->setText(QStringLiteral("Grafik speichern / drucken"));
    menuButton->setPopupMode(QToolButton::InstantPopup);
    menuButton->setMenu(GraphMenu(1));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(menuButton);
    auto* graph = new QWidget;
    auto* layout = new QVBoxLayout(graph);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grafik[1], 1);
    layout->addLayout(buttons);
    return graph;
}

QWidget* Form1::BuildProtocolTab()
{
    ProtTab = new FlexGrid;
    LabelProt = new QLabel;
    Label28 = WrappedLabel(QString());
    Label28->hide();
    DelMessung = new QPushButton("Messung löschen");
    // Offered only once a test is selected in the table.
    DelMessung->hide();
    DruckArt = new QComboBox;
    DruckArt->addItems(
        {QStringLiteral("Liste einzeilig"), QStringLiteral("Liste mit Zusatzzeile")});
    ProtVorschau = new QPushButton("Druckvorschau …");
    ProtDrucken = new QPushButton("Protokoll drucken");

    auto* current = new QHBoxLayout;
    current->addWidget(new QLabel("Aktuelle Protokolldatei : "));
    current->addWidget(LabelProt, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(DelMessung);
    buttons->addStretch(1);
    buttons->addWidget(DruckArt);
    buttons->addWidget(ProtVorschau);
    buttons->addWidget(ProtDrucken);

    auto* frame = new QGroupBox("Messprotokoll  ");
    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(current);
    layout->addWidget(ProtTab, 1);
    layout->addWidget(Label28);
    layout->addLayout(buttons);
    auto* tab = new QWidget;
    auto* tabLayout = new QVBoxLayout(tab);
    tabLayout->addWidget(frame);
    ChainTabOrder({ProtTab, DelMessung, DruckArt, ProtVorschau, ProtDrucken});
    return tab;
}

QWidget* Form1::BuildComparisonTab()
{
    Grafik[0] = new PictureBox;
    WahlTab = new FlexGrid;
    WahlTab->setCheckColumn(2);
    WahlTab->setFont(QFont("Arial", 8));
    // The list holds short test numbers; the rest of the width belongs to the graph.
    WahlTab->setMaximumWidth(200);
    ButDel[0] = new QPushButton("Alle Kurven löschen");

    auto* legend = new QHBoxLayout;
    legend->addWidget(LegendLine(Qt::black));
    legend->addWidget(new QLabel("Leitwert"));
    legend->addSpacing(24);
    legend->addWidget(LegendLine(Qt::red));
    legend->addWidget(new QLabel("Temperatur"));
    legend->addStretch(1);

    auto* list = new QVBoxLayout;
    list->addWidget(new QLabel("Angezeigte Messungen :"));
    list->addWidget(WahlTab, 1);
    list->addWidget(ButDel[0]);

    auto* frame = new QGroupBox("Alle Messungen ");
    auto* grid = new QGridLayout(frame);
    grid->addLayout(legend, 0, 0);
    grid->addWidget(Grafik[0], 1, 0);
    grid->addLayout(list, 0, 1, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);

    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(frame);
    ChainTabOrder({WahlTab, ButDel[0]});
    return tab;
}

void Form1::ConnectControls()
{
    link->SetSearchQuestion([this] { return AskToSearchAgain(); });
    connect(link, &InstrumentLink::commandShown, this,
        [this](const QString& text) { StBar1->setPanelText(1, text); });
    connect(link, &InstrumentLink::replyShown, this,
        [this](const QString& text) { StBar1->setPanelText(2, text); });
    connect(link, &InstrumentLink::portShown, this,
        [this](const QString& text) { StBar1->setPanelText(5, text); });
    connect(link, &InstrumentLink::connected, this, &Form1::InstrumentFound);
    connect(link, &InstrumentLink::reconnected, this, &Form1::PortReady);
    connect(link, &InstrumentLink::wentOffline, this, [this] { Start[1]->hide(); });
    connect(link, &InstrumentLink::unknownPositionReported, this, &Form1::ReportUnknownPosition);
    ConnectRun();
    connect(protocol, &ProtocolRegister::changedElsewhere, this, &Form1::ReloadProtocolFile);
    connect(Drive1, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
    connect(Dir1, &FolderList::pathChanged, this, &Form1::Dir1_Change);
    for (int index = 1; index <= 3; ++index)
        connect(TempSkal[index], &QRadioButton::clicked, this,
            [this, index] { TempSkal_Click(index); });
    for (int index = 0; index < int(Grafik.size()); ++index) {
        connect(Grafik[index], &PictureBox::MouseDown, this,
            [this, index](int button, int shift, float x, float y) {
                Grafik_MouseDown(index, button, shift, x, y);
            });
        connect(Grafik[index], &PictureBox::MouseMove, this,
            [this, index](int button, int shift, float x, float y) {
                Grafik_MouseMove(index, button, shift, x, y);
            });
        connect(Grafik[index], &PictureBox::MouseUp, this,
            [this, index](int button, int shift, float x, float y) {
                Grafik_MouseUp(index, button, shift, x, y);
            });
        // On the live graph the right button belongs to the limit line.
        connect(Grafik[index], &PictureBox::MenuRequested, this,
            [this, index](QPoint where, bool byMouse) {
                if (index == 0 || !byMouse)
                    ShowGraphMenu(index, where);
            });
    }
    connect(ProtDrucken, &QPushButton::clicked, this, &Form1::ProtDrucken_Click);
    connect(ProtVorschau, &QPushButton::clicked, this, &Form1::ProtVorschau_Click);
    connect(WahlTab, &FlexGrid::Click, this, &Form1::WahlTab_Click);
    connect(ButDel[0], &QPushButton::clicked, this, [this] { ButDel_Click(0); });
    connect(ButCancel, &QPushButton::clicked, this, &Form1::ButCancel_Click);
    connect(Start[1], &QPushButton::clicked, this, [this] { Start_Click(1); });
    connect(TabProtDatei, &QComboBox::currentIndexChanged, this, &Form1::TabProtDatei_Click);
    connect(TabProtDatei, &QComboBox::activated, this,
        [this] { ProtocolFileName = TabProtDatei->currentText(); });
    connect(ProtTab, &FlexGrid::Click, this, &Form1::ShowSelectedTest);
    connect(ProtTab, &FlexGrid::KeyUp, this, &Form1::ShowSelectedTest);
    connect(Dir1, &FolderList::LostFocus, this, &Form1::Dir1_LostFocus);
    connect(ButProtNeu, &QPushButton::clicked, this, &Form1::ButProtNeu_Click);
    connect(ButOK, &QPushButton::clicked, this, &Form1::CreateProtocolFile);
    connect(ProtTab, &FlexGrid::DblClick, this, &Form1::ToggleStoredCurve);
    connect(DelMessung, &QPushButton::clicked, this, &Form1::DeleteSelectedTest);
    // Every choice the user makes is sent, also the one already shown: the instrument may have
    // been switched off and on meanwhile.
    connect(MessZyklusTab, &QComboBox::activated, this, &Form1::MessZyklusTab_Click);
    connect(Messzeit, &QComboBox::activated, this, &Form1::Messzeit_Click);
    for (int index = 0; index < 2; ++index)
        connect(TempOnOff[index], &QRadioButton::clicked, this,
            [this, index] { TempOnOff_Click(index); });
}
