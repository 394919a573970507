#pragma once

#include "records/measurement_file.h"
#include "window/graph_export.h"

#include <QDateTime>
#include <QHash>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class FlexGrid;
class PictureBox;
class QPushButton;
struct GraphScale;

// The tab "Alle Messungen": the comparison graph (Grafik(0)) of stored tests and the curve list
// (WahlTab) that chooses them. Each row of the list mirrors a record: test number, position, the
// shown flag ("-1"/"0"), the colour of its curves while shown and the product.
class ComparisonPanel : public QWidget {
    Q_OBJECT

public:
    // folderOfCurves: the measurement folder the stored tests are read from.
    ComparisonPanel(const GraphScale& scale, std::function<QString()> folderOfCurves,
        QWidget* parent = nullptr);

    PictureBox& Graph() const { return *Grafik0; }

    // The list with its headings and no row.
    void FormatCurveList();
    // A row for each record line after the rows there are; their curves start hidden.
    void AddCurveRows(const QStringList& records);
    int CurveRows() const;
    bool IsShown(int row) const;
    void SetShown(int row, bool shown);
    // "test-position" of a row, as its measurement file is named.
    QString StoredTestName(int row) const;
    QStringList ShownStoredTests() const;
    // The tests of `names` that the list still holds are shown again.
    void ShowAgain(const QStringList& names);
    void RemoveCurveRow(int row);
    // The colour of a shown row's curves; invalid for a hidden row.
    QColor CurveColour(int row) const;
    // Test number, product and colour of every shown test, in the list's order.
    QList<GraphLegendEntry> Legend() const;

    // Marks the row's curve shown or hidden and draws it, or draws the graph again without it.
    void ShowCurve(int row, bool shown);
    void ResetComparisonGraph();
    void RedrawStoredCurves();
    // "Alle Kurven löschen": the graph is cleared and every curve hidden.
    void ButDel_Click();
    // Every row's curve counts as hidden; the graph stays as it is.
    void ForgetShownCurves();

signals:
    void menuRequested(const QPoint& globalPosition);

private:
    // A stored test's samples as read from its file, and the file's size and time of change then.
    struct ReadCurve {
        qint64 size = -1;
        QDateTime modified;
        std::optional<StoredCurve> curve;
    };

    void DrawStoredCurve(const QString& Name, qint16 Position, const QColor& colour);
    void DrawStoredCurveOfRow(int row);
    QString FreeColour() const;
    // The current row while its curve is shown, drawn on top and thicker; 0 for none.
    int HighlightedRow() const;
    void CurrentRowChanged(int row, int previous);
    const std::optional<StoredCurve>& CurveOfFile(const QString& path);
    void WahlTab_Click();

    const GraphScale& scale;
    std::function<QString()> folderOfCurves;
    PictureBox* Grafik0;
    FlexGrid* WahlTab;
    QPushButton* ButDel0;
    // The curves of the tests shown, by path: each file is read once while it stays as it was.
    QHash<QString, ReadCurve> readCurves;
};
