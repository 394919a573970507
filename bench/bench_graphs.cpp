// The graphs' hot paths: redrawing the stored curves, one live sample, and raw QPainter lines as
// the baseline; and the memory a 100-hour live test takes for its drawing.
#include "bench_support.h"
#include "platform/picture_box.h"
#include "platform/text_file.h"
#include "window/comparison_panel.h"
#include "window/graph_scale.h"
#include "window/live_graph.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <array>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int StoredTests = 20;
constexpr int LinesPerTest = 3600;
const QSize GraphSize(1000, 600);

// Test i has 3,600 data lines, one every 5 seconds: a falling viscosity and a wavy temperature,
// with one decimal as the file holds them.
std::pair<double, double> StoredValues(int test, int seconds)
{
    const double viscosity = 80 * std::exp(-seconds / (2000.0 * test)) + 5;
    const double temperature = 22 + std::sin(seconds / 900.0 + test);
    return {std::round(viscosity * 10) / 10, std::round(temperature * 10) / 10};
}

// Both graphs shown offscreen, temperature on, on the 5-hour axis at 0-50 °C.
struct GraphSetup {
    GraphSetup()
        : live(scale)
        , comparison(scale, [this] { return folder.filePath("Serie") + QDir::separator(); })
    {
        scale.DurationIndex = 5;
        scale.TempScaleFactor = TempScaleFactorOf(1);
        for (QWidget* graph : std::initializer_list<QWidget*> {&live, &comparison}) {
            graph->resize(1600, 1000);
            graph->show();
        }
        live.Graph().setFixedSize(GraphSize);
        comparison.Graph().setFixedSize(GraphSize);
        live.DrawPlotFrame();
        comparison.ResetComparisonGraph();
        QCoreApplication::processEvents();
    }

    void writeStoredTests()
    {
        QDir(folder.path()).mkdir("Serie");
        comparison.FormatCurveList();
        for (int test = 1; test <= StoredTests; ++test) {
            QStringList lines(11, "Kopf;");
            for (int step = 0; step < LinesPerTest; ++step) {
                const int seconds = step * 5;
                const auto [viscosity, temperature] = StoredValues(test, seconds);
                lines << QString("%1:%2:%3 ;%4;%5")
                             .arg(seconds / 3600, 2, 10, QChar('0'))
                             .arg(seconds / 60 % 60, 2, 10, QChar('0'))
                             .arg(seconds % 60, 2, 10, QChar('0'))
                             .arg(viscosity, 5, 'f', 1)
                             .arg(temperature, 5, 'f', 1);
            }
            const QString number = QString::number(test).rightJustified(5, '0');
            const int position = (test - 1) % 3 + 1;
            WriteTextLines(folder.filePath(QString("Serie/No-%1-%2.CSV").arg(number).arg(position)),
                lines, WriteMode::Create);
            comparison.AddCurveRows({{number, QString::number(position)}});
            comparison.SetShown(test, true);
        }
    }

    QTemporaryDir folder;
    GraphScale scale;
    LiveGraph live;
    ComparisonPanel comparison;
};

void BM_RedrawStoredCurves(benchmark::State& state)
{
    GraphSetup setup;
    setup.writeStoredTests();
    for (auto _ : state) {
        setup.comparison.RedrawStoredCurves();
        benchmark::DoNotOptimize(setup.comparison.Graph().Picture());
    }
    state.counters["segments"] = double(setup.comparison.Graph().LineCount());
}

// One more curve shown beside 19 (3,600 lines each), each already read once; the counter
// hide_ms gives the time to hide it again, which draws the 19 afresh.
void BM_ToggleStoredCurve(benchmark::State& state)
{
    GraphSetup setup;
    setup.writeStoredTests();
    setup.comparison.ShowCurve(StoredTests, false);
    setup.comparison.Graph().Picture();
    double hidden = 0;
    for (auto _ : state) {
        setup.comparison.ShowCurve(StoredTests, true);
        benchmark::DoNotOptimize(setup.comparison.Graph().Picture());
        state.PauseTiming();
        hidden += MillisecondsOf([&setup] {
            setup.comparison.ShowCurve(StoredTests, false);
            benchmark::DoNotOptimize(setup.comparison.Graph().Picture());
        });
        state.ResumeTiming();
    }
    state.counters["hide_ms"] = hidden / double(state.iterations());
}

void BM_PlotLiveSample(benchmark::State& state)
{
    GraphSetup setup;
    PaintCounter counter;
    setup.live.Graph().installEventFilter(&counter);
    qint32 seconds = 0;
    for (auto _ : state) {
        ++seconds;
        setup.live.PlotLiveSample(50 + std::sin(seconds / 50.0) * 30, 23.5, true, seconds, true);
        QCoreApplication::processEvents();
    }
    state.counters["paints_per_sample"] = double(counter.paints) / double(state.iterations());
}

// The segments the redraw draws, in pixels of the graph: per data line a viscosity segment in
// the position's colour and a temperature segment in red, on the 5-hour axis at 0-50 °C.
std::vector<std::pair<QLineF, QColor>> StoredSegments()
{
    const QTransform toPixels
        = QTransform::fromScale(GraphSize.width() / 4000.0, -GraphSize.height() / 1220.0)
              .translate(200, -1120);
    const std::array<QColor, 3> colours {Qt::black, Qt::blue, Qt::red};
    std::vector<std::pair<QLineF, QColor>> segments;
    for (int test = 1; test <= StoredTests; ++test) {
        QPointF viscosityFrom(0, StoredValues(test, 0).first * 10);
        QPointF temperatureFrom(0, StoredValues(test, 0).second * 20);
        for (int step = 0; step < LinesPerTest; ++step) {
            const auto [viscosity, temperature] = StoredValues(test, step * 5);
            const double x = std::round(3600.0 / 300 / 60 * step * 5);
            const QPointF viscosityTo(x, viscosity * 10);
            const QPointF temperatureTo(x, temperature * 20);
            segments.emplace_back(
                toPixels.map(QLineF(viscosityFrom, viscosityTo)), colours[(test - 1) % 3]);
            segments.emplace_back(toPixels.map(QLineF(temperatureFrom, temperatureTo)), Qt::red);
            viscosityFrom = viscosityTo;
            temperatureFrom = temperatureTo;
        }
    }
    return segments;
}

void BM_RawSegments(benchmark::State& state)
{
    const std::vector<std::pair<QLineF, QColor>> segments = StoredSegments();
    QImage image(GraphSize, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const auto& [line, colour] : segments) {
            painter.setPen(colour);
            painter.drawLine(line);
        }
    }
    state.counters["segments"] = double(segments.size());
}

// A 100-hour test drawn one sample a second on the live graph: a wavering viscosity and a
// temperature that drifts with the room.
void PlotLiveTest100h(GraphSetup& setup)
{
    constexpr qint32 Samples = 100 * 3600;
    setup.scale.DurationIndex = 9;
    for (qint32 seconds = 1; seconds <= Samples; ++seconds) {
        setup.live.PlotLiveSample(50 + std::sin(seconds / 500.0) * 30 + std::sin(seconds * 1.3),
            23.5 + std::sin(seconds / 7000.0), true, seconds, true);
    }
}

// The growth of the process while a 100-hour test draws one sample a second.
void BM_LiveTestMemory100h(benchmark::State& state)
{
    for (auto _ : state) {
        GraphSetup setup;
        const long before = ResidentBytes();
        PlotLiveTest100h(setup);
        benchmark::DoNotOptimize(setup.live.Graph().Picture());
        state.counters["grown_MiB"] = double(ResidentBytes() - before) / (1 << 20);
    }
}

// The live graph of a 100-hour test drawn afresh after its size changed, alternately to
// 1600 × 1000 and back to 1000 × 600.
void BM_ResizeLiveGraph100h(benchmark::State& state)
{
    GraphSetup setup;
    PlotLiveTest100h(setup);
    PictureBox& graph = setup.live.Graph();
    graph.Picture();
    bool large = false;
    for (auto _ : state) {
        large = !large;
        graph.setFixedSize(large ? QSize(1600, 1000) : GraphSize);
        benchmark::DoNotOptimize(graph.Picture());
    }
    state.counters["steps"] = double(graph.DrawCount());
}

} // namespace

BENCHMARK(BM_RedrawStoredCurves)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToggleStoredCurve)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotLiveSample)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawSegments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveTestMemory100h)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ResizeLiveGraph100h)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunBenchmarksInApplication(argc, argv);
}
