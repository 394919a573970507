#pragma once

#include "platform/clock.h"
#include "platform/print_output.h"
#include "run/test_run.h"
#include "settings/settings_store.h"
#include "window/graph_scale.h"
#include "window/messages.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

class ComparisonPanel;
class GraphExport;
class HelpDialog;
class InstrumentLink;
class LiveGraph;
class MeasurementPanel;
class ParameterPanel;
class ProtocolPanel;
class ProtocolRegister;
class QTabWidget;
class RecordKeeping;
class SettingsPanel;
class StatusBar;
struct FormEnvironment;
struct GraphNames;

// The program's one window. It makes the core objects (instrument link, run, protocol register,
// settings store) and one panel per tab, and connects them; the panels own their controls and the
// core objects their state. What is left here is what joins two of them: the procedures keep the
// established names of the instrument program (see window/README.md for where each lives).
class Form1 : public QMainWindow, private RunContext {
    Q_OBJECT

public:
    // Builds the window and runs its load event.
    explicit Form1(FormEnvironment environment, QWidget* parent = nullptr);
    ~Form1() override;

    // A close by a termination signal: running tests are ended without asking.
    void CloseWithoutAsking();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    static inline const QString CrLf = QStringLiteral("\r\n");

    // Building and start-up (window_layout.cpp, main_window_init.cpp, form1.cpp).
    void BuildLayout(const QString& startFolder);
    void ConnectControls();
    void ConnectRun();
    void Form_Load();
    void InitMainWindow();
    void ShowVersion();
    void ShowHelp();
    void ReportLineLogFailure();
    void Form_Unload();

    // The instrument (main_window_init.cpp) and the run (run_view.cpp, run_parameters.cpp).
    void InstrumentFound();
    void PortReady();
    bool AskToSearchAgain();
    void Start_Click(int Index);
    void MessZyklusTab_Click();
    void Messzeit_Click();
    void TempOnOff_Click(int Index);
    TestOrder Order() const override;
    RunChoices Choices() const override;
    void ShowTestStart(int position, qint32 testNumber, const QDateTime& at);
    void ShowMessage(const QString& text, int style, const QString& title, bool waitForIt);
    void ReportUnknownPosition(const QString& line);

    // Graphs (graph_choices.cpp).
    void TempSkal_Click(int Index);
    GraphNames GraphNamesOf(int Index) const;
    QString ComparisonTitle() const;

    // Printing the protocol (print_commands.cpp).
    void PrintProtocol();
    void PreviewProtocol();
    PrintJob ProtocolPrintJob(std::shared_ptr<bool> cancelled);

    // Settings (settings.cpp).
    void LoadSettings();
    void SaveSettings();
    void RemoveUnfinishedSaves();
    void ApplySettings(const Settings& settings);
    Settings CurrentSettings() const;

    QString programFolder;
    SettingsStore settingsStore;
    GraphScale graphScale;
    QStringList arguments;
    Clock clock;
    Messages messages;
    PrintRunner printRunner;
    std::unique_ptr<SystemPrinter> systemPrinter;

    InstrumentLink* link = nullptr;
    TestRun* run = nullptr;
    ProtocolRegister* protocol = nullptr;
    QTabWidget* SSTab1 = nullptr;
    StatusBar* StBar1 = nullptr;
    HelpDialog* help = nullptr;
    QString versionText;
    SettingsPanel* settingsTab = nullptr;
    MeasurementPanel* measurement = nullptr;
    LiveGraph* liveGraph = nullptr;
    ComparisonPanel* comparison = nullptr;
    ProtocolPanel* records = nullptr;
    ParameterPanel* parameters = nullptr;
    RecordKeeping* recordKeeping = nullptr;
    GraphExport* liveExport = nullptr;
    GraphExport* comparisonExport = nullptr;

    // The stored drive, folder and protocol file while the folder cannot be reached: kept for
    // the next start.
    std::optional<Settings> UnreachableStorageFolder;
    bool closeRequestedBySignal = false;
};
