#pragma once

#include <QTableView>
#include <functional>

class FlexGridModel;

// The grid control: a read-only table of plain strings. Row 0 is the fixed header row, shown as
// the column titles; rows 1 and up are the data rows, which are selected whole, one at a time.
// Indexes from outside are checked: out of range, reads give "" (or 0, false) and writes do
// nothing. A new grid has 2 rows and 2 columns.
class FlexGrid : public QTableView {
    Q_OBJECT

public:
    explicit FlexGrid(QWidget* parent = nullptr);

    // The row count including the header row, at least 1. New rows are empty; shrinking drops the
    // last rows.
    int Rows() const;
    void setRows(int count);
    // Cuts the cell of a column from a row kept as one line.
    using LineCutter = std::function<QString(QStringView line, int col)>;
    // How rows added by AppendLines become cells; set before the first such row.
    void setLineCutter(LineCutter cutter);
    // Data rows after the last, each kept as its line and cut into cells only when a cell is read,
    // so that a long table costs one string a row.
    void AppendLines(QList<QString> lines);
    // Removes data row `row`; the rows below move up, and no row is current.
    void RemoveRow(int row);
    int Cols() const;
    void setCols(int count);

    // The current data row, 0 when there is none. Setting a data row selects it and scrolls it
    // into view; any other number leaves no current row.
    int Row() const;
    void setRow(int row);

    // Any cell, the header row included.
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    // Columns separated by "|", each a title that may start with "<" (left), ">" (right) or "^"
    // (centred): sets the column count, the titles and how the data cells are aligned.
    void setFormatString(const QString& format);

    // Widths in twips, 1440 to the inch at the logical dpi, rounded to whole pixels. A hidden
    // column reads 0.
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);

    bool ColHidden(int col) const;
    void setColHidden(int col, bool hidden);
    // Data rows, numbered like Row(). setRowHidden shadows QTableView's, which counts from 0.
    bool RowHidden(int row) const;
    void setRowHidden(int row, bool hidden);

    // Empties every cell, the titles included; the counts and the current row stay.
    void Clear();

    // The column's cells hold "-1" (checked) or "0" and are shown as check boxes without text.
    // A click does not toggle them: the program does, on Click. -1: no such column.
    void setCheckColumn(int col);
    // The column's cells name a colour ("#0072B2") and are shown as a swatch of it without text;
    // an empty cell shows nothing. -1: no such column.
    void setColourColumn(int col);

signals:
    // A click on a data cell, after the current row has moved there.
    void Click();
    void DblClick();
    // A key released while the grid has focus; the repeats of a held key are not reported.
    void KeyUp(int key, Qt::KeyboardModifiers modifiers);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    int pixelsFromTwips(int twips) const;
    int twipsFromPixels(int pixels) const;

    FlexGridModel* cells;
};
