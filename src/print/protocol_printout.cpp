#include "print/protocol_printout.h"

#include "numbers/value_format.h"
#include "platform/printer.h"
#include "print/full_record_list.h"

#include <QStringList>
#include <algorithm>

namespace {

constexpr qint16 Margin = 50;
constexpr qint16 FirstLineY = 60;
constexpr qint16 LineStep = 12;
// Once a line lies below this, the next row begins a new page: 49 lines a page.
constexpr qint16 LastLineY = 640;
constexpr qint16 DetailStep = 9;
constexpr qint16 DetailX = 105;
constexpr qint16 HeadingY = 55;
constexpr qint16 FieldCount = 10;
// The room left between a cut text and the next field.
constexpr double FieldGap = 4;

// The table column of each printed field; field 1 joins columns 0 and 1.
constexpr std::array<int, FieldCount + 1> FieldColumn {0, 0, 2, 3, 4, 5, 6, 10, 11, 12, 13};
// How many characters a field prints; 0: all of them, as far as a line across the page holds.
constexpr std::array<int, FieldCount + 1> FieldCharacters {0, 0, 18, 10, 10, 0, 0, 0, 0, 0, 0};
// More characters than 8-point text fits across the widest page: the rest would never show.
constexpr int MostCharactersOnALine = 250;
// The fields that carry a heading: the titles of the filled columns.
constexpr int HeadedFields = 7;

using PrintedFields = std::array<QString, FieldCount + 1>;

PrintedFields FieldsOfRow(const QStringList& cells)
{
    PrintedFields fields;
    fields[1] = cells.value(0) + '-' + cells.value(1);
    for (int field = 2; field <= FieldCount; ++field) {
        const QString cell = cells.value(FieldColumn[field]);
        fields[field] = cell.left(
            FieldCharacters[field] > 0 ? FieldCharacters[field] : MostCharactersOnALine);
    }
    return fields;
}

PrintedFields HeadingsOf(const PrintedTable& table)
{
    PrintedFields headings;
    for (int field = 1; field <= HeadedFields; ++field)
        headings[field] = table.headings.value(FieldColumn[field]).trimmed();
    return headings;
}

// A field runs on up to shortly before the next field that holds text, so that no text is
// printed over another; the last field with text runs freely.
double CutWidth(const PrintedFields& fields, int field)
{
    for (int next = field + 1; next <= FieldCount; ++next) {
        if (!fields[next].trimmed().isEmpty())
            return PrintColumnStart[next] - PrintColumnStart[field] - FieldGap;
    }
    return 0;
}

void PrintFields(Printer& printer, const PrintedFields& fields, qint16 y, qint16 size)
{
    for (int field = 1; field <= FieldCount; ++field) {
        if (fields[field].isEmpty())
            continue;
        SetPrintPosition(printer, qint16(Margin + PrintColumnStart[field]), y, size, 0);
        printer.Print(fields[field], CutWidth(fields, field));
    }
}

QString DetailLine(const QStringList& cells)
{
    const auto cell = [&](int column) { return cells.value(column).left(MostCharactersOnALine); };
    return "(Mv.=" + cell(7) + ", Ansatzm.=" + cell(8) + ", Messt.=" + cell(9) + ')';
}

void BeginPage(Printer& printer, const PrintedTable& table, int pageNumber)
{
    PrintPageFrame(printer, Margin, pageNumber);
    PrintFields(printer, HeadingsOf(table), HeadingY, 9);
}

} // namespace

void PrintRecordTable(
    Printer& printer, const PrintedTable& table, PrintKind kind, const PageProgress& progress)
{
    if (kind == PrintKind::FullList) {
        PrintFullRecordList(printer, table, progress);
        return;
    }
    const qint16 rowStep = kind == PrintKind::ListWithDetails ? LineStep + DetailStep : LineStep;
    const qsizetype rowsPerPage = (LastLineY - FirstLineY) / rowStep + 1;
    const int pages = int(
        std::max<qsizetype>(1, (qsizetype(table.rows.size()) + rowsPerPage - 1) / rowsPerPage));
    const auto goOn = [&](int page) {
        if (!progress || progress(page, pages))
            return true;
        printer.KillDoc();
        return false;
    };
    printer.setScale({0, 0, 800, 680});
    printer.setFontName(QStringLiteral("Arial"));
    int pageNumber = 1;
    if (!goOn(pageNumber))
        return;
    BeginPage(printer, table, pageNumber);
    qint16 y = FirstLineY;
    for (const QStringList& cells : table.rows) {
        // A new page only for a row that is still to be printed: a full last page has no empty
        // page after it.
        if (y > LastLineY) {
            if (!goOn(pageNumber + 1))
                return;
            printer.NewPage();
            BeginPage(printer, table, ++pageNumber);
            y = FirstLineY;
        }
        y += LineStep;
        PrintFields(printer, FieldsOfRow(cells), y, 8);
        if (kind == PrintKind::ListWithDetails) {
            y += DetailStep;
            SetPrintPosition(printer, DetailX, y, 7, 0);
            printer.Print(DetailLine(cells));
        }
    }
}

void PrintPageFrame(Printer& printer, qint16 Margin, int pageNumber)
{
    SetPrintPosition(printer, 720, 15, 10, 0);
    printer.Print("Seite: " + SignedNumberText(pageNumber));
    printer.setDrawWidth(5);
    printer.Line({double(Margin), 45}, {Margin + 720.0, 45});
    printer.setDrawWidth(1);
    printer.Line({double(Margin), 65}, {Margin + 720.0, 65});
    SetPrintPosition(printer, Margin, 665, 7, 0);
    printer.Print(PrintMakerLine);
    SetPrintPosition(printer, qint16(Margin + 636), 665, 7, 0);
    printer.Print(PrintProductLine);
    printer.setDrawWidth(1);
    printer.Line({double(Margin), 660}, {Margin + 720.0, 660});
}

void SetPrintPosition(Printer& printer, qint16 X, qint16 Y, qint16 Size, qint16 Bold)
{
    printer.setFontBold(Bold >= 1);
    printer.setFontSize(Size);
    printer.setCurrentPosition({double(X), double(Y)});
}
