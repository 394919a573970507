#pragma once

#include "platform/printer.h"

#include <QList>
#include <QStringList>

// A printer that keeps every text and line with its page, in user units, for tests.
class RecordingPrinter : public Printer {
public:
    struct Text {
        int page;
        QPointF position;
        double size;
        bool bold;
        QString text;
        double cutWidth;
    };
    struct Rule {
        int page;
        QPointF from;
        QPointF to;
        int width;
    };
    struct Picture {
        int page;
        QRectF area;
        QSizeF logicalSize;
        QImage image;
    };

    using Printer::Print;
    void setScale(const QRectF& area) override { scale = area; }
    void setFontName(const QString& name) override { fontName = name; }
    void setFontSize(double points) override { fontSize = points; }
    void setFontBold(bool bold) override { fontBold = bold; }
    void setCurrentPosition(const QPointF& position) override { current = position; }
    void setDrawWidth(int width) override { drawWidth = width; }
    void Line(const QPointF& from, const QPointF& to) override
    {
        rules.append({pages, from, to, drawWidth});
    }
    void Print(const QString& text, double cutWidth) override
    {
        texts.append({pages, current, fontSize, fontBold, text, cutWidth});
    }
    // The picture is asked for at its logical size, one pixel per unit.
    void DrawPicture(
        const QRectF& area, const QSizeF& logicalSize, const PictureSource& picture) override
    {
        pictures.append({pages, area, logicalSize, picture(logicalSize.toSize(), 1)});
    }
    void NewPage() override { ++pages; }
    bool EndDoc() override
    {
        ++endings;
        return true;
    }

    // The texts of one page, in the order printed.
    QList<Text> textsOn(int page) const
    {
        QList<Text> onPage;
        for (const Text& text : texts) {
            if (text.page == page)
                onPage.append(text);
        }
        return onPage;
    }

    QRectF scale;
    QString fontName;
    double fontSize = 0;
    bool fontBold = false;
    QPointF current;
    int drawWidth = 1;
    int pages = 1;
    int endings = 0;
    QList<Text> texts;
    QList<Rule> rules;
    QList<Picture> pictures;
};
