#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>

class PictureBox;
class QMenu;
class QToolButton;
struct GraphScale;

// The live graph of position 1 (Grafik(1)) with its menu button: the running test's curves and
// the limit line, set with the right mouse button and drawn inverting, so that drawing it again
// removes it.
class LiveGraph : public QWidget {
    Q_OBJECT

public:
    // The draw mode in which the limit figure is drawn once initialised.
    static constexpr qint16 InvertingDrawMode = 6;

    explicit LiveGraph(const GraphScale& scale, QWidget* parent = nullptr);

    PictureBox& Graph() const { return *Grafik1; }
    // The menu of the button below the graph and of the menu key.
    void SetMenu(QMenu* menu);
    void UseInvertingDrawMode() { LimitDrawMode = InvertingDrawMode; }

    // Clears the graph and draws its frame and limit line.
    void DrawPlotFrame();
    // The curves start at x 0 and the values now shown (as texts).
    void SetCurveStart(const QString& viscosity, const QString& temperature);
    void PlotLiveSample(double viscosity, double temperature, bool temperatureOn,
        qint32 elapsedSeconds, bool continuesCurve);

    // The limit in plot units (viscosity % × 10); 0: no limit.
    float Limit() const { return LimitValue; }

signals:
    // The limit in percent as shown: Int(limit) / 10, the locale's separator, no trailing zeros.
    void limitShown(const QString& text);
    void menuRequested(const QPoint& globalPosition);

private:
    void Grafik_MouseDown(int Button, float Y);
    void Grafik_MouseMove(int Button, float Y);
    void Grafik_MouseUp(int Button);
    void TrackLimitLine(int Button, float Y);
    void DrawLimitLine();
    void EraseLimitLine();
    void ShowLimitValue();

    const GraphScale& scale;
    PictureBox* Grafik1;
    QToolButton* menuButton;
    float PrevX = 0;
    float PrevY = 0;
    float PrevTempX = 0;
    float PrevTempY = 0;
    float LimitValue = 0;
    bool LimitDragActive = false;
    qint16 LimitDrawMode = 0;
};
