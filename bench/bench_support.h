#pragma once

#include "instrument/instrument_link.h"
#include "memory_serial_line.h"
#include "platform/environment.h"
#include "window/form1.h"

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fstream>
#include <memory>
#include <unistd.h>

// Shared pieces of the benchmark programs.

// The resident memory of this process in bytes, from /proc/self/statm.
inline long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// A window on a folder (its program and start folder) with an in-memory serial line on which port
// 1 exists; `environment` may bring a clock or an answerer.
struct BenchWindow {
    std::unique_ptr<Form1> window;
    MemorySerialLine* line = nullptr;
};

inline BenchWindow MakeBenchWindow(const QString& folder, FormEnvironment environment = {})
{
    auto line = std::make_unique<MemorySerialLine>();
    MemorySerialLine* serial = line.get();
    serial->setPresentPorts({1});
    environment.programFolder = folder;
    environment.startFolder = folder;
    environment.serialBackend = std::move(line);
    auto window = std::make_unique<Form1>(std::move(environment));
    // Connected at once, so that no search tick falls into a measurement.
    serial->deliver("*OK! RUN\r");
    window->findChild<InstrumentLink*>()->Timer2_Timer();
    return {std::move(window), serial};
}

// Milliseconds since `start` on the steady clock.
inline double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Milliseconds the call takes.
template <class Call> double MillisecondsOf(Call call)
{
    const auto start = std::chrono::steady_clock::now();
    call();
    return MillisecondsSince(start);
}

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

// Runs the registered benchmarks inside a headless Qt application.
inline int RunBenchmarksInApplication(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
