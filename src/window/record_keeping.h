#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

class ComparisonPanel;
class Messages;
class ParameterPanel;
class ProtocolPanel;
class ProtocolRegister;
class SettingsPanel;
class StatusBar;
class TestRun;
struct RunningTest;

// The panels a RecordKeeping shows the records in and asks its questions through.
struct RecordViews {
    SettingsPanel* settingsTab;
    ProtocolPanel* records;
    ComparisonPanel* comparison;
    ParameterPanel* parameters;
    StatusBar* StBar1;
    const Messages& messages;
};

// The records as the user sees them: the protocol files of the storage folder, the chosen one's
// records in the record table and the curve list, a new protocol file, the record of a finished
// test, a stored test's curve, a deletion and the tests a crashed program left unrecorded. It joins
// the protocol register to the panels; it keeps no records of its own.
class RecordKeeping : public QObject {
    Q_OBJECT

public:
    RecordKeeping(ProtocolRegister& protocol, const TestRun& run, const RecordViews& views,
        QObject* parent = nullptr);

    // The chosen protocol file and the folder of its measurement files.
    QString ProtocolFilePath() const;
    QString MeasurementFolder() const;

    // While the window starts, the settings choose the folder and the protocol file one after
    // the other: the protocol file chosen is read and offered once, when the start finishes.
    void BeginStart() { starting = true; }
    void FinishStart();
    void ListProtocolFiles();
    void LoadProtocolFile();
    void ReloadProtocolFile();
    void AppendTestRecord(int position, const RunningTest& test);

private:
    static inline const QString CrLf = QStringLiteral("\r\n");

    void ReadProtocolFile();
    void ShowNextTestNumber();
    void TabProtDatei_Click();
    void Dir1_LostFocus();
    void AddRecordRow(qint32 row, const QString& record);
    void CreateProtocolFile();
    void ReportRecordNotWritten(qint32 testNumber, const QString& path);
    void ReportProtocolLocked(const QString& protocolPath);
    void ToggleStoredCurve();
    void DeleteSelectedTest();
    void RemoveRecordRow(int row);
    void ReportUndeletable(const QString& path);
    void OfferUnrecordedTests();
    void AddUnrecordedTests(
        const QString& protocolPath, const QString& folder, const QSet<QString>& asked);

    ProtocolRegister* protocol;
    const TestRun* run;
    SettingsPanel* settingsTab;
    ProtocolPanel* records;
    ComparisonPanel* comparison;
    ParameterPanel* parameters;
    StatusBar* StBar1;
    const Messages& messages;
    bool UnrecordedQuestionOpen = false;
    bool starting = false;
};
