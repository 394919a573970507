// Measurement files of the shown protocol that no record names: the tests of a program that ended
// while they ran (a crash, a kill, a power cut). The user is asked, without waiting for the answer,
// whether their records are to be added from their header lines; a No is kept for those files.
#include "platform/file_lock.h"
#include "platform/text_file.h"
#include "records/protocol_file.h"
#include "records/test_numbers.h"
#include "window/form1.h"

#include <QDir>
#include <algorithm>

namespace {

const QString UnrecordedTitle = QStringLiteral("Messungen ohne Protokolleintrag");
// The measurement files whose records the user did not want, one a line: the name with the date
// and time of its start, so that a later test under a freed name is asked about again.
const QString DeclinedFileName = QStringLiteral("Nicht-eingetragen.TXT");
constexpr int NamesShownAtMost = 10;

struct UnrecordedTest {
    QString name; // "nnnnn-p"
    MeasurementHeader header;
};

QString DeclinedEntry(const QString& fileName, const MeasurementHeader& header)
{
    return fileName + u';' + header.date + u';' + header.time;
}

std::optional<MeasurementHeader> HeaderOfFile(const QString& path)
{
    const std::optional<QStringList> lines = ReadTextLines(path, MeasurementFile::HeaderLineCount);
    return lines ? ReadHeaderLines(*lines) : std::nullopt;
}

// The folder's measurement files in number order that no record names, that no program writes
// now, that the user has not declined and whose header can be read.
std::vector<UnrecordedTest> UnrecordedTests(const QString& folder, const QSet<QString>& recorded)
{
    const std::optional<QStringList> declined = ReadTextLines(folder + DeclinedFileName);
    std::vector<UnrecordedTest> tests;
    for (const QString& fileName : ListFolderFiles(folder, QStringLiteral("No-*.CSV"))) {
        const std::optional<QString> name = TestNameOfMeasurementFile(fileName);
        if (!name || recorded.contains(*name) || IsLockedByOther(folder + fileName))
            continue;
        const std::optional<MeasurementHeader> header = HeaderOfFile(folder + fileName);
        if (header && !(declined && declined->contains(DeclinedEntry(fileName, *header))))
            tests.push_back({*name, *header});
    }
    std::sort(tests.begin(), tests.end(),
        [](const UnrecordedTest& a, const UnrecordedTest& b) { return a.name < b.name; });
    return tests;
}

QString NamesText(const std::vector<UnrecordedTest>& tests)
{
    QStringList names;
    for (const UnrecordedTest& test : tests)
        names.append(MeasurementFileName(test.name));
    if (names.size() > NamesShownAtMost)
        names = names.first(NamesShownAtMost) << QStringLiteral("...");
    return names.join(QStringLiteral(", "));
}

TestRecordTexts RecordTexts(const UnrecordedTest& test)
{
    return {RecordTestNumber(test.name), test.name.section(u'-', 1).toInt(), test.header};
}

} // namespace

void Form1::OfferUnrecordedTests()
{
    const QString protocolPath = ProtocolFilePath();
    const QString folder = MeasurementFolder();
    if (UnrecordedQuestionOpen || !FileExist(protocolPath))
        return;
    const std::vector<UnrecordedTest> tests
        = UnrecordedTests(folder, RecordedTestNames(protocolPath));
    if (tests.empty())
        return;
    const QString text = QStringLiteral("Im Ordner %1 liegen %2 Messdateien, die im Messprotokoll "
                                        "nicht eingetragen sind (zum Beispiel nach einem Absturz "
                                        "des Programms):")
                             .arg(QDir::toNativeSeparators(folder))
                             .arg(tests.size())
        + CrLf + NamesText(tests) + CrLf + CrLf
        + QStringLiteral("Sollen ihre Einträge aus den Kopfzeilen der Messdateien nachgetragen "
                         "werden? Bei \"Nein\" bleiben die Dateien, wie sie sind, und es wird "
                         "nicht noch einmal nach ihnen gefragt; bei \"Abbrechen\" beim nächsten "
                         "Mal.");
    UnrecordedQuestionOpen = true;
    // Escape, closing the box or the program answer Cancel: only an explicit No declines.
    MsgBoxAsk(text, MsgStyle::YesNoCancel + MsgStyle::Question, UnrecordedTitle,
        [this, protocolPath, folder](int answer) {
            UnrecordedQuestionOpen = false;
            if (answer == MsgResult::Yes)
                AddUnrecordedTests(protocolPath, folder);
            else if (answer == MsgResult::No)
                DeclineUnrecordedTests(protocolPath, folder);
        });
}

// The records are added in number order under the protocol's lock, as they stand when the user
// answers: another program may have recorded some meanwhile.
void Form1::AddUnrecordedTests(const QString& protocolPath, const QString& folder)
{
    const FileLock protocolLock(protocolPath, SharedFileWaitMilliseconds);
    if (protocolLock.HeldByOther() || !FileExist(protocolPath)) {
        ReportProtocolLocked(protocolPath);
        return;
    }
    const QChar separator = SeparatorOfProtocolFile(protocolPath);
    QStringList records;
    for (const UnrecordedTest& test : UnrecordedTests(folder, RecordedTestNames(protocolPath)))
        records.append(TestRecord(RecordTexts(test), separator));
    if (!WriteTextLines(protocolPath, records, WriteMode::Append))
        ReportRecordNotWritten(RecordTestNumber(records.value(0)), protocolPath);
    if (protocolPath == ProtocolFilePath())
        ReloadProtocolFile();
}

void Form1::DeclineUnrecordedTests(const QString& protocolPath, const QString& folder)
{
    QStringList entries;
    for (const UnrecordedTest& test : UnrecordedTests(folder, RecordedTestNames(protocolPath)))
        entries.append(DeclinedEntry(MeasurementFileName(test.name), test.header));
    WriteTextLines(folder + DeclinedFileName, entries, WriteMode::Append);
}
