// Loading a long protocol file (32,767 records) into the record table and the curve list of a
// live window, hidden and shown; and the bare reading and cutting of the same lines as the
// baseline.
#include "bench_support.h"
#include "memory_serial_line.h"
#include "platform/environment.h"
#include "platform/flex_grid.h"
#include "platform/print_output.h"
#include "platform/text_file.h"
#include "print/protocol_printout.h"
#include "records/protocol_file.h"
#include "settings/settings_file.h"
#include "window/form1.h"
#include "window/record_keeping.h"
#include "window/settings_panel.h"

#include <QApplication>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

constexpr int RecordCount = 32767;
constexpr int GridRows = RecordCount + 1;
// The tab of the record table (ProtTab).
constexpr int ProtocolTab = 6;
constexpr double MiB = 1 << 20;

// The record table, found by its name.
FlexGrid& Table(const Form1& window)
{
    return *window.findChild<FlexGrid*>(QStringLiteral("ProtTab"));
}
const QString SeriesName = QStringLiteral("Serie");

// The heap in use, in bytes: what the loads keep, however the allocator reuses freed memory.
double HeapBytes()
{
    const struct mallinfo2 heap = mallinfo2();
    return double(heap.uordblks + heap.hblkhd);
}

// Texts that change from record to record, as a real series has them; the products and remarks
// contain umlauts, which the file holds in Windows-1252, and now and then a ";".
QString Pick(const QStringList& texts, int number, int step)
{
    return texts[(number * step) % texts.size()];
}

TestRecordTexts RecordTexts(int number)
{
    static const QStringList products = {"Hydrauliköl HLP 46", "Motorenöl 5W-30", "Getriebeöl",
        "Schmierfett NLGI 2", "Probe;Kunde A", "Bohröl wassermischbar", "Turbinenöl T 32", ""};
    static const QStringList remarks = {"", "Nachmessung", "Kunde reklamiert Viskosität",
        "Temperatur überprüft", "Charge gesperrt", "ok", "Vergleich mit Vorjahr; siehe Akte"};
    static const QStringList cycles = {" 10 Sekunden", " 30 Sekunden", "  1 Minute", "  5 Minuten"};
    TestRecordTexts test;
    test.testNumber = number;
    test.position = (number - 1) % 3 + 1;
    test.texts.product = Pick(products, number, 1) + QString(" %1").arg(number % 97);
    test.texts.order = QStringLiteral("A-%1").arg(100000 + number * 7);
    test.texts.batch = QStringLiteral("CH %1").arg(number % 5000);
    test.texts.remark1 = Pick(remarks, number, 1);
    test.texts.remark2 = Pick(remarks, number, 3);
    test.texts.remark3 = Pick(remarks, number, 5);
    test.texts.date = QStringLiteral("%1.%2.2026")
                          .arg(number % 28 + 1, 2, 10, QChar('0'))
                          .arg(number % 12 + 1, 2, 10, QChar('0'));
    test.texts.time = QStringLiteral("%1:%2")
                          .arg(number / 60 % 24, 2, 10, QChar('0'))
                          .arg(number % 60, 2, 10, QChar('0'));
    test.texts.cycle = Pick(cycles, number, 1);
    return test;
}

// The header line and the records of tests 1 to 32,767.
QStringList ProtocolLines()
{
    QStringList lines {CreatedHeaderLine()};
    lines.reserve(GridRows);
    for (int number = 1; number <= RecordCount; ++number)
        lines << TestRecord(RecordTexts(number), u';');
    return lines;
}

// A window on a temporary folder that holds "Serie.CSV", not loaded before listAndSelect().
struct RecordWindowSetup {
    RecordWindowSetup()
    {
        window = MakeBenchWindow(folder.path()).window;
        // Written after the window's load event, which would otherwise list and load it.
        WriteTextLines(protocolPath(), ProtocolLines(), WriteMode::Create);
    }

    QString protocolPath() const { return folder.filePath(SeriesName + QStringLiteral(".CSV")); }

    // Lists the protocol files and selects "Serie", which loads it the first time.
    void listAndSelect()
    {
        window->findChild<SettingsPanel*>()->RememberProtocolName(SeriesName);
        window->findChild<SettingsPanel*>()->ShowStorageFolder();
    }

    void show()
    {
        window->resize(1600, 1000);
        window->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(ProtocolTab);
        window->show();
        QCoreApplication::processEvents();
    }

    bool complete() const
    {
        return Table(*window).Rows() == GridRows
            && window->findChild<FlexGrid*>("WahlTab")->Rows() == GridRows;
    }

    QTemporaryDir folder;
    std::unique_ptr<Form1> window;
};

// Arg 0: the window stays hidden; 1: shown on the protocol tab, the events of each load handled
// (layout and painting of the grid) before the next.
void BM_LoadProtocolFile(benchmark::State& state)
{
    const bool shown = state.range(0) != 0;
    RecordWindowSetup setup;
    if (shown)
        setup.show();
    // Freed memory of the runs before goes back to the system first; otherwise the loads would
    // reuse it and the resident size would not show them.
    malloc_trim(0);
    const long before = ResidentBytes();
    const double heapBefore = HeapBytes();
    setup.listAndSelect();
    if (shown)
        QCoreApplication::processEvents();
    const long afterFirst = ResidentBytes();
    if (!setup.complete()) {
        state.SkipWithError("the first load did not fill both grids");
        return;
    }
    PaintCounter counter;
    Table(*setup.window).viewport()->installEventFilter(&counter);
    for (auto _ : state) {
        setup.window->findChild<RecordKeeping*>()->ReloadProtocolFile();
        if (shown)
            QCoreApplication::processEvents();
    }
    const long after = ResidentBytes();
    const double heapAfter = HeapBytes();
    if (!setup.complete()) {
        state.SkipWithError("the grids do not hold the header and every record");
        return;
    }
    state.counters["rss_growth_MiB"] = double(after - before) / MiB;
    state.counters["rss_first_load_MiB"] = double(afterFirst - before) / MiB;
    state.counters["heap_growth_MiB"] = (heapAfter - heapBefore) / MiB;
    state.counters["grid_paints_per_load"] = double(counter.paints) / double(state.iterations());
    state.counters["records_per_second"]
        = benchmark::Counter(double(state.iterations()) * RecordCount, benchmark::Counter::kIsRate);
}

// Reads the protocol file line by line and cuts every record into cells, as a load must at the
// least: the number of cells, or -1 when the file cannot be opened.
qsizetype ReadAndSplit(const QString& path)
{
    TextFileReader file;
    if (!file.Open(path))
        return -1;
    file.ReadLine();
    qsizetype cellCount = 0;
    while (const std::optional<QString> line = file.ReadLine()) {
        const QStringList cells = RecordCells(*line);
        cellCount += cells.size();
        benchmark::DoNotOptimize(cells.constData());
    }
    return cellCount;
}

constexpr qsizetype CellsOfAllRecords = qsizetype(RecordCount) * std::size(ProtocolFile::CellCuts);

void BM_ReadAndSplitLines(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(SeriesName + QStringLiteral(".CSV"));
    WriteTextLines(path, ProtocolLines(), WriteMode::Create);
    for (auto _ : state) {
        if (ReadAndSplit(path) != CellsOfAllRecords) {
            state.SkipWithError("not every record was read");
            return;
        }
    }
    state.counters["records_per_second"]
        = benchmark::Counter(double(state.iterations()) * RecordCount, benchmark::Counter::kIsRate);
}

// The window built through its whole initialisation on a folder whose only protocol file holds
// 32,767 records, minus the same on a folder whose protocol file holds its header only. The
// counter ratio_to_read_and_split compares that with reading and cutting the file once, measured
// in the same iterations.
void BM_StartUpWithProtocol(benchmark::State& state)
{
    QTemporaryDir full, empty;
    WriteTextLines(
        full.filePath(SeriesName + QStringLiteral(".CSV")), ProtocolLines(), WriteMode::Create);
    WriteTextLines(empty.filePath(SeriesName + QStringLiteral(".CSV")), {CreatedHeaderLine()},
        WriteMode::Create);
    double readAndSplit = 0;
    double startUp = 0;
    for (auto _ : state) {
        // The windows are closed after the clock stops.
        BenchWindow withRecordsBuilt, withoutRecordsBuilt;
        const double withRecords
            = MillisecondsOf([&] { withRecordsBuilt = MakeBenchWindow(full.path()); });
        const double withoutRecords
            = MillisecondsOf([&] { withoutRecordsBuilt = MakeBenchWindow(empty.path()); });
        if (Table(*withRecordsBuilt.window).Rows() != GridRows) {
            state.SkipWithError("the start-up did not show every record");
            return;
        }
        readAndSplit += MillisecondsOf(
            [&] { ReadAndSplit(full.filePath(SeriesName + QStringLiteral(".CSV"))); });
        startUp += withRecords - withoutRecords;
        state.SetIterationTime((withRecords - withoutRecords) / 1000);
    }
    state.counters["read_and_split_ms"] = readAndSplit / double(state.iterations());
    state.counters["ratio_to_read_and_split"] = startUp / readAndSplit;
}

// The whole list of 32,767 records written as a PDF file, as "Drucken" to a PDF printer does.
// The window is given its events between pages: max_gap_ms is the longest it waits for them,
// end_ms the time from the last page to the written file.
void BM_PrintAllRecords(benchmark::State& state)
{
    QTemporaryDir folder;
    PrintedTable table {RecordTableCaptions(), {}, {}, {}};
    for (const QString& line : ProtocolLines().mid(1))
        table.rows.push_back(RecordCells(line));
    int pages = 0;
    double longestGap = 0;
    double end = 0;
    for (auto _ : state) {
        auto lastEvents = std::chrono::steady_clock::now();
        const bool written = WritePdfFile(folder.filePath("Messprotokoll.pdf"),
            A4Page(QPageLayout::Portrait), QStringLiteral("Messprotokoll"), [&](Printer& printer) {
                PrintRecordTable(printer, table, PrintKind::List, [&](int page, int total) {
                    longestGap = std::max(longestGap, MillisecondsSince(lastEvents));
                    QCoreApplication::processEvents();
                    lastEvents = std::chrono::steady_clock::now();
                    pages = total;
                    return page > 0;
                });
            });
        end = std::max(end, MillisecondsSince(lastEvents));
        if (!written) {
            state.SkipWithError("the PDF file was not written");
            return;
        }
    }
    state.counters["pages"] = pages;
    state.counters["max_gap_ms"] = longestGap;
    state.counters["end_ms"] = end;
}

// Damaged files met at the start. Arg 0: a protocol file of 1 MiB of nothing but line ends,
// listed and loaded into the table; arg 1: a settings file of 60 MB of short lines, read while the
// window is built. The counters give the most heap held after a run and the resident growth; the
// program's peak resident size is measured outside, with /usr/bin/time -v.
void BM_DamagedFiles(benchmark::State& state)
{
    const bool settingsFile = state.range(0) == 1;
    QTemporaryDir folder;
    std::unique_ptr<Form1> window;
    if (settingsFile) {
        QFile file(folder.filePath(SettingsFileName));
        if (!file.open(QIODevice::WriteOnly) || !file.write(QByteArray("x\r\n").repeated(20000000)))
            state.SkipWithError("the settings file cannot be written");
    } else {
        window = MakeBenchWindow(folder.path()).window;
        QFile file(folder.filePath(SeriesName + QStringLiteral(".CSV")));
        if (!file.open(QIODevice::WriteOnly)
            || !file.write(CreatedHeaderLine().toLatin1() + QByteArray("\r\n").repeated(1 << 19)))
            state.SkipWithError("the protocol file cannot be written");
        window->findChild<SettingsPanel*>()->RememberProtocolName(SeriesName);
    }
    malloc_trim(0);
    const long before = ResidentBytes();
    const double heapBefore = HeapBytes();
    double heapGrowth = 0;
    for (auto _ : state) {
        if (settingsFile) {
            const BenchWindow built = MakeBenchWindow(folder.path());
            heapGrowth = std::max(heapGrowth, (HeapBytes() - heapBefore) / MiB);
            benchmark::DoNotOptimize(built.window.get());
        } else {
            window->findChild<SettingsPanel*>()->ShowStorageFolder();
            heapGrowth = std::max(heapGrowth, (HeapBytes() - heapBefore) / MiB);
        }
    }
    if (window && Table(*window).Rows() != 1)
        state.SkipWithError("lines without a record became rows");
    state.counters["heap_growth_MiB"] = heapGrowth;
    state.counters["rss_growth_MiB"] = double(ResidentBytes() - before) / MiB;
}

} // namespace

BENCHMARK(BM_LoadProtocolFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndSplitLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUpWithProtocol)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintAllRecords)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_DamagedFiles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunBenchmarksInApplication(argc, argv);
}
