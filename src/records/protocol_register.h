#pragma once

#include "records/protocol_file.h"

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QFileSystemWatcher;

// How appending a record went.
enum class AppendOutcome {
    Locked, // another program held the protocol file too long
    Failed, // the file could not be written
    Elsewhere, // written to a protocol file that is not the one shown
    Added, // written, and the shown records grew by it
    ReloadNeeded, // written to the shown file, which was made anew or changed elsewhere
};

// How deleting a record went.
enum class DeleteOutcome { Deleted, Locked, Unreadable, Changed, Unwritable };

// A measurement file that no record names: the test of a program that ended while it ran.
struct UnrecordedTest {
    QString name; // "nnnnn-p"
    MeasurementHeader header;
};

// The protocol file shown in the record table, without widgets: its records as cells, the next
// test number, appending a record, deleting one, the records other programs add, and the
// measurement files that no record names.
class ProtocolRegister : public QObject {
    Q_OBJECT

public:
    explicit ProtocolRegister(QObject* parent = nullptr);
    ~ProtocolRegister() override;

    // Reads the protocol file at path (none when empty) with its measurement folder, and watches
    // it. A file that cannot be read leaves no records; false then.
    bool LoadProtocolFile(const QString& path, const QString& measurementFolder);
    // Whether the records are those of the file at path as it is now (same size and time of its
    // last change as when it was read or written here), so that reading it again would change
    // nothing.
    bool ShowsFileAsItIs(const QString& path, const QString& measurementFolder) const;
    // The record lines as the record table shows them, row 1 first; RecordCells cuts them.
    const QStringList& Records() const { return records; }
    // The number a new test gets: one above the highest recorded or running, never one whose
    // measurement file exists. Nothing before a file was read.
    std::optional<qint32> NextTestNumber(qint32 highestRunning) const;

    // The unrecorded tests of the protocol file at path (see the free function of that name);
    // the records shown stand for the file while it is as they were read.
    std::vector<UnrecordedTest> FindUnrecordedTests(
        const QString& path, const QString& measurementFolder) const;

    // The record of a finished test into the protocol file chosen at its start. `chosen` is the
    // separator of a file made anew.
    AppendOutcome AppendTestRecord(const QString& path, const TestRecordTexts& test, QChar chosen);
    // Removes record `row` if it still has the cells the user confirmed, keeping a copy of the
    // file as ".TMP", and its measurement file unless another record or a program still uses it.
    // The records lose the row without the file being read again, unless the file had changed
    // since it was read: then ShowsFileAsItIs tells it wants reading.
    DeleteOutcome DeleteRecord(int row, const QStringList& confirmedCells);

signals:
    // Another program changed the shown file: it wants reading again.
    void changedElsewhere();

private:
    void Watch();
    void FileChanged(const QString& path);
    void AddRecord(const QString& line);
    void NoteFileShown();
    void ForgetRecord(int row, const std::optional<QString>& name);
    static bool RecordsTest(const QByteArray& protocolBytes, const QString& name);

    QFileSystemWatcher* watcher = nullptr;
    QString shownPath;
    QString measurementFolder;
    QStringList records;
    // The tests the records name, by their test keys.
    QSet<qint32> recordedTests;
    qint32 highestRecorded = 0;
    // The size and the time of the last change of the file as the records show it; -1 when none
    // is shown.
    qint64 bytesShown = -1;
    QDateTime modifiedShown;
};

// The measurement files of a protocol's folder that no record names, that no program writes, that
// were not declined and whose header reads, in number order.
std::vector<UnrecordedTest> FindUnrecordedTests(const QString& protocolPath, const QString& folder);
// The records of those of them that the user was asked about (`asked`: test names), appended under
// the protocol's lock as they stand now: Locked when the file is held by another program or
// missing, Failed when it cannot be written, else Added.
AppendOutcome WriteUnrecordedRecords(
    const QString& protocolPath, const QString& folder, QChar chosen, const QSet<QString>& asked);
// Those of them that the user was asked about are not offered again.
void RememberDeclinedTests(
    const QString& protocolPath, const QString& folder, const QSet<QString>& asked);

// The separator of an existing protocol file, read from its first lines; `chosen` when it shows
// none.
QChar SeparatorOfProtocolFile(const QString& path, QChar chosen);

// The protocol files of a storage folder by name, without "No-..." measurement files, nameless
// files and a "name.csv" that the path "name.CSV" would not reach.
QStringList ProtocolFileNames(const QString& folder);

// Makes the protocol file "name.CSV" in the folder with its header and, beside it, its
// measurement folder. A file that cannot be written is removed again.
enum class CreateOutcome { Created, Exists, Failed };
CreateOutcome MakeProtocolFile(const QString& folder, const QString& name, QChar separator);
