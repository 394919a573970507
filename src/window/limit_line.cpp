// The limit line: set with the right mouse button on the live graph, drawn inverting so that
// drawing it again removes it.
#include "graph/plot_frame.h"
#include "platform/picture_box.h"
#include "window/form1.h"

#include <QLineEdit>
#include <cmath>

namespace {

constexpr float LowestLimit = 5;
constexpr float HighestLimit = 1000;

// The limit line from the viscosity ticks across the plot and the triangle at its right end.
QPolygonF LimitFigure(float limit)
{
    return {{-40, limit}, {Plot::Width, limit}, {3680, limit + 30}, {3680, limit - 30},
        {Plot::Width, limit}};
}

PictureBox::DrawMode ModeOf(qint16 drawMode)
{
    return drawMode == GraphWindow::InvertingDrawMode ? PictureBox::DrawMode::Invert
                                                      : PictureBox::DrawMode::Normal;
}

} // namespace

void Form1::Grafik_MouseDown(int Index, int Button, int Shift, float X, float Y)
{
    TrackLimitLine(Index, Button, Shift, X, Y);
}

void Form1::Grafik_MouseMove(int Index, int Button, int Shift, float X, float Y)
{
    if (LimitDragActive)
        TrackLimitLine(Index, Button, Shift, X, Y);
}

void Form1::Grafik_MouseUp(int, int Button, int, float, float)
{
    if (Button == PictureBox::RightButton) {
        EraseLimitLine(1);
        DrawLimitLine(1);
    }
    LimitDragActive = false;
}

// The comparison graph has no limit: a drag there is ignored.
void Form1::TrackLimitLine(int Index, int Button, int, float, float Y)
{
    if (Index != 1)
        return;
    if (!LimitDragActive) {
        if (Button != PictureBox::RightButton)
            return;
        LimitDragActive = true;
    }
    const float limit = std::isnan(Y) ? LowestLimit : std::clamp(Y, LowestLimit, HighestLimit);
    PictureBox& graph = *Grafik[Index];
    graph.setDrawMode(ModeOf(LimitDrawMode));
    if (LimitValue[Index] > 0)
        graph.Polyline(LimitFigure(LimitValue[Index]));
    if (limit > LowestLimit) {
        graph.Polyline(LimitFigure(limit));
        LimitValue[Index] = limit;
    } else {
        LimitValue[Index] = 0;
    }
    ShowLimitValue(Index);
    graph.setDrawMode(PictureBox::DrawMode::Normal);
}

void Form1::DrawLimitLine(int Index)
{
    if (!GraphAt(Index))
        return;
    const float limit = LimitValue[Index];
    if (limit > LowestLimit) {
        PictureBox& graph = *Grafik[Index];
        graph.setDrawMode(ModeOf(LimitDrawMode));
        graph.Polyline(LimitFigure(limit));
        graph.setDrawMode(PictureBox::DrawMode::Normal);
    } else {
        LimitValue[Index] = 0;
    }
    ShowLimitValue(Index);
}

void Form1::EraseLimitLine(int Index)
{
    if (!GraphAt(Index))
        return;
    PictureBox& graph = *Grafik[Index];
    graph.setDrawMode(ModeOf(LimitDrawMode));
    if (LimitValue[Index] > 0)
        graph.Polyline(LimitFigure(LimitValue[Index]));
    graph.setDrawMode(PictureBox::DrawMode::Normal);
}

// The limit in percent: Int(limit) / 10 with the locale's separator and no trailing zeros.
void Form1::ShowLimitValue(int Index)
{
    if (GWert[Index])
        GWert[Index]->setText(QLocale().toString(std::floor(LimitValue[Index]) / 10, 'g', 7));
}
