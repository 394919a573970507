#include "records/test_numbers.h"

#include "platform/text_file.h"
#include "records/protocol_file.h"

#include <QRegularExpression>
#include <algorithm>

namespace {
using ProtocolFile::HighestTestNumber;

const QRegularExpression& MeasurementFilePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(ALT[0-9]*-)?NO-(([0-9]{5})-[0-9]{1,2})\\.CSV(\\.LOCK)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}
} // namespace

QSet<qint32> NumbersOfMeasurementFiles(const QStringList& fileNames)
{
    QSet<qint32> numbers;
    for (const QString& name : fileNames) {
        const QRegularExpressionMatch match = MeasurementFilePattern().match(name);
        if (match.hasMatch())
            numbers.insert(match.captured(3).toInt());
    }
    return numbers;
}

std::optional<QString> TestNameOfMeasurementFile(const QString& fileName)
{
    const QRegularExpressionMatch match = MeasurementFilePattern().match(fileName);
    if (!match.hasMatch() || fileName != MeasurementFileName(match.captured(2)))
        return std::nullopt;
    return match.captured(2);
}

std::optional<qint32> NewTestNumber(
    qint32 wanted, qint32 highestRecorded, const QSet<qint32>& taken)
{
    // In 64 bits: one above the highest of all numbers must not wrap around.
    qint64 number = std::max<qint64>(wanted, qint64(highestRecorded) + 1);
    while (number <= HighestTestNumber && taken.contains(qint32(number)))
        ++number;
    return number <= HighestTestNumber ? std::optional<qint32>(qint32(number)) : std::nullopt;
}

qint32 HighestRecordedNumber(const QString& protocolPath)
{
    TextFileReader file;
    if (!file.Open(protocolPath))
        return 0;
    file.ReadLine();
    qint32 highest = 0;
    while (const std::optional<QString> line = file.ReadLine())
        highest = std::max(highest, RecordTestNumber(*line));
    return highest;
}

QSet<qint32> RecordedTestKeys(const QString& protocolPath)
{
    QSet<qint32> keys;
    TextFileReader file;
    if (!file.Open(protocolPath))
        return keys;
    file.ReadLine();
    while (const std::optional<QString> line = file.ReadLine()) {
        if (const std::optional<qint32> key = RecordTestKey(*line))
            keys.insert(*key);
    }
    return keys;
}

QSet<qint32> NumbersOfFilesIn(const QString& folder)
{
    return NumbersOfMeasurementFiles(ListFolderFiles(folder, QStringLiteral("*")));
}
