#pragma once

#include "print/protocol_printout.h"

#include <QString>
#include <QStringList>
#include <functional>

// The list with every field of each record, on landscape pages: a text wider than its column is
// wrapped onto further lines, never cut. The page frame names the protocol file and the print
// date.
void PrintFullRecordList(Printer& printer, const PrintedTable& table, const PageProgress& progress);

// The text in lines no wider than `width` as `widthOf` measures them: broken at blanks, and a
// word wider than a line within it. Trailing blanks do not count; an empty text has no line.
QStringList WrappedText(
    const QString& text, double width, const std::function<double(const QString&)>& widthOf);
