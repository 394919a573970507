// Line assembly and dispatch of received replies with the whole window alive, and the whole
// receive path of a running test: display, live curves and the data line in the file.
#include "bench_support.h"
#include "memory_serial_line.h"
#include "platform/environment.h"
#include "platform/picture_box.h"
#include "window/form1.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QRadioButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int ReplyCount = 100000;

// A realistic mix: mostly time and data replies, some starts, ends, numbers and noise.
QByteArray MixedReplies()
{
    const QList<QByteArray> pattern
        = {"*I00000060\r\n", "*A00000000123023.5\r\n", "*I00000070\r\n", "*A00000000122023.6\r\n",
            "*T0001234\r\n", "*OK! RUN\r\n", "garbage \x01\x80\xff\r\n", "*A0000000012"};
    QByteArray bytes;
    for (int index = 0; index < ReplyCount; ++index)
        bytes += pattern[index % pattern.size()];
    return bytes;
}

void BM_ReceiveAndDispatch(benchmark::State& state)
{
    QTemporaryDir folder;
    const BenchWindow bench = MakeBenchWindow(folder.path());
    MemorySerialLine* serial = bench.line;

    const QByteArray replies = MixedReplies();
    const qsizetype chunk = state.range(0);
    for (auto _ : state) {
        for (qsizetype offset = 0; offset < replies.size(); offset += chunk)
            serial->deliver(replies.mid(offset, chunk));
    }
    state.counters["lines_per_second"]
        = benchmark::Counter(double(state.iterations()) * ReplyCount, benchmark::Counter::kIsRate);
}

// A window with a 15-minute test running on position 1, temperature on, writing to
// <folder>/Serie. Message boxes are counted instead of shown.
struct RunningTestSetup {
    RunningTestSetup()
    {
        FormEnvironment environment;
        environment.clock = [] { return QDateTime(QDate(2026, 12, 6), QTime(10, 30)); };
        environment.answerer = [this](int, const QString&, const QString&) {
            ++messages;
            return MsgResult::Cancel;
        };
        BenchWindow bench = MakeBenchWindow(folder.path(), std::move(environment));
        window = std::move(bench.window);
        serial = bench.line;
        QDir(folder.path()).mkdir("Serie");
        window->findChild<QComboBox*>("TabProtDatei")->addItem("Serie");
        window->findChild<QRadioButton*>("TempOnOff1")->setChecked(true);
        window->findChild<QComboBox*>("Messzeit")->setCurrentIndex(0);
        serial->deliver("*S11\r");
        headerBytes = fileBytes();
        frameLines = LiveGraphBox().LineCount();
    }

    bool running() const { return window->findChild<TestRun*>()->IsRunning(1); }

    PictureBox& LiveGraphBox() const { return *window->findChild<PictureBox*>("Grafik1"); }

    // The size of the one file in the measurement folder.
    qint64 fileBytes() const
    {
        const QFileInfoList files
            = QDir(folder.filePath("Serie")).entryInfoList({"*.CSV"}, QDir::Files);
        return files.size() == 1 ? files.first().size() : -1;
    }

    // The segments of the live curves, without the plot frame.
    qsizetype liveSegments() const { return LiveGraphBox().LineCount() - frameLines; }

    QTemporaryDir folder;
    MemorySerialLine* serial = nullptr;
    std::unique_ptr<Form1> window;
    int messages = 0;
    qint64 headerBytes = -1;
    qsizetype frameLines = 0;
};

// The replies of one sample: "*I" with the elapsed seconds, then "*A" with a viscosity that
// wanders between 20.0 and 80.0 % and a temperature between 21.5 and 25.5 °.
class ReplyPair {
public:
    ReplyPair()
    {
        constexpr int Cycle = 3600;
        samples.reserve(Cycle);
        for (int step = 0; step < Cycle; ++step) {
            const int tenths = int(std::lround(500 + 300 * std::sin(step / 97.0)));
            const double temperature = 23.5 + 2 * std::sin(step / 311.0);
            samples.append(QByteArray("*A000000")
                + QByteArray::number(tenths).rightJustified(5, '0')
                + QByteArray::number(temperature, 'f', 1).rightJustified(5, '0') + '\r');
        }
    }

    // The "*I" reply of the given second; the buffer is reused.
    const QByteArray& elapsed(qint64 seconds)
    {
        char* digits = time.data() + 2;
        for (int place = 7; place >= 0; --place, seconds /= 10)
            digits[place] = char('0' + seconds % 10);
        return time;
    }

    const QByteArray& sample(qint64 seconds) const
    {
        return samples[qsizetype(seconds % samples.size())];
    }

private:
    QByteArray time = QByteArrayLiteral("*I00000000\r");
    QList<QByteArray> samples;
};

// One pair of replies a second of the test, each reply its own receive event.
void DeliverPair(RunningTestSetup& setup, ReplyPair& replies, qint64 seconds)
{
    setup.serial->deliver(replies.elapsed(seconds));
    setup.serial->deliver(replies.sample(seconds));
}

// Checks after `pairs` pairs: still running, no message, a data line of at least
// "00:00:01 ;50.0;23.5" and CR LF per pair in the file, and two segments per pair but the first.
const char* RunningTestFault(const RunningTestSetup& setup, qint64 pairs)
{
    constexpr qint64 ShortestDataLine = 21;
    if (!setup.running())
        return "the test is no longer running";
    if (setup.messages != 0)
        return "a message box was raised";
    if (setup.fileBytes() - setup.headerBytes < pairs * ShortestDataLine)
        return "data lines missing in the measurement file";
    if (setup.liveSegments() != 2 * pairs)
        return "live curve segments missing";
    return nullptr;
}

void BM_ReceivePath(benchmark::State& state)
{
    RunningTestSetup setup;
    if (!setup.running()) {
        state.SkipWithError("the test did not start");
        return;
    }
    // Shown with its status bar, as in use: the events of each pair, the paints among them, are
    // handled before the next.
    setup.window->resize(1280, 900);
    setup.window->show();
    QCoreApplication::processEvents();
    ReplyPair replies;
    qint64 seconds = 0;
    for (auto _ : state) {
        DeliverPair(setup, replies, ++seconds);
        QCoreApplication::processEvents();
    }
    if (const char* fault = RunningTestFault(setup, seconds)) {
        state.SkipWithError(fault);
        return;
    }
    state.counters["pairs_per_second"]
        = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// The growth of the process over a million pairs, one a second (11.6 days of test time). The
// live graph keeps every segment it draws (24 bytes each); the rest should stay flat.
void BM_ReceivePathMemory(benchmark::State& state)
{
    constexpr qint64 FirstCount = 100000;
    constexpr qint64 PairCount = 1000000;
    constexpr double MiB = 1 << 20;
    for (auto _ : state) {
        RunningTestSetup setup;
        ReplyPair replies;
        const long before = ResidentBytes();
        qint64 seconds = 0;
        while (seconds < FirstCount)
            DeliverPair(setup, replies, ++seconds);
        const long afterFirst = ResidentBytes();
        const qsizetype segmentsFirst = setup.liveSegments();
        while (seconds < PairCount)
            DeliverPair(setup, replies, ++seconds);
        const long after = ResidentBytes();
        const qsizetype segments = setup.liveSegments();
        if (const char* fault = RunningTestFault(setup, seconds)) {
            state.SkipWithError(fault);
            return;
        }
        state.counters["rss_growth_MiB_100k"] = double(afterFirst - before) / MiB;
        state.counters["rss_growth_MiB_1M"] = double(after - before) / MiB;
        state.counters["segments_MiB_100k"] = double(segmentsFirst) * 24 / MiB;
        state.counters["segments_MiB_1M"] = double(segments) * 24 / MiB;
        state.counters["pairs_per_second"]
            = benchmark::Counter(double(PairCount), benchmark::Counter::kIsRate);
    }
}

} // namespace

// Chunks of 16 bytes are what a serial port delivers per event at 9600 baud; 4096 a burst.
BENCHMARK(BM_ReceiveAndDispatch)->Arg(16)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReceivePath)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReceivePathMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    return RunBenchmarksInApplication(argc, argv);
}
