#pragma once

#include "records/measurement_file.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// The protocol file of a test series: one header line, then one fixed-width record per finished
// test, each field followed by the field separator:
//   1-7 "nnnnn-p" test number and position, 9-38 product, 40-69 order number, 71-84 batch,
//   86-115, 117-146, 148-177 the three remarks, 179-190 date, 192-198 time, from 200 the cycle
//   text as long as it is, then two blanks. Character positions count from 1 here.
namespace ProtocolFile {
// Test numbers have five digits in records and file names.
constexpr qint32 HighestTestNumber = 99999;
// Where a cell of the record table is cut from a record (0-based start, length).
struct Cut {
    qsizetype at;
    qsizetype length;
};
constexpr Cut TestNumber {0, 5};
constexpr Cut Position {6, 1};
constexpr Cut Product {8, 30};
constexpr Cut Order {39, 30};
constexpr Cut Batch {70, 14};
constexpr Cut Remark1 {85, 30};
constexpr Cut Remark2 {116, 30};
constexpr Cut Remark3 {147, 30};
constexpr Cut Date {178, 12};
constexpr Cut Time {191, 7};
constexpr Cut Cycle {199, 14};
// The cuts of the record table's columns 0 to 10, in column order.
constexpr Cut CellCuts[]
    = {TestNumber, Position, Product, Order, Batch, Remark1, Remark2, Remark3, Date, Time, Cycle};
} // namespace ProtocolFile

// The name of a test, "00012-1": its number in five digits, "-", its position.
QString TestName(qint32 testNumber, int position);

// The header line of a protocol file made by the user, with the file's field separator.
QString CreatedHeaderLine(QChar separator = u';');

// The header line of a protocol file made anew when a record is appended: each caption followed
// by the file's field separator.
QString CaptionHeaderLine(const QStringList& captions, QChar separator = u';');

// The captions of the record table's columns 0 to 11; the first two are right-aligned.
QStringList RecordTableCaptions();
// The header line of a protocol file made anew by a record: the record table's captions and three
// empty ones.
QString RecordTableHeaderLine(QChar separator);

// The field separator a protocol file was made with, so that all its records keep one: the one
// after the first field of its first record, else the one after the header's first caption;
// `chosen` for a file that shows neither.
QChar ProtocolFileSeparator(QStringView header, QStringView firstRecord, QChar chosen);

// One finished test as its record takes it: its number, position and the texts of its start
// (the same texts as its measurement file's header).
struct TestRecordTexts {
    qint32 testNumber = 0;
    int position = 0;
    MeasurementHeader texts;
};

// One record, as the file will hold it (characters the code page lacks already "?"). Inside the
// typed texts (product, order, batch and the three remarks) the field separator is replaced by its
// substitute, so that a text never adds a column.
QString TestRecord(const TestRecordTexts& test, QChar separator);

// The cells of the record table's columns 0 to 10, cut from the record with 54 blanks appended:
// the cells of a whole record keep their trailing blanks; a cell that reaches beyond a short line
// is shorter, or empty.
QStringList RecordCells(QStringView record);
// One of those cells; empty for a column outside 0 to 10.
QString RecordCell(QStringView record, int column);
// The text of that cell as the table shows it, without the blanks that end it, as a part of the
// record.
QStringView RecordCellText(QStringView record, int column);

// The test name "00012-1" of a record: its first field, which holds the position with all its
// digits; nothing unless it has that form.
std::optional<QString> RecordTestName(QStringView record);
// The test of a record as one number, number × 100 + position, for sets of many tests.
std::optional<qint32> RecordTestKey(QStringView record);
// The number of a test name "nnnnn-p" as a record's test key.
qint32 TestKey(QStringView testName);

// The test number at the start of a record (its first five characters); 0 when there is none or
// it lies outside 1 to 99999 ("9e99" would otherwise claim every number).
qint32 RecordTestNumber(QStringView record);

// Why a name typed for a new protocol file cannot be used, in German; nothing when it can. The
// name becomes a file "name.CSV" and a folder "name" on Windows and Linux alike.
std::optional<QString> ProtocolNameProblem(const QString& name);

// A line that holds nothing but blanks is no record: the record table skips it.
bool IsRecordLine(QStringView line);

// Where record `row` (from 1, as the record table counts: the header and lines without a record
// are not counted) lies in a file's bytes: its text and the start of the next line. A line ends at
// CR LF, LF or CR, as the record table reads it.
struct LineSpan {
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype next = 0;
};
std::optional<LineSpan> RecordAt(const QByteArray& bytes, qsizetype row);
// The line that begins at `start`.
LineSpan LineFrom(const QByteArray& bytes, qsizetype start);

// The message for a protocol file that another program holds longer than a record takes.
QString ProtocolLockedText(const QString& protocolPath);
