#pragma once

#include <QByteArray>
#include <QList>

// Cuts received bytes into command lines. CR and LF both end a line, in any mix ("RUN" LF CR,
// CR LF, CR alone), so empty lines are dropped. A line longer than the limit is cut to the limit
// and marked, and the rest of it up to the next line end is thrown away.
class LineSplitter {
public:
    static constexpr qsizetype maxLineLength = 1024;

    struct Line {
        QByteArray text;
        bool overlong = false;
    };

    QList<Line> feed(const QByteArray& bytes);

private:
    void endLine(QList<Line>& lines);

    QByteArray current;
    bool overlong = false;
};
