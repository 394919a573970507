#include "window/live_graph.h"

#include "graph/plot_frame.h"
#include "numbers/value_format.h"
#include "platform/picture_box.h"
#include "window/graph_scale.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr float LowestLimit = 5;
constexpr float HighestLimit = 1000;
const QColor Red(PlotColour::Red);

// The limit line from the viscosity ticks across the plot and the triangle at its right end.
QPolygonF LimitFigure(float limit)
{
    return {{-40, limit}, {Plot::Width, limit}, {3680, limit + 30}, {3680, limit - 30},
        {Plot::Width, limit}};
}

PictureBox::DrawMode ModeOf(qint16 drawMode)
{
    return drawMode == LiveGraph::InvertingDrawMode ? PictureBox::DrawMode::Invert
                                                    : PictureBox::DrawMode::Normal;
}

} // namespace

// The right button sets the limit line, so the graph's menu opens from a button below it (or
// with the menu key).
LiveGraph::LiveGraph(const GraphScale& graphScale, QWidget* parent)
    : QWidget(parent)
    , scale(graphScale)
    , Grafik1(new PictureBox)
    , menuButton(new QToolButton)
{
    Grafik1->setObjectName("Grafik1");
    SetUpGraph(*Grafik1);
    menuButton->setText(QStringLiteral("Grafik speichern / drucken"));
    menuButton->setPopupMode(QToolButton::InstantPopup);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(menuButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grafik1, 1);
    layout->addLayout(buttons);
    connect(Grafik1, &PictureBox::MouseDown, this,
        [this](int button, int, float, float y) { Grafik_MouseDown(button, y); });
    connect(Grafik1, &PictureBox::MouseMove, this,
        [this](int button, int, float, float y) { Grafik_MouseMove(button, y); });
    connect(Grafik1, &PictureBox::MouseUp, this,
        [this](int button, int, float, float) { Grafik_MouseUp(button); });
    connect(Grafik1, &PictureBox::MenuRequested, this, [this](QPoint where, bool byMouse) {
        if (!byMouse)
            emit menuRequested(where);
    });
}

void LiveGraph::SetMenu(QMenu* menu)
{
    menuButton->setMenu(menu);
}

void LiveGraph::DrawPlotFrame()
{
    DrawPlotAxes(*Grafik1, scale);
    if (LimitValue > 0)
        DrawLimitLine();
}

void LiveGraph::SetCurveStart(const QString& viscosity, const QString& temperature)
{
    PrevX = 0;
    PrevY = float(ReadShownValue(viscosity) * 10);
    PrevTempX = 0;
    PrevTempY = float(ReadShownValue(temperature) * 10 / scale.TempScaleFactor);
}

void LiveGraph::PlotLiveSample(double viscosity, double temperature, bool temperatureOn,
    qint32 elapsedSeconds, bool continuesCurve)
{
    PictureBox& graph = *Grafik1;
    const float y = PlotOrdinate(viscosity * 10);
    float x = 0;
    graph.setDrawWidth(2);
    if (continuesCurve) {
        x = float(PlotX(elapsedSeconds, scale.CurrentDurationMinutes()));
        if (const auto segment = WithinTimeAxis({PrevX, PrevY}, {x, y}))
            graph.Line(segment->p1(), segment->p2());
    }
    PrevX = x;
    PrevY = y;
    graph.setDrawWidth(1);
    if (temperatureOn) {
        const float temperatureY = PlotOrdinate(temperature * 10 / scale.TempScaleFactor);
        const auto segment = continuesCurve
            ? WithinTimeAxis({PrevTempX, PrevTempY}, {x, temperatureY})
            : std::nullopt;
        if (segment)
            graph.Line(segment->p1(), segment->p2(), Red);
        PrevTempX = x;
        PrevTempY = temperatureY;
    }
}

void LiveGraph::Grafik_MouseDown(int Button, float Y)
{
    TrackLimitLine(Button, Y);
}

void LiveGraph::Grafik_MouseMove(int Button, float Y)
{
    if (LimitDragActive)
        TrackLimitLine(Button, Y);
}

void LiveGraph::Grafik_MouseUp(int Button)
{
    if (Button == PictureBox::RightButton) {
        EraseLimitLine();
        DrawLimitLine();
    }
    LimitDragActive = false;
}

void LiveGraph::TrackLimitLine(int Button, float Y)
{
    if (!LimitDragActive) {
        if (Button != PictureBox::RightButton)
            return;
        LimitDragActive = true;
    }
    const float limit = std::isnan(Y) ? LowestLimit : std::clamp(Y, LowestLimit, HighestLimit);
    PictureBox& graph = *Grafik1;
    graph.setDrawMode(ModeOf(LimitDrawMode));
    if (LimitValue > 0)
        graph.Polyline(LimitFigure(LimitValue));
    if (limit > LowestLimit) {
        graph.Polyline(LimitFigure(limit));
        LimitValue = limit;
    } else {
        LimitValue = 0;
    }
    ShowLimitValue();
    graph.setDrawMode(PictureBox::DrawMode::Normal);
}

void LiveGraph::DrawLimitLine()
{
    if (LimitValue > LowestLimit) {
        Grafik1->setDrawMode(ModeOf(LimitDrawMode));
        Grafik1->Polyline(LimitFigure(LimitValue));
        Grafik1->setDrawMode(PictureBox::DrawMode::Normal);
    } else {
        LimitValue = 0;
    }
    ShowLimitValue();
}

void LiveGraph::EraseLimitLine()
{
    Grafik1->setDrawMode(ModeOf(LimitDrawMode));
    if (LimitValue > 0)
        Grafik1->Polyline(LimitFigure(LimitValue));
    Grafik1->setDrawMode(PictureBox::DrawMode::Normal);
}

void LiveGraph::ShowLimitValue()
{
    emit limitShown(QLocale().toString(std::floor(LimitValue) / 10, 'g', 7));
}
