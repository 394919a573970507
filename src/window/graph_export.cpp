#include "window/graph_export.h"

#include "platform/message_box.h"
#include "platform/picture_box.h"
#include "platform/text_file.h"
#include "print/protocol_printout.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>

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

QFont FigureFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A graph as its files and pages carry it, in the graph's logical pixels: the title above (a page
// prints its own), the graph, and the legend below, where it hides no curve.
class Figure {
public:
    Figure(const PictureBox& picture, QString heading, QList<GraphLegendEntry> entries)
        : graph(picture)
        , graphSize(picture.size())
        , title(std::move(heading))
        , legend(std::move(entries))
    {
        const QFontMetricsF metrics(FigureFont(LegendPixels));
        qreal widest = 0;
        for (const GraphLegendEntry& entry : std::as_const(legend))
            widest = std::max(widest, metrics.horizontalAdvance(EntryText(entry)));
        const qreal room = graphSize.width() - 2 * Padding - SwatchWidth - SwatchGap;
        textWidth = std::max(qreal(1), std::min(widest, room));
        entryWidth = SwatchWidth + SwatchGap + textWidth + EntryGap;
        columns = std::max(1, int((graphSize.width() - 2 * Padding + EntryGap) / entryWidth));
        const qsizetype rows = (legend.size() + columns - 1) / columns;
        legendHeight = legend.isEmpty() ? 0 : 2 * Padding + qreal(rows) * LineHeight;
        titleHeight = title.isEmpty() ? 0 : TitleHeight;
    }

    QSizeF size() const
    {
        return {graphSize.width(), titleHeight + graphSize.height() + legendHeight};
    }

    void paint(QPainter& painter) const
    {
        painter.save();
        painter.fillRect(QRectF(QPointF(), size()), Qt::white);
        painter.setPen(Qt::black);
        if (!title.isEmpty()) {
            painter.setFont(FigureFont(TitlePixels, true));
            painter.drawText(QRectF(Padding, 0, graphSize.width() - 2 * Padding, titleHeight),
                Qt::AlignLeft | Qt::AlignVCenter, title);
        }
        graph.Render(painter, QRectF(QPointF(0, titleHeight), graphSize), graphSize);
        painter.setFont(FigureFont(LegendPixels));
        const QFontMetricsF metrics(painter.font());
        for (qsizetype index = 0; index < legend.size(); ++index) {
            const GraphLegendEntry& entry = legend[index];
            const QPointF corner(Padding + qreal(index % columns) * entryWidth,
                titleHeight + graphSize.height() + Padding + qreal(index / columns) * LineHeight);
            painter.fillRect(QRectF(corner + QPointF(0, (LineHeight - SwatchHeight) / 2),
                                 QSizeF(SwatchWidth, SwatchHeight)),
                entry.colour);
            painter.drawText(
                QRectF(corner + QPointF(SwatchWidth + SwatchGap, 0), QSizeF(textWidth, LineHeight)),
                Qt::AlignLeft | Qt::AlignVCenter,
                metrics.elidedText(EntryText(entry), Qt::ElideRight, textWidth));
        }
        painter.restore();
    }

private:
    static constexpr int TitlePixels = 16;
    static constexpr int LegendPixels = 12;
    static constexpr qreal TitleHeight = 32;
    static constexpr qreal LineHeight = 20;
    static constexpr qreal Padding = 8;
    static constexpr qreal SwatchWidth = 28;
    static constexpr qreal SwatchHeight = 10;
    static constexpr qreal SwatchGap = 6;
    static constexpr qreal EntryGap = 24;

    static QString EntryText(const GraphLegendEntry& entry)
    {
        return entry.product.isEmpty() ? entry.testNumber
                                       : entry.testNumber + QStringLiteral("  ") + entry.product;
    }

    const PictureBox& graph;
    QSizeF graphSize;
    QString title;
    QList<GraphLegendEntry> legend;
    qreal textWidth = 0;
    qreal entryWidth = 0;
    int columns = 1;
    qreal legendHeight = 0;
    qreal titleHeight = 0;
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

QList<GraphLegendEntry> GraphExport::Legend() const
{
    return names.legend ? names.legend() : QList<GraphLegendEntry>();
}

// The graph is drawn as lines and text where the printer takes them, as into a PDF file.
PrintJob GraphExport::GraphPrintJob() const
{
    const QString title = names.title();
    const auto figure = std::make_shared<const Figure>(graph, QString(), Legend());
    return [figure, title](Printer& printer) {
        printer.setScale({0, 0, 800, 680});
        printer.setFontName(QStringLiteral("Arial"));
        PrintPageFrame(printer, 50, 1);
        SetPrintPosition(printer, 50, 50, 9, 1);
        printer.Print(title, 720);
        printer.DrawFigure({50, 72, 720, 580}, figure->size(),
            [figure](QPainter& painter) { figure->paint(painter); });
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
    const Figure figure(graph, names.legend ? names.title() : QString(), Legend());
    const QSize size = figure.size().toSize();
    const qreal ratio = PictureRatio(size);
    QImage picture(size * ratio, QImage::Format_RGB32);
    if (!picture.isNull()) {
        picture.setDevicePixelRatio(ratio);
        QPainter painter(&picture);
        figure.paint(painter);
    }
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

// Characters below a blank and DEL are control characters.
QString FileNamePart(const QString& text)
{
    QString part;
    for (const QChar character : text.trimmed()) {
        if (character.unicode() >= 0x20 && character.unicode() != 0x7f
            && !QStringLiteral(R"(<>:"/\|?*)").contains(character))
            part.append(character);
    }
    return part;
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
