#pragma once

#include "platform/printer.h"

#include <QList>
#include <QStringList>

// A printer that keeps every text with its page, in user units, for tests.
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

    using Printer::Print;
    void setScale(const QRectF&) override { }
    void setOrientation(QPageLayout::Orientation turned) override { orientation = turned; }
    void setFontName(const QString&) override { }
    void setFontSize(double points) override { fontSize = points; }
    void setFontBold(bool bold) override { fontBold = bold; }
    void setCurrentPosition(const QPointF& position) override { current = position; }
    void setDrawWidth(int) override { }
    void Line(const QPointF&, const QPointF&) override { }
    void Print(const QString& text, double cutWidth) override
    {
        texts.append({pages, current, fontSize, fontBold, text, cutWidth});
    }
    // Every character as wide as the font size times characterWidth, so that tests can count.
    double TextWidth(const QString& text) override
    {
        return double(text.size()) * fontSize * characterWidth;
    }
    void DrawPicture(const QRectF&, const QSizeF&, const PictureSource&) override { }
    void NewPage() override { ++pages; }
    bool EndDoc() override { return !killed; }
    void KillDoc() override { killed = true; }

    // The texts printed at that page and height, in order.
    QStringList textsAt(int page, double y) const
    {
        QStringList found;
        for (const Text& text : texts) {
            if (text.page == page && text.position.y() == y)
                found.append(text.text);
        }
        return found;
    }

    double fontSize = 0;
    double characterWidth = 0.1;
    bool fontBold = false;
    QPointF current;
    int pages = 1;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    bool killed = false;
    QList<Text> texts;
};
