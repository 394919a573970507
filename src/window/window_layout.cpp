// The window's controls and their places on the tabs.
#include "platform/comm_control.h"
#include "platform/drives.h"
#include "platform/flex_grid.h"
#include "platform/folder_list.h"
#include "platform/picture_box.h"
#include "platform/status_bar.h"
#include "window/form1.h"

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
#include <QVBoxLayout>

namespace {

const QStringList TabCaptions
    = {"  Einstellung     ", "  Messung  /  Grafik    ", "Reserve", "Reserve", "Reserve",
        "  Alle Messungen      ", "  Messprotokoll   ", "Messprogramm - Parameter"};

QLabel* WrappedLabel(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QLineEdit* ReadOnlyField()
{
    auto* field = new QLineEdit;
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignCenter);
    return field;
}

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
    SSTab1->addTab(new QWidget, TabCaptions[6]);
    SSTab1->addTab(BuildParameterTab(), TabCaptions.back());
    setCentralWidget(SSTab1);
    StBar1 = new StatusBar;
    setStatusBar(StBar1);
    resize(1024, 720);
}

QWidget* Form1::BuildSettingsTab(const QString& startFolder)
{
    auto* title = new QLabel("KALDURA - QTM");
    QFont titleFont("Arial", 26, QFont::Bold);
    title->setFont(titleFont);

    auto* deviceSettings = new QGroupBox("Allgemeine Geräteeinstellungen ");
    auto* deviceLayout = new QGridLayout(deviceSettings);
    deviceLayout->addWidget(BuildTemperatureFrame(), 0, 0);
    deviceLayout->addWidget(BuildStorageFrame(startFolder), 1, 0);

    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(title);
    layout->addWidget(deviceSettings, 1);
    return tab;
}

QGroupBox* Form1::BuildStorageFrame(const QString& startFolder)
{
    Frame7 = new QGroupBox("Dateiablage ");
    const QStringList driveRoots = MountedDriveRoots();
    Drive1 = new QComboBox;
    Drive1->addItems(driveRoots);
    Dir1 = new FolderList;
    if (!Dir1->setPath(startFolder) && !Dir1->setPath(QDir::homePath()))
        Dir1->setPath(QDir::rootPath());
    Drive1->setCurrentText(DriveOfPath(Dir1->path(), driveRoots));
    Label10 = new QLabel;
    Label10->setTextFormat(Qt::PlainText);
    Label10->setWordWrap(true);

    auto* layout = new QVBoxLayout(Frame7);
    layout->addWidget(new QLabel("Dateiablage:"));
    layout->addWidget(Drive1);
    layout->addWidget(Dir1, 1);
    layout->addWidget(Label10);
    layout->addWidget(WrappedLabel(
        "Das Laufwerk und  der Pfad für die Ablage der Messwert-Dateien muss hier gewählt werden. "
        "Alle Dateien (für alle Messkanäle) werden hier gespeichert. Die einzelnen Dateinamen "
        "müssen jedoch pro Kanal individuell angegaben werden. Gleiche Dateinamen sind nicht "
        "zulässig !"));
    TabProtDatei = new QComboBox;
    layout->addWidget(new QLabel("Messprotokoll-Datei  :"));
    layout->addWidget(TabProtDatei);
    return Frame7;
}

QGroupBox* Form1::BuildTemperatureFrame()
{
    TempOnOff[0] = new QRadioButton("Temperatur AUS");
    TempOnOff[1] = new QRadioButton("Temperatur EIN");
    const QStringList scaleCaptions {" 0 - 50 °C", " 0 - 100 °C", " 0 - 150 °C"};
    auto* scaleFrame = new QGroupBox;
    auto* scaleLayout = new QHBoxLayout(scaleFrame);
    scaleLayout->addWidget(new QLabel("Temperatur - Skala :"));
    for (int index = 1; index <= 3; ++index) {
        TempSkal[index] = new QRadioButton(scaleCaptions[index - 1]);
        scaleLayout->addWidget(TempSkal[index]);
    }
    TempSkal[1]->setChecked(true);
    scaleLayout->addStretch(1);

    auto* frame = new QGroupBox("Temperaturmessung  ");
    auto* layout = new QGridLayout(frame);
    layout->addWidget(new QLabel("Zusätzlich kann der Temperaturverlauf gemessen werden: "), 0, 0);
    layout->addWidget(TempOnOff[0], 0, 1);
    layout->addWidget(TempOnOff[1], 0, 2);
    layout->addWidget(scaleFrame, 1, 0, 1, 4);
    layout->setColumnStretch(3, 1);
    return frame;
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

    auto* frame = new QGroupBox("Messung ");
    auto* form = new QFormLayout(frame);
    form->addRow("Test-Nummer :", TestNr);
    form->addRow("Test-Datum :", TestDatum);
    form->addRow("Test-Zeit :", TestZeit);
    form->addRow("Produkt-Bezeichnung:", Text1);
    form->addRow("Auftragsnummer :", Text2);
    form->addRow("Chargennummer :", Text3);
    form->addRow("Bemerkungen  1  :", Bem1);
    form->addRow("2  :", Bem2);
    form->addRow("3  :", Bem3);
    form->addRow(Start[1]);

    auto* tab = new QWidget;
    auto* layout = new QHBoxLayout(tab);
    layout->addWidget(frame);
    layout->addWidget(BuildLiveGraph(), 1);
    return tab;
}

QWidget* Form1::BuildLiveGraph()
{
    Grafik[1] = new PictureBox;
    GWert[1] = ReadOnlyField();
    GWert[1]->setMaximumWidth(90);
    auto* limitRow = new QHBoxLayout;
    limitRow->addWidget(new QLabel("Grenzwert:"));
    limitRow->addWidget(GWert[1]);
    limitRow->addStretch(1);

    auto* graph = new QWidget;
    auto* layout = new QVBoxLayout(graph);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(limitRow);
    layout->addWidget(Grafik[1], 1);
    return graph;
}

QWidget* Form1::BuildComparisonTab()
{
    Grafik[0] = new PictureBox;
    WahlTab = new FlexGrid;
    WahlTab->setCheckColumn(2);
    WahlTab->setFont(QFont("Arial", 8));
    WahlTab->setMaximumWidth(260);
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
    return tab;
}

QWidget* Form1::BuildParameterTab()
{
    DatenTrenn = new QComboBox;
    DezimalTrenn = new QComboBox;

    auto* frame = new QGroupBox("Feldtrennzeichen / Dezimal-Trennzeichen  ");
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel("Datentrennzeichen:"), 0, 0);
    grid->addWidget(DatenTrenn, 0, 1);
    grid->addWidget(WrappedLabel("Die Messzeit und der Messwert werden durch dieses Zeichen "
                                 "getrennt .................................."),
        0, 2);
    grid->addWidget(new QLabel("Dezimaltrennzeichen:"), 1, 0);
    grid->addWidget(DezimalTrenn, 1, 1);
    grid->addWidget(WrappedLabel("Die Nachkommastellen vom Messwert werden mit diesem Zeichen "
                                 "getrennt ..........................."),
        1, 2);
    grid->setColumnStretch(2, 1);

    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(frame);
    layout->addStretch(1);
    return tab;
}

void Form1::ConnectControls()
{
    connect(comTest, &CommControl::OnComm, this, &Form1::comTest_OnComm);
    connect(comTest, &CommControl::PortLost, this, &Form1::comTest_PortLost);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(DatenTrenn, &QComboBox::currentIndexChanged, this, &Form1::DatenTrenn_Click);
    connect(DezimalTrenn, &QComboBox::currentIndexChanged, this, &Form1::DezimalTrenn_Click);
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
    }
    connect(WahlTab, &FlexGrid::Click, this, &Form1::WahlTab_Click);
    connect(ButDel[0], &QPushButton::clicked, this, [this] { ButDel_Click(0); });
}
