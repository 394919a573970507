// Tab "Einstellung": the maker's block, the device settings and the storage of the files.
#include "platform/drives.h"
#include "platform/folder_list.h"
#include "window/form1.h"
#include "window/layout_helpers.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The cycle and the duration lists share one width, so that they line up one above the other.
constexpr int ChoiceListCharacters = 16;

// The maker's address block: a neutral laboratory of our own, no real company.
const QStringList AddressLines {"Viskositäts-Messtechnik", "Laborweg 1", "12345 Musterstadt",
    "Telefon 01234 56789-0", "Telefax 01234 56789-9"};

// The logo: a drop over a falling curve, in the graphs' colours.
QPixmap Logo()
{
    QPixmap logo(64, 64);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(255, 255, 192));
    painter.setPen(QPen(QColor(0, 0, 128), 2));
    painter.drawRoundedRect(2, 2, 60, 60, 10, 10);
    QPainterPath curve(QPointF(10, 18));
    curve.cubicTo(QPointF(22, 48), QPointF(34, 52), QPointF(54, 52));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawPath(curve);
    painter.setPen(QPen(Qt::red, 2));
    painter.drawLine(QPointF(10, 38), QPointF(54, 34));
    return logo;
}

} // namespace

QWidget* Form1::BuildSettingsTab(const QString& startFolder)
{
    auto* title = new QLabel("KALDURA - QTM");
    QFont titleFont("Arial", 26, QFont::Bold);
    title->setFont(titleFont);

    Label7 = title;
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* deviceSettings = new QGroupBox("Allgemeine Geräteeinstellungen ");
    auto* deviceLayout = new QGridLayout(deviceSettings);
    deviceLayout->addWidget(BuildTemperatureFrame(), 0, 0);
    deviceLayout->addWidget(BuildCycleFrame(), 1, 0);
    deviceLayout->addWidget(BuildDurationFrame(), 2, 0);
    deviceLayout->setRowStretch(3, 1);
    deviceLayout->addWidget(BuildStorageFrame(startFolder), 0, 1, 4, 1);
    deviceLayout->setColumnStretch(0, 1);
    deviceLayout->setColumnStretch(1, 1);

    auto* header = new QHBoxLayout;
    header->addWidget(BuildMakerBlock());
    header->addSpacing(24);
    header->addWidget(title, 1);

    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(header);
    layout->addWidget(line);
    layout->addWidget(deviceSettings, 1);
    // Down the left column, then the storage frame from top to bottom.
    ChainTabOrder({TempOnOff[0], TempOnOff[1], TempSkal[1], TempSkal[2], TempSkal[3], MessZyklusTab,
        Messzeit, Drive1, Dir1, TabProtDatei, LaufNr, ButProtNeu, ProtDat, ButOK, ButCancel});
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
    layout->addWidget(BuildProtocolChoice());
    return Frame7;
}

QGroupBox* Form1::BuildTemperatureFrame()
{
    TempOnOff[0] = new QRadioButton("Temperatur AUS");
    TempOnOff[1] = new QRadioButton("Temperatur EIN");
    const QStringList scaleCaptions {" 0 - 50 °C", " 0 - 100 °C", " 0 - 150 °C"};
    Frame10 = new QGroupBox;
    auto* scaleLayout = new QHBoxLayout(Frame10);
    scaleLayout->addWidget(new QLabel("Temperatur - Skala :"));
    for (int index = 1; index <= 3; ++index) {
        TempSkal[index] = new QRadioButton(scaleCaptions[index - 1]);
        scaleLayout->addWidget(TempSkal[index]);
    }
    TempSkal[1]->setChecked(true);
    scaleLayout->addStretch(1);
    // Each set of options is its own exclusive group: the chosen one stays chosen when clicked
    // again, whatever the other set holds.
    auto* scales = new QButtonGroup(Frame10);
    for (int index = 1; index <= 3; ++index)
        scales->addButton(TempSkal[index]);

    auto* frame = new QGroupBox("Temperaturmessung  ");
    auto* layout = new QGridLayout(frame);
    layout->addWidget(new QLabel("Zusätzlich kann der Temperaturverlauf gemessen werden: "), 0, 0);
    layout->addWidget(TempOnOff[0], 0, 1);
    layout->addWidget(TempOnOff[1], 0, 2);
    layout->addWidget(Frame10, 1, 0, 1, 4);
    layout->setColumnStretch(3, 1);
    auto* onOff = new QButtonGroup(frame);
    onOff->addButton(TempOnOff[0]);
    onOff->addButton(TempOnOff[1]);
    return frame;
}

QWidget* Form1::BuildMakerBlock()
{
    Picture1 = new QLabel;
    Picture1->setPixmap(Logo());
    auto* address = new QVBoxLayout;
    address->setSpacing(0);
    for (int line = 0; line < int(Adresse.size()); ++line) {
        Adresse[line] = new QLabel(AddressLines[line]);
        Adresse[line]->setFont(QFont("Arial", 8));
        address->addWidget(Adresse[line]);
    }
    auto* block = new QWidget;
    auto* layout = new QHBoxLayout(block);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Picture1);
    layout->addLayout(address);
    return block;
}

QGroupBox* Form1::BuildCycleFrame()
{
    MessZyklusTab = new QComboBox;
    SetListWidth(MessZyklusTab, ChoiceListCharacters);
    Frame6 = new QGroupBox("Messzyklus ");
    auto* layout = new QGridLayout(Frame6);
    layout->addWidget(new QLabel("Messzyklus :    Messung durchführen alle ....."), 0, 0);
    layout->addWidget(MessZyklusTab, 0, 1);
    layout->addWidget(WrappedLabel("Hier kann der Messzyklus gewählt werden. "), 1, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    return Frame6;
}

QGroupBox* Form1::BuildDurationFrame()
{
    Messzeit = new QComboBox;
    SetListWidth(Messzeit, ChoiceListCharacters);
    Frame5 = new QGroupBox("Messdauer ");
    auto* layout = new QGridLayout(Frame5);
    layout->addWidget(WrappedLabel("Hier kann die voraussichtliche Messdauer gewählt werden. Diese "
                                   "wird vor allem für die grafische Darstellung (Skalierung)  "
                                   "benötigt."),
        0, 0);
    layout->addWidget(Messzeit, 0, 1, Qt::AlignTop);
    layout->setColumnStretch(0, 1);
    return Frame5;
}

// The protocol file, the next test number and the panel for a new protocol file.
QWidget* Form1::BuildProtocolChoice()
{
    TabProtDatei = new QComboBox;
    LaufNr = new QLineEdit("1");
    LaufNr->setMaximumWidth(LaufNr->fontMetrics().horizontalAdvance(QString(12, u'0')));
    ButProtNeu = new QPushButton("Neue Protokolldatei");
    ProtDat = new QLineEdit;
    ButOK = new QPushButton("Neuer Ordner");
    ButCancel = new QPushButton("Abbruch");
    Frame14 = new QGroupBox("Messdaten-Ordner:");
    auto* panel = new QGridLayout(Frame14);
    panel->addWidget(new QLabel("Name der Protokoll-Datei: "), 0, 0);
    panel->addWidget(ProtDat, 0, 1, 1, 2);
    panel->addWidget(ButOK, 1, 1);
    panel->addWidget(ButCancel, 1, 2);
    Frame14->hide();

    auto* choice = new QWidget;
    auto* layout = new QGridLayout(choice);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel("Messprotokoll-Datei  :"), 0, 0);
    layout->addWidget(TabProtDatei, 0, 1);
    layout->addWidget(new QLabel("Fortlaufende Test-Nr.:"), 1, 0);
    layout->addWidget(LaufNr, 1, 1, Qt::AlignLeft);
    layout->addWidget(
        WrappedLabel("Die gemessenen / berechneten Daten werden für jede Messung in der "
                     "Protokolldatei gespeichert. Diese kann z.B. mit Excel eingesehen und "
                     "gedruckt werden. Der Dateiname für diese Protokolldatei muss hier angegeben "
                     "werden. "),
        2, 0, 1, 2);
    layout->addWidget(ButProtNeu, 3, 0, Qt::AlignLeft);
    layout->addWidget(Frame14, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    return choice;
}

void Form1::ButCancel_Click()
{
    Frame14->hide();
}
