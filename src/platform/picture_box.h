#pragma once

#include <QFont>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QStringList>
#include <QTimer>
#include <QTransform>
#include <QWidget>
#include <vector>

// A picture box: a drawing surface with a user scale, drawing attributes, a current position for
// text, and mouse events in user units. What is drawn stays until the box is cleared: every
// drawing step is kept in a compact list, so the picture is drawn again, crisp, at any size and
// device pixel ratio, and survives covering. Lines that join one another in one colour, as a
// curve's do, are kept as a track: per column of a fixed grid finer than any screen, where the
// curve entered and left it and how low and high it went, so that a curve of any length takes
// bounded memory and draws again in bounded time.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    // Normal: the pen colour replaces the pixels. Invert: each pixel takes its inverse colour
    // (the pen colour plays no part), so a second drawing of the same figure restores the picture.
    enum class DrawMode : quint8 { Normal, Invert };

    // Mouse buttons and shift keys as the events report them.
    static constexpr int LeftButton = 1;
    static constexpr int RightButton = 2;
    static constexpr int MiddleButton = 4;
    static constexpr int ShiftKey = 1;
    static constexpr int CtrlKey = 2;
    static constexpr int AltKey = 4;

    explicit PictureBox(QWidget* parent = nullptr);

    // The user coordinates of the top-left and the bottom-right corner; y may grow upward.
    void Scale(QPointF topLeft, QPointF bottomRight);
    QRectF UserScale() const { return userScale; }

    int DrawWidth() const { return drawWidth; }
    void setDrawWidth(int width);
    Qt::PenStyle DrawStyle() const { return drawStyle; }
    void setDrawStyle(Qt::PenStyle style) { drawStyle = style; }
    DrawMode Mode() const { return drawMode; }
    void setDrawMode(DrawMode mode) { drawMode = mode; }
    QColor ForeColor() const { return foreColor; }
    void setForeColor(const QColor& color) { foreColor = color; }
    QColor BackColor() const { return backColor; }
    // Takes effect at the next clearing, as the picture keeps its pixels until then.
    void setBackColor(const QColor& color) { backColor = color; }
    QFont TextFont() const { return textFont; }
    void setTextFont(const QFont& font) { textFont = font; }

    float CurrentX() const { return currentX; }
    float CurrentY() const { return currentY; }
    void setCurrentPosition(float x, float y);

    // A line in the foreground colour, or in the given one.
    void Line(QPointF from, QPointF to);
    void Line(QPointF from, QPointF to, const QColor& color);
    // Connected lines in the foreground colour; in the inverting mode shared corners are
    // inverted once only.
    void Polyline(const QPolygonF& points);
    // Text with its top-left corner at the current position, in the foreground colour.
    void Print(const QString& text);
    // Text as Print, moved right as far as it must be to keep clear of every text drawn before it:
    // at a small size, or with large fonts, a heading then follows its neighbour instead of
    // covering it.
    void PrintBeside(const QString& text);
    // Fills the box with the background colour; everything drawn before is gone.
    void Cls();

    // How many drawing steps are kept since the last clearing; a track counts once.
    qsizetype DrawCount() const { return strokes.size(); }
    // How many lines were drawn since the last clearing.
    qsizetype LineCount() const { return linesDrawn; }
    // The picture as the screen shows it, at the box's size and device pixel ratio.
    QImage Picture();
    // The picture drawn afresh at `logicalSize` with `ratio` pixels per unit, for printing and
    // files: lines and text keep their proportions to that size. Null when too large to hold.
    QImage PictureAt(QSize logicalSize, qreal ratio) const;
    // The picture drawn into `target` of any painter as lines and text, as large as a picture of
    // `logicalSize` would be stretched to `target`: a PDF file or printer gets it as drawing.
    void Render(QPainter& painter, const QRectF& target, QSizeF logicalSize) const;
    // Where the first text `text` lies when the picture is drawn at `logicalSize`; empty if none.
    QRectF TextBox(const QString& text, QSizeF logicalSize) const;

signals:
    void MouseDown(int button, int shift, float x, float y);
    // button: the mask of the buttons held.
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    // The user asked for the box's menu: with the right mouse button (byMouse) or the menu key.
    void MenuRequested(QPoint globalPosition, bool byMouse);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    enum class Kind : quint8 { Line, Polyline, Text, Track, TextBeside };

    // The attributes a step is drawn with; few distinct ones occur, so steps refer to them.
    struct Pen {
        QRgb color;
        int width;
        Qt::PenStyle style;
        DrawMode mode;
        int font; // index into fonts; -1 for lines
        bool operator==(const Pen&) const = default;
    };

    // One drawing step in user units. Line: (x1, y1) to (x2, y2). Polyline: figures[ref].
    // Text, TextBeside: texts[ref] at (x1, y1). Track: tracks[ref], from (x1, y1).
    struct Stroke {
        Kind kind;
        quint16 pen;
        quint32 ref;
        float x1, y1, x2, y2;
    };

    // What a track's lines did within one column of the track grid.
    struct Column {
        qint32 index;
        float firstX, firstY, lastX, lastY, lowY, highY;
    };
    // Lines of one pen, each starting where the one before ended and none going back a column.
    struct Track {
        qsizetype stroke; // its step
        std::vector<Column> columns;
    };
    // A line added to a track after the track was drawn on the canvas, not drawn there yet.
    struct PendingLine {
        quint16 pen;
        QLineF line;
    };

    // The painter of one pass over the steps and the state it was last given.
    struct Brushwork {
        QPainter& painter;
        QTransform transform;
        int pen = -1;
        int antialiased = -1;
        // The size of a logical pixel in the output's pixels.
        qreal pixelsPerUnit = 1;
    };

    void add(const Stroke& stroke);
    bool extendTrack(quint16 pen, QPointF from, QPointF to);
    void startTrack(quint16 pen, QPointF from, QPointF to);
    void closeTracks();
    void queueLine(quint16 pen, const QLineF& line);
    qint32 trackColumn(double x) const;
    void rasterizeTrack(Brushwork& brushwork, const Stroke& stroke) const;
    void drawLine(Brushwork& brushwork, quint16 pen, const QLineF& line) const;
    void updateAll();
    void updateAround(const QLineF& line, quint16 pen);
    quint16 penOf(QRgb color, bool forText = false);
    bool cancelsLastFigure(const QPolygonF& points, quint16 pen);
    void rasterizePending();
    void rasterize(Brushwork& brushwork, const Stroke& stroke) const;
    void usePen(Brushwork& brushwork, quint16 penIndex, bool antialiased) const;
    QFont fontOn(int font, const QPaintDevice* device) const;
    QRectF textBox(qsizetype index, const QTransform& transform, const QPaintDevice* device) const;
    void drawAll(QPainter& painter, QSizeF logicalSize) const;
    void ensureCanvas();
    void newCanvas();
    QTransform userToPixels() const;
    QTransform userToPixels(QSizeF area) const;
    QPointF toUser(QPointF pixel) const;
    void emitMouse(
        QMouseEvent* event, int button, void (PictureBox::*signal)(int, int, float, float));

    QRectF userScale {0, 0, 1, 1};
    int drawWidth = 1;
    Qt::PenStyle drawStyle = Qt::SolidLine;
    DrawMode drawMode = DrawMode::Normal;
    QColor foreColor;
    QColor backColor = Qt::white;
    QFont textFont;
    float currentX = 0;
    float currentY = 0;

    QList<Pen> pens;
    QList<QFont> fonts;
    QList<Stroke> strokes;
    QList<QPolygonF> figures;
    QStringList texts;
    std::vector<Track> tracks;
    // The tracks a joining line may extend, oldest first.
    QList<qsizetype> openTracks;
    QList<PendingLine> pendingLines;
    qsizetype linesDrawn = 0;
    qsizetype trackColumns = 0;
    bool wholeUpdatePending = false;
    // Steps [0, rasterized) are in the canvas; the rest are drawn at the next paint.
    qsizetype rasterized = 0;
    QImage canvas;
    QTimer redrawWhenSettled;
};
