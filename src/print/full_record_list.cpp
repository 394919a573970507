#include "print/full_record_list.h"

#include "platform/printer.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Quarter millimetres across the printable area of a landscape A4 page.
const QRectF PageArea {0, 0, 1108, 760};
constexpr double FrameTextY = 0;
constexpr double TopRuleY = 40;
constexpr double HeadingsY = 48;
constexpr double LineStep = 14;
// Between two rows, so that the lines of a wrapped row keep together.
constexpr double RowGap = 4;
constexpr double RowsBottom = 720;
constexpr double FooterRuleY = 728;
constexpr double FooterY = 736;
constexpr double ColumnGap = 6;
constexpr double TextSize = 8;

// A printed column: the table cell it shows (the test number joins cells 0 and 1) and its place.
struct Column {
    int cell;
    double x;
    double width;
};
constexpr std::array<Column, 10> Columns {{{0, 0, 55}, {2, 55, 160}, {3, 215, 160}, {4, 375, 100},
    {5, 475, 140}, {6, 615, 140}, {7, 755, 140}, {8, 895, 65}, {9, 960, 45}, {10, 1005, 103}}};

// The lines of each column of one row.
using WrappedRow = std::array<QStringList, Columns.size()>;

QString CellText(const QStringList& cells, int cell)
{
    if (cell == 0)
        return cells.value(0).trimmed() + u'-' + cells.value(1).trimmed();
    return cells.value(cell).trimmed();
}

WrappedRow WrapRow(Printer& printer, const QStringList& cells, bool heading)
{
    printer.setFontBold(heading);
    printer.setFontSize(TextSize);
    const auto widthOf = [&printer](const QString& text) { return printer.TextWidth(text); };
    WrappedRow wrapped;
    for (std::size_t column = 0; column < Columns.size(); ++column) {
        const int cell = Columns[column].cell;
        const QString text = heading ? cells.value(cell).trimmed() : CellText(cells, cell);
        wrapped[column] = WrappedText(text, Columns[column].width - ColumnGap, widthOf);
    }
    return wrapped;
}

double RowHeight(const WrappedRow& row)
{
    qsizetype lines = 1;
    for (const QStringList& column : row)
        lines = std::max(lines, column.size());
    return double(lines) * LineStep + RowGap;
}

double PrintRow(Printer& printer, const WrappedRow& row, double y, bool heading)
{
    printer.setFontBold(heading);
    printer.setFontSize(TextSize);
    for (std::size_t column = 0; column < Columns.size(); ++column) {
        for (qsizetype line = 0; line < row[column].size(); ++line) {
            printer.setCurrentPosition({Columns[column].x, y + double(line) * LineStep});
            printer.Print(row[column][line]);
        }
    }
    return y + RowHeight(row);
}

void PrintRightAligned(Printer& printer, const QString& text, double y)
{
    printer.setCurrentPosition({PageArea.right() - printer.TextWidth(text), y});
    printer.Print(text);
}

// The text, or as much of its end as fits into `width` after "…": a long path keeps its file name.
QString EndThatFits(Printer& printer, const QString& text, double width)
{
    if (printer.TextWidth(text) <= width)
        return text;
    const QString ellipsis = QStringLiteral("…");
    for (qsizetype kept = text.size() - 1; kept > 0; --kept) {
        const QString shortened = ellipsis + text.right(kept);
        if (printer.TextWidth(shortened) <= width)
            return shortened;
    }
    return ellipsis;
}

void PrintFrame(Printer& printer, const PrintedTable& table, int page, int pages)
{
    const QString printed = QStringLiteral("Gedruckt am %1    Seite %2 von %3")
                                .arg(table.printDate)
                                .arg(page)
                                .arg(pages);
    printer.setFontSize(10);
    const double pathWidth = PageArea.width() - printer.TextWidth(printed) - 4 * ColumnGap;
    PrintRightAligned(printer, printed, FrameTextY);
    printer.setFontBold(true);
    const QString title = QStringLiteral("Messprotokoll ");
    printer.setCurrentPosition({0, FrameTextY});
    printer.Print(
        title + EndThatFits(printer, table.protocolFile, pathWidth - printer.TextWidth(title)));
    printer.setFontBold(false);
    printer.setDrawWidth(5);
    printer.Line({0, TopRuleY}, {PageArea.right(), TopRuleY});
    printer.setDrawWidth(1);
    printer.Line({0, FooterRuleY}, {PageArea.right(), FooterRuleY});
    printer.setFontSize(7);
    printer.setCurrentPosition({0, FooterY});
    printer.Print(PrintMakerLine);
    PrintRightAligned(printer, PrintProductLine, FooterY);
}

// The first row of each page, the rows being laid out one after another below the headings.
std::vector<qsizetype> PageStarts(const std::vector<double>& heights, double firstRowY)
{
    std::vector<qsizetype> starts {0};
    double y = firstRowY;
    for (std::size_t row = 0; row < heights.size(); ++row) {
        if (y + heights[row] > RowsBottom && y > firstRowY) {
            starts.push_back(qsizetype(row));
            y = firstRowY;
        }
        y += heights[row];
    }
    return starts;
}

} // namespace

void PrintFullRecordList(Printer& printer, const PrintedTable& table, const PageProgress& progress)
{
    printer.setOrientation(QPageLayout::Landscape);
    printer.setScale(PageArea);
    printer.setFontName(QStringLiteral("Arial"));
    const WrappedRow headings = WrapRow(printer, table.headings, true);
    const double firstRowY = HeadingsY + RowHeight(headings) + LineStep / 2;
    std::vector<WrappedRow> rows;
    std::vector<double> heights;
    rows.reserve(table.rows.size());
    heights.reserve(table.rows.size());
    for (const QStringList& cells : table.rows) {
        rows.push_back(WrapRow(printer, cells, false));
        heights.push_back(RowHeight(rows.back()));
    }
    const std::vector<qsizetype> starts = PageStarts(heights, firstRowY);
    const int pages = int(starts.size());
    for (int page = 1; page <= pages; ++page) {
        if (progress && !progress(page, pages)) {
            printer.KillDoc();
            return;
        }
        if (page > 1)
            printer.NewPage();
        PrintFrame(printer, table, page, pages);
        PrintRow(printer, headings, HeadingsY, true);
        printer.Line({0, firstRowY - LineStep / 4}, {PageArea.right(), firstRowY - LineStep / 4});
        const qsizetype end = page < pages ? starts[std::size_t(page)] : qsizetype(rows.size());
        double y = firstRowY;
        for (qsizetype row = starts[std::size_t(page - 1)]; row < end; ++row)
            y = PrintRow(printer, rows[std::size_t(row)], y, false);
    }
}

QStringList WrappedText(
    const QString& text, double width, const std::function<double(const QString&)>& widthOf)
{
    QStringList lines;
    QString line;
    const auto fits = [&](const QString& candidate) { return widthOf(candidate) <= width; };
    const auto finishLine = [&] {
        if (!line.isEmpty())
            lines.append(line);
        line.clear();
    };
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString joined = line.isEmpty() ? word : line + u' ' + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        finishLine();
        for (const QChar character : word) {
            if (!line.isEmpty() && !fits(line + character))
                finishLine();
            line += character;
        }
    }
    finishLine();
    return lines;
}
