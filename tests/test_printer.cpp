// The printer control painting on a PDF file, headless.
#include "platform/printer.h"
#include "test_support.h"

#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A page in the way the protocol printout draws it: scale, rules, a line of text.
void DrawPage(Printer& printer, int page)
{
    printer.setDrawWidth(5);
    printer.Line({50, 45}, {770, 45});
    printer.setDrawWidth(1);
    printer.setFontSize(8);
    printer.setCurrentPosition({50, 72});
    printer.Print(QStringLiteral("00012-1 Prüföl Seite %1").arg(page));
}

} // namespace

class PrinterTest : public QObject {
    Q_OBJECT

private slots:
    void pdfHasItsPages_data();
    void pdfHasItsPages();
    void unwritablePdfFailsWithoutACrash();
};

void PrinterTest::pdfHasItsPages_data()
{
    QTest::addColumn<int>("pages");
    QTest::newRow("one page") << 1;
    QTest::newRow("three pages") << 3;
}

void PrinterTest::pdfHasItsPages()
{
    QFETCH(int, pages);
    QTemporaryDir folder;
    const QString path = folder.filePath("protokoll.pdf");
    {
        QPdfWriter pdf(path);
        PaintingPrinter printer(pdf);
        printer.setScale({0, 0, 800, 680});
        printer.setFontName(QStringLiteral("Arial"));
        for (int page = 1; page <= pages; ++page) {
            if (page > 1)
                printer.NewPage();
            DrawPage(printer, page);
        }
        printer.EndDoc();
        QVERIFY(printer.isValid());
    }
    QCOMPARE(PdfPageCount(path), pages);
}

void PrinterTest::unwritablePdfFailsWithoutACrash()
{
    QTemporaryDir folder;
    QPdfWriter pdf(folder.filePath("kein-ordner/protokoll.pdf"));
    PaintingPrinter printer(pdf);
    printer.setScale({0, 0, 800, 680});
    DrawPage(printer, 1);
    printer.EndDoc();
    QVERIFY(!printer.isValid());
    QVERIFY(!QFile::exists(folder.filePath("kein-ordner/protokoll.pdf")));
}

QTEST_MAIN(PrinterTest)
#include "test_printer.moc"
