#pragma once

#include "platform/print_output.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

class PictureBox;
class QMenu;
class QWidget;

// What a graph's files and printouts are named after; asked when they are made.
struct GraphNames {
    // The title printed above the graph.
    std::function<QString()> title;
    // The document and file name without extension: "Vergleich-<protocol>", "Messung-<test>".
    std::function<QString()> documentName;
    // The folder a file is suggested in.
    std::function<QString()> folder;
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
