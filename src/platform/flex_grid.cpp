#include "platform/flex_grid.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>
#include <algorithm>
#include <array>
#include <utility>

// The grid's texts, row 0 being the titles. The view sees the data rows only; the titles are its
// horizontal header.
class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int rowTotal() const { return int(cells.size()); }
    int columnTotal() const { return columns; }
    void resizeRows(int total);
    void setLineCutter(FlexGrid::LineCutter cutter);
    void appendLines(QList<QString> lines);
    void removeRow(int row);
    void resizeColumns(int total);
    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    void setAlignment(int col, Qt::Alignment alignment);
    void setCheckColumn(int col);
    void setColourColumn(int col);
    void clearTexts();

private:
    void storeColumnTotal(int total);
    bool contains(int row, int col) const;
    void refreshDataCells();

    // A row is either its cells, which may be fewer than the columns (the last ones are then
    // empty), or a line that the cutter cuts into cells when they are read.
    struct Row {
        QStringList cells;
        QString line;
    };
    static bool isLine(const Row& row) { return !row.line.isNull(); }
    QStringList cutCells(const Row& row) const;

    QList<Row> cells {Row()};
    FlexGrid::LineCutter cutter;
    QList<Qt::Alignment> alignments;
    int columns = 0;
    int checkColumn = -1;
    int colourColumn = -1;
};

namespace {
constexpr int DefaultRows = 2;
constexpr int DefaultCols = 2;
constexpr double TwipsPerInch = 1440.0;
// Bounds for counts and widths that come from files: far beyond any real table or column.
constexpr int MaxRows = 1000000;
constexpr int MaxColumnTwips = 1000000;
const QString CheckedText = QStringLiteral("-1");

constexpr std::array<std::pair<char16_t, Qt::AlignmentFlag>, 3> AlignmentMarks
    = {{{u'<', Qt::AlignLeft}, {u'>', Qt::AlignRight}, {u'^', Qt::AlignHCenter}}};

struct ColumnFormat {
    Qt::Alignment alignment;
    QString title;
};

// One column of a format string: an optional alignment mark, then the title.
ColumnFormat ParseColumnFormat(const QString& text)
{
    for (const auto& [mark, alignment] : AlignmentMarks) {
        if (text.startsWith(QChar(mark)))
            return {alignment, text.mid(1)};
    }
    return {Qt::AlignLeft, text};
}
} // namespace

int FlexGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rowTotal() - 1;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns;
}

namespace {
QString TrimmedEnd(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}
} // namespace

namespace {
QIcon Swatch(const QString& colour)
{
    QPixmap pixmap(12, 12);
    pixmap.fill(QColor::fromString(colour));
    QIcon icon(pixmap);
    icon.addPixmap(pixmap, QIcon::Selected);
    return icon;
}
} // namespace

QVariant FlexGridModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const QString text = this->text(index.row() + 1, index.column());
    const bool isCheckBox = index.column() == checkColumn;
    const bool isSwatch = index.column() == colourColumn;
    switch (role) {
    case Qt::DisplayRole:
        // Cells of fixed-width records end in blanks; shown without them, they are not cut short
        // with an ellipsis. TextMatrix keeps the text whole.
        return isCheckBox || isSwatch ? QVariant() : QVariant(TrimmedEnd(text));
    // A swatch keeps its colour on a selected row, which covers backgrounds and tints icons.
    case Qt::DecorationRole:
        return isSwatch && QColor::isValidColorName(text) ? QVariant(Swatch(text)) : QVariant();
    case Qt::CheckStateRole:
        return isCheckBox ? QVariant(text == CheckedText ? Qt::Checked : Qt::Unchecked)
                          : QVariant();
    case Qt::TextAlignmentRole:
        return int(alignments[index.column()] | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return text(0, section);
}

// Selectable but neither editable nor user-checkable: check boxes change only through the texts.
Qt::ItemFlags FlexGridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

void FlexGridModel::resizeRows(int total)
{
    const int current = rowTotal();
    if (total > current) {
        beginInsertRows({}, current - 1, total - 2);
        cells.resize(total);
        endInsertRows();
    } else if (total < current) {
        beginRemoveRows({}, total - 1, current - 2);
        cells.resize(total);
        endRemoveRows();
    }
}

void FlexGridModel::setLineCutter(FlexGrid::LineCutter lineCutter)
{
    cutter = std::move(lineCutter);
}

// All rows in one insertion, so that the view lays out once instead of once per cell.
void FlexGridModel::appendLines(QList<QString> lines)
{
    lines.resize(std::min(lines.size(), qsizetype(MaxRows - rowTotal())));
    if (lines.isEmpty() || !cutter)
        return;
    beginInsertRows({}, rowTotal() - 1, rowTotal() + int(lines.size()) - 2);
    cells.reserve(cells.size() + lines.size());
    for (QString& line : lines)
        cells.append(Row {{}, line.isNull() ? QStringLiteral("") : std::move(line)});
    endInsertRows();
}

void FlexGridModel::removeRow(int row)
{
    if (row < 1 || row >= rowTotal())
        return;
    beginRemoveRows({}, row - 1, row - 1);
    cells.removeAt(row);
    endRemoveRows();
}

void FlexGridModel::resizeColumns(int total)
{
    if (total > columns) {
        beginInsertColumns({}, columns, total - 1);
        storeColumnTotal(total);
        endInsertColumns();
    } else if (total < columns) {
        beginRemoveColumns({}, total, columns - 1);
        storeColumnTotal(total);
        endRemoveColumns();
    }
}

void FlexGridModel::storeColumnTotal(int total)
{
    for (Row& row : cells) {
        if (row.cells.size() > total)
            row.cells.resize(total);
    }
    alignments.resize(total, Qt::AlignLeft);
    columns = total;
}

bool FlexGridModel::contains(int row, int col) const
{
    return row >= 0 && row < rowTotal() && col >= 0 && col < columns;
}

QString FlexGridModel::text(int row, int col) const
{
    if (!contains(row, col))
        return {};
    const Row& stored = cells[row];
    return isLine(stored) ? cutter(stored.line, col) : stored.cells.value(col);
}

QStringList FlexGridModel::cutCells(const Row& row) const
{
    QStringList cut;
    cut.reserve(columns);
    for (int col = 0; col < columns; ++col)
        cut.append(cutter(row.line, col));
    return cut;
}

void FlexGridModel::setText(int row, int col, const QString& text)
{
    if (!contains(row, col) || this->text(row, col) == text)
        return;
    Row& stored = cells[row];
    if (isLine(stored)) {
        stored.cells = cutCells(stored);
        stored.line = QString();
    }
    if (stored.cells.size() <= col)
        stored.cells.resize(columns);
    stored.cells[col] = text;
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex changed = index(row - 1, col);
        emit dataChanged(changed, changed);
    }
}

void FlexGridModel::setAlignment(int col, Qt::Alignment alignment)
{
    alignments[col] = alignment;
    if (rowCount() > 0)
        emit dataChanged(index(0, col), index(rowCount() - 1, col), {Qt::TextAlignmentRole});
}

void FlexGridModel::setCheckColumn(int col)
{
    checkColumn = col;
    refreshDataCells();
}

void FlexGridModel::setColourColumn(int col)
{
    colourColumn = col;
    refreshDataCells();
}

void FlexGridModel::clearTexts()
{
    for (Row& row : cells) {
        row.line = QString();
        row.cells.fill(QString());
    }
    if (columns > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columns - 1);
    refreshDataCells();
}

void FlexGridModel::refreshDataCells()
{
    if (rowCount() > 0 && columns > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columns - 1));
}

FlexGrid::FlexGrid(QWidget* parent)
    : QTableView(parent)
    , cells(new FlexGridModel(this))
{
    setModel(cells);
    // Whole rows, one at a time, never edited; Tab moves on to the next control.
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    // Titles are not buttons (no sorting), and columns get the widths set, however narrow.
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setMinimumSectionSize(0);
    setRows(DefaultRows);
    setCols(DefaultCols);
    connect(this, &QAbstractItemView::clicked, this, &FlexGrid::Click);
    connect(this, &QAbstractItemView::doubleClicked, this, &FlexGrid::DblClick);
}

int FlexGrid::Rows() const
{
    return cells->rowTotal();
}

void FlexGrid::setRows(int count)
{
    cells->resizeRows(std::clamp(count, 1, MaxRows));
}

void FlexGrid::setLineCutter(LineCutter cutter)
{
    cells->setLineCutter(std::move(cutter));
}

void FlexGrid::AppendLines(QList<QString> lines)
{
    cells->appendLines(std::move(lines));
}

// The view would make the next row current and selected: no row is chosen after a removal.
void FlexGrid::RemoveRow(int row)
{
    cells->removeRow(row);
    selectionModel()->clear();
}

int FlexGrid::Cols() const
{
    return cells->columnTotal();
}

void FlexGrid::setCols(int count)
{
    cells->resizeColumns(qMax(count, 0));
}

// The current row counts only while it is selected: the view makes a row current by itself when
// it gets the focus, and that row was never chosen by the user.
int FlexGrid::Row() const
{
    const QModelIndex current = currentIndex();
    const bool chosen = current.isValid() && selectionModel()
        && selectionModel()->isRowSelected(current.row(), current.parent());
    return chosen ? current.row() + 1 : 0;
}

void FlexGrid::setRow(int row)
{
    const QModelIndex target
        = row < 1 ? QModelIndex() : cells->index(row - 1, qMax(currentIndex().column(), 0));
    if (!target.isValid()) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(
        target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(target);
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    return cells->text(row, col);
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    cells->setText(row, col, text);
}

void FlexGrid::setFormatString(const QString& format)
{
    const QStringList columnFormats = format.split(u'|');
    setCols(int(columnFormats.size()));
    for (int col = 0; col < columnFormats.size(); ++col) {
        const ColumnFormat parsed = ParseColumnFormat(columnFormats[col]);
        cells->setAlignment(col, parsed.alignment);
        cells->setText(0, col, parsed.title);
    }
}

int FlexGrid::ColWidth(int col) const
{
    return twipsFromPixels(columnWidth(col));
}

void FlexGrid::setColWidth(int col, int twips)
{
    setColumnWidth(col, pixelsFromTwips(twips));
}

bool FlexGrid::ColHidden(int col) const
{
    return isColumnHidden(col);
}

void FlexGrid::setColHidden(int col, bool hidden)
{
    setColumnHidden(col, hidden);
}

bool FlexGrid::RowHidden(int row) const
{
    return row >= 1 && isRowHidden(row - 1);
}

void FlexGrid::setRowHidden(int row, bool hidden)
{
    if (row >= 1)
        QTableView::setRowHidden(row - 1, hidden);
}

void FlexGrid::Clear()
{
    cells->clearTexts();
}

void FlexGrid::setCheckColumn(int col)
{
    cells->setCheckColumn(col);
}

void FlexGrid::setColourColumn(int col)
{
    cells->setColourColumn(col);
}

void FlexGrid::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        emit KeyUp(event->key(), event->modifiers());
    QTableView::keyReleaseEvent(event);
}

int FlexGrid::pixelsFromTwips(int twips) const
{
    return qRound(std::clamp(twips, 0, MaxColumnTwips) / TwipsPerInch * logicalDpiX());
}

int FlexGrid::twipsFromPixels(int pixels) const
{
    return qRound(pixels * TwipsPerInch / logicalDpiX());
}

#include "flex_grid.moc"
