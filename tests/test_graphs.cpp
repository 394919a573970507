// The graphs, checked by the pixels they show: the plot geometry, the comparison panel's colours,
// the window's controls of axes, curves and limit line, and the picture and PDF files they save.
#include "graph/plot_frame.h"
#include "platform/picture_box.h"
#include "platform/text_file.h"
#include "run_driver.h"
#include "test_support.h"
#include "window/comparison_panel.h"
#include "window/graph_export.h"
#include "window/graph_scale.h"

#include <QFileDialog>
#include <QMenu>
#include <QProcess>
#include <cmath>

namespace {

// A plot point and the colour expected there.
struct Ink {
    int x;
    int y;
    QRgb colour;
};

// A graph drawn afresh at one pixel per plot unit: plot x, y lies at pixel x + 200, 1120 - y.
QImage Drawn(const QWidget& window, const QString& graph)
{
    return Find<PictureBox>(window, graph).PictureAt({4000, 1220}, 1);
}

// Whether the colour lies within a pixel of plot point x, y.
bool Inked(const QImage& image, Ink ink)
{
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (image.pixel(ink.x + 200 + dx, 1120 - ink.y + dy) == ink.colour)
                return true;
        }
    }
    return false;
}

const QColor Blue(0x00, 0x72, 0xb2);
const QColor Vermilion(0xd5, 0x5e, 0x00);
const QColor Green(0x00, 0x9e, 0x73);
const QColor Purple(0xcc, 0x79, 0xa7);
const QColor Orange(0xe6, 0x9f, 0x00);
const QColor Sky(0x56, 0xb4, 0xe9);
const QColor Yellow(0xf0, 0xe4, 0x42);

// A colour mixed half with white, as temperature curves are drawn.
QRgb Light(const QColor& colour)
{
    return qRgb((colour.red() + 255) / 2, (colour.green() + 255) / 2, (colour.blue() + 255) / 2);
}

// The pixel rows of column x within 3 of plot y that have the colour.
int InkRows(const QImage& image, int x, int y, QRgb colour)
{
    int rows = 0;
    for (int dy = -3; dy <= 3; ++dy)
        rows += image.pixel(x + 200, 1120 - y + dy) == colour ? 1 : 0;
    return rows;
}

// The comparison panel on its own, with nine records of products "Öl 1" to "Öl 9"; tests 1 to 4
// are stored at 10, 20, 30, 40 % and 27.5 to 42.5 °C up to 20 minutes, past the axis' end, but
// test 2 falls from 20 % at three minutes to 5 % at four.
// 15-minute axis (one minute is x 240), 0-50 °C (1 °C is y 20).
struct Comparison {
    Comparison()
        : panel(scale, [this] { return folder.path() + '/'; })
    {
        scale.DurationIndex = 1;
        panel.FormatCurveList();
        QStringList records;
        for (int test = 1; test <= 9; ++test) {
            const QString level = QString("%1.0; %2").arg(10 * test).arg(22.5 + 5 * test);
            QStringList lines = QStringList(11, "Kopf;")
                << "00:01:00 ; " + level << "00:03:00 ; " + level;
            lines << (test == 2 ? "00:04:00 ; 5.0; 32.5" : "00:20:00 ; " + level);
            if (test <= 4)
                WriteTextLines(folder.filePath(QString("No-0000%1-1.CSV").arg(test)), lines,
                    WriteMode::Create);
            records << QString("0000%1-1 Öl %1").arg(test);
        }
        panel.AddCurveRows(records);
        panel.ResetComparisonGraph();
    }
    QImage drawn() const { return panel.Graph().PictureAt({4000, 1220}, 1); }

    ScopedLocale german {QLocale(QLocale::German, QLocale::Germany)};
    QTemporaryDir folder;
    GraphScale scale;
    ComparisonPanel panel;
};

// A window on protocol "Serie7" of the temporary folder, temperature measurement on or off.
struct GraphFixture : WindowFixture {
    explicit GraphFixture(bool temperatureOn)
    {
        Find<QRadioButton>(*window, temperatureOn ? "TempOnOff1" : "TempOnOff0").setChecked(true);
        QDir(folder.path()).mkdir("Serie7");
        Find<QComboBox>(*window, "TabProtDatei").addItem("Serie7");
    }
    ScopedLocale german {QLocale(QLocale::German, QLocale::Germany)};
};

// A graph drawn with its axes; one with a legend also shows a curve in the legend's colour.
struct Exported {
    Exported(QSize size, QList<GraphLegendEntry> legend = {})
        : export_(graph,
            {[] { return QString("Prüfserie – 07.12.2026"); }, [] { return QString("Messung-1"); },
                [] { return QString(); },
                legend.isEmpty() ? std::function<QList<GraphLegendEntry>()>()
                                 : [legend] { return legend; }},
            {}, [this](const QString& text, int, const QString&) { reports.append(text); })
    {
        SetUpGraph(graph);
        graph.resize(size);
        DrawPlotAxes(graph, GraphScale());
        if (!legend.isEmpty())
            graph.Line({0, 500}, {3600, 500}, legend.first().colour);
    }

    // The menu's entry, with the next file dialog answered by the file.
    void saveThroughTheMenu(const QString& path)
    {
        QTimer::singleShot(0, [path] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                dialog->selectFile(path);
                static_cast<QDialog*>(dialog)->accept();
            }
        });
        const QList<QAction*> entries = export_.Menu()->actions();
        QCOMPARE(entries.first()->text(), QStringLiteral("Grafik als Bild speichern …"));
        entries.first()->trigger();
    }

    PictureBox graph;
    GraphExport export_;
    QStringList reports;
};

bool Inked(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour)
                return true;
        }
    }
    return false;
}

// Pixels of `picture` that differ from the background and have no such pixel within `reach`
// pixels in `other`.
int InkMissingIn(const QImage& picture, const QImage& other, QRgb background, int reach)
{
    int missing = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) == background)
                continue;
            bool near = false;
            for (int dy = -reach; dy <= reach && !near; ++dy) {
                for (int dx = -reach; dx <= reach && !near; ++dx)
                    near = other.valid(x + dx, y + dy) && other.pixel(x + dx, y + dy) != background;
            }
            missing += near ? 0 : 1;
        }
    }
    return missing;
}

} // namespace

Q_DECLARE_METATYPE(Ink)
Q_DECLARE_METATYPE(QList<QColor>)

class GraphsTest : public QObject {
    Q_OBJECT

private slots:
    void durations_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        // The seconds of one unit of the time labels, and the last label.
        QTest::addColumn<int>("labelUnit");
        QTest::addColumn<QString>("lastTimeLabel");

        QTest::newRow("60 minutes") << 3 << " 60 Minuten  " << 60 << " 60 ";
        QTest::newRow("2 hours, labelled in minutes") << 4 << "  2 Stunden  " << 60 << " 120 ";
        QTest::newRow("5 hours") << 5 << "  5 Stunden  " << 3600 << " 5 ";
        QTest::newRow("20 hours, labelled in days") << 7 << " 20 Stunden  " << 86400 << " 10 ";
    }

    // A sample at the time of the last time label lands at the right end of the time axis.
    void durations()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(int, labelUnit);
        QFETCH(QString, lastTimeLabel);
        const DurationRow* row = DurationTableRow(index);
        QVERIFY(row);
        QCOMPARE(QString::fromLatin1(row->text), text);
        const double lastLabel = double(Plot::Width) / row->timeLabelDivisor;
        QCOMPARE(TimeLabel(lastLabel), lastTimeLabel);
        QCOMPARE(PlotX(lastLabel * labelUnit, row->minutes), double(Plot::Width));
        QVERIFY(!DurationTableRow(0) && !DurationTableRow(Plot::DurationCount + 1));
    }

    void withinTimeAxis_data()
    {
        QTest::addColumn<QLineF>("segment");
        QTest::addColumn<QLineF>("drawn"); // null: nothing is drawn

        QTest::newRow("on the axis") << QLineF(0, 10, 3600, 20) << QLineF(0, 10, 3600, 20);
        QTest::newRow("leaving the axis")
            << QLineF(3500, 100, 3700, 300) << QLineF(3500, 100, 3600, 200);
        QTest::newRow("coming back") << QLineF(3800, 0, 3400, 400) << QLineF(3600, 200, 3400, 400);
        QTest::newRow("beyond") << QLineF(3601, 10, 4000, 20) << QLineF();
    }

    // A test that runs past its duration ends at the end of the time axis.
    void withinTimeAxis()
    {
        QFETCH(QLineF, segment);
        QFETCH(QLineF, drawn);
        QCOMPARE(WithinTimeAxis(segment.p1(), segment.p2()).value_or(QLineF()), drawn);
    }

    void storedCurves_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QStringList>("dataLines");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QList<Ink>>("inks");
        QTest::addColumn<bool>("temperatureCurve");

        QTest::newRow("position 2, 0-150 °C")
            << 2 << QStringList {"00:01:00 ; 15.0; 37.5", "00:03:00 ; 15.0; 37.5"} << 3
            << QList<Ink> {{120, 150, Blue.rgb()}, {360, 250, Light(Blue)}} << true;
        QTest::newRow("position 3, two-field lines")
            << 3 << QStringList {"00:01:00 ; 15.0", "00:02:00 ; 15.0"} << 1
            << QList<Ink> {{120, 150, Blue.rgb()}} << false;
        QTest::newRow("no temperature measured")
            << 1 << QStringList {"00:01:00 ; 15.0;  0.0", "00:02:00 ; 15.0;  0,0"} << 1
            << QList<Ink> {{120, 150, Blue.rgb()}} << false;
        QTest::newRow("missing file") << 1 << QStringList {} << 1 << QList<Ink> {} << false;
    }

    // The curve list shows and hides the curve of a stored test; "Alle Kurven löschen" clears all.
    // 15-minute axis (one minute is x 240), temperature off.
    void storedCurves()
    {
        QFETCH(int, position);
        QFETCH(QStringList, dataLines);
        QFETCH(int, scale);
        QFETCH(QList<Ink>, inks);
        QFETCH(bool, temperatureCurve);
        GraphFixture fixture(false);
        const Form1& window = *fixture.window;
        Find<QRadioButton>(window, QString("TempSkal%1").arg(scale)).click();
        if (!dataLines.isEmpty()) {
            const QString path
                = fixture.folder.filePath(QString("Serie7/No-00012-%1.CSV").arg(position));
            QVERIFY(WriteTextLines(path, QStringList(11, "Kopf;") + dataLines, WriteMode::Create));
        }
        auto& list = Find<FlexGrid>(window, "WahlTab");
        list.setRows(2);
        list.setTextMatrix(1, 0, "00012");
        list.setTextMatrix(1, 1, QString::number(position));
        list.setTextMatrix(1, 2, "0");
        const QImage frame = Drawn(window, "Grafik0");

        list.setRow(1);
        emit list.Click();

        const QImage shown = Drawn(window, "Grafik0");
        QCOMPARE(list.TextMatrix(1, 2), "-1");
        for (const Ink& ink : inks)
            QVERIFY2(Inked(shown, ink), qPrintable(QString("%1,%2").arg(ink.x).arg(ink.y)));
        QCOMPARE(Inked(shown, Light(Blue)), temperatureCurve);
        QCOMPARE(shown == frame, inks.isEmpty());
        emit list.Click();
        QCOMPARE(Drawn(window, "Grafik0"), frame);
        emit list.Click();
        Find<QPushButton>(window, "ButDel0").click();
        QCOMPARE(list.TextMatrix(1, 2), "0");
        QCOMPARE(Drawn(window, "Grafik0"), frame);
    }

    void curveColours_data()
    {
        // Rows clicked in turn, each showing or hiding its test; the colours of rows 1 to 9 then.
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QList<QColor>>("colours");
        const QColor none;
        QTest::newRow("a new one takes the freed colour") << QList {
            1, 2, 3, 2, 4} << QList {Blue, none, Green, Vermilion, none, none, none, none, none};
        QTest::newRow("past eight they come round")
            << QList {9, 8, 7, 6, 5, 4, 3, 2, 1}
            << QList<QColor> {Blue, Yellow, Qt::black, Sky, Orange, Purple, Green, Vermilion, Blue};
    }

    // Each shown test has its own colour for its curves, the list's swatch and the legend.
    void curveColours()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QList<QColor>, colours);
        Comparison comparison;
        auto& list = Find<FlexGrid>(comparison.panel, "WahlTab");
        for (const int row : clicks) {
            list.setRow(row);
            emit list.Click();
        }
        list.setRow(0);
        const QImage drawn = comparison.drawn();
        QStringList legend;
        for (int row = 1; row <= 9; ++row) {
            const QColor colour = colours[row - 1];
            QCOMPARE(comparison.panel.CurveColour(row), colour);
            const auto swatch = list.model()->index(row - 1, 3).data(Qt::DecorationRole);
            QCOMPARE(swatch.value<QIcon>().pixmap(12).toImage().pixelColor(6, 6), colour);
            QCOMPARE(list.TextMatrix(row, 4).trimmed(), QString("Öl %1").arg(row));
            if (colour.isValid())
                legend << QString("0000%1 Öl %1 ").arg(row) + colour.name();
            if (row <= 4 && colour.isValid()) {
                QVERIFY(Inked(drawn, {600, 100 * row, colour.rgb()}));
                QVERIFY(Inked(drawn, {600, 450 + 100 * row, Light(colour)}));
                QCOMPARE(InkRows(drawn, 3700, 100 * row, colour.rgb()), 0);
            }
        }
        QStringList shown;
        for (const GraphLegendEntry& entry : comparison.panel.Legend())
            shown << entry.testNumber + ' ' + entry.product + ' ' + entry.colour.name();
        QCOMPARE(shown, legend);
    }

    // The current row's curve lies on top, three pixels thick; another row's current, it goes
    // back. Test 2's falling line crosses test 1 at x 880.
    void currentCurveOnTop()
    {
        Comparison comparison;
        auto& list = Find<FlexGrid>(comparison.panel, "WahlTab");
        for (const int row : {1, 2}) {
            list.setRow(row);
            emit list.Click();
        }
        for (const int current : {1, 2, 0}) {
            list.setRow(current);
            const QImage drawn = comparison.drawn();
            QCOMPARE(InkRows(drawn, 600, 100, Blue.rgb()), current == 1 ? 3 : 1);
            QCOMPARE(InkRows(drawn, 600, 200, Vermilion.rgb()), current == 2 ? 3 : 1);
            if (current == 1)
                QCOMPARE(InkRows(drawn, 880, 100, Blue.rgb()), 3);
            if (current == 2)
                QVERIFY(Inked(drawn, {880, 100, Vermilion.rgb()}));
        }
    }

    // The headings of both axes keep apart at any size of a graph, down to the smallest box.
    void headingsKeepApart()
    {
        PictureBox graph;
        SetUpGraph(graph);
        DrawPlotAxes(graph, GraphScale());
        for (const QSizeF size : {QSizeF(1200, 700), QSizeF(400, 300), QSizeF(120, 80)}) {
            const auto box = [&](const char* text) { return graph.TextBox(text, size); };
            QVERIFY(!box("Viskosität").isEmpty() && !box("Temperatur").isEmpty());
            QVERIFY(!box("Viskosität").intersects(box("Temperatur")));
            QVERIFY(!box("in %").intersects(box("Grad C")));
        }
    }

    // The chosen duration sets the ticks of both graphs. A test's samples draw on the live graph
    // once its time runs; samples before that only move the start of the curves. 60-minute axis
    // (1 s is x 1), temperature axis, 0-50 °C (1 °C is y 20).
    void liveGraphOfATest()
    {
        GraphFixture fixture(true);
        Choose(&Find<QComboBox>(*fixture.window, "Messzeit"), 2);
        const QImage frame = Drawn(*fixture.window, "Grafik1");
        QCOMPARE(Drawn(*fixture.window, "Grafik0"), frame);
        QVERIFY(Inked(frame, {300, 550, PlotColour::Cyan})
            && !Inked(frame, {240, 550, PlotColour::Cyan}));
        QVERIFY(Inked(frame, {60, -7, PlotColour::Black})
            && !Inked(frame, {30, -7, PlotColour::Black}));
        QVERIFY(Inked(frame, {10, 200, PlotColour::Black}));
        const QByteArray sample = Sample("00150", "022.5");
        fixture.receive("*OK! RUN\r*S11\r" + sample + Elapsed(10) + sample + Elapsed(130) + sample);

        const QImage live = Drawn(*fixture.window, "Grafik1");
        QVERIFY(Inked(live, {120, 150, PlotColour::Black})
            && !Inked(live, {140, 150, PlotColour::Black}));
        QVERIFY(Inked(live, {60, 450, PlotColour::Red}));
        QVERIFY(!Inked(live, {0, 250, PlotColour::Red}));
        fixture.receive(Elapsed(3700) + sample); // past its duration, cut at the axis' end
        QVERIFY(!Inked(Drawn(*fixture.window, "Grafik1"), {3650, 150, PlotColour::Black}));
        // Switched off, the temperature axis is gone once the graph is drawn again.
        Find<QRadioButton>(*fixture.window, "TempOnOff0").click();
        Choose(&Find<QComboBox>(*fixture.window, "Messzeit"), 2);
        QVERIFY(!Inked(Drawn(*fixture.window, "Grafik1"), {10, 200, PlotColour::Black}));
    }

    void limitLineFollowsTheRightMouseButton_data()
    {
        // The button pressed on the graph, and the pixel rows it is pressed at, moved to and
        // let go at.
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("graph");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("figureAt");

        const int right = Qt::RightButton;
        QTest::newRow("right press at 51.5 %")
            << right << "Grafik1" << QList {121} << "51,5" << 515;
        QTest::newRow("dragged above 100 % stops there")
            << right << "Grafik1" << QList {121, 80, 10} << "100" << 1000;
        QTest::newRow("dragged below 0.5 % removes it")
            << right << "Grafik1" << QList {121, 243} << "0" << 0;
        QTest::newRow("left button does nothing")
            << int(Qt::LeftButton) << "Grafik1" << QList {121, 80} << "" << 0;
        QTest::newRow("comparison graph ignored") << right << "Grafik0" << QList {121} << "" << 0;
    }

    // The live graph is 400 × 244 pixels: pixel y p is plot y 1120 - 5p.
    void limitLineFollowsTheRightMouseButton()
    {
        QFETCH(int, button);
        QFETCH(QString, graph);
        QFETCH(QList<int>, rows);
        QFETCH(QString, shown);
        QFETCH(int, figureAt);
        GraphFixture fixture(false);
        const Form1& window = *fixture.window;
        for (const QString name : {"Grafik0", "Grafik1"})
            Find<PictureBox>(window, name).resize(400, 244);
        const QImage frame = Drawn(window, "Grafik1");
        const QImage comparison = Drawn(window, "Grafik0");
        PictureBox& pressed = Find<PictureBox>(window, graph);
        QTest::mousePress(&pressed, Qt::MouseButton(button), {}, {200, rows.first()});
        for (const int row : rows.mid(1))
            QTest::mouseMove(&pressed, {200, row});
        QTest::mouseRelease(&pressed, Qt::MouseButton(button), {}, {200, rows.last()});
        QCOMPARE(Find<QLineEdit>(window, "GWert1").text(), shown);
        const QImage drawn = Drawn(window, "Grafik1");
        QCOMPARE(drawn == frame, figureAt == 0);
        // The figure crosses x 1800 at its height, and only there.
        for (const int y : {figureAt, 515}) {
            if (y > 0)
                QCOMPARE(drawn.pixel(2000, 1120 - y) == frame.pixel(2000, 1120 - y), y != figureAt);
        }
        QCOMPARE(Drawn(window, "Grafik0"), comparison);
    }

    // The limit line set on the graph ends a test whose viscosity falls below it.
    void limitLineEndsATest()
    {
        GraphFixture fixture(false);
        const Form1& window = *fixture.window;
        PictureBox& live = Find<PictureBox>(window, "Grafik1");
        live.resize(400, 244);
        QTest::mousePress(&live, Qt::RightButton, {}, {200, 194});
        QTest::mouseRelease(&live, Qt::RightButton, {}, {200, 194});
        QCOMPARE(Find<QLineEdit>(window, "GWert1").text(), "15");
        fixture.receive("*OK! RUN\r*S11\r" + Elapsed(10) + Sample("00150"));
        QCOMPARE(Find<QPushButton>(window, "Start1").text(), "Stop");
        fixture.receive(Elapsed(20) + Sample("00149"));
        QCOMPARE(Find<QPushButton>(window, "Start1").text(), "Start");
    }

    void pictureSize_data()
    {
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("saved"); // 0 × 0: not written, reported
        QTest::newRow("three pixels a pixel")
            << QSize(400, 300) << "Grafik.png" << QSize(1200, 900);
        QTest::newRow("wide: 7,000 pixels") << QSize(2400, 120) << "Grafik.png" << QSize(7000, 350);
        QTest::newRow("tall: 7,000 pixels") << QSize(120, 2400) << "Grafik.png" << QSize(350, 7000);
        QTest::newRow("missing folder") << QSize(400, 300) << "fehlt/Grafik.png" << QSize(0, 0);
    }

    void pictureSize()
    {
        QFETCH(QSize, shown);
        QFETCH(QString, file);
        QFETCH(QSize, saved);
        Exported exported(shown);
        QTemporaryDir folder;
        const QString path = folder.filePath(file);
        exported.saveThroughTheMenu(path);
        const QImage picture(path);
        QCOMPARE(picture.size(), saved);
        QCOMPARE(exported.reports.size(), saved.isEmpty() ? 1 : 0);
    }

    // The title above the graph and the legend below it, with each test's colour: the graph keeps
    // its place and size, drawn afresh at the file's scale, so the legend hides no curve.
    void comparisonPicture()
    {
        Exported exported({400, 300}, {{"00012", "Öl A", Vermilion}, {"00013", "", Qt::blue}});
        QTemporaryDir folder;
        QVERIFY(exported.export_.SaveGraphPicture(folder.filePath("Vergleich.png")));
        const QImage saved
            = QImage(folder.filePath("Vergleich.png")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved.width(), 1200);
        const QImage graph = exported.graph.PictureAt({400, 300}, 3);
        int titleRows = 0;
        while (titleRows + 900 < saved.height() && saved.copy(0, titleRows, 1200, 900) != graph)
            ++titleRows;
        QVERIFY2(titleRows > 30 && titleRows < 200, qPrintable(QString::number(titleRows)));
        QVERIFY(Inked(saved.copy(0, 0, 1200, titleRows), QColor(Qt::black).rgb()));
        const QImage legend
            = saved.copy(0, titleRows + 900, 1200, saved.height() - titleRows - 900);
        for (const QColor& colour : {Vermilion, QColor(Qt::blue)})
            QVERIFY(Inked(legend, colour.rgb()));
    }

    // The PDF file holds the page's texts, the axes' and the legend's, as text and no picture.
    void comparisonPdf()
    {
        Exported exported({800, 500}, {{"00012", "Öl A", Vermilion}});
        QTemporaryDir folder;
        const QString path = folder.filePath("Vergleich.pdf");
        QVERIFY(exported.export_.SaveGraphPdf(path));
        const QByteArray bytes = BytesOf(path);
        QVERIFY(!bytes.contains("/Subtype /Image"));
        QVERIFY(bytes.size() < 60000);
        QProcess text;
        text.start("pdftotext", {"-layout", path, "-"});
        QVERIFY(text.waitForFinished());
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* expected : {"Prüfserie – 07.12.2026", "Viskosität", "00012", "Öl A"})
            QVERIFY2(words.contains(QString::fromUtf8(expected)), expected);
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("part");
        QTest::newRow("umlauts and blanks stay") << " Prüfserie öl "
                                                 << "Prüfserie öl";
        QTest::newRow("reserved and control characters go") << "a<b>c:d\"e/f\\g|h?i*j\tk\x7fl\x01m"
                                                            << "abcdefghijklm";
    }

    void fileNames()
    {
        QFETCH(QString, text);
        QFETCH(QString, part);
        QCOMPARE(FileNamePart(text), part);
    }

    // A curve far longer than the box is wide, drawn sample by sample as a live test draws it
    // (a viscosity curve two pixels wide and a thin temperature curve), is drawn afresh after a
    // resize within a pixel of where it was drawn live, and keeps few steps.
    void longCurveRedrawnAsDrawnLive()
    {
        // As wide as the track grid has columns, so that a column is a pixel wide.
        const QSize size(4096, 300);
        PictureBox box;
        box.resize(size);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.Scale({-200, 1120}, {3800, -100});
        box.Cls();
        QPointF viscosity(0, 600);
        QPointF temperature(0, 300);
        for (int sample = 1; sample <= 40000; ++sample) {
            const double x = sample * 0.09;
            const QPointF nextViscosity(
                x, 600 + 250 * std::sin(sample * 0.002) + 40 * std::sin(sample * 1.3));
            const QPointF nextTemperature(x, 300 + 20 * std::sin(sample * 0.7));
            box.setDrawWidth(2);
            box.Line(viscosity, nextViscosity, Qt::black);
            box.setDrawWidth(1);
            box.Line(temperature, nextTemperature, Qt::red);
            viscosity = nextViscosity;
            temperature = nextTemperature;
            if (sample % 1000 == 0)
                box.Picture();
        }
        const QImage live = box.Picture();
        QCOMPARE(box.LineCount(), 80000);
        QVERIFY(box.DrawCount() < 10);
        box.resize(1000, 700);
        box.Picture();
        box.resize(size);
        const QImage redrawn = box.Picture();
        const QRgb white = QColor(Qt::white).rgb();
        QCOMPARE(InkMissingIn(live, redrawn, white, 2), 0);
        QCOMPARE(InkMissingIn(redrawn, live, white, 2), 0);
    }
};

QTEST_MAIN(GraphsTest)
#include "test_graphs.moc"
