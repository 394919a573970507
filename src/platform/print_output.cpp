#include "platform/print_output.h"

#include "platform/text_file.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPaintEngine>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

constexpr int PdfDotsPerInch = 600;

// The Windows printer dialog reads a printer's file name as "print to file" ticked; the others
// offer it only for printing to a file.
#ifdef Q_OS_WIN
constexpr bool DialogOffersFileName = false;
#else
constexpr bool DialogOffersFileName = true;
#endif

bool WritesPdfFile(QPrinter& printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()
        && printer.paintEngine() && printer.paintEngine()->type() == QPaintEngine::Pdf;
}

} // namespace

// The document's name in the storage folder (or else in the folder chosen last), so that one
// document's file is not offered for the next. The output format stays: a printer chosen before
// stays the dialog's choice, and the file is only offered for printing to a file.
void ProposeDocument(QPrinter& printer, const QString& documentName, const QString& storageFolder)
{
    printer.setDocName(documentName);
    if (!DialogOffersFileName)
        return;
    const QString lastFile = printer.outputFileName();
    const QString folder = !storageFolder.isEmpty() ? storageFolder
        : lastFile.isEmpty()                        ? QString()
                                                    : QFileInfo(lastFile).absolutePath();
    if (folder.isEmpty())
        return;
    const QPrinter::OutputFormat format = printer.outputFormat();
    printer.setOutputFileName(QDir(folder).filePath(documentName + ".pdf"));
    printer.setOutputFormat(format);
}

namespace {

// A job may turn the pages of its document; the kept printer turns back for the next one.
class KeptOrientation {
public:
    explicit KeptOrientation(QPrinter& printer)
        : printer(printer)
        , orientation(printer.pageLayout().orientation())
    {
    }
    ~KeptOrientation() { printer.setPageOrientation(orientation); }
    KeptOrientation(const KeptOrientation&) = delete;
    KeptOrientation& operator=(const KeptOrientation&) = delete;

private:
    QPrinter& printer;
    QPageLayout::Orientation orientation;
};

bool PaintJob(QPagedPaintDevice& device, const PrintJob& job)
{
    PaintingPrinter printer(device);
    job(printer);
    return printer.EndDoc();
}

} // namespace

QPageLayout A4Page(QPageLayout::Orientation orientation)
{
    return QPageLayout(
        QPageSize(QPageSize::A4), orientation, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

// The document is built in memory and then renamed into place, so that a full disk or a folder
// that cannot be written leaves no half file behind.
bool WritePdfFile(
    const QString& path, const QPageLayout& layout, const QString& title, const PrintJob& job)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool painted = false;
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageLayout(layout);
        pdf.setResolution(PdfDotsPerInch);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("taliv01"));
        painted = PaintJob(pdf, job);
    }
    return painted && ReplaceFileBytes(path, buffer.data());
}

bool PrintOn(QPrinter& printer, const PrintJob& job)
{
    if (WritesPdfFile(printer))
        return WritePdfFile(printer.outputFileName(), printer.pageLayout(), printer.docName(), job);
    return PaintJob(printer, job);
}

SystemPrinter::SystemPrinter(std::function<QString()> storageFolder)
    : storageFolder(std::move(storageFolder))
{
}

SystemPrinter::~SystemPrinter() = default;

// The kept printer, named for the document about to be printed.
QPrinter& SystemPrinter::printerFor(const QString& documentName)
{
    if (!chosen) {
        chosen = std::make_unique<QPrinter>(QPrinter::HighResolution);
        chosen->setPageLayout(A4Page(QPageLayout::Portrait));
    }
    ProposeDocument(*chosen, documentName, storageFolder ? storageFolder() : QString());
    return *chosen;
}

PrintOutcome SystemPrinter::PrintWithDialog(
    QWidget* parent, const QString& documentName, const PrintJob& job)
{
    QPrinter& device = printerFor(documentName);
    QPrintDialog dialog(&device, parent);
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    if (dialog.exec() != QDialog::Accepted)
        return PrintOutcome::Cancelled;
    const KeptOrientation kept(device);
    return PrintOn(device, job) ? PrintOutcome::Printed : PrintOutcome::Failed;
}

// The preview paints through the job itself; its print button prints on the kept printer. The
// last drawing tells how it went: a preview drawing cancelled before does not fail the print.
PrintOutcome SystemPrinter::Preview(
    QWidget* parent, const QString& documentName, const PrintJob& job)
{
    QPrinter& device = printerFor(documentName);
    QPrintPreviewDialog dialog(&device, parent);
    dialog.setWindowTitle(QStringLiteral("Druckvorschau"));
    const KeptOrientation kept(device);
    bool failed = false;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
        [&](QPrinter* target) { failed = !PrintOn(*target, job); });
    const bool printed = dialog.exec() == QDialog::Accepted;
    if (failed)
        return PrintOutcome::Failed;
    return printed ? PrintOutcome::Printed : PrintOutcome::Cancelled;
}
