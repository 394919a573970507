#include "platform/picture_box.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int MaxDrawWidth = 255;
// Drawings of more steps than this take a noticeable time to draw afresh.
constexpr qsizetype LargeDrawing = 50000;
constexpr int SettleMilliseconds = 150;
// Columns of the track grid across the user scale: more than the widest screen has pixels.
constexpr double TrackColumnCount = 4096;
// Tracks lines may still join: more than the curves drawn side by side.
constexpr qsizetype MaxOpenTracks = 8;
// Lines that wait for a paint before the canvas is given up and drawn afresh instead.
constexpr qsizetype MaxPendingLines = 20000;

bool IsAxisAligned(const QLineF& line)
{
    return line.p1().x() == line.p2().x() || line.p1().y() == line.p2().y();
}

int ButtonsOf(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? PictureBox::LeftButton : 0)
        | (buttons & Qt::RightButton ? PictureBox::RightButton : 0)
        | (buttons & Qt::MiddleButton ? PictureBox::MiddleButton : 0);
}

int ShiftOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? PictureBox::ShiftKey : 0)
        | (modifiers & Qt::ControlModifier ? PictureBox::CtrlKey : 0)
        | (modifiers & Qt::AltModifier ? PictureBox::AltKey : 0);
}

} // namespace

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
    , foreColor(palette().color(QPalette::WindowText))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 80);
    // A click gives the box the focus, so that the menu key opens its menu.
    setFocusPolicy(Qt::ClickFocus);
    redrawWhenSettled.setSingleShot(true);
    redrawWhenSettled.setInterval(SettleMilliseconds);
    connect(&redrawWhenSettled, &QTimer::timeout, this, [this] {
        newCanvas();
        updateAll();
    });
}

void PictureBox::Scale(QPointF topLeft, QPointF bottomRight)
{
    userScale = QRectF(topLeft, bottomRight);
    newCanvas();
    updateAll();
}

void PictureBox::setDrawWidth(int width)
{
    drawWidth = std::clamp(width, 1, MaxDrawWidth);
}

void PictureBox::setCurrentPosition(float x, float y)
{
    currentX = x;
    currentY = y;
}

void PictureBox::Line(QPointF from, QPointF to)
{
    Line(from, to, foreColor);
}

void PictureBox::Line(QPointF from, QPointF to, const QColor& color)
{
    const quint16 pen = penOf(color.rgb());
    ++linesDrawn;
    currentX = float(to.x());
    currentY = float(to.y());
    const bool trackable = drawMode == DrawMode::Normal && qIsFinite(from.x())
        && qIsFinite(from.y()) && qIsFinite(to.x()) && qIsFinite(to.y());
    if (trackable && !extendTrack(pen, from, to))
        startTrack(pen, from, to);
    else if (!trackable)
        add({Kind::Line, pen, 0, float(from.x()), float(from.y()), float(to.x()), float(to.y())});
}

// A line that starts where an open track of its pen ends, and goes on in its column or a later
// one, joins the track instead of becoming a step of its own. (Two curves may share a pen.)
bool PictureBox::extendTrack(quint16 pen, QPointF from, QPointF to)
{
    const qint32 index = trackColumn(to.x());
    const auto joined = std::find_if(openTracks.begin(), openTracks.end(), [&](qsizetype open) {
        const Track& track = tracks[std::size_t(open)];
        const Column& last = track.columns.back();
        return strokes[track.stroke].pen == pen && float(from.x()) == last.lastX
            && float(from.y()) == last.lastY && index >= last.index;
    });
    if (joined == openTracks.end())
        return false;
    Track& track = tracks[std::size_t(*joined)];
    Column& last = track.columns.back();
    const float x = float(to.x());
    const float y = float(to.y());
    if (index == last.index) {
        last.lastX = x;
        last.lastY = y;
        last.lowY = std::min(last.lowY, y);
        last.highY = std::max(last.highY, y);
    } else {
        track.columns.push_back({index, x, y, x, y, y, y});
        ++trackColumns;
    }
    const QLineF line(from, to);
    if (track.stroke < rasterized)
        queueLine(pen, line);
    updateAround(line, pen);
    return true;
}

// Lines wait for the next paint; a box that is not painted (hidden, on another tab) keeps only a
// bounded number of them and draws afresh from its steps once it is painted again.
void PictureBox::queueLine(quint16 pen, const QLineF& line)
{
    if (pendingLines.size() < MaxPendingLines) {
        pendingLines.append({pen, line});
        return;
    }
    pendingLines.clear();
    canvas = QImage();
    rasterized = 0;
}

void PictureBox::startTrack(quint16 pen, QPointF from, QPointF to)
{
    const float x = float(to.x());
    const float y = float(to.y());
    tracks.push_back({strokes.size(), {{trackColumn(to.x()), x, y, x, y, y, y}}});
    ++trackColumns;
    // The oldest open track gives way: only the curves drawn now go on.
    if (openTracks.size() == MaxOpenTracks)
        openTracks.removeFirst();
    openTracks.append(qsizetype(tracks.size() - 1));
    add({Kind::Track, pen, quint32(tracks.size() - 1), float(from.x()), float(from.y()), 0, 0});
}

// Any other step ends the open tracks, so that what is drawn after it is drawn after it again
// when the picture is drawn afresh. What is pending is drawn first, in the order it came.
void PictureBox::closeTracks()
{
    if (!canvas.isNull())
        rasterizePending();
    openTracks.clear();
}

qint32 PictureBox::trackColumn(double x) const
{
    const double width = userScale.width() / TrackColumnCount;
    const double column = width == 0 ? 0 : std::floor((x - userScale.left()) / width);
    return qint32(std::clamp(column, -TrackColumnCount, 2 * TrackColumnCount));
}

void PictureBox::Polyline(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    const quint16 pen = penOf(foreColor.rgb());
    if (cancelsLastFigure(points, pen))
        return;
    figures.append(points);
    add({Kind::Polyline, pen, quint32(figures.size() - 1), 0, 0, 0, 0});
}

void PictureBox::Print(const QString& text)
{
    texts.append(text);
    add({Kind::Text, penOf(foreColor.rgb(), true), quint32(texts.size() - 1), currentX, currentY, 0,
        0});
}

void PictureBox::PrintBeside(const QString& text)
{
    texts.append(text);
    add({Kind::TextBeside, penOf(foreColor.rgb(), true), quint32(texts.size() - 1), currentX,
        currentY, 0, 0});
}

void PictureBox::Cls()
{
    strokes.clear();
    figures.clear();
    texts.clear();
    tracks.clear();
    openTracks.clear();
    pendingLines.clear();
    linesDrawn = 0;
    trackColumns = 0;
    pens.clear();
    fonts.clear();
    rasterized = 0;
    canvas.fill(backColor);
    currentX = 0;
    currentY = 0;
    updateAll();
}

// A line repaints only its own few pixels, so that a live sample costs little.
void PictureBox::add(const Stroke& stroke)
{
    if (stroke.kind != Kind::Track)
        closeTracks();
    strokes.append(stroke);
    switch (stroke.kind) {
    case Kind::Line:
        updateAround(QLineF(stroke.x1, stroke.y1, stroke.x2, stroke.y2), stroke.pen);
        break;
    case Kind::Track: {
        const Column& first = tracks[stroke.ref].columns.front();
        updateAround(QLineF(stroke.x1, stroke.y1, first.firstX, first.firstY), stroke.pen);
        break;
    }
    default:
        updateAll();
    }
}

// The whole box repaints at the next paint; until then, the parts of single lines need not be
// named.
void PictureBox::updateAll()
{
    wholeUpdatePending = true;
    update();
}

void PictureBox::updateAround(const QLineF& line, quint16 pen)
{
    if (wholeUpdatePending)
        return;
    const QRectF area = userToPixels().mapRect(QRectF(line.p1(), line.p2()).normalized());
    const qreal margin = pens[pen].width + 1;
    update(area.adjusted(-margin, -margin, margin, margin).toAlignedRect());
}

quint16 PictureBox::penOf(QRgb color, bool forText)
{
    int font = -1;
    if (forText) {
        font = int(fonts.indexOf(textFont));
        if (font < 0) {
            fonts.append(textFont);
            font = int(fonts.size() - 1);
        }
    }
    const Pen pen {color, drawWidth, drawStyle, forText ? DrawMode::Normal : drawMode, font};
    const qsizetype found = pens.indexOf(pen);
    if (found >= 0)
        return quint16(found);
    pens.append(pen);
    return quint16(pens.size() - 1);
}

// An inverting figure drawn again right after itself takes the first one back: the picture is
// restored and the list stays short while the user drags a figure about.
bool PictureBox::cancelsLastFigure(const QPolygonF& points, quint16 pen)
{
    if (drawMode != DrawMode::Invert || strokes.isEmpty())
        return false;
    const Stroke& last = strokes.last();
    if (last.kind != Kind::Polyline || last.pen != pen || figures.last() != points)
        return false;
    if (rasterized == strokes.size() && !canvas.isNull()) {
        QPainter painter(&canvas);
        Brushwork brushwork {painter, userToPixels(), -1, -1, canvas.devicePixelRatio()};
        rasterize(brushwork, last);
        --rasterized;
    }
    strokes.removeLast();
    figures.removeLast();
    updateAll();
    return true;
}

QImage PictureBox::Picture()
{
    ensureCanvas();
    rasterizePending();
    return canvas;
}

QImage PictureBox::PictureAt(QSize logicalSize, qreal ratio) const
{
    QImage picture(logicalSize * ratio, QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    picture.setDevicePixelRatio(ratio);
    picture.fill(backColor);
    QPainter painter(&picture);
    drawAll(painter, logicalSize);
    return picture;
}

void PictureBox::Render(QPainter& painter, const QRectF& target, QSizeF logicalSize) const
{
    if (logicalSize.isEmpty() || target.isEmpty())
        return;
    painter.save();
    painter.fillRect(target, backColor);
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(target.width() / logicalSize.width(), target.height() / logicalSize.height());
    drawAll(painter, logicalSize);
    painter.restore();
}

void PictureBox::drawAll(QPainter& painter, QSizeF logicalSize) const
{
    Brushwork brushwork {painter, userToPixels(logicalSize)};
    brushwork.pixelsPerUnit = std::max(1e-3, painter.deviceTransform().m11());
    for (const Stroke& stroke : strokes)
        rasterize(brushwork, stroke);
}

QRectF PictureBox::TextBox(const QString& text, QSizeF logicalSize) const
{
    const QImage probe(1, 1, QImage::Format_RGB32);
    for (qsizetype index = 0; index < strokes.size(); ++index) {
        const Stroke& stroke = strokes[index];
        if ((stroke.kind == Kind::Text || stroke.kind == Kind::TextBeside)
            && texts[stroke.ref] == text)
            return textBox(index, userToPixels(logicalSize), &probe);
    }
    return {};
}

// Fonts keep their size in logical pixels on any device: 8 pt is as large beside the lines on a
// printer's page as on the screen.
QFont PictureBox::fontOn(int font, const QPaintDevice* device) const
{
    static const int logicalDpi = QImage(1, 1, QImage::Format_RGB32).logicalDpiY();
    QFont scaled = fonts[font];
    const int dpi = device ? device->logicalDpiY() : logicalDpi;
    if (scaled.pointSizeF() > 0 && dpi > 0 && dpi != logicalDpi)
        scaled.setPointSizeF(scaled.pointSizeF() * logicalDpi / dpi);
    return scaled;
}

// The box of a text step in the output's logical pixels; a text drawn beside the others moves
// right past every earlier plain text it would overlap.
QRectF PictureBox::textBox(
    qsizetype index, const QTransform& transform, const QPaintDevice* device) const
{
    const Stroke& stroke = strokes[index];
    const QFontMetricsF metrics(fontOn(pens[stroke.pen].font, device), device);
    QRectF box(transform.map(QPointF(stroke.x1, stroke.y1)),
        QSizeF(metrics.horizontalAdvance(texts[stroke.ref]), metrics.height()));
    if (stroke.kind != Kind::TextBeside)
        return box;
    // Moved as far as the text beside the others before it, so that lines of a heading stay
    // under one another.
    for (qsizetype earlier = index - 1; earlier >= 0; --earlier) {
        const Stroke& before = strokes[earlier];
        if (before.kind == Kind::TextBeside) {
            box.translate(textBox(earlier, transform, device).left()
                    - transform.map(QPointF(before.x1, before.y1)).x(),
                0);
            break;
        }
    }
    const qreal gap = metrics.averageCharWidth();
    for (bool moved = true; moved;) {
        moved = false;
        for (qsizetype earlier = 0; earlier < index; ++earlier) {
            if (strokes[earlier].kind != Kind::Text)
                continue;
            const QRectF other = textBox(earlier, transform, device);
            if (other.intersects(box)) {
                box.moveLeft(other.right() + gap);
                moved = true;
            }
        }
    }
    return box;
}

void PictureBox::rasterizePending()
{
    if ((rasterized == strokes.size() && pendingLines.isEmpty()) || canvas.isNull())
        return;
    QPainter painter(&canvas);
    Brushwork brushwork {painter, userToPixels(), -1, -1, canvas.devicePixelRatio()};
    for (const PendingLine& pending : std::as_const(pendingLines))
        drawLine(brushwork, pending.pen, brushwork.transform.map(pending.line));
    pendingLines.clear();
    for (; rasterized < strokes.size(); ++rasterized)
        rasterize(brushwork, strokes[rasterized]);
}

// Sets the painter's state only where a step needs another one than the step before it.
void PictureBox::usePen(Brushwork& brushwork, quint16 penIndex, bool antialiased) const
{
    if (brushwork.pen != penIndex) {
        const Pen& pen = pens[penIndex];
        const bool inverting = pen.mode == DrawMode::Invert;
        brushwork.painter.setCompositionMode(inverting ? QPainter::RasterOp_SourceXorDestination
                                                       : QPainter::CompositionMode_SourceOver);
        brushwork.painter.setPen(QPen(inverting ? QColor(Qt::white) : QColor(pen.color), pen.width,
            pen.style, Qt::FlatCap, Qt::MiterJoin));
        brushwork.pen = penIndex;
    }
    if (brushwork.antialiased != antialiased) {
        brushwork.painter.setRenderHint(QPainter::Antialiasing, antialiased);
        brushwork.antialiased = antialiased;
    }
}

// Slanting lines are smoothed; lines along an axis stay crisp, and so do inverting ones, which
// must hit the same pixels when drawn again.
void PictureBox::drawLine(Brushwork& brushwork, quint16 pen, const QLineF& line) const
{
    usePen(brushwork, pen, pens[pen].mode != DrawMode::Invert && !IsAxisAligned(line));
    brushwork.painter.drawLine(line);
}

// The columns of a track that fall into one device pixel column of the output are drawn as one:
// the line that enters the first of them and, where the track moved up or down within them, the
// height it reached. Every line drawn lies within a pixel of the track's lines.
void PictureBox::rasterizeTrack(Brushwork& brushwork, const Stroke& stroke) const
{
    QList<QLineF> crisp;
    QList<QLineF> smooth;
    const auto add
        = [&](const QLineF& line) { (IsAxisAligned(line) ? crisp : smooth).append(line); };
    const QTransform& toPixels = brushwork.transform;
    const qreal pixel = 1 / brushwork.pixelsPerUnit;
    QPointF previous = toPixels.map(QPointF(stroke.x1, stroke.y1));
    QPointF entry;
    qreal low = 0;
    qreal high = 0;
    qreal pixelColumn = std::numeric_limits<qreal>::quiet_NaN();
    const auto finishPixelColumn = [&] {
        if (low != high)
            add(QLineF(entry.x(), low, entry.x(), high));
    };
    for (const Column& column : tracks[stroke.ref].columns) {
        const QPointF first = toPixels.map(QPointF(column.firstX, column.firstY));
        const QPointF last = toPixels.map(QPointF(column.lastX, column.lastY));
        const qreal lowY = toPixels.map(QPointF(column.firstX, column.lowY)).y();
        const qreal highY = toPixels.map(QPointF(column.firstX, column.highY)).y();
        if (std::floor(first.x() / pixel) != pixelColumn) {
            finishPixelColumn();
            add(QLineF(previous, first));
            pixelColumn = std::floor(first.x() / pixel);
            entry = first;
            low = std::min(lowY, highY);
            high = std::max(lowY, highY);
        } else {
            low = std::min({low, previous.y(), lowY, highY});
            high = std::max({high, previous.y(), lowY, highY});
        }
        previous = last;
    }
    finishPixelColumn();
    usePen(brushwork, stroke.pen, false);
    brushwork.painter.drawLines(crisp);
    usePen(brushwork, stroke.pen, true);
    brushwork.painter.drawLines(smooth);
}

void PictureBox::rasterize(Brushwork& brushwork, const Stroke& stroke) const
{
    const bool inverting = pens[stroke.pen].mode == DrawMode::Invert;
    QPainter& painter = brushwork.painter;
    switch (stroke.kind) {
    case Kind::Line:
        drawLine(brushwork, stroke.pen,
            brushwork.transform.map(QLineF(stroke.x1, stroke.y1, stroke.x2, stroke.y2)));
        break;
    case Kind::Track:
        rasterizeTrack(brushwork, stroke);
        break;
    case Kind::Polyline:
        usePen(brushwork, stroke.pen, !inverting);
        painter.drawPolyline(brushwork.transform.map(figures[stroke.ref]));
        break;
    case Kind::Text:
    case Kind::TextBeside: {
        usePen(brushwork, stroke.pen, true);
        painter.setFont(fontOn(pens[stroke.pen].font, painter.device()));
        const QRectF box
            = textBox(&stroke - strokes.constData(), brushwork.transform, painter.device());
        painter.drawText(
            box.topLeft() + QPointF(0, painter.fontMetrics().ascent()), texts[stroke.ref]);
        break;
    }
    }
}

void PictureBox::newCanvas()
{
    const qreal ratio = devicePixelRatioF();
    canvas = QImage(size() * ratio, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(backColor);
    rasterized = 0;
    pendingLines.clear();
}

// The canvas follows the box's size and the screen's pixel ratio; a new one is drawn afresh.
void PictureBox::ensureCanvas()
{
    if (canvas.isNull() || canvas.size() != size() * devicePixelRatioF()
        || canvas.devicePixelRatio() != devicePixelRatioF())
        newCanvas();
}

QTransform PictureBox::userToPixels() const
{
    return userToPixels(size());
}

QTransform PictureBox::userToPixels(QSizeF area) const
{
    const QRectF user = userScale;
    if (user.width() == 0 || user.height() == 0)
        return {};
    const qreal sx = area.width() / user.width();
    const qreal sy = area.height() / user.height();
    return QTransform(sx, 0, 0, sy, -user.left() * sx, -user.top() * sy);
}

QPointF PictureBox::toUser(QPointF pixel) const
{
    return userToPixels().inverted().map(pixel);
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    wholeUpdatePending = false;
    ensureCanvas();
    rasterizePending();
    const QRectF area = event->rect();
    const qreal ratio = canvas.devicePixelRatio();
    QPainter painter(this);
    painter.drawImage(area, canvas, QRectF(area.topLeft() * ratio, area.size() * ratio));
}

// A large drawing is stretched while the size keeps changing, and drawn afresh once it settles,
// so that dragging the window's edge stays smooth.
void PictureBox::resizeEvent(QResizeEvent*)
{
    if (strokes.size() + trackColumns < LargeDrawing || canvas.isNull()) {
        ensureCanvas();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    canvas = canvas.scaled(size() * ratio, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    canvas.setDevicePixelRatio(ratio);
    redrawWhenSettled.start();
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emitMouse(event, ButtonsOf(event->button()), &PictureBox::MouseDown);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    emitMouse(event, ButtonsOf(event->buttons()), &PictureBox::MouseMove);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    emitMouse(event, ButtonsOf(event->button()), &PictureBox::MouseUp);
}

void PictureBox::contextMenuEvent(QContextMenuEvent* event)
{
    emit MenuRequested(event->globalPos(), event->reason() == QContextMenuEvent::Mouse);
}

void PictureBox::emitMouse(
    QMouseEvent* event, int button, void (PictureBox::*signal)(int, int, float, float))
{
    const QPointF user = toUser(event->position());
    emit(this->*signal)(button, ShiftOf(event->modifiers()), float(user.x()), float(user.y()));
}
