// Line assembly and dispatch of received replies with the whole window alive.
#include "platform/environment.h"
#include "platform/memory_serial_line.h"
#include "window/form1.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

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
    auto line = std::make_unique<MemorySerialLine>();
    MemorySerialLine* serial = line.get();
    serial->setPresentPorts({1});
    FormEnvironment environment;
    environment.programFolder = folder.path();
    environment.startFolder = folder.path();
    environment.serialBackend = std::move(line);
    Form1 window(std::move(environment));

    const QByteArray replies = MixedReplies();
    const qsizetype chunk = state.range(0);
    for (auto _ : state) {
        for (qsizetype offset = 0; offset < replies.size(); offset += chunk)
            serial->deliver(replies.mid(offset, chunk));
    }
    state.counters["lines_per_second"]
        = benchmark::Counter(double(state.iterations()) * ReplyCount, benchmark::Counter::kIsRate);
}

} // namespace

// Chunks of 16 bytes are what a serial port delivers per event at 9600 baud; 4096 a burst.
BENCHMARK(BM_ReceiveAndDispatch)->Arg(16)->Arg(4096)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
