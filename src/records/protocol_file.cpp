#include "records/protocol_file.h"

#include "numbers/field_reading.h"
#include "numbers/value_format.h"
#include "platform/file_lock.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace {

constexpr qsizetype CellPadding = 54;
constexpr int CycleColumn = 10;

// The text as the file holds it, cut or padded with blanks to exactly width characters, so that
// every field keeps its width in the bytes written.
QString Fitted(const QString& text, qsizetype width)
{
    return AsWrittenLine(text).left(width).leftJustified(width, u' ');
}

} // namespace

QString CreatedHeaderLine(QChar separator)
{
    return QStringLiteral("Test-Nr.;Produkt-Bezeichnung;Auftrags-Nr.;Chargen-Nr.;Bemerkung 1;"
                          "Bemerkung 2;Bemerkung 3;Test-Datum;Test-Zeit;Messstufe;")
        .replace(u';', separator);
}

QString CaptionHeaderLine(const QStringList& captions, QChar separator)
{
    QString line;
    for (const QString& caption : captions)
        line += caption + separator;
    return line;
}

QString TestName(qint32 testNumber, int position)
{
    return FFix0(testNumber, 5, 0) + u'-' + FFix(position, 1, 0);
}

QStringList RecordTableCaptions()
{
    return {QStringLiteral("Test-Nr."), QStringLiteral("Res."),
        QStringLiteral("Produkt-Bezeichnung"), QStringLiteral("Auftrags-Nr."),
        QStringLiteral("Chargen-Nr."), QStringLiteral("Bemerkung 1 "),
        QStringLiteral("Bemerkung 2 "), QStringLiteral("Bemerkung 3 "), QStringLiteral("Datum"),
        QStringLiteral("Zeit"), QStringLiteral("Messszyklus"), QStringLiteral("Reserve  ")};
}

QString RecordTableHeaderLine(QChar separator)
{
    return CaptionHeaderLine(
        RecordTableCaptions() << QString() << QString() << QString(), separator);
}

QChar ProtocolFileSeparator(QStringView header, QStringView firstRecord, QChar chosen)
{
    const auto separatorAt = [](QStringView line, qsizetype at) -> std::optional<QChar> {
        if (at < line.size() && (line[at] == u';' || line[at] == u','))
            return line[at];
        return std::nullopt;
    };
    if (const std::optional<QString> name = RecordTestName(firstRecord))
        return *separatorAt(firstRecord, name->size());
    static const QString firstCaption = QStringLiteral("Test-Nr.");
    if (header.startsWith(firstCaption))
        return separatorAt(header, firstCaption.size()).value_or(chosen);
    return chosen;
}

QString TestRecord(const TestRecordTexts& test, QChar separator)
{
    using namespace ProtocolFile;
    const auto typed = [separator](const QString& text, qsizetype width) {
        return Fitted(FieldText(text, separator), width);
    };
    const QString number = TestName(test.testNumber, test.position);
    QString record = number + separator;
    for (const QString& field :
        {typed(test.texts.product, Product.length), typed(test.texts.order, Order.length),
            typed(test.texts.batch, Batch.length), typed(test.texts.remark1, Remark1.length),
            typed(test.texts.remark2, Remark2.length), typed(test.texts.remark3, Remark3.length),
            Fitted(test.texts.date, Date.length), Fitted(test.texts.time, Time.length),
            AsWrittenLine(test.texts.cycle), QStringLiteral("  ")})
        record += field + separator;
    return record;
}

namespace {

// The record as far as a cell may reach: the cycle is the one field written without padding, and
// its cell ends before its separator.
QStringView CellReach(QStringView record, int column)
{
    const ProtocolFile::Cut& cut = ProtocolFile::CellCuts[column];
    if (column == CycleColumn && cut.at < record.size()) {
        const QChar separator = record[cut.at - 1];
        const qsizetype end = record.indexOf(separator, cut.at);
        if ((separator == u';' || separator == u',') && end >= 0)
            record.truncate(end);
    }
    return record;
}

bool IsCellColumn(int column)
{
    return column >= 0 && column < int(std::size(ProtocolFile::CellCuts));
}

} // namespace

// The cell as cut from the record followed by CellPadding blanks, without making that copy.
QString RecordCell(QStringView record, int column)
{
    if (!IsCellColumn(column))
        return {};
    const ProtocolFile::Cut& cut = ProtocolFile::CellCuts[column];
    record = CellReach(record, column);
    const qsizetype paddedSize = record.size() + CellPadding;
    if (cut.at > paddedSize)
        return {};
    QString cell(std::min(cut.length, paddedSize - cut.at), u' ');
    const QStringView fromRecord
        = record.sliced(std::min(cut.at, record.size()))
              .first(std::clamp(record.size() - cut.at, qsizetype(0), cell.size()));
    std::copy(fromRecord.begin(), fromRecord.end(), cell.begin());
    return cell;
}

QStringView RecordCellText(QStringView record, int column)
{
    if (!IsCellColumn(column))
        return {};
    const ProtocolFile::Cut& cut = ProtocolFile::CellCuts[column];
    record = CellReach(record, column);
    if (cut.at >= record.size())
        return {};
    QStringView text = record.sliced(cut.at).first(std::min(cut.length, record.size() - cut.at));
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

QStringList RecordCells(QStringView record)
{
    QStringList cells;
    cells.reserve(qsizetype(std::size(ProtocolFile::CellCuts)));
    for (int column = 0; column < int(std::size(ProtocolFile::CellCuts)); ++column)
        cells.append(RecordCell(record, column));
    return cells;
}

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Five digits, "-", one or two digits, then a field separator: the length of the name, or 0.
// Read without a pattern, as every record of a file is read so.
qsizetype TestNameLength(QStringView record)
{
    const qsizetype positionEnd = record.size() > 7 && IsAsciiDigit(record[7]) ? 8 : 7;
    if (record.size() <= positionEnd || record[5] != u'-' || !IsAsciiDigit(record[6])
        || (record[positionEnd] != u';' && record[positionEnd] != u','))
        return 0;
    const QStringView number = record.first(5);
    return std::all_of(number.begin(), number.end(), IsAsciiDigit) ? positionEnd : 0;
}

} // namespace

std::optional<QString> RecordTestName(QStringView record)
{
    const qsizetype length = TestNameLength(record);
    return length > 0 ? std::optional<QString>(record.first(length).toString()) : std::nullopt;
}

std::optional<qint32> RecordTestKey(QStringView record)
{
    const qsizetype length = TestNameLength(record);
    return length > 0 ? std::optional<qint32>(TestKey(record.first(length))) : std::nullopt;
}

qint32 TestKey(QStringView testName)
{
    return testName.first(5).toInt() * 100 + testName.sliced(6).toInt();
}

qint32 RecordTestNumber(QStringView record)
{
    const qint32 number = RoundHalfEven32(FieldValue(record.left(ProtocolFile::TestNumber.length)));
    return number >= 1 && number <= ProtocolFile::HighestTestNumber ? number : 0;
}

namespace {

const QString ForbiddenCharacters = QStringLiteral("<>:\"/\\|?*");
// A file name holds at most 255 bytes; the longest name made from a protocol name is the file with
// which a stale lock of the protocol file is taken over, "name.CSV.lock.rmlock".
constexpr qsizetype MaxFileNameBytes = 255;
constexpr qsizetype LongestDerivedSuffix = 16;

bool IsReservedDeviceName(const QString& name)
{
    static const QRegularExpression reserved(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9¹²³]|LPT[1-9¹²³])(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return reserved.match(name).hasMatch();
}

bool HasForbiddenCharacter(const QString& name)
{
    return std::any_of(name.begin(), name.end(), [](QChar c) {
        return c.unicode() < 32 || c.unicode() == 127 || ForbiddenCharacters.contains(c);
    });
}

} // namespace

std::optional<QString> ProtocolNameProblem(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("Bitte einen Namen für die Protokoll-Datei eingeben.");
    if (HasForbiddenCharacter(name))
        return QStringLiteral("Der Name darf keines der Zeichen < > : \" / \\ | ? * und keine "
                              "Steuerzeichen enthalten.");
    if (name == QStringLiteral("..") || name == QStringLiteral("."))
        return QStringLiteral("\".\" und \"..\" sind als Name nicht zulässig.");
    if (name.endsWith(u' ') || name.endsWith(u'.'))
        return QStringLiteral("Der Name darf nicht mit einem Leerzeichen oder Punkt enden.");
    if (IsReservedDeviceName(name))
        return QStringLiteral("Der Name ist unter Windows für ein Gerät reserviert.");
    if (AsWrittenLine(name) != name)
        return QStringLiteral("Der Name darf nur Zeichen enthalten, die die Protokoll- und "
                              "Einstellungsdateien speichern können (Windows-1252).");
    if (QFile::encodeName(name).size() + LongestDerivedSuffix > MaxFileNameBytes)
        return QStringLiteral(
            "Der Name ist zu lang: höchstens %1 Zeichen (Umlaute zählen doppelt).")
            .arg(MaxFileNameBytes - LongestDerivedSuffix);
    if (name.startsWith(QStringLiteral("No-")))
        return QStringLiteral("Der Name darf nicht mit \"No-\" beginnen: so heißen die "
                              "Messdateien.");
    return std::nullopt;
}

LineSpan LineFrom(const QByteArray& bytes, qsizetype start)
{
    qsizetype end = start;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
        ++end;
    qsizetype next = end;
    if (next < bytes.size())
        next += bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n' ? 2 : 1;
    return {start, end - start, next};
}

bool IsRecordLine(QStringView line)
{
    return std::any_of(line.begin(), line.end(), [](QChar c) { return c != u' '; });
}

std::optional<LineSpan> RecordAt(const QByteArray& bytes, qsizetype row)
{
    qsizetype records = 0;
    for (qsizetype start = LineFrom(bytes, 0).next; start < bytes.size();) {
        const LineSpan span = LineFrom(bytes, start);
        const auto text = bytes.cbegin() + span.start;
        const bool record
            = std::any_of(text, text + span.length, [](char byte) { return byte != ' '; });
        if (record && ++records == row)
            return span;
        start = span.next;
    }
    return std::nullopt;
}

QString ProtocolLockedText(const QString& protocolPath)
{
    return QStringLiteral("Die Protokolldatei ") + QDir::toNativeSeparators(protocolPath)
        + QStringLiteral(" wird gerade von einem anderen Programm benutzt.\r\n")
        + QStringLiteral("Bitte in einigen Sekunden noch einmal versuchen. Hält die Sperre an, "
                         "die Datei ")
        + QDir::toNativeSeparators(LockFileOf(protocolPath)) + QStringLiteral(" prüfen.");
}
