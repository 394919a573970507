#include "platform/printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

namespace {
constexpr double ScreenDpi = 96;
} // namespace

PaintingPrinter::PaintingPrinter(QPagedPaintDevice& paintDevice)
    : device(paintDevice)
{
}

PaintingPrinter::~PaintingPrinter()
{
    EndDoc();
}

// The painter, begun on the device at the first use; nothing when the device cannot be painted on.
QPainter* PaintingPrinter::painter()
{
    if (!active) {
        active = std::make_unique<QPainter>();
        valid = active->begin(&device) && valid;
    }
    return active->isActive() ? active.get() : nullptr;
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

void PaintingPrinter::Print(const QString& text)
{
    QPainter* canvas = painter();
    if (!canvas)
        return;
    QFont font(fontName);
    font.setPointSizeF(fontSize > 0 ? fontSize : 8);
    font.setBold(fontBold);
    canvas->setFont(font);
    canvas->setPen(Qt::black);
    const QFontMetricsF metrics(font, &device);
    const QPointF topLeft = toDevice(position);
    canvas->drawText(topLeft + QPointF(0, metrics.ascent()), text);
    position.setY(position.y() + metrics.height() * scale.height() / device.height());
    position.setX(scale.left());
}

void PaintingPrinter::NewPage()
{
    valid = painter() && device.newPage() && valid;
}

void PaintingPrinter::EndDoc()
{
    if (active && active->isActive())
        active->end();
}
