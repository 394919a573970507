#pragma once

#include <QImage>
#include <QPageLayout>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QPagedPaintDevice;
class QPainter;

// Draws a picture at the pixel size asked for; `ratio` is pixels per logical unit of the picture.
using PictureSource = std::function<QImage(QSize pixels, qreal ratio)>;
// Paints a figure in its own logical units on the painter it is given.
using FigurePainter = std::function<void(QPainter& painter)>;

// The printer control: a page-oriented drawing surface with a user scale, a current position,
// font settings, lines, text, pictures, new page and end of document. Positions are in user units;
// text is placed with its top-left corner at the current position, as the grid's printouts expect.
class Printer {
public:
    virtual ~Printer() = default;

    // The user scale: `area` (for example 0,0 800x680) covers the printable area of every page.
    virtual void setScale(const QRectF& area) = 0;
    // Turns the pages of the document; only before anything is drawn.
    virtual void setOrientation(QPageLayout::Orientation orientation) = 0;
    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual void setCurrentPosition(const QPointF& position) = 0;
    // Line width in pixels of a 96-dpi screen, so a line looks alike on every printer.
    virtual void setDrawWidth(int width) = 0;
    virtual void Line(const QPointF& from, const QPointF& to) = 0;
    // Prints text at the current position; the position then moves to the next line. A cut
    // width above 0 ends the text's ink that far to the right, in user units.
    virtual void Print(const QString& text, double cutWidth) = 0;
    void Print(const QString& text) { Print(text, 0); }
    // How far the text reaches across in the current font, in user units.
    virtual double TextWidth(const QString& text) = 0;
    // A picture of `logicalSize` proportions, as large as fits into `area`, at its top, centred
    // across it and drawn at the device's own resolution.
    virtual void DrawPicture(
        const QRectF& area, const QSizeF& logicalSize, const PictureSource& picture)
        = 0;
    // A figure placed as DrawPicture places a picture; a device that paints gets it as lines and
    // text, any other its picture.
    virtual void DrawFigure(
        const QRectF& area, const QSizeF& logicalSize, const FigurePainter& paint);
    virtual void NewPage() = 0;
    // Finishes the document; false when any part of it could not be drawn or written.
    virtual bool EndDoc() = 0;
    // Abandons the document: nothing of it is printed or written, and EndDoc tells false.
    virtual void KillDoc() = 0;
};

// A print job draws a whole document on the printer it is given.
using PrintJob = std::function<void(Printer&)>;

// Paints on a paged device: a QPrinter (a real printer or a PDF file) or a QPdfWriter. Painting
// starts with the first drawing call.
class PaintingPrinter : public Printer {
public:
    explicit PaintingPrinter(QPagedPaintDevice& device);
    ~PaintingPrinter() override;

    using Printer::Print;
    void setScale(const QRectF& area) override;
    void setOrientation(QPageLayout::Orientation orientation) override;
    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void setCurrentPosition(const QPointF& position) override;
    void setDrawWidth(int width) override;
    void Line(const QPointF& from, const QPointF& to) override;
    void Print(const QString& text, double cutWidth) override;
    double TextWidth(const QString& text) override;
    void DrawPicture(
        const QRectF& area, const QSizeF& logicalSize, const PictureSource& picture) override;
    void DrawFigure(
        const QRectF& area, const QSizeF& logicalSize, const FigurePainter& paint) override;
    void NewPage() override;
    bool EndDoc() override;
    void KillDoc() override;

    // False once the device could not be painted on or a part of the document could not be drawn.
    bool isValid() const { return valid; }

private:
    QPainter* painter();
    QPointF toDevice(const QPointF& user) const;
    std::optional<QRectF> pictureTarget(const QRectF& area, const QSizeF& logicalSize);
    QFont currentFont() const;
    double devicePixelsPerScreenPixel() const;

    QPagedPaintDevice& device;
    std::unique_ptr<QPainter> active;
    QRectF scale {0, 0, 1, 1};
    QString fontName = QStringLiteral("Arial");
    double fontSize = 8;
    bool fontBold = false;
    QPointF position;
    int drawWidth = 1;
    bool valid = true;
};
