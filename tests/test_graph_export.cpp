// A graph's menu saves its picture in the file chosen: three pixels for each pixel of the screen,
// held to 7,000 pixels a side; a file that cannot be written is reported. A comparison graph's
// files carry its title and legend; its PDF file is drawing and text.
#include "platform/picture_box.h"
#include "window/graph_export.h"
#include "window/graph_scale.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QColor Vermilion(0xd5, 0x5e, 0x00);

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

} // namespace

class GraphExportTest : public QObject {
    Q_OBJECT

private slots:
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
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
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
};

QTEST_MAIN(GraphExportTest)
#include "test_graph_export.moc"
