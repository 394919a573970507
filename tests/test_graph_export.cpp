// A graph's menu saves its picture in the file chosen: three pixels for each pixel of the screen,
// held to 7,000 pixels a side; a file that cannot be written is reported.
#include "platform/picture_box.h"
#include "window/graph_export.h"
#include "window/graph_scale.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

struct Exported {
    Exported(QSize size)
        : export_(graph,
            {[] { return QString("Titel"); }, [] { return QString("Messung-1"); },
                [] { return QString(); }},
            {}, [this](const QString& text, int, const QString&) { reports.append(text); })
    {
        SetUpGraph(graph);
        graph.resize(size);
        DrawPlotAxes(graph, GraphScale());
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
        // The picture is the graph drawn afresh, not the screen scaled.
        if (saved == shown * 3)
            QCOMPARE(picture.pixel(saved.width() / 2, saved.height() / 2),
                exported.graph.PictureAt(shown, 1).pixel(shown.width() / 2, shown.height() / 2));
    }
};

QTEST_MAIN(GraphExportTest)
#include "test_graph_export.moc"
