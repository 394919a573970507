#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <benchmark/benchmark.h>
#include <fstream>
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
