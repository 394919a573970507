#pragma once

#include "platform/clock.h"
#include "platform/file_lock.h"
#include "platform/message_box.h"
#include "platform/print_output.h"
#include "platform/text_file.h"
#include "run/measurement_file.h"
#include "run/test_run.h"
#include "settings/settings_store.h"
#include "window/graph_window.h"

#include <QMainWindow>
#include <array>

class InstrumentLink;
class FlexGrid;
class ParameterPanel;
class ProtocolRegister;
class FolderList;
class PictureBox;
class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class StatusBar;
struct FormEnvironment;

// The program's one window. It owns every control and every window-level variable; its
// procedures keep the established names of the instrument program and are defined in the folder
// of their subsystem (instrument/, run/, window/, ...). A subsystem with much state keeps its
// controls and variables in a part of its own (GraphWindow: window/graph_window.h).
class Form1 : public QMainWindow, public GraphWindow, private RunContext {
    Q_OBJECT

public:
    static constexpr int PositionCount = 32;

    // Builds the window and runs its load event.
    explicit Form1(FormEnvironment environment, QWidget* parent = nullptr);
    ~Form1() override;

    // --- Controls -------------------------------------------------------------------------------
    QTabWidget* SSTab1 = nullptr;
    StatusBar* StBar1 = nullptr;
    InstrumentLink* link = nullptr;
    TestRun* run = nullptr;
    ProtocolRegister* protocol = nullptr;

    // Tab "Einstellung": storage folder frame.
    QGroupBox* Frame7 = nullptr;
    QComboBox* Drive1 = nullptr;
    FolderList* Dir1 = nullptr;
    QLabel* Label10 = nullptr;
    QComboBox* TabProtDatei = nullptr;
    QLineEdit* LaufNr = nullptr;
    QPushButton* ButProtNeu = nullptr;
    QGroupBox* Frame14 = nullptr;
    QLineEdit* ProtDat = nullptr;
    QPushButton* ButOK = nullptr;
    QPushButton* ButCancel = nullptr;

    // Tab "Einstellung": the frames of duration (Frame5) and cycle (Frame6), locked during a test.
    QGroupBox* Frame5 = nullptr;
    QGroupBox* Frame6 = nullptr;

    // Tab "Einstellung": the maker's block, cycle and duration.
    QLabel* Picture1 = nullptr;
    std::array<QLabel*, 5> Adresse {};
    QLabel* Label7 = nullptr;
    QComboBox* MessZyklusTab = nullptr;
    QComboBox* Messzeit = nullptr;

    // Tab "Einstellung": temperature measurement. TempOnOff(0) off, (1) on.
    std::array<QRadioButton*, 2> TempOnOff {};
    // The frame of the temperature-scale options, shown while temperature is measured.
    QGroupBox* Frame10 = nullptr;

    // Tab "Messung / Grafik": test data and the Start button of position 1.
    QLineEdit* TestNr = nullptr;
    QLineEdit* TestDatum = nullptr;
    QLineEdit* TestZeit = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Bem1 = nullptr;
    QLineEdit* Bem2 = nullptr;
    QLineEdit* Bem3 = nullptr;
    std::array<QPushButton*, 2> Start {};
    // MessWert(1) viscosity, MessWert(0) temperature; MessDauer(1) the elapsed time.
    std::array<QLineEdit*, 2> MessWert {};
    std::array<QLineEdit*, 2> MessDauer {};

    // Tab "Messprotokoll".
    FlexGrid* ProtTab = nullptr;
    QLabel* LabelProt = nullptr;
    QLabel* Label28 = nullptr;
    QPushButton* DelMessung = nullptr;
    QComboBox* DruckArt = nullptr;
    QPushButton* ProtDrucken = nullptr;
    QPushButton* ProtVorschau = nullptr;

    // Tab "Messprogramm - Parameter": separators.
    ParameterPanel* parameters = nullptr;

    // --- Window-level variables ----------------------------------------------------------------
    // Main window.
    QString CrLf;
    qint16 GroupCount = 0;

    // Test records: the protocol file chosen last (created, selected by the user or stored).
    QString ProtocolFileName;
    bool UnrecordedQuestionOpen = false;

    // --- Instrument link (instrument/instrument_link.h) ------------------------------------------
    void Form_Load();
    void InstrumentFound();
    void PortReady();

    // --- Run control and sample acquisition (run/) -----------------------------------------------
    void Start_Click(int Index);
    void MessZyklusTab_Click();
    void Messzeit_Click();
    void TempOnOff_Click(int Index);

    // --- Graphs (graph/) ------------------------------------------------------------------------
    void FillDurationTables();
    void SetUpGraphs();
    void DrawViscosityAxis(int Index);
    void DrawTimeAxis(int Index);
    void DrawTemperatureAxis(int Index);
    void DrawPlotFrame(int position);
    void ResetComparisonGraph();
    void TempSkal_Click(int Index);
    void PlotLiveSample(int position, double viscosity, double temperature, bool temperatureOn,
        qint32 elapsedSeconds, bool continuesCurve);
    void DrawStoredCurve(const QString& Name, qint16 Position);
    void RedrawStoredCurves();
    QString StoredTestName(int row) const;
    QStringList ShownStoredTests() const;
    void FormatCurveList();
    void WahlTab_Click();
    void ButDel_Click(int Index);
    void Grafik_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void Grafik_MouseMove(int Index, int Button, int Shift, float X, float Y);
    void Grafik_MouseUp(int Index, int Button, int Shift, float X, float Y);
    void TrackLimitLine(int Index, int Button, int Shift, float X, float Y);
    void DrawLimitLine(int Index);
    void EraseLimitLine(int Index);
    QString MeasurementFolder() const;

    // --- Test records (records/) -----------------------------------------------------------------
    void ButProtNeu_Click();
    void CreateProtocolFile();
    void AppendTestRecord(int position, const RunningTest& test);
    void FormatRecordTable();
    void AddRecordRow(qint32 row, const QStringList& cells);
    void LoadProtocolFile();
    void ReloadProtocolFile();
    void OfferUnrecordedTests();
    void ListProtocolFiles();
    void TabProtDatei_Click();
    void ShowSelectedTest();
    void Dir1_LostFocus();
    void ToggleStoredCurve();
    void DeleteSelectedTest();
    QStringList CurveListRows() const;
    void ShowStoredTestsAgain(const QStringList& rowsBefore, int deletedRow);
    QString ProtocolFilePath() const;

    // --- Printing (print/, graph/)
    // ------------------------------------------------------------------
    void ProtDrucken_Click();
    void ProtVorschau_Click();
    void PrintProtocol();
    PrintJob ProtocolPrintJob() const;
    void ShowGraphMenu(int Index, const QPoint& globalPosition);
    void ChooseGraphPictureFile(int Index);
    void ChooseGraphPdfFile(int Index);
    bool SaveGraphPicture(int Index, const QString& path);
    bool SaveGraphPdf(int Index, const QString& path);
    void PrintGraph(int Index);
    PrintJob GraphPrintJob(int Index) const;

    // --- Main window (window/) ------------------------------------------------------------------
    void InitMainWindow();
    void ShowVersion();
    void ButCancel_Click();
    int MsgBox(const QString& text, int style, const QString& title);
    void MsgBoxLater(const QString& text, int style, const QString& title);
    // Asks without waiting: the answer reaches `answered` once the user has given it.
    void MsgBoxAsk(const QString& text, int style, const QString& title,
        const std::function<void(int)>& answered);
    // A close by a termination signal: running tests are ended without asking.
    void CloseWithoutAsking();

    // --- Settings file (window/) -----------------------------------------------------------------
    void LoadSettings();
    void SaveSettings();
    void Form_Unload();
    void RemoveUnfinishedSaves();
    // The stored drive, folder and protocol file while the folder cannot be reached: kept for the
    // next start.
    std::optional<Settings> UnreachableStorageFolder;

    // --- Storage folder and separators (window/) ------------------------------------------------
    void Drive1_Change();
    void Dir1_Change();
    void ShowStorageFolder();

    QString ProgramFolder() const { return programFolder; }
    QDateTime Now() const { return clock(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildLayout(const QString& startFolder);
    void NameControls();
    QWidget* BuildSettingsTab(const QString& startFolder);
    QWidget* BuildMeasurementTab();
    QWidget* BuildComparisonTab();
    QWidget* BuildProtocolTab();
    QWidget* BuildMakerBlock();
    QGroupBox* BuildCycleFrame();
    QGroupBox* BuildDurationFrame();
    QWidget* BuildProtocolChoice();
    QGroupBox* BuildTemperatureFrame();
    QWidget* BuildLiveGraph();
    QGroupBox* BuildStorageFrame(const QString& startFolder);
    void ConnectControls();

    void FillCycleList();
    void FillDurationList();
    void ShowScaleChoice(QRadioButton& option, bool chosen);
    void ShowLimitValue(int Index);
    PictureBox* GraphAt(int Index) const;
    int CurrentDurationRow() const;
    void ReportRecordNotWritten(qint32 testNumber, const QString& path);
    void AddUnrecordedTests(const QString& protocolPath, const QString& folder);
    void DeclineUnrecordedTests(const QString& protocolPath, const QString& folder);
    QStringList RowCells(int row) const;
    void ReportUndeletable(const QString& path);
    QString SelectedTestText(int row) const;
    void SetRecordRows(int count);
    Settings FirstStartSettings() const;
    void ApplySettings(const Settings& settings);
    bool ApplyStorageFolder(const Settings& settings);
    Settings CurrentSettings() const;
    Settings CurrentSettingsWithFolder(const Settings& folder) const;
    void ReportProtocolLocked(const QString& protocolPath);
    void SetCurveStart(int position);
    void ShowRunning(int position, bool running);
    void SetParameterFramesEnabled(bool enabled);
    void ReportUnknownPosition(const QString& line);
    void ShowMessage(const QString& text, int style, const QString& title, bool waitForIt);
    void ShowTestStart(int position, qint32 testNumber, const QDateTime& at);
    void ShowValues(const QString& viscosity, const QString& temperature);
    void ShowElapsed(int position, const QString& text);
    TestOrder Order() const override;
    RunChoices Choices() const override;
    void ConnectRun();
    void ReportLineLogFailure();
    bool AskToSearchAgain();
    void ReportPrintOutcome(PrintOutcome outcome, const QString& what);
    QString GraphTitle(int Index) const;
    QString GraphDocumentName(int Index) const;
    QString GraphFileName(int Index, const QString& extension) const;
    QMenu* GraphMenu(int Index);

    QString programFolder;
    SettingsStore settingsStore;
    QStringList arguments;
    Clock clock;
    MessageAnswerer answerer;
    PrintRunner printRunner;
    std::unique_ptr<SystemPrinter> systemPrinter;
    bool closeRequestedBySignal = false;
};
