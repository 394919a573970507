// The graphs' hot paths: redrawing the stored curves, one live sample, and raw QPainter lines as
// the baseline; and the memory a 100-hour live test takes for its drawing.
#include "platform/environment.h"
#include "platform/flex_grid.h"
#include "platform/memory_serial_line.h"
#include "platform/picture_box.h"
#include "platform/text_file.h"
#include "window/form1.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPainter>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cmath>
#include <fstream>
#include <unistd.h>

namespace {

constexpr int StoredTests = 20;
constexpr int LinesPerTest = 3600;
const QSize GraphSize(1000, 600);

// A window showing its graphs offscreen, temperature on, on the 5-hour axis.
struct GraphWindowSetup {
    GraphWindowSetup()
    {
        auto line = std::make_unique<MemorySerialLine>();
        FormEnvironment environment;
        environment.programFolder = folder.path();
        environment.startFolder = folder.path();
        environment.serialBackend = std::move(line);
        window = std::make_unique<Form1>(std::move(environment));
        window->Timer2->stop();
        window->resize(1600, 1000);
        window->show();
        window->TempOnOff[1]->setChecked(true);
        window->DurationIndex = 5;
        window->TempSkal_Click(1);
        for (PictureBox* graph : window->Grafik)
            graph->setFixedSize(GraphSize);
        QCoreApplication::processEvents();
    }

    // Test i: 3,600 data lines, one every 5 seconds, falling viscosity and a wavy temperature.
    void writeStoredTests()
    {
        QDir(folder.path()).mkdir("Serie");
        window->TabProtDatei->addItem("Serie");
        window->FormatCurveList();
        window->WahlTab->setRows(StoredTests + 1);
        for (int test = 1; test <= StoredTests; ++test) {
            QStringList lines(11, "Kopf;");
            for (int step = 0; step < LinesPerTest; ++step) {
                const int seconds = step * 5;
                const double viscosity = 80 * std::exp(-seconds / (2000.0 * test)) + 5;
                const double temperature = 22 + std::sin(seconds / 900.0 + test);
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
            window->WahlTab->setTextMatrix(test, 0, number);
            window->WahlTab->setTextMatrix(test, 1, QString::number(position));
            window->WahlTab->setTextMatrix(test, 2, "-1");
        }
    }

    void startLiveTest()
    {
        window->PositionRunning[1] = 1;
        window->LastSampleSeconds[1] = 1;
    }

    QTemporaryDir folder;
    std::unique_ptr<Form1> window;
};

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    long paints = 0;
};

long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

void BM_RedrawStoredCurves(benchmark::State& state)
{
    GraphWindowSetup setup;
    setup.writeStoredTests();
    for (auto _ : state) {
        setup.window->RedrawStoredCurves();
        benchmark::DoNotOptimize(setup.window->Grafik[0]->Picture());
    }
    state.counters["segments"] = double(setup.window->Grafik[0]->DrawCount());
}

void BM_PlotLiveSample(benchmark::State& state)
{
    GraphWindowSetup setup;
    setup.window->SSTab1->setCurrentIndex(1);
    QCoreApplication::processEvents();
    setup.startLiveTest();
    PaintCounter counter;
    setup.window->Grafik[1]->installEventFilter(&counter);
    qint32 seconds = 0;
    for (auto _ : state) {
        setup.window->ElapsedSeconds = ++seconds;
        setup.window->PlotLiveSample(1, 50 + std::sin(seconds / 50.0) * 30, 23.5, true);
        QCoreApplication::processEvents();
    }
    state.counters["paints_per_sample"] = double(counter.paints) / double(state.iterations());
}

void BM_RawSegments(benchmark::State& state)
{
    const int segments = StoredTests * LinesPerTest * 2;
    QImage image(GraphSize, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QPointF previous(0, 300);
        for (int segment = 0; segment < segments; ++segment) {
            const QPointF next((segment % LinesPerTest) * 0.27, 300 + std::sin(segment) * 200);
            painter.setPen(QPen(segment % 2 ? Qt::red : Qt::black, 1));
            painter.drawLine(previous, next);
            previous = next;
        }
    }
}

// The growth of the process while a 100-hour test draws one sample a second.
void BM_LiveTestMemory100h(benchmark::State& state)
{
    constexpr qint32 Samples = 100 * 3600;
    for (auto _ : state) {
        GraphWindowSetup setup;
        setup.window->DurationIndex = 9;
        setup.startLiveTest();
        const long before = ResidentBytes();
        for (qint32 seconds = 1; seconds <= Samples; ++seconds) {
            setup.window->ElapsedSeconds = seconds;
            setup.window->PlotLiveSample(1, 50 + std::sin(seconds / 500.0) * 30, 23.5, true);
        }
        benchmark::DoNotOptimize(setup.window->Grafik[1]->Picture());
        state.counters["grown_MiB"] = double(ResidentBytes() - before) / (1 << 20);
    }
}

} // namespace

BENCHMARK(BM_RedrawStoredCurves)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotLiveSample)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawSegments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveTestMemory100h)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
