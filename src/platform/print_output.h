#pragma once

#include "platform/printer.h"

#include <QPageLayout>
#include <QString>
#include <functional>
#include <memory>

class QPrinter;
class QWidget;

enum class PrintOutcome { Printed, Cancelled, Failed };

// Asks the user for a printer and runs the job on it; the window takes this from its
// environment, so that tests print on a recording printer.
using PrintRunner = std::function<PrintOutcome(const QString& documentName, const PrintJob& job)>;

// An A4 page with margins of 10 mm. The protocol's lines are laid out for the upright page.
QPageLayout A4Page(QPageLayout::Orientation orientation);

// Writes the job as a PDF file; the file is written whole or not at all.
bool WritePdfFile(
    const QString& path, const QPageLayout& layout, const QString& title, const PrintJob& job);

// Runs the job on the printer. Where the printer writes a PDF file, that file is written whole
// or not at all.
bool PrintOn(QPrinter& printer, const PrintJob& job);

// Names the printer's document and offers its PDF file in the storage folder, or else in the
// folder of the file written last; an empty folder is no storage folder.
void ProposeDocument(QPrinter& printer, const QString& documentName, const QString& storageFolder);

// The printer this program prints on: chosen in the system's dialog and kept for the program's
// run; the system's default printer stays as it is.
class SystemPrinter {
public:
    // storageFolder: where PDF files are offered first.
    explicit SystemPrinter(std::function<QString()> storageFolder);
    ~SystemPrinter();
    SystemPrinter(const SystemPrinter&) = delete;
    SystemPrinter& operator=(const SystemPrinter&) = delete;

    // The printer-selection dialog, then the print; nothing is printed when it is cancelled.
    PrintOutcome PrintWithDialog(QWidget* parent, const QString& documentName, const PrintJob& job);
    // The print preview, from which the user may print or write a PDF file.
    PrintOutcome Preview(QWidget* parent, const QString& documentName, const PrintJob& job);

private:
    QPrinter& printerFor(const QString& documentName);

    std::function<QString()> storageFolder;
    std::unique_ptr<QPrinter> chosen;
};
