// The window's controls and their places on the tabs.
#include "platform/comm_control.h"
#include "platform/drives.h"
#include "platform/folder_list.h"
#include "platform/status_bar.h"
#include "window/form1.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

} // namespace

void Form1::BuildLayout(const QString& startFolder)
{
    setWindowTitle("KALDURA - QTM");
    SSTab1 = new QTabWidget;
    SSTab1->addTab(BuildSettingsTab(startFolder), TabCaptions[0]);
    SSTab1->addTab(BuildMeasurementTab(), TabCaptions[1]);
    for (int tab = 2; tab < TabCaptions.size() - 1; ++tab)
        SSTab1->addTab(new QWidget, TabCaptions[tab]);
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
    deviceLayout->addWidget(BuildStorageFrame(startFolder), 0, 0);

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
    return Frame7;
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
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(frame);
    layout->addStretch(1);
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
}
