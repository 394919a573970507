// The picture box, run at a device pixel ratio of 2 as on a high-resolution screen.
#include "platform/picture_box.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

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

} // namespace

class PictureBoxTest : public QObject {
    Q_OBJECT

private slots:
    // Shown between the drawings or both drawn before a paint.
    void invertingFigureTwiceRestoresEveryPixel()
    {
        for (const bool shownBetween : {true, false}) {
            PictureBox box;
            box.resize(400, 300);
            DrawSomething(box);
            const QImage before = box.Picture();
            const qsizetype steps = box.DrawCount();
            box.setDrawMode(PictureBox::DrawMode::Invert);
            const QPolygonF figure {{-40, 500}, {3600, 500}, {3680, 530}, {3680, 470}, {3600, 500}};
            box.Polyline(figure);
            if (shownBetween)
                QVERIFY(box.Picture() != before);
            box.Polyline(figure);
            QCOMPARE(box.Picture(), before);
            QCOMPARE(box.DrawCount(), steps);
        }
    }

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

    void mouseIsReportedInUserUnits()
    {
        PictureBox box;
        box.resize(400, 244);
        box.Scale({-200, 1120}, {3800, -100});
        QSignalSpy down(&box, &PictureBox::MouseDown);
        QSignalSpy up(&box, &PictureBox::MouseUp);
        QTest::mousePress(&box, Qt::RightButton, Qt::ShiftModifier, QPoint(200, 122));
        QTest::mouseRelease(&box, Qt::RightButton, Qt::NoModifier, QPoint(20, 22));
        QCOMPARE(down.value(0),
            (QVariantList {PictureBox::RightButton, PictureBox::ShiftKey, 1800.0F, 510.0F}));
        QCOMPARE(up.value(0).mid(2), (QVariantList {0.0F, 1010.0F}));
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
