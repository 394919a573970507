// The window's own controls: the grid with its check column and events, the message box's answers
// and the display pacer.
#include "platform/display_pacer.h"
#include "platform/message_box.h"
#include "test_support.h"

#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionViewItem>

namespace {
// Shows a grid of the given size whose data cells read "r<row>c<col>".
void Fill(FlexGrid& grid, int rows, int cols)
{
    grid.setRows(rows);
    grid.setCols(cols);
    for (int row = 1; row < rows; ++row)
        for (int col = 0; col < cols; ++col)
            grid.setTextMatrix(row, col, QString("r%1c%2").arg(row).arg(col));
    grid.show();
}

// Where the style draws a cell's check box; inside the cell whether it has one or not.
QPoint CheckBoxCentre(const FlexGrid& grid, int row, int col)
{
    QStyleOptionViewItem option;
    option.rect = grid.visualRect(grid.model()->index(row - 1, col));
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    return grid.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option).center();
}
} // namespace

class ControlsTest : public QObject {
    Q_OBJECT

private slots:
    // Rows kept as lines are cut when read; writing a cell keeps the row's other cells.
    void rowsKeptAsLines()
    {
        FlexGrid grid;
        grid.setRows(1);
        grid.setCols(3);
        grid.setLineCutter(
            [](QStringView line, int col) { return line.toString().split(u',').value(col); });
        grid.AppendLines({"a,b ,c", "d,e,f"});
        QCOMPARE(grid.Rows(), 3);
        QCOMPARE(grid.TextMatrix(1, 1), "b ");
        QCOMPARE(grid.model()->index(0, 1).data().toString(), "b");
        QSignalSpy changes(grid.model(), &QAbstractItemModel::dataChanged);
        grid.setTextMatrix(2, 2, "f");
        QCOMPARE(changes.size(), 0);
        grid.setTextMatrix(2, 1, "X");
        QCOMPARE(QStringList({grid.TextMatrix(2, 0), grid.TextMatrix(2, 1), grid.TextMatrix(2, 2)}),
            QStringList({"d", "X", "f"}));
        grid.setRow(1);
        grid.RemoveRow(1);
        QCOMPARE(grid.Row(), 0);
        QCOMPARE(grid.TextMatrix(1, 1), "X");
        grid.AppendLines({"g,h,i"});
        grid.Clear();
        QCOMPARE(grid.TextMatrix(1, 0) + grid.TextMatrix(2, 0), "");
    }

    // The view makes a row current by itself when it gets the focus; the user chose none.
    void focusChoosesNoRow()
    {
        FlexGrid grid;
        Fill(grid, 4, 2);
        grid.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
        QTRY_VERIFY(grid.currentIndex().isValid());
        QCOMPARE(grid.Row(), 0);
    }

    // Check boxes show the stored texts; a click reports the row it moved to and leaves the box
    // to the program. KeyUp comes after the arrow keys have moved the current row.
    void checkColumnClicksAndKeys()
    {
        FlexGrid grid;
        Fill(grid, 4, 2);
        grid.setCheckColumn(1);
        grid.setTextMatrix(2, 1, "-1");
        grid.setTextMatrix(3, 1, "0");
        const auto cell = [&](int row, int col) { return grid.model()->index(row - 1, col); };
        QCOMPARE(cell(2, 1).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(!cell(2, 1).data().isValid() && !cell(2, 0).data(Qt::CheckStateRole).isValid());
        int rowAtEvent = -1;
        connect(&grid, &FlexGrid::Click, [&] { rowAtEvent = grid.Row(); });
        QSignalSpy clicks(&grid, &FlexGrid::Click);
        QSignalSpy doubleClicks(&grid, &FlexGrid::DblClick);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CheckBoxCentre(grid, 3, 1));
        QTest::keyClick(&grid, Qt::Key_Space);
        QCOMPARE(rowAtEvent, 3);
        QCOMPARE(grid.TextMatrix(3, 1), "0");
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, {5, grid.viewport()->height() - 5});
        QCOMPARE(clicks.size(), 1);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CheckBoxCentre(grid, 2, 0));
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CheckBoxCentre(grid, 2, 0));
        QCOMPARE(doubleClicks.size(), 1);

        connect(&grid, &FlexGrid::KeyUp, [&] { rowAtEvent = grid.Row(); });
        QTest::keyClick(&grid, Qt::Key_Up);
        QCOMPARE(rowAtEvent, 1);
    }

    void answers_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");

        const int retryCancel = MsgStyle::RetryCancel + MsgStyle::Exclamation;
        QTest::newRow("Escape cancels") << retryCancel << "escape" << MsgResult::Cancel;
        QTest::newRow("close cancels") << retryCancel << "close" << MsgResult::Cancel;
        QTest::newRow("Enter takes the first button") << retryCancel << "enter" << MsgResult::Retry;
        QTest::newRow("Enter takes a chosen second button") << MsgStyle::YesNo + MsgStyle::Question
                + MsgStyle::DefaultButton2 << "enter" << MsgResult::No;
        QTest::newRow("Escape without Cancel: last button")
            << MsgStyle::YesNo + MsgStyle::Question << "escape" << MsgResult::No;
        QTest::newRow("close of a plain message") << MsgStyle::OkOnly << "close" << MsgResult::Ok;
    }

    void answers()
    {
        QFETCH(int, style);
        QFETCH(QString, action);
        QFETCH(int, answer);

        QWidget window;
        window.show();
        QTimer::singleShot(0, [action] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box)
                return;
            if (action == "close")
                box->close();
            else
                QTest::keyClick(box, action == "escape" ? Qt::Key_Escape : Qt::Key_Return);
        });
        QCOMPARE(ShowMessageBox(&window, style, "Titel", "Text"), answer);
    }

    // A flood of reports must not open a flood of windows: the open box shows the latest.
    void reportsWhileOneIsOpenShareIt()
    {
        QWidget window;
        for (int report = 1; report <= 50; ++report)
            ShowMessageBoxLater(
                &window, MsgStyle::Exclamation, "Messung starten", QString::number(report));
        ShowMessageBoxLater(&window, MsgStyle::Exclamation, "Messdatei", "anderer Titel");
        const QList<QMessageBox*> boxes = window.findChildren<QMessageBox*>();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes.first()->text(), "50");
        QVERIFY(boxes.first()->isVisible());
        boxes.first()->close();
        QTRY_COMPARE(window.findChildren<QMessageBox*>().size(), 1);
    }

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

QTEST_MAIN(ControlsTest)
#include "test_controls.moc"
