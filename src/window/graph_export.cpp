// The graphs on paper and in files: drawn afresh from the picture box's own drawing steps at the
// resolution of the output, never taken from the screen.
#include "platform/message_box.h"
#include "platform/picture_box.h"
#include "platform/text_file.h"
#include "print/protocol_printout.h"
#include "window/form1.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>

namespace {

// A picture file holds three pixels for each pixel of the graph on the screen.
constexpr qreal PictureFileRatio = 3;
constexpr int LongestPictureFileSide = 7000;
constexpr int MostNamedCurves = 12;

// Only characters every file system takes, so that a suggested name always works.
QString FileNamePart(QString text)
{
    static const QRegularExpression unsafe(QStringLiteral(R"([^\w.-]+)"));
    return text.trimmed().replace(unsafe, QStringLiteral("_"));
}

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

QString Form1::GraphTitle(int Index) const
{
    if (Index == 0) {
        QStringList curves = ShownStoredTests();
        if (curves.size() > MostNamedCurves) {
            curves = curves.mid(0, MostNamedCurves);
            curves.append(QStringLiteral("…"));
        }
        return QStringLiteral("Vergleichsgrafik  ")
            + (curves.isEmpty() ? QStringLiteral("(keine Kurve gewählt)") : curves.join(", "));
    }
    QStringList parts {QStringLiteral("Messung")};
    for (const QLineEdit* field : {TestNr, Text1, TestDatum, TestZeit}) {
        if (!field->text().trimmed().isEmpty())
            parts.append(field->text().trimmed());
    }
    return parts.join(QStringLiteral("  "));
}

// The graph's name as a document and a file: "Vergleich-<protocol>" or "Messung-<test number>".
QString Form1::GraphDocumentName(int Index) const
{
    return Index == 0 ? QStringLiteral("Vergleich-") + FileNamePart(TabProtDatei->currentText())
                      : QStringLiteral("Messung-") + FileNamePart(TestNr->text());
}

QString Form1::GraphFileName(int Index, const QString& extension) const
{
    return Label10->text() + GraphDocumentName(Index) + extension;
}

// The page of a graph: the frame of the protocol printout, the title, and the graph as large as
// the page allows.
PrintJob Form1::GraphPrintJob(int Index) const
{
    const PictureBox* graph = GraphAt(Index);
    const QString title = GraphTitle(Index);
    return [graph, title](Printer& printer) {
        printer.setScale({0, 0, 800, 680});
        printer.setFontName(QStringLiteral("Arial"));
        PrintPageFrame(printer, 50, 1);
        SetPrintPosition(printer, 50, 50, 9, 1);
        printer.Print(title, 720);
        printer.DrawPicture({50, 72, 720, 580}, graph->size(), [graph](QSize pixels, qreal ratio) {
            return graph->PictureAt((QSizeF(pixels) / ratio).toSize(), ratio);
        });
    };
}

namespace {

// A file not saved is named to the user; no printer plays a part in it.
void ReportGraphFileFailure(Form1& window, const QString& path)
{
    window.MsgBox(QStringLiteral("Die Grafik konnte nicht in die Datei ")
            + QDir::toNativeSeparators(path) + QStringLiteral(" gespeichert werden.") + window.CrLf
            + window.CrLf
            + QStringLiteral("Bitte prüfen Sie, ob der Ordner beschreibbar ist und genug Platz "
                             "bietet. Eine vorhandene Datei dieses Namens bleibt unverändert."),
        MsgStyle::Exclamation, QStringLiteral("Grafik speichern"));
}

} // namespace

bool Form1::SaveGraphPicture(int Index, const QString& path)
{
    const PictureBox* graph = GraphAt(Index);
    const QImage picture = graph->PictureAt(graph->size(), PictureRatio(graph->size()));
    QByteArray png;
    QBuffer buffer(&png);
    const bool saved = !picture.isNull() && buffer.open(QIODevice::WriteOnly)
        && picture.save(&buffer, "PNG") && ReplaceFileBytes(path, png);
    if (!saved)
        ReportGraphFileFailure(*this, path);
    return saved;
}

bool Form1::SaveGraphPdf(int Index, const QString& path)
{
    const bool saved = WritePdfFile(
        path, A4Page(QPageLayout::Landscape), GraphTitle(Index), GraphPrintJob(Index));
    if (!saved)
        ReportGraphFileFailure(*this, path);
    return saved;
}

void Form1::PrintGraph(int Index)
{
    ReportPrintOutcome(
        printRunner(GraphDocumentName(Index), GraphPrintJob(Index)), QStringLiteral("Die Grafik"));
}

void Form1::ChooseGraphPictureFile(int Index)
{
    const QString path = AskForFile(this, QStringLiteral("Grafik als Bild speichern"),
        GraphFileName(Index, QStringLiteral(".png")), QStringLiteral("PNG-Bild (*.png)"));
    if (!path.isEmpty()) {
        const WaitCursor waiting;
        SaveGraphPicture(Index, path);
    }
}

void Form1::ChooseGraphPdfFile(int Index)
{
    const QString path = AskForFile(this, QStringLiteral("Grafik als PDF speichern"),
        GraphFileName(Index, QStringLiteral(".pdf")), QStringLiteral("PDF-Datei (*.pdf)"));
    if (!path.isEmpty()) {
        const WaitCursor waiting;
        SaveGraphPdf(Index, path);
    }
}

// The menu of a graph; made once and kept with the graph.
QMenu* Form1::GraphMenu(int Index)
{
    PictureBox* graph = GraphAt(Index);
    if (auto* made = graph->findChild<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        return made;
    auto* menu = new QMenu(graph);
    menu->addAction(QStringLiteral("Grafik als Bild speichern …"), this,
        [this, Index] { ChooseGraphPictureFile(Index); });
    menu->addAction(QStringLiteral("Grafik als PDF speichern …"), this,
        [this, Index] { ChooseGraphPdfFile(Index); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Grafik drucken …"), this, [this, Index] { PrintGraph(Index); });
    return menu;
}

void Form1::ShowGraphMenu(int Index, const QPoint& globalPosition)
{
    GraphMenu(Index)->popup(globalPosition);
}
