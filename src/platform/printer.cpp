#include "platform/printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace {
constexpr double ScreenDpi = 96;
// The longest side of a picture in pixels: about 350 dpi across a landscape A4 page, 64 MB; more
// only costs time, which a graph of a million steps would make the user wait for.
constexpr int LongestPictureSide = 4000;

// The largest rectangle of `proportions` inside `area`, at its top and centred across it.
QRectF Fitted(const QRectF& area, const QSizeF& proportions)
{
    QRectF fitted(QPointF(), proportions.scaled(area.size(), Qt::KeepAspectRatio));
    fitted.moveCenter(area.center());
    fitted.moveTop(area.top());
    return fitted;
}
} // namespace

PaintingPrinter::PaintingPrinter(QPagedPaintDevice& paintDevice)
    : device(paintDevice)
{
}

PaintingPrinter::~PaintingPrinter()
{
    if (active && active->isActive())
        active->end();
}

// The painter, begun on the device at the first use; nothing when the device cannot be painted on
// or the document has ended, and what was to be drawn then is lost: the document is not valid.
QPainter* PaintingPrinter::painter()
{
    if (!active) {
        active = std::make_unique<QPainter>();
        valid = active->begin(&device) && valid;
    }
    if (active->isActive())
        return active.get();
    valid = false;
    return nullptr;
}

// Drawing happens in device pixels, so that fonts keep their point sizes and lines their widths
// although the user scale stretches x and y differently.
QPointF PaintingPrinter::toDevice(const QPointF& user) const
{
    return {(user.x() - scale.left()) * device.width() / scale.width(),
        (user.y() - scale.top()) * device.height() / scale.height()};
}

double PaintingPrinter::devicePixelsPerScreenPixel() const
{
    return device.logicalDpiX() / ScreenDpi;
}

void PaintingPrinter::setScale(const QRectF& area)
{
    if (area.width() != 0 && area.height() != 0)
        scale = area;
}

void PaintingPrinter::setOrientation(QPageLayout::Orientation orientation)
{
    if (!active)
        device.setPageOrientation(orientation);
}

void PaintingPrinter::setFontName(const QString& name)
{
    fontName = name;
}

void PaintingPrinter::setFontSize(double points)
{
    fontSize = points;
}

void PaintingPrinter::setFontBold(bool bold)
{
    fontBold = bold;
}

void PaintingPrinter::setCurrentPosition(const QPointF& where)
{
    position = where;
}

void PaintingPrinter::setDrawWidth(int width)
{
    drawWidth = width;
}

void PaintingPrinter::Line(const QPointF& from, const QPointF& to)
{
    QPainter* canvas = painter();
    if (!canvas)
        return;
    canvas->setPen(QPen(Qt::black, std::max(1, drawWidth) * devicePixelsPerScreenPixel()));
    canvas->drawLine(toDevice(from), toDevice(to));
}

void PaintingPrinter::Print(const QString& text, double cutWidth)
{
    QPainter* canvas = painter();
    if (!canvas)
        return;
    const QFont font = currentFont();
    canvas->setFont(font);
    canvas->setPen(Qt::black);
    const QFontMetricsF metrics(font, &device);
    const QPointF topLeft = toDevice(position);
    canvas->save();
    if (cutWidth > 0) {
        const QPointF cut = toDevice(position + QPointF(cutWidth, 0));
        canvas->setClipRect(
            QRectF(topLeft.x(), topLeft.y(), cut.x() - topLeft.x(), metrics.height()));
    }
    canvas->drawText(topLeft + QPointF(0, metrics.ascent()), text);
    canvas->restore();
    position.setY(position.y() + metrics.height() * scale.height() / device.height());
    position.setX(scale.left());
}

double PaintingPrinter::TextWidth(const QString& text)
{
    return QFontMetricsF(currentFont(), &device).horizontalAdvance(text) * scale.width()
        / device.width();
}

QFont PaintingPrinter::currentFont() const
{
    QFont font(fontName);
    font.setPointSizeF(fontSize > 0 ? fontSize : 8);
    font.setBold(fontBold);
    return font;
}

// Where a picture or figure of `logicalSize` goes in `area`, in device pixels; nothing when there
// is no painter. A picture without size leaves a gap: the document is wrong.
std::optional<QRectF> PaintingPrinter::pictureTarget(const QRectF& area, const QSizeF& logicalSize)
{
    if (!painter())
        return std::nullopt;
    if (logicalSize.isEmpty()) {
        valid = false;
        return std::nullopt;
    }
    return Fitted(QRectF(toDevice(area.topLeft()), toDevice(area.bottomRight())), logicalSize);
}

void PaintingPrinter::DrawPicture(
    const QRectF& area, const QSizeF& logicalSize, const PictureSource& picture)
{
    const std::optional<QRectF> placed = pictureTarget(area, logicalSize);
    if (!placed)
        return;
    const QRectF& target = *placed;
    const QSize pixels
        = target.size()
              .scaled(QSizeF(LongestPictureSide, LongestPictureSide), Qt::KeepAspectRatio)
              .boundedTo(target.size())
              .toSize();
    if (pixels.isEmpty())
        return;
    const QImage image = picture(pixels, pixels.width() / logicalSize.width());
    // A picture that could not be made leaves a gap too.
    if (image.isNull()) {
        valid = false;
        return;
    }
    painter()->drawImage(target, image);
}

void Printer::DrawFigure(const QRectF& area, const QSizeF& logicalSize, const FigurePainter& paint)
{
    DrawPicture(area, logicalSize, [&paint](QSize pixels, qreal ratio) {
        QImage image(pixels, QImage::Format_RGB32);
        if (image.isNull())
            return image;
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        QPainter painter(&image);
        paint(painter);
        return image;
    });
}

void PaintingPrinter::DrawFigure(
    const QRectF& area, const QSizeF& logicalSize, const FigurePainter& paint)
{
    const std::optional<QRectF> placed = pictureTarget(area, logicalSize);
    if (!placed)
        return;
    const QRectF& target = *placed;
    QPainter* canvas = painter();
    canvas->save();
    canvas->translate(target.topLeft());
    canvas->scale(target.width() / logicalSize.width(), target.height() / logicalSize.height());
    paint(*canvas);
    canvas->restore();
}

// A printer's job is aborted before it ends, so that no page of it comes out; a document in
// memory (a PDF file yet to be written) is simply not valid.
void PaintingPrinter::KillDoc()
{
    if (auto* printer = dynamic_cast<QPrinter*>(&device); printer && active && active->isActive())
        printer->abort();
    if (active && active->isActive())
        active->end();
    valid = false;
}

void PaintingPrinter::NewPage()
{
    valid = painter() && device.newPage() && valid;
}

// Begins the painting if nothing was drawn, so that an empty document still has its page. Once
// ended, the document stays as it is and a further call only tells how it went.
bool PaintingPrinter::EndDoc()
{
    if (!active)
        painter();
    if (active->isActive())
        valid = active->end() && valid;
    return valid;
}
