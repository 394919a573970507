#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <functional>
#include <vector>

class Printer;

// Where each of the ten printed fields starts, relative to the left margin (index 0 unused).
constexpr std::array<qint16, 11> PrintColumnStart {
    0, 0, 55, 160, 240, 310, 380, 430, 510, 580, 660};

// The entries of the print-kind list: a plain list, one with a detail line under each test, and
// the full list of every field on landscape pages.
enum class PrintKind { List = 0, ListWithDetails = 1, FullList = 2 };

// What the printout prints: the record table's column titles and the cells of each row, by column.
// A missing cell prints as an empty one.
struct PrintedTable {
    QStringList headings;
    std::vector<QStringList> rows;
    // Named in the page frame of the full list.
    QString protocolFile;
    QString printDate;
};

// The footer of every page.
inline const QString PrintMakerLine
    = QStringLiteral("Viskositäts-Messtechnik, Laborweg 1, 12345 Musterstadt");
inline const QString PrintProductLine = QStringLiteral("KALDURA-Therm");

// Told the number of each page before it is printed, and the number of pages; false stops the
// printout.
using PageProgress = std::function<bool(int page, int pages)>;

// The protocol printout: one line per row, 49 lines a page, each page framed by PrintPageFrame.
// A printout stopped by `progress` is abandoned: nothing of it is printed.
void PrintRecordTable(
    Printer& printer, const PrintedTable& table, PrintKind kind, const PageProgress& progress = {});

// Header and footer of the current page: page number, rules, maker line and product name.
void PrintPageFrame(Printer& printer, qint16 Margin, int pageNumber);

// Font style, size in points and position of the next text.
void SetPrintPosition(Printer& printer, qint16 X, qint16 Y, qint16 Size, qint16 Bold);
