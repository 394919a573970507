#pragma once

#include "print/protocol_printout.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

class FlexGrid;
class QComboBox;
class QLabel;
class QPushButton;

// The tab "Messprotokoll": the records of the chosen protocol file in ProtTab, the selected test,
// its deletion and the printout's buttons. It shows what it is given and reports what the user
// asks for; the main window does the work.
class ProtocolPanel : public QWidget {
    Q_OBJECT

public:
    explicit ProtocolPanel(QWidget* parent = nullptr);

    // An empty table with its headings for the file at `path`; no test is selected.
    void ShowProtocolFile(const QString& path);
    // The path of the protocol file the table shows; empty when none is chosen.
    QString ShownProtocolFile() const;
    void ShowRecords(const QStringList& records);
    // One record into row `row`, which the table grows to hold.
    void AddRecordRow(int row, const QString& record);
    int RecordRows() const;

    // The row the user chose (0 or less: none).
    int SelectedRow() const;
    QStringList RowCells(int row) const;
    QString Cell(int row, int column) const;
    // "Test-Nr.: 00012 / product" of a row.
    QString SelectedTestText(int row) const;
    void ForgetSelection();
    // The row leaves the table; no test is chosen afterwards.
    void RemoveRecordRow(int row);

    PrintKind ChosenPrintKind() const;
    const FlexGrid& Table() const { return *ProtTab; }

signals:
    // Another protocol file is shown; empty: none is chosen.
    void protocolFileShown(const QString& path);
    void curveToggleRequested();
    void deleteRequested();
    void printRequested();
    void previewRequested();

private:
    void FormatRecordTable();
    void WidenColumns(const QStringList& records);
    void ShowSelectedTest();

    FlexGrid* ProtTab;
    QLabel* LabelProt;
    QLabel* Label28;
    QPushButton* DelMessung;
    QComboBox* DruckArt;
    QPushButton* ProtDrucken;
    QPushButton* ProtVorschau;
    QString shownFile;
    // The columns whose width the user set, and whether the panel sets widths itself just now.
    QSet<int> userSizedColumns;
    bool sizingColumns = false;
};
