// The grid control: format strings, rows and the current row, cell access, widths, hiding,
// clearing, the check column and the events.
#include "platform/flex_grid.h"

#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>

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

class FlexGridTest : public QObject {
    Q_OBJECT

private slots:
    // Each title may start with an alignment mark; only the first character counts as one.
    void formatStringSetsTitlesAndAlignments()
    {
        FlexGrid grid;
        grid.setCols(7);
        grid.setFormatString(">Test-Nr.|<|^Mitte|ohne|<>x");
        const QList<std::pair<QString, int>> columns {{"Test-Nr.", Qt::AlignRight},
            {"", Qt::AlignLeft}, {"Mitte", Qt::AlignHCenter}, {"ohne", Qt::AlignLeft},
            {">x", Qt::AlignLeft}};
        QCOMPARE(grid.Cols(), columns.size());
        for (int col = 0; col < columns.size(); ++col) {
            const auto& [title, alignment] = columns[col];
            QCOMPARE(grid.model()->headerData(col, Qt::Horizontal).toString(), title);
            QCOMPARE(grid.model()->index(0, col).data(Qt::TextAlignmentRole).toInt(),
                alignment | Qt::AlignVCenter);
        }
    }

    void currentRowAndRowCount_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("row");

        QTest::newRow("a data row, kept when growing") << 4 << 9 << 9 << 4;
        QTest::newRow("the header row: none") << 0 << 6 << 6 << 0;
        QTest::newRow("past the end: none") << 6 << 6 << 6 << 0;
        QTest::newRow("shrinking past the row") << 5 << 3 << 3 << 2;
        QTest::newRow("header only") << 3 << 1 << 1 << 0;
        QTest::newRow("below one keeps the header") << 3 << 0 << 1 << 0;
    }

    // Sets the current row, then the row count; dropped rows come back empty.
    void currentRowAndRowCount()
    {
        QFETCH(int, target);
        QFETCH(int, count);
        QFETCH(int, rows);
        QFETCH(int, row);

        FlexGrid grid;
        Fill(grid, 6, 2);
        grid.setTextMatrix(0, 1, "Titel");
        grid.setRow(target);
        grid.setRows(count);
        QCOMPARE(grid.Rows(), rows);
        QCOMPARE(grid.Row(), row);
        QCOMPARE(grid.selectionModel()->isRowSelected(row - 1), row > 0);
        grid.setRows(8);
        for (int r = 1; r < 8; ++r)
            QCOMPARE(grid.TextMatrix(r, 1), r < qMin(rows, 6) ? QString("r%1c1").arg(r) : "");
        QCOMPARE(grid.TextMatrix(0, 1), "Titel");
    }

    void cellsOutOfRangeReadEmptyAndIgnoreWrites()
    {
        FlexGrid grid;
        grid.setRows(3);
        QSignalSpy cellChanges(grid.model(), &QAbstractItemModel::dataChanged);
        QSignalSpy titleChanges(grid.model(), &QAbstractItemModel::headerDataChanged);
        for (const auto& [row, col] : {std::pair {-1, 0}, {0, -1}, {3, 0}, {1, 2}}) {
            grid.setTextMatrix(row, col, "x");
            QCOMPARE(grid.TextMatrix(row, col), "");
        }
        QCOMPARE(cellChanges.size() + titleChanges.size(), 0);
    }

    void widthsInTwipsAtTheLogicalDpi()
    {
        FlexGrid grid;
        for (const double inches : {0.5, 1.0, 2.0}) {
            grid.setColWidth(1, qRound(inches * 1440));
            QCOMPARE(grid.columnWidth(1), qRound(inches * grid.logicalDpiX()));
            QCOMPARE(grid.ColWidth(1), qRound(inches * 1440));
        }
    }

    void hiddenRowsCountFromTheHeaderRow()
    {
        FlexGrid grid;
        Fill(grid, 5, 3);
        grid.setColHidden(1, true);
        grid.setRowHidden(2, true);
        grid.setRowHidden(0, true);
        QVERIFY(grid.ColHidden(1) && grid.isColumnHidden(1) && !grid.ColHidden(0));
        QVERIFY(grid.RowHidden(2) && grid.isRowHidden(1) && !grid.isRowHidden(0));
    }

    void clearingAndNewTextsKeepCountsAndCurrentRow()
    {
        FlexGrid grid;
        Fill(grid, 4, 3);
        grid.setFormatString("A|B|C");
        grid.setRow(2);
        grid.setTextMatrix(2, 0, "neu");
        grid.Clear();
        QVERIFY(grid.Rows() == 4 && grid.Cols() == 3 && grid.Row() == 2);
        for (int cell = 0; cell < 12; ++cell)
            QCOMPARE(grid.TextMatrix(cell / 3, cell % 3), "");
    }

    // Check boxes show the stored texts; a click reports the row it moved to and leaves the box
    // to the program.
    void checkColumnAndClicks()
    {
        FlexGrid grid;
        Fill(grid, 4, 2);
        grid.setCheckColumn(1);
        grid.setTextMatrix(2, 1, "-1");
        grid.setTextMatrix(3, 1, "0");
        const auto cell = [&](int row, int col) { return grid.model()->index(row - 1, col); };
        QCOMPARE(cell(2, 1).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(!cell(2, 1).data().isValid() && !cell(2, 0).data(Qt::CheckStateRole).isValid());
        int rowAtClick = -1;
        connect(&grid, &FlexGrid::Click, [&] { rowAtClick = grid.Row(); });
        QSignalSpy clicks(&grid, &FlexGrid::Click);
        QSignalSpy doubleClicks(&grid, &FlexGrid::DblClick);

        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CheckBoxCentre(grid, 3, 1));
        QTest::keyClick(&grid, Qt::Key_Space);
        QCOMPARE(rowAtClick, 3);
        QCOMPARE(grid.TextMatrix(3, 1), "0");
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, {5, grid.viewport()->height() - 5});
        QCOMPARE(clicks.size(), 1);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CheckBoxCentre(grid, 2, 0));
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CheckBoxCentre(grid, 2, 0));
        QCOMPARE(doubleClicks.size(), 1);
    }

    // KeyUp reports the key and the shift state, after arrow keys have moved the current row.
    void keyUpAfterTheRowMoved()
    {
        FlexGrid grid;
        Fill(grid, 3, 2);
        grid.setRow(1);
        int rowAtKeyUp = -1;
        connect(&grid, &FlexGrid::KeyUp, [&] { rowAtKeyUp = grid.Row(); });
        QSignalSpy keyUps(&grid, &FlexGrid::KeyUp);
        const Qt::KeyboardModifiers none;
        for (const auto& [key, modifiers, row] :
            {std::tuple {Qt::Key_Up, none, 1}, {Qt::Key_Down, none, 2}, {Qt::Key_Down, none, 2},
                {Qt::Key_F2, Qt::KeyboardModifiers(Qt::ShiftModifier), 2}, {Qt::Key_Up, none, 1}}) {
            keyUps.clear();
            QTest::keyClick(&grid, key, modifiers);
            QVERIFY(!keyUps.isEmpty());
            QCOMPARE(keyUps.first().at(0).toInt(), int(key));
            QCOMPARE(keyUps.first().at(1).value<Qt::KeyboardModifiers>(), modifiers);
            QCOMPARE(rowAtKeyUp, row);
        }
    }
};

QTEST_MAIN(FlexGridTest)
#include "test_flex_grid.moc"
