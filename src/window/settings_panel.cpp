#include "window/settings_panel.h"

#include "graph/plot_frame.h"
#include "platform/drives.h"
#include "platform/folder_list.h"
#include "platform/message_box.h"
#include "window/layout_helpers.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
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

// The folder as shown and used to build file names: native separators, one trailing separator.
QString StorageFolderText(const QString& folder)
{
    QString text = QDir::toNativeSeparators(folder);
    if (!text.endsWith(QDir::separator()))
        text += QDir::separator();
    return text;
}

// The chosen scale stands out in bold blue; the others in the usual button text.
void ShowScaleChoice(QRadioButton& option, bool chosen)
{
    QPalette colours = option.palette();
    const QColor text
        = chosen ? QColor(PlotColour::Blue) : QApplication::palette().color(QPalette::ButtonText);
    colours.setColor(QPalette::WindowText, text);
    colours.setColor(QPalette::ButtonText, text);
    option.setPalette(colours);
    QFont font = option.font();
    font.setBold(chosen);
    option.setFont(font);
}

// Why a new folder was not made; empty when it was.
QString FolderRefusal(FolderList::Making making, const QString& name, const QString& folder)
{
    switch (making) {
    case FolderList::Making::Made:
        break;
    case FolderList::Making::Exists:
        return QStringLiteral("„%1“ gibt es in %2 schon.").arg(name, folder);
    case FolderList::Making::BadName:
        return QStringLiteral("„%1“ kann kein Ordnername sein: Ein Ordnername darf keines der "
                              "Zeichen \\ / : * ? \" < > | enthalten, nicht nur aus Punkten "
                              "bestehen und höchstens 255 Zeichen lang sein (Umlaute zählen "
                              "doppelt).")
            .arg(name);
    case FolderList::Making::Failed:
        return QStringLiteral("Der Ordner „%1“ kann in %2 nicht angelegt werden: Der Ordner ist "
                              "schreibgeschützt oder voll, oder es gibt ihn nicht mehr.")
            .arg(name, folder);
    }
    return QString();
}

} // namespace

SettingsPanel::SettingsPanel(const QString& startFolder,
    std::function<void(const QString&, int, const QString&)> tell, QWidget* parent)
    : QWidget(parent)
    , tell(std::move(tell))
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

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(line);
    layout->addWidget(deviceSettings, 1);
    // Down the left column, then the storage frame from top to bottom.
    ChainTabOrder({TempOnOff[0], TempOnOff[1], TempSkal[1], TempSkal[2], TempSkal[3], MessZyklusTab,
        Messzeit, Drive1, Dir1, ButNeuOrdner, TabProtDatei, LaufNr, ButProtNeu, ProtDat, ButOK,
        ButCancel});
    NameControls();
    ConnectControls();
}

QGroupBox* SettingsPanel::BuildStorageFrame(const QString& startFolder)
{
    Frame7 = new QGroupBox("Dateiablage ");
    const QStringList driveRoots = MountedDriveRoots();
    Drive1 = new QComboBox;
    Drive1->addItems(driveRoots);
    Dir1 = new FolderList;
    if (!Dir1->setPath(startFolder) && !Dir1->setPath(QDir::homePath()))
        Dir1->setPath(QDir::rootPath());
    Drive1->setCurrentText(DriveOfPath(Dir1->path(), driveRoots));
    ButNeuOrdner = new QPushButton("Neuer Ordner ...");
    Label10 = new QLabel;
    Label10->setTextFormat(Qt::PlainText);
    Label10->setWordWrap(true);

    auto* layout = new QVBoxLayout(Frame7);
    layout->addWidget(new QLabel("Dateiablage:"));
    layout->addWidget(Drive1);
    layout->addWidget(Dir1, 1);
    layout->addWidget(ButNeuOrdner, 0, Qt::AlignLeft);
    layout->addWidget(Label10);
    layout->addWidget(WrappedLabel(
        "Das Laufwerk und  der Pfad für die Ablage der Messwert-Dateien muss hier gewählt werden. "
        "Alle Dateien (für alle Messkanäle) werden hier gespeichert. Die einzelnen Dateinamen "
        "müssen jedoch pro Kanal individuell angegaben werden. Gleiche Dateinamen sind nicht "
        "zulässig !"));
    layout->addWidget(BuildProtocolChoice());
    return Frame7;
}

QGroupBox* SettingsPanel::BuildTemperatureFrame()
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

QWidget* SettingsPanel::BuildMakerBlock()
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

QGroupBox* SettingsPanel::BuildCycleFrame()
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

QGroupBox* SettingsPanel::BuildDurationFrame()
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
QWidget* SettingsPanel::BuildProtocolChoice()
{
    TabProtDatei = new QComboBox;
    LaufNr = new QLineEdit("1");
    LaufNr->setMaximumWidth(LaufNr->fontMetrics().horizontalAdvance(QString(12, u'0')));
    ButProtNeu = new QPushButton("Neue Protokolldatei");
    ProtDat = new QLineEdit;
    ButOK = new QPushButton("Neuer Ordner");
    ButCancel = new QPushButton("Abbruch");
    Frame14 = new QGroupBox("Messdaten-Ordner:");
    // Name beside its label, the buttons below: the panel opens within the width the tab has,
    // and the window does not grow.
    auto* panel = new QGridLayout(Frame14);
    panel->addWidget(new QLabel("Name der Protokoll-Datei: "), 0, 0);
    panel->addWidget(ProtDat, 0, 1);
    panel->addWidget(ButOK, 1, 0);
    panel->addWidget(ButCancel, 1, 1);
    Frame14->hide();

    auto* choice = new QWidget;
    auto* layout = new QGridLayout(choice);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel("Messprotokoll-Datei  :"), 0, 0);
    layout->addWidget(TabProtDatei, 0, 1);
    layout->addWidget(new QLabel("Fortlaufende Test-Nr.:"), 1, 0);
    layout->addWidget(LaufNr, 1, 1, Qt::AlignLeft);
    protocolHint = WrappedLabel(
        "Die gemessenen / berechneten Daten werden für jede Messung in der "
        "Protokolldatei gespeichert. Diese kann z.B. mit Excel eingesehen und "
        "gedruckt werden. Der Dateiname für diese Protokolldatei muss hier angegeben "
        "werden. ");
    layout->addWidget(protocolHint, 2, 0, 1, 2);
    layout->addWidget(ButProtNeu, 3, 0, Qt::AlignLeft);
    layout->addWidget(Frame14, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    return choice;
}

void SettingsPanel::NameControls()
{
    for (auto [control, name] : std::initializer_list<std::pair<QWidget*, const char*>> {
             {Frame7, "Frame7"}, {Drive1, "Drive1"}, {Dir1, "Dir1"}, {ButNeuOrdner, "ButNeuOrdner"},
             {Label10, "Label10"}, {TabProtDatei, "TabProtDatei"}, {LaufNr, "LaufNr"},
             {ButProtNeu, "ButProtNeu"}, {Frame14, "Frame14"}, {ProtDat, "ProtDat"},
             {ButOK, "ButOK"}, {ButCancel, "ButCancel"}, {Frame5, "Frame5"}, {Frame6, "Frame6"},
             {Frame10, "Frame10"}, {Picture1, "Picture1"}, {Label7, "Label7"},
             {MessZyklusTab, "MessZyklusTab"}, {Messzeit, "Messzeit"}})
        control->setObjectName(name);
    for (int index = 0; index < int(TempOnOff.size()); ++index)
        TempOnOff[index]->setObjectName(QStringLiteral("TempOnOff%1").arg(index));
    for (int index = 1; index < int(TempSkal.size()); ++index)
        TempSkal[index]->setObjectName(QStringLiteral("TempSkal%1").arg(index));
}

// Every choice the user makes is reported, also the one already shown: the instrument may have
// been switched off and on meanwhile.
void SettingsPanel::ConnectControls()
{
    connect(Drive1, &QComboBox::currentIndexChanged, this, &SettingsPanel::Drive1_Change);
    connect(Dir1, &FolderList::pathChanged, this, &SettingsPanel::Dir1_Change);
    connect(Dir1, &FolderList::LostFocus, this, &SettingsPanel::folderLeft);
    connect(ButNeuOrdner, &QPushButton::clicked, this, &SettingsPanel::ButNeuOrdner_Click);
    connect(TabProtDatei, &QComboBox::currentIndexChanged, this, &SettingsPanel::protocolSelected);
    connect(TabProtDatei, &QComboBox::activated, this,
        [this] { ProtocolFileName = TabProtDatei->currentText(); });
    connect(ButProtNeu, &QPushButton::clicked, this, &SettingsPanel::ButProtNeu_Click);
    connect(ButOK, &QPushButton::clicked, this, &SettingsPanel::newProtocolConfirmed);
    connect(ProtDat, &QLineEdit::returnPressed, ButOK, &QPushButton::click);
    connect(ButCancel, &QPushButton::clicked, this, &SettingsPanel::ButCancel_Click);
    connect(MessZyklusTab, &QComboBox::activated, this, &SettingsPanel::cycleChosen);
    connect(Messzeit, &QComboBox::activated, this, &SettingsPanel::durationChosen);
    for (int index = 0; index < 2; ++index)
        connect(TempOnOff[index], &QRadioButton::clicked, this,
            [this, index] { emit temperatureChosen(index); });
    connect(TempOnOff[0], &QRadioButton::toggled, this, &SettingsPanel::temperatureOffShown);
    for (int index = 1; index <= 3; ++index)
        connect(TempSkal[index], &QRadioButton::clicked, this,
            [this, index] { emit scaleChosen(index); });
}

QString SettingsPanel::StorageFolder() const
{
    return Label10->text();
}

QString SettingsPanel::DriveText() const
{
    return Drive1->currentText();
}

QString SettingsPanel::FolderPath() const
{
    return Dir1->path();
}

bool SettingsPanel::ApplyStorageFolder(const QString& drive, const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    if (Drive1->findText(drive) >= 0)
        Drive1->setCurrentText(drive);
    return Dir1->setPath(folder);
}

// A drive that cannot be read leaves the folder list and the storage folder as they were; the
// drive list goes on showing the drive the user picked.
void SettingsPanel::Drive1_Change()
{
    if (!Dir1->setPath(Drive1->currentText()))
        return;
    ShowStorageFolder();
}

void SettingsPanel::Dir1_Change()
{
    emit folderPicked();
    QStringList drives;
    for (int index = 0; index < Drive1->count(); ++index)
        drives << Drive1->itemText(index);
    const QString drive = DriveOfPath(Dir1->path(), drives);
    if (!drive.isEmpty()) {
        const QSignalBlocker quiet(Drive1);
        Drive1->setCurrentText(drive);
    }
    ShowStorageFolder();
}

// Asks for the new folder's name and opens the folder made; a name no file system takes, or a
// folder that cannot be made, is told to the user.
void SettingsPanel::ButNeuOrdner_Click()
{
    QInputDialog ask(this);
    ask.setObjectName("OrdnerName");
    ask.setWindowTitle(QStringLiteral("Neuer Ordner"));
    ask.setLabelText(QStringLiteral("Name des neuen Ordners in %1").arg(StorageFolder()));
    ask.setOkButtonText(QStringLiteral("OK"));
    ask.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (ask.exec() != QDialog::Accepted || ask.textValue().trimmed().isEmpty())
        return;
    const QString name = ask.textValue().trimmed();
    const QString refusal = FolderRefusal(Dir1->MakeFolder(name), name, StorageFolder());
    if (!refusal.isEmpty())
        tell(refusal, MsgStyle::OkOnly + MsgStyle::Exclamation, QStringLiteral("Neuer Ordner"));
}

void SettingsPanel::ShowStorageFolder()
{
    Label10->setText(StorageFolderText(Dir1->path()));
    emit storageFolderShown();
}

void SettingsPanel::ShowProtocolNames(const QStringList& names)
{
    {
        const QSignalBlocker quiet(TabProtDatei);
        TabProtDatei->clear();
        TabProtDatei->addItems(names);
        TabProtDatei->setCurrentIndex(-1);
    }
    if (names.isEmpty())
        return;
    TabProtDatei->setCurrentIndex(std::max<qsizetype>(0, names.indexOf(ProtocolFileName)));
}

void SettingsPanel::RememberProtocolName(const QString& name)
{
    ProtocolFileName = name;
}

QString SettingsPanel::ProtocolName() const
{
    return TabProtDatei->currentText();
}

bool SettingsPanel::ProtocolChosen() const
{
    return TabProtDatei->currentIndex() >= 0;
}

QString SettingsPanel::NextNumberText() const
{
    return LaufNr->text();
}

void SettingsPanel::ShowNextNumber(const QString& text)
{
    LaufNr->setText(text);
}

QString SettingsPanel::NewProtocolName() const
{
    return ProtDat->text();
}

// The open panel takes the place of the hint that asks for the file name, so that it finds room
// in a window of 720 pixels.
void SettingsPanel::ButProtNeu_Click()
{
    protocolHint->hide();
    Frame14->show();
    ProtDat->setFocus();
}

void SettingsPanel::ButCancel_Click()
{
    CloseNewProtocolPanel();
}

void SettingsPanel::CloseNewProtocolPanel()
{
    Frame14->hide();
    protocolHint->show();
}

void SettingsPanel::FillCycleList(const QStringList& entries)
{
    const QSignalBlocker quiet(MessZyklusTab);
    MessZyklusTab->clear();
    MessZyklusTab->addItems(entries);
    MessZyklusTab->setCurrentIndex(-1);
}

void SettingsPanel::FillDurationList(const QStringList& entries)
{
    const QSignalBlocker quiet(Messzeit);
    Messzeit->clear();
    Messzeit->addItems(entries);
    Messzeit->setCurrentIndex(-1);
}

int SettingsPanel::CycleEntry() const
{
    return MessZyklusTab->currentIndex();
}

QString SettingsPanel::CycleText() const
{
    return MessZyklusTab->currentText();
}

int SettingsPanel::DurationEntry() const
{
    return Messzeit->currentIndex();
}

bool SettingsPanel::ChooseCycle(int entry)
{
    if (entry < 0 || entry >= MessZyklusTab->count())
        return false;
    MessZyklusTab->setCurrentIndex(entry);
    return true;
}

bool SettingsPanel::ChooseDuration(int entry)
{
    if (entry < 0 || entry >= Messzeit->count())
        return false;
    Messzeit->setCurrentIndex(entry);
    return true;
}

int SettingsPanel::TemperatureOption() const
{
    return TempOnOff[0]->isChecked() ? 0 : TempOnOff[1]->isChecked() ? 1 : -1;
}

void SettingsPanel::ChooseTemperature(int option)
{
    TempOnOff[option == 1 ? 1 : 0]->setChecked(true);
}

void SettingsPanel::ShowScaleFrame(bool shown)
{
    Frame10->setVisible(shown);
}

int SettingsPanel::ScaleIndex() const
{
    for (int index = 1; index < int(TempSkal.size()); ++index) {
        if (TempSkal[index]->isChecked())
            return index;
    }
    return 0;
}

void SettingsPanel::ChooseScale(int index)
{
    for (int i = 1; i < int(TempSkal.size()); ++i)
        ShowScaleChoice(*TempSkal[i], false);
    TempSkal[index]->setChecked(true);
    ShowScaleChoice(*TempSkal[index], true);
}

void SettingsPanel::SetParameterFramesEnabled(bool enabled)
{
    for (QGroupBox* frame : {Frame5, Frame6, Frame7})
        frame->setEnabled(enabled);
}
