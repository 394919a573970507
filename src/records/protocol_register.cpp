#include "records/protocol_register.h"

#include "platform/ansi_codec.h"
#include "platform/file_lock.h"
#include "platform/text_file.h"
#include "records/test_numbers.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <algorithm>
#include <limits>

namespace {

const QString ProtocolExtension = QStringLiteral(".CSV");
const QString MeasurementPrefix = QStringLiteral("No-");
// The measurement files whose records the user did not want, one a line: the name with the date
// and time of its start, so that a later test under a freed name is asked about again.
const QString DeclinedFileName = QStringLiteral("Nicht-eingetragen.TXT");

QString DeclinedEntry(const QString& fileName, const MeasurementHeader& header)
{
    return fileName + u';' + header.date + u';' + header.time;
}

std::optional<MeasurementHeader> HeaderOfFile(const QString& path)
{
    const std::optional<QStringList> lines = ReadTextLines(path, MeasurementFile::HeaderLineCount);
    return lines ? ReadHeaderLines(*lines) : std::nullopt;
}

TestRecordTexts RecordTexts(const UnrecordedTest& test)
{
    return {RecordTestNumber(test.name), test.name.section(u'-', 1).toInt(), test.header};
}

} // namespace

ProtocolRegister::ProtocolRegister(QObject* parent)
    : QObject(parent)
    , watcher(new QFileSystemWatcher(this))
{
    connect(watcher, &QFileSystemWatcher::fileChanged, this, &ProtocolRegister::FileChanged);
}

ProtocolRegister::~ProtocolRegister() = default;

bool ProtocolRegister::LoadProtocolFile(const QString& path, const QString& folder)
{
    shownPath = path;
    measurementFolder = folder;
    records.clear();
    recordedTests.clear();
    highestRecorded = 0;
    Watch();
    TextFileReader file;
    if (path.isEmpty() || !file.Open(path))
        return false;
    NoteFileShown();
    file.ReadLine();
    while (const std::optional<QString> line = file.ReadLine()) {
        if (records.size() == std::numeric_limits<int>::max() - 1)
            break;
        if (IsRecordLine(*line))
            AddRecord(*line);
    }
    return true;
}

bool ProtocolRegister::ShowsFileAsItIs(const QString& path, const QString& folder) const
{
    if (bytesShown < 0 || path != shownPath || folder != measurementFolder)
        return false;
    const QFileInfo file(path);
    return file.size() == bytesShown && file.lastModified() == modifiedShown
        && watcher->files().contains(path);
}

void ProtocolRegister::NoteFileShown()
{
    const QFileInfo file(shownPath);
    bytesShown = file.size();
    modifiedShown = file.lastModified();
}

void ProtocolRegister::AddRecord(const QString& line)
{
    records.append(line);
    if (const std::optional<qint32> key = RecordTestKey(line))
        recordedTests.insert(*key);
    highestRecorded = std::max(highestRecorded, RecordTestNumber(line));
}

std::optional<qint32> ProtocolRegister::NextTestNumber(qint32 highestRunning) const
{
    if (bytesShown < 0)
        return std::nullopt;
    const qint32 highest = std::max(highestRecorded, highestRunning);
    return NewTestNumber(1, highest, NumbersOfFilesIn(measurementFolder)).value_or(highest + 1);
}

// The table follows the records that other programs add to the shown protocol file.
void ProtocolRegister::Watch()
{
    bytesShown = -1;
    if (!watcher->files().isEmpty())
        watcher->removePaths(watcher->files());
    if (!shownPath.isEmpty())
        watcher->addPath(shownPath);
}

// A file replaced as a whole (renamed over) drops out of the watch: it is read and watched again.
// A file changed in place wants reading once it is no longer as the records show it.
void ProtocolRegister::FileChanged(const QString& path)
{
    const bool replaced = !watcher->files().contains(path);
    if (path == shownPath && (replaced || !ShowsFileAsItIs(path, measurementFolder)))
        emit changedElsewhere();
}

// A record that cannot be written gets no row, so that the records keep mirroring the file.
AppendOutcome ProtocolRegister::AppendTestRecord(
    const QString& path, const TestRecordTexts& test, QChar chosen)
{
    const FileLock protocolLock(path, RecordWaitMilliseconds);
    if (protocolLock.HeldByOther())
        return AppendOutcome::Locked;
    const bool shownAsItIs = ShowsFileAsItIs(path, measurementFolder);
    bool written = true;
    // An empty file (left by a crash right after it was made) gets its header like a new one;
    // else the first record would be read as the header.
    const QFileInfo file(path);
    const bool madeAnew
        = (!file.exists() && !file.isSymLink()) || (file.isFile() && file.size() == 0);
    const QChar separator = madeAnew ? chosen : SeparatorOfProtocolFile(path, chosen);
    if (madeAnew)
        written = WriteTextLines(path, {RecordTableHeaderLine(separator)}, WriteMode::Append);
    const QString record = TestRecord(test, separator);
    written = written && WriteTextLines(path, {record}, WriteMode::Append);
    if (!written)
        return AppendOutcome::Failed;
    if (path != shownPath)
        return AppendOutcome::Elsewhere;
    if (madeAnew || !shownAsItIs)
        return AppendOutcome::ReloadNeeded;
    AddRecord(record);
    NoteFileShown();
    return AppendOutcome::Added;
}

// The protocol file is first copied to ".TMP", then written beside itself without the record's
// bytes and renamed over it; every other byte stays as it was.
DeleteOutcome ProtocolRegister::DeleteRecord(int row, const QStringList& confirmedCells)
{
    const QString& path = shownPath;
    const QString backup = path.chopped(4) + QStringLiteral(".TMP");
    // The file is read and written again as a whole: no other program may append meanwhile.
    const FileLock protocolLock(path, SharedFileWaitMilliseconds);
    if (protocolLock.HeldByOther())
        return DeleteOutcome::Locked;
    const bool shownAsItIs = ShowsFileAsItIs(path, measurementFolder);
    const std::optional<QByteArray> bytes = ReadFileBytes(path);
    if (!bytes)
        return DeleteOutcome::Unreadable;
    const std::optional<LineSpan> record = RecordAt(*bytes, row);
    const QString recordText
        = record ? DecodeAnsi(bytes->mid(record->start, record->length)) : QString();
    if (!record || RecordCells(recordText) != confirmedCells)
        return DeleteOutcome::Changed;
    // A link in the backup's place is removed, not written through to where it points.
    if (QFileInfo(backup).isSymLink())
        QFile::remove(backup);
    if (!FileCopy(path, backup))
        return DeleteOutcome::Unreadable;
    const QByteArray remaining = bytes->left(record->start) + bytes->mid(record->next);
    if (!ReplaceFileBytes(path, remaining))
        return DeleteOutcome::Unwritable;
    // A measurement file stays while another record names the same test (a test number used
    // again) or while a program, this one or another, writes it.
    const std::optional<QString> name = RecordTestName(recordText);
    const bool namedAgain = name && RecordsTest(remaining, *name);
    if (name && !namedAgain && !IsLockedByOther(measurementFolder + MeasurementFileName(*name)))
        FileDelete(measurementFolder + MeasurementFileName(*name));
    // The records follow without reading the file again, unless it had changed before: then it
    // wants reading.
    if (shownAsItIs) {
        ForgetRecord(row, namedAgain ? std::nullopt : name);
        // The file written here replaced the one watched: the new one is watched, and the
        // replacement is no change from elsewhere.
        watcher->removePath(path);
        watcher->addPath(path);
    } else {
        bytesShown = -1;
    }
    return DeleteOutcome::Deleted;
}

void ProtocolRegister::ForgetRecord(int row, const std::optional<QString>& name)
{
    records.removeAt(row - 1);
    if (name)
        recordedTests.remove(TestKey(*name));
    highestRecorded = 0;
    for (const QString& line : records)
        highestRecorded = std::max(highestRecorded, RecordTestNumber(line));
    NoteFileShown();
}

// Whether a record of the protocol file's bytes names the test (a test number used again).
bool ProtocolRegister::RecordsTest(const QByteArray& protocolBytes, const QString& name)
{
    const LineSpan header = LineFrom(protocolBytes, 0);
    for (qsizetype start = header.next; start < protocolBytes.size();) {
        const LineSpan span = LineFrom(protocolBytes, start);
        if (RecordTestName(DecodeAnsi(protocolBytes.mid(span.start, span.length))) == name)
            return true;
        start = span.next;
    }
    return false;
}

namespace {

std::vector<UnrecordedTest> UnrecordedTestsBeside(
    const QSet<qint32>& recorded, const QString& folder)
{
    const std::optional<QStringList> declined = ReadTextLines(folder + DeclinedFileName);
    std::vector<UnrecordedTest> tests;
    for (const QString& fileName : ListFolderFiles(folder, QStringLiteral("No-*.CSV"))) {
        const std::optional<QString> name = TestNameOfMeasurementFile(fileName);
        if (!name || recorded.contains(TestKey(*name)) || IsLockedByOther(folder + fileName))
            continue;
        const std::optional<MeasurementHeader> header = HeaderOfFile(folder + fileName);
        if (header && !(declined && declined->contains(DeclinedEntry(fileName, *header))))
            tests.push_back({*name, *header});
    }
    std::sort(tests.begin(), tests.end(),
        [](const UnrecordedTest& a, const UnrecordedTest& b) { return a.name < b.name; });
    return tests;
}

} // namespace

std::vector<UnrecordedTest> FindUnrecordedTests(const QString& protocolPath, const QString& folder)
{
    if (!FileExist(protocolPath))
        return {};
    return UnrecordedTestsBeside(RecordedTestKeys(protocolPath), folder);
}

std::vector<UnrecordedTest> ProtocolRegister::FindUnrecordedTests(
    const QString& path, const QString& folder) const
{
    if (!ShowsFileAsItIs(path, folder))
        return ::FindUnrecordedTests(path, folder);
    return UnrecordedTestsBeside(recordedTests, folder);
}

namespace {

// The unrecorded tests that the user was asked about and that are still unrecorded: another
// program may have recorded some since, and files found since were not part of the question.
std::vector<UnrecordedTest> AskedUnrecordedTests(
    const QString& protocolPath, const QString& folder, const QSet<QString>& asked)
{
    std::vector<UnrecordedTest> tests = FindUnrecordedTests(protocolPath, folder);
    std::erase_if(
        tests, [&asked](const UnrecordedTest& test) { return !asked.contains(test.name); });
    return tests;
}

} // namespace

AppendOutcome WriteUnrecordedRecords(
    const QString& protocolPath, const QString& folder, QChar chosen, const QSet<QString>& asked)
{
    const FileLock protocolLock(protocolPath, SharedFileWaitMilliseconds);
    if (protocolLock.HeldByOther() || !FileExist(protocolPath))
        return AppendOutcome::Locked;
    const QChar separator = SeparatorOfProtocolFile(protocolPath, chosen);
    QStringList lines;
    for (const UnrecordedTest& test : AskedUnrecordedTests(protocolPath, folder, asked))
        lines.append(TestRecord(RecordTexts(test), separator));
    return WriteTextLines(protocolPath, lines, WriteMode::Append) ? AppendOutcome::Added
                                                                  : AppendOutcome::Failed;
}

void RememberDeclinedTests(
    const QString& protocolPath, const QString& folder, const QSet<QString>& asked)
{
    QStringList entries;
    for (const UnrecordedTest& test : AskedUnrecordedTests(protocolPath, folder, asked))
        entries.append(DeclinedEntry(MeasurementFileName(test.name), test.header));
    WriteTextLines(folder + DeclinedFileName, entries, WriteMode::Append);
}

QChar SeparatorOfProtocolFile(const QString& path, QChar chosen)
{
    TextFileReader file;
    const bool opened = file.Open(path);
    const QString header = opened ? file.ReadLine().value_or(QString()) : QString();
    const QString firstRecord = opened ? file.ReadLine().value_or(QString()) : QString();
    return ProtocolFileSeparator(header, firstRecord, chosen);
}

QStringList ProtocolFileNames(const QString& folder)
{
    QStringList names;
    for (const QString& file : ListFolderFiles(folder, QStringLiteral("*") + ProtocolExtension)) {
        const QString name = file.chopped(ProtocolExtension.size());
        if (!name.startsWith(MeasurementPrefix) && !name.trimmed().isEmpty()
            && FileExist(folder + name + ProtocolExtension))
            names.append(name);
    }
    names.removeDuplicates();
    return names;
}

CreateOutcome MakeProtocolFile(const QString& folder, const QString& name, QChar separator)
{
    const QString path = folder + name + ProtocolExtension;
    if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
        return CreateOutcome::Exists;
    if (!WriteTextLines(path, {CreatedHeaderLine(separator)}, WriteMode::Create)) {
        FileDelete(path);
        return CreateOutcome::Failed;
    }
    MakeFolder(folder + name);
    return CreateOutcome::Created;
}
