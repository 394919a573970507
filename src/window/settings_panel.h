#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

class FolderList;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The tab "Einstellung": the maker's block, temperature measurement and scale, cycle and duration,
// the storage folder, the protocol file with the next test number and the panel for a new
// protocol file. It keeps its controls consistent by itself and reports each choice of the user;
// the main window acts on them.
class SettingsPanel : public QWidget {
    Q_OBJECT

public:
    // tell: shows a message box (text, style, title) and waits for it.
    SettingsPanel(const QString& startFolder,
        std::function<void(const QString&, int, const QString&)> tell, QWidget* parent = nullptr);

    // Storage folder: the folder as shown and used in file names, with a trailing separator.
    QString StorageFolder() const;
    QString DriveText() const;
    QString FolderPath() const;
    // The stored drive and folder, both or neither: false when the folder is not there.
    bool ApplyStorageFolder(const QString& drive, const QString& folder);
    void ShowStorageFolder();

    // Protocol file: the names of the folder's protocol files; the one chosen last, or else the
    // first, is selected.
    void ShowProtocolNames(const QStringList& names);
    void RememberProtocolName(const QString& name);
    QString ProtocolName() const;
    bool ProtocolChosen() const;
    QString NextNumberText() const;
    void ShowNextNumber(const QString& text);
    QString NewProtocolName() const;
    void CloseNewProtocolPanel();

    // Run parameters. The lists are filled with no entry chosen and without reporting it.
    void FillCycleList(const QStringList& entries);
    void FillDurationList(const QStringList& entries);
    int CycleEntry() const;
    QString CycleText() const;
    int DurationEntry() const;
    // False for an entry the list does not hold.
    bool ChooseCycle(int entry);
    bool ChooseDuration(int entry);
    // 0 off, 1 on, -1 neither.
    int TemperatureOption() const;
    void ChooseTemperature(int option);
    // The scale options are shown while temperature is measured.
    void ShowScaleFrame(bool shown);
    // 1 to 3; 0 when none is chosen.
    int ScaleIndex() const;
    void ChooseScale(int index);
    // Storage, cycle and duration cannot change while a test runs.
    void SetParameterFramesEnabled(bool enabled);

signals:
    void storageFolderShown();
    void folderPicked();
    void folderLeft();
    void protocolSelected();
    void newProtocolConfirmed();
    void cycleChosen();
    void durationChosen();
    void temperatureChosen(int option);
    // "Temperatur AUS" became chosen or not, by the user or by the program.
    void temperatureOffShown(bool off);
    void scaleChosen(int index);

private:
    QWidget* BuildMakerBlock();
    QGroupBox* BuildTemperatureFrame();
    QGroupBox* BuildCycleFrame();
    QGroupBox* BuildDurationFrame();
    QGroupBox* BuildStorageFrame(const QString& startFolder);
    QWidget* BuildProtocolChoice();
    void NameControls();
    void ConnectControls();
    void Drive1_Change();
    void Dir1_Change();
    void ButNeuOrdner_Click();
    void ButProtNeu_Click();
    void ButCancel_Click();

    QGroupBox* Frame7 = nullptr;
    QComboBox* Drive1 = nullptr;
    FolderList* Dir1 = nullptr;
    QPushButton* ButNeuOrdner = nullptr;
    QLabel* Label10 = nullptr;
    QComboBox* TabProtDatei = nullptr;
    QLineEdit* LaufNr = nullptr;
    QPushButton* ButProtNeu = nullptr;
    // The hint under the protocol file; the new-protocol panel stands in its place while open.
    QLabel* protocolHint = nullptr;
    QGroupBox* Frame14 = nullptr;
    QLineEdit* ProtDat = nullptr;
    QPushButton* ButOK = nullptr;
    QPushButton* ButCancel = nullptr;
    QGroupBox* Frame5 = nullptr;
    QGroupBox* Frame6 = nullptr;
    QLabel* Picture1 = nullptr;
    std::array<QLabel*, 5> Adresse {};
    QLabel* Label7 = nullptr;
    QComboBox* MessZyklusTab = nullptr;
    QComboBox* Messzeit = nullptr;
    // TempOnOff(0) off, (1) on.
    std::array<QRadioButton*, 2> TempOnOff {};
    QGroupBox* Frame10 = nullptr;
    // TempSkal(1) to (3): the temperature scales 0-50, 0-100 and 0-150 °C.
    std::array<QRadioButton*, 4> TempSkal {};
    std::function<void(const QString&, int, const QString&)> tell;
    // The protocol file chosen last (created, selected by the user or stored).
    QString ProtocolFileName;
};
