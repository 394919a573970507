// The picture box, run at a device pixel ratio of 2 as on a high-resolution screen.
#include "platform/picture_box.h"
#include "test_support.h"

#include <QPainter>
#include <cmath>

namespace {

// A box with the graphs' scale, some axes, a curve and a label.
void DrawSomething(PictureBox& box)
{
    box.Scale({-200, 1120}, {3800, -100});
    box.setBackColor(QColor(255, 255, 192));
    box.Cls();
    box.Line({0, 0}, {0, 1000});
    box.Line({0, 500}, {3600, 500}, Qt::cyan);
    box.setDrawWidth(2);
    box.Line({0, 900}, {3600, 100}, Qt::black);
    box.setDrawWidth(1);
    box.setCurrentPosition(-140, 515);
    box.Print(" 50");
}

// The device rows of a column whose pixels differ from the background.
QList<int> InkedRows(const QImage& picture, int column, QRgb background)
{
    QList<int> rows;
    for (int y = 0; y < picture.height(); ++y) {
        if (picture.pixel(column, y) != background)
            rows.append(y);
    }
    return rows;
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

class PictureBoxTest : public QObject {
    Q_OBJECT

private slots:
    void redrawnCrispAtEverySize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("steps");
        QTest::newRow("small") << QSize(300, 200) << 1;
        QTest::newRow("large drawing, drawn afresh once settled") << QSize(1000, 700) << 60000;
    }

    // A horizontal line one pixel wide stays one pixel (two device rows) wide at any size, and lies
    // where the user scale puts it.
    void redrawnCrispAtEverySize()
    {
        QFETCH(QSize, size);
        QFETCH(int, steps);
        PictureBox box;
        box.resize(640, 480);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.Scale({0, 1000}, {1000, 0});
        box.Cls();
        for (int step = 1; step < steps; ++step)
            box.Line({0, 900}, {1, 900}, Qt::black);
        box.Line({0, 250}, {1000, 250}, Qt::black);
        box.Picture();
        box.resize(size);
        QCOMPARE(box.Picture().size(), size * 2);
        const QRgb white = QColor(Qt::white).rgb();
        QTRY_COMPARE(InkedRows(box.Picture(), size.width(), white).size(), 2);
        const QList<int> rows = InkedRows(box.Picture(), size.width(), white);
        QCOMPARE(rows.size(), 2);
        QVERIFY(qAbs(rows.first() - size.height() * 3 / 2) <= 2);
    }

    // A curve far longer than the box is wide, drawn sample by sample as a live test draws it
    // (a viscosity curve two pixels wide and a thin temperature curve), is drawn afresh after a
    // resize within a pixel of where it was drawn live, and keeps few steps.
    void longCurveRedrawnAsDrawnLive()
    {
        // As wide as the track grid has columns, so that a column is a device pixel wide.
        const QSize size(2048, 300);
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

    // Drawn into a part of another picture, the box's drawing is the picture it makes at that
    // size, and nothing of it falls outside that part; three pixels a unit, as a picture file.
    void renderedAsDrawnAlone()
    {
        const qreal ratio = 3;
        PictureBox box;
        box.resize(400, 300);
        DrawSomething(box);
        box.setCurrentPosition(-180, 1100);
        box.Print("Viskosität");
        box.Line({-1000, 0}, {5000, 0}, Qt::black);
        QImage page(QSize(460, 340) * ratio, QImage::Format_RGB32);
        page.setDevicePixelRatio(ratio);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            box.Render(painter, QRectF(30, 20, 400, 300), QSizeF(400, 300));
        }
        const QRect part(QPoint(30, 20) * ratio, QSize(400, 300) * ratio);
        QImage drawn = page.copy(part);
        drawn.setDevicePixelRatio(ratio);
        QCOMPARE(drawn, box.PictureAt({400, 300}, ratio));
        QImage blank = page;
        blank.fill(Qt::white);
        QPainter(&page).fillRect(QRectF(part.topLeft() / ratio, part.size() / ratio), Qt::white);
        QCOMPARE(page, blank);
    }
};

int main(int argc, char* argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    PictureBoxTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_picture_box.moc"
