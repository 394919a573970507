// A graph saved as a picture is held to 7,000 pixels a side. (Its three pixels per screen pixel and
// the report of a file that cannot be written are checked through the window's menu.)
#include "platform/picture_box.h"
#include "window/graph_export.h"
#include "window/graph_scale.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

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
        QTest::addColumn<QSize>("saved");
        QTest::newRow("wide: 7,000 pixels") << QSize(2400, 120) << QSize(7000, 350);
        QTest::newRow("tall: 7,000 pixels") << QSize(120, 2400) << QSize(350, 7000);
    }

    void pictureSize()
    {
        QFETCH(QSize, shown);
        QFETCH(QSize, saved);
        Exported exported(shown);
        QTemporaryDir folder;
        const QString path = folder.filePath("Grafik.png");
        QVERIFY(exported.export_.SaveGraphPicture(path));
        QCOMPARE(QImage(path).size(), saved);
        QCOMPARE(exported.reports.size(), 0);
    }
};

QTEST_MAIN(GraphExportTest)
#include "test_graph_export.moc"
