#include "line_splitter.h"

QList<LineSplitter::Line> LineSplitter::feed(const QByteArray& bytes)
{
    QList<Line> lines;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n')
            endLine(lines);
        else if (current.size() < maxLineLength)
            current += c;
        else
            overlong = true;
    }
    return lines;
}

void LineSplitter::endLine(QList<Line>& lines)
{
    if (!current.isEmpty())
        lines.append({current, overlong});
    current.clear();
    overlong = false;
}
