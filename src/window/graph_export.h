#pragma once

#include "platform/print_output.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

class PictureBox;
class QMenu;
class QWidget;

// One shown test in the legend of a comparison graph.
struct GraphLegendEntry {
    QString testNumber;
    QString product;
    QColor colour;
};

// What a graph's files and printouts are named after; asked when they are made.
struct GraphNames {
    // The title printed above the graph.
    std::function<QString()> title;
    // The document and file name without extension: "Vergleich-<protocol>", "Messung-<test>".
    std::function<QString()> documentName;
    // The folder a file is suggested in.
    std::function<QString()> folder;
    // The tests a comparison graph shows. Where it is given, picture files carry the title, and
    // files and printouts a legend below the graph. None for the live graph.
    std::function<QList<GraphLegendEntry>()> legend = {};
};

// A graph on paper and in files: drawn afresh from the picture box's own drawing steps at the
// resolution of the output, never taken from the screen. Its menu saves it as a picture or PDF
// and prints it.
class GraphExport : public QObject {
    Q_OBJECT

public:
    // report: shows a message box (text, style, title).
    GraphExport(PictureBox& graph, GraphNames names, PrintRunner print,
        std::function<void(const QString&, int, const QString&)> report);

    // The menu of the graph; made once and kept with the graph.
    QMenu* Menu();
    void ShowMenu(const QPoint& globalPosition);
    bool SaveGraphPicture(const QString& path);
    bool SaveGraphPdf(const QString& path);
    void PrintGraph();
    // The page of the graph: the frame of the protocol printout, the title, and the graph as
    // large as the page allows.
    PrintJob GraphPrintJob() const;

private:
    QList<GraphLegendEntry> Legend() const;
    void ChooseGraphPictureFile();
    void ChooseGraphPdfFile();
    void ChooseFileAndSave(const QString& title, const QString& extension, const QString& filter,
        bool (GraphExport::*save)(const QString&));
    void ReportGraphFileFailure(const QString& path);

    PictureBox& graph;
    GraphNames names;
    PrintRunner print;
    std::function<void(const QString&, int, const QString&)> report;
    QMenu* menu = nullptr;
};

// A print that failed is named to the user; a cancelled one is not.
void ReportPrintOutcome(PrintOutcome outcome, const QString& what,
    const std::function<void(const QString&, int, const QString&)>& report);

// The text without the characters a file name cannot hold on Windows or Linux: <>:"/\|?* and
// control characters; umlauts, blanks and the like stay.
QString FileNamePart(const QString& text);
