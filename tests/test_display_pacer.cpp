// A display paced to about 30 updates a second.
#include "platform/display_pacer.h"

#include <QTest>

class DisplayPacerTest : public QObject {
    Q_OBJECT

private slots:
    // A flood of updates shows the first at once and the last a pace later, none between; an
    // update after a quiet pace shows at once again.
    void floodShowsFirstAndLast()
    {
        DisplayPacer pacer;
        QStringList shown;
        for (int update = 1; update <= 1000; ++update)
            pacer.Show([&shown, update] { shown << QString::number(update); });
        QCOMPARE(shown, QStringList {"1"});
        QTRY_COMPARE(shown, (QStringList {"1", "1000"}));
        QTest::qWait(2 * DisplayPacer::PaceMilliseconds);
        pacer.Show([&shown] { shown << "spät"; });
        QCOMPARE(shown, (QStringList {"1", "1000", "spät"}));
    }
};

QTEST_GUILESS_MAIN(DisplayPacerTest)
#include "test_display_pacer.moc"
