// Measurement files of the shown protocol that no record names: the tests of a program that ended
// while they ran (a crash, a kill, a power cut). The user is asked, without waiting for the answer,
// whether their records are to be added from their header lines; a No is kept for those files.
#include "platform/file_lock.h"
#include "platform/text_file.h"
#include "records/protocol_register.h"
#include "window/messages.h"
#include "window/parameter_panel.h"
#include "window/record_keeping.h"

#include <QDir>
#include <algorithm>

namespace {

const QString UnrecordedTitle = QStringLiteral("Messungen ohne Protokolleintrag");
constexpr int NamesShownAtMost = 10;

QString NamesText(const std::vector<UnrecordedTest>& tests)
{
    QStringList names;
    for (const UnrecordedTest& test : tests)
        names.append(MeasurementFileName(test.name));
    if (names.size() > NamesShownAtMost)
        names = names.first(NamesShownAtMost) << QStringLiteral("...");
    return names.join(QStringLiteral(", "));
}

} // namespace

void RecordKeeping::OfferUnrecordedTests()
{
    const QString protocolPath = ProtocolFilePath();
    const QString folder = MeasurementFolder();
    if (UnrecordedQuestionOpen || !FileExist(protocolPath))
        return;
    const std::vector<UnrecordedTest> tests = protocol->FindUnrecordedTests(protocolPath, folder);
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
    QSet<QString> asked;
    for (const UnrecordedTest& test : tests)
        asked.insert(test.name);
    // Escape, closing the box or the program answer Cancel: only an explicit No declines. The
    // answer holds for the files asked about, not for any found while the question was open.
    messages.MsgBoxAsk(text, MsgStyle::YesNoCancel + MsgStyle::Question, UnrecordedTitle,
        [this, protocolPath, folder, asked](int answer) {
            UnrecordedQuestionOpen = false;
            if (answer == MsgResult::Yes)
                AddUnrecordedTests(protocolPath, folder, asked);
            else if (answer == MsgResult::No)
                RememberDeclinedTests(protocolPath, folder, asked);
        });
}

void RecordKeeping::AddUnrecordedTests(
    const QString& protocolPath, const QString& folder, const QSet<QString>& asked)
{
    const AppendOutcome outcome
        = WriteUnrecordedRecords(protocolPath, folder, parameters->FieldSeparator().front(), asked);
    if (outcome == AppendOutcome::Locked) {
        ReportProtocolLocked(protocolPath);
        return;
    }
    if (outcome == AppendOutcome::Failed) {
        const std::vector<UnrecordedTest> left = FindUnrecordedTests(protocolPath, folder);
        ReportRecordNotWritten(
            left.empty() ? 0 : RecordTestNumber(left.front().name), protocolPath);
    }
    if (protocolPath == ProtocolFilePath())
        ReloadProtocolFile();
}
