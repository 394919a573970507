#include "window/graph_export.h"

#include "platform/message_box.h"
#include "platform/picture_box.h"
#include "platform/text_file.h"
#include "print/protocol_printout.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>

namespace {

// A picture file holds three pixels for each pixel of the graph on the screen.
constexpr qreal PictureFileRatio = 3;
constexpr int LongestPictureFileSide = 7000;

// The file to save to, asked in a dialog that gives the name the suggested file's extension where
// the user typed another or none, so that a graph never replaces a measurement or protocol file;
// the dialog asks before it replaces a file. Empty when cancelled.
QString AskForFile(
    QWidget* parent, const QString& title, const QString& suggested, const QString& filter)
{
    QFileDialog dialog(parent, title, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QString extension = QFileInfo(suggested).suffix();
    dialog.setDefaultSuffix(extension);
    dialog.selectFile(suggested);
    QString chosen;
    QObject::connect(&dialog, &QFileDialog::fileSelected, &dialog, [&](const QString& file) {
        chosen = file;
        if (QFileInfo(file).suffix().compare(extension, Qt::CaseInsensitive) != 0) {
            chosen.clear();
            dialog.selectFile(file + '.' + extension);
        }
    });
    while (dialog.exec() == QDialog::Accepted) {
        if (!chosen.isEmpty())
            return chosen;
    }
    return {};
}

// The wait cursor while a large graph is drawn afresh.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(WaitCursor)
};

qreal PictureRatio(QSize logicalSize)
{
    const int longest = std::max(logicalSize.width(), logicalSize.height());
    return longest > 0 ? std::min(PictureFileRatio, qreal(LongestPictureFileSide) / longest)
                       : PictureFileRatio;
}

} // namespace

GraphExport::GraphExport(PictureBox& picture, GraphNames graphNames, PrintRunner printRunner,
    std::function<void(const QString&, int, const QString&)> reporter)
    : QObject(&picture)
    , graph(picture)
    , names(std::move(graphNames))
    , print(std::move(printRunner))
    , report(std::move(reporter))
{
}

PrintJob GraphExport::GraphPrintJob() const
{
    const PictureBox* shown = &graph;
    const QString title = names.title();
    return [shown, title](Printer& printer) {
        printer.setScale({0, 0, 800, 680});
        printer.setFontName(QStringLiteral("Arial"));
        PrintPageFrame(printer, 50, 1);
        SetPrintPosition(printer, 50, 50, 9, 1);
        printer.Print(title, 720);
        printer.DrawPicture({50, 72, 720, 580}, shown->size(), [shown](QSize pixels, qreal ratio) {
            return shown->PictureAt((QSizeF(pixels) / ratio).toSize(), ratio);
        });
    };
}

// A file not saved is named to the user; no printer plays a part in it.
void GraphExport::ReportGraphFileFailure(const QString& path)
{
    const QString CrLf = QStringLiteral("\r\n");
    report(QStringLiteral("Die Grafik konnte nicht in die Datei ") + QDir::toNativeSeparators(path)
            + QStringLiteral(" gespeichert werden.") + CrLf + CrLf
            + QStringLiteral("Bitte prüfen Sie, ob der Ordner beschreibbar ist und genug Platz "
                             "bietet. Eine vorhandene Datei dieses Namens bleibt unverändert."),
        MsgStyle::Exclamation, QStringLiteral("Grafik speichern"));
}

bool GraphExport::SaveGraphPicture(const QString& path)
{
    const QImage picture = graph.PictureAt(graph.size(), PictureRatio(graph.size()));
    QByteArray png;
    QBuffer buffer(&png);
    const bool saved = !picture.isNull() && buffer.open(QIODevice::WriteOnly)
        && picture.save(&buffer, "PNG") && ReplaceFileBytes(path, png);
    if (!saved)
        ReportGraphFileFailure(path);
    return saved;
}

bool GraphExport::SaveGraphPdf(const QString& path)
{
    const bool saved
        = WritePdfFile(path, A4Page(QPageLayout::Landscape), names.title(), GraphPrintJob());
    if (!saved)
        ReportGraphFileFailure(path);
    return saved;
}

void GraphExport::PrintGraph()
{
    ReportPrintOutcome(
        print(names.documentName(), GraphPrintJob()), QStringLiteral("Die Grafik"), report);
}

void GraphExport::ChooseGraphPictureFile()
{
    ChooseFileAndSave(QStringLiteral("Grafik als Bild speichern"), QStringLiteral(".png"),
        QStringLiteral("PNG-Bild (*.png)"), &GraphExport::SaveGraphPicture);
}

void GraphExport::ChooseGraphPdfFile()
{
    ChooseFileAndSave(QStringLiteral("Grafik als PDF speichern"), QStringLiteral(".pdf"),
        QStringLiteral("PDF-Datei (*.pdf)"), &GraphExport::SaveGraphPdf);
}

// The file is suggested beside the protocol files under the graph's document name.
void GraphExport::ChooseFileAndSave(const QString& title, const QString& extension,
    const QString& filter, bool (GraphExport::*save)(const QString&))
{
    const QString path
        = AskForFile(&graph, title, names.folder() + names.documentName() + extension, filter);
    if (!path.isEmpty()) {
        const WaitCursor waiting;
        (this->*save)(path);
    }
}

QMenu* GraphExport::Menu()
{
    if (menu)
        return menu;
    menu = new QMenu(&graph);
    menu->addAction(
        QStringLiteral("Grafik als Bild speichern …"), this, [this] { ChooseGraphPictureFile(); });
    menu->addAction(
        QStringLiteral("Grafik als PDF speichern …"), this, [this] { ChooseGraphPdfFile(); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Grafik drucken …"), this, [this] { PrintGraph(); });
    return menu;
}

void GraphExport::ShowMenu(const QPoint& globalPosition)
{
    Menu()->popup(globalPosition);
}

void ReportPrintOutcome(PrintOutcome outcome, const QString& what,
    const std::function<void(const QString&, int, const QString&)>& report)
{
    if (outcome != PrintOutcome::Failed)
        return;
    report(what + QStringLiteral(" konnte nicht gedruckt oder gespeichert werden.\r\n\r\n")
            + QStringLiteral("Bitte prüfen Sie den Drucker, oder beim Speichern als PDF, ob der "
                             "Ordner beschreibbar ist und genug Platz bietet."),
        MsgStyle::Exclamation, QStringLiteral("Drucken"));
}
