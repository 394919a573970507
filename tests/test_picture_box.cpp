// The picture box, run at a device pixel ratio of 2 as on a high-resolution screen.
#include "platform/picture_box.h"
#include "test_support.h"

#include <cmath>

namespace {

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
};

int main(int argc, char* argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    PictureBoxTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_picture_box.moc"
