// The protocol printout and the graphs on paper and in files: every text with its position, size
// and page on a recording printer, and real PDF and PNG files.
#include "platform/flex_grid.h"
#include "platform/picture_box.h"
#include "print/protocol_printout.h"
#include "test_support.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {

// x, text and cut width of a printed field.
using PrintedField = std::tuple<double, QString, double>;

// Fills the record table with `rows` tests: test number 100 + row on position 1, the row number
// in every text, and hides the given rows.
void FillTable(Form1& window, int rows, const QList<int>& hidden = {})
{
    window.FormatRecordTable();
    window.ProtTab->setRows(rows + 1);
    for (int row = 1; row <= rows; ++row) {
        const QStringList cells {QString::number(100 + row), QStringLiteral("1"),
            QStringLiteral("Produkt %1").arg(row), QStringLiteral("A%1").arg(row),
            QStringLiteral("C%1").arg(row), QStringLiteral("Bem1 %1").arg(row),
            QStringLiteral("Bem2 %1").arg(row), QStringLiteral("Bem3 %1").arg(row),
            QStringLiteral("06.12.26"), QStringLiteral("10:%1").arg(row % 60, 2, 10, QChar('0')),
            QStringLiteral("  3 s")};
        for (int column = 0; column < cells.size(); ++column)
            window.ProtTab->setTextMatrix(row, column, cells[column]);
    }
    for (int row : hidden)
        window.ProtTab->setRowHidden(row, true);
}

// The printed line of each test: its field 1 ("number-position"), page and y.
struct PrintedTest {
    QString name;
    int page;
    double y;
    bool operator==(const PrintedTest&) const = default;
};

QList<PrintedTest> PrintedTests(const RecordingPrinter& printer)
{
    static const QRegularExpression testName(QStringLiteral(R"(^\d+-\d+$)"));
    QList<PrintedTest> tests;
    for (const RecordingPrinter::Text& text : printer.texts) {
        if (text.position.x() == 50 && testName.match(text.text).hasMatch())
            tests.append({text.text, text.page, text.position.y()});
    }
    return tests;
}

QStringList TextsAt(const RecordingPrinter& printer, int page, double y)
{
    QStringList texts;
    for (const RecordingPrinter::Text& text : printer.textsOn(page)) {
        if (text.position.y() == y)
            texts.append(text.text);
    }
    return texts;
}

const RecordingPrinter::Text* TextStarting(const RecordingPrinter& printer, const QString& start)
{
    for (const RecordingPrinter::Text& text : printer.texts) {
        if (text.text.startsWith(start))
            return &text;
    }
    return nullptr;
}

} // namespace

class PrintoutTest : public QObject {
    Q_OBJECT

private slots:
    void pagesAndLines_data();
    void pagesAndLines();
    void pageFrame();
    void fieldsOfALine_data();
    void fieldsOfALine();
    void detailLine();
    void headingsAreTheTableTitles();
    void printerSelection_data();
    void printerSelection();
    void pdfHasItsPages_data();
    void pdfHasItsPages();
    void failedPdfLeavesTheOldFile();
    void pdfOnlyWhenWhole_data();
    void pdfOnlyWhenWhole();
    void deviceThatCannotBePaintedOn();
    void graphPicture();
    void graphFileThatCannotBeWritten_data();
    void graphFileThatCannotBeWritten();
    void graphOnPaperAndPdf();
    void liveGraphMenuLeavesTheRightButtonToTheLimit();
};

void PrintoutTest::pagesAndLines_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("hidden");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("pages");
    // The first and the last test printed, with page and y.
    QTest::addColumn<PrintedTest>("first");
    QTest::addColumn<PrintedTest>("last");

    const PrintedTest none {QString(), 0, 0};
    QTest::newRow("empty table: one page with its frame")
        << 0 << QList<int> {} << 0 << 1 << none << none;
    QTest::newRow("one row") << 1 << QList<int> {} << 0 << 1 << PrintedTest {"101-1", 1, 72}
                             << PrintedTest {"101-1", 1, 72};
    QTest::newRow("49 rows fill one page, no empty second")
        << 49 << QList<int> {} << 0 << 1 << PrintedTest {"101-1", 1, 72}
        << PrintedTest {"149-1", 1, 648};
    QTest::newRow("50 rows: the 50th on top of page 2")
        << 50 << QList<int> {} << 0 << 2 << PrintedTest {"101-1", 1, 72}
        << PrintedTest {"150-1", 2, 72};
    QTest::newRow("98 rows: two full pages")
        << 98 << QList<int> {} << 0 << 2 << PrintedTest {"101-1", 1, 72}
        << PrintedTest {"198-1", 2, 648};
    QTest::newRow("99 rows: three pages")
        << 99 << QList<int> {} << 0 << 3 << PrintedTest {"101-1", 1, 72}
        << PrintedTest {"199-1", 3, 72};
    QTest::newRow("hidden rows neither print nor take a line")
        << 52 << QList<int> {1, 20, 52} << 0 << 1 << PrintedTest {"102-1", 1, 72}
        << PrintedTest {"151-1", 1, 648};
    QTest::newRow("all rows hidden") << 3 << QList<int> {1, 2, 3} << 0 << 1 << none << none;
    QTest::newRow("detail lines: 28 tests a page")
        << 28 << QList<int> {} << 1 << 1 << PrintedTest {"101-1", 1, 72}
        << PrintedTest {"128-1", 1, 72 + 27 * 21};
    QTest::newRow("detail lines: the 29th on page 2")
        << 29 << QList<int> {} << 1 << 2 << PrintedTest {"101-1", 1, 72}
        << PrintedTest {"129-1", 2, 72};
}

void PrintoutTest::pagesAndLines()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, hidden);
    QFETCH(int, kind);
    QFETCH(int, pages);
    QFETCH(PrintedTest, first);
    QFETCH(PrintedTest, last);
    WindowFixture fixture;
    FillTable(*fixture.window, rows, hidden);
    fixture.window->DruckArt->setCurrentIndex(kind);

    fixture.window->ProtDrucken->click();

    const RecordingPrinter& printer = fixture.printer;
    QCOMPARE(fixture.printedDocuments, QStringList {"Messprotokoll"});
    QCOMPARE(printer.endings, 1);
    QCOMPARE(printer.scale, QRectF(0, 0, 800, 680));
    QCOMPARE(printer.fontName, QStringLiteral("Arial"));
    QCOMPARE(printer.pages, pages);
    for (int page = 1; page <= pages; ++page)
        QCOMPARE(TextsAt(printer, page, 15), QStringList {"Seite:  " + QString::number(page)});
    const QList<PrintedTest> tests = PrintedTests(printer);
    QCOMPARE(tests.size(), rows - hidden.size());
    if (!tests.isEmpty()) {
        QCOMPARE(tests.first(), first);
        QCOMPARE(tests.last(), last);
    }
    for (int row : hidden) {
        for (const RecordingPrinter::Text& text : printer.texts)
            QVERIFY(text.text != QStringLiteral("Produkt %1").arg(row));
    }
}

void PrintoutTest::pageFrame()
{
    WindowFixture fixture;
    FillTable(*fixture.window, 60);
    fixture.window->ProtDrucken->click();

    const RecordingPrinter& printer = fixture.printer;
    for (int page = 1; page <= 2; ++page) {
        QList<std::tuple<double, double, double, int>> rules;
        for (const RecordingPrinter::Rule& rule : printer.rules) {
            if (rule.page == page)
                rules.append({rule.from.x(), rule.to.x(), rule.from.y(), rule.width});
            QCOMPARE(rule.from.y(), rule.to.y());
        }
        const QList<std::tuple<double, double, double, int>> expected {
            {50, 770, 45, 5}, {50, 770, 65, 1}, {50, 770, 660, 1}};
        QCOMPARE(rules, expected);
        const QList<RecordingPrinter::Text> texts = printer.textsOn(page);
        const auto footer = std::find_if(texts.begin(), texts.end(),
            [](const RecordingPrinter::Text& text) { return text.text == "KALDURA-Therm"; });
        QVERIFY(footer != texts.end());
        QCOMPARE(footer->position, QPointF(686, 665));
        QCOMPARE(footer->size, 7.0);
        QCOMPARE(TextsAt(printer, page, 665).size(), 2);
        const RecordingPrinter::Text& pageNumber = texts.first();
        QCOMPARE(pageNumber.position, QPointF(720, 15));
        QCOMPARE(pageNumber.size, 10.0);
        QVERIFY(!pageNumber.bold);
    }
}

void PrintoutTest::fieldsOfALine_data()
{
    QTest::addColumn<QStringList>("cells");
    // Expected: x, text and cut width of each printed field, in order.
    QTest::addColumn<QList<PrintedField>>("fields");

    const QString longRemark = QString(40, 'R');
    QTest::newRow("long texts are cut to their fields")
        << QStringList {"12345", "32", "Produktname mit 25 Zeich", "Auftrag-0123", "Charge-0123",
               longRemark, "B2", "B3", "06.12.26", "10:30", "  10 s"}
        << QList<PrintedField> {{50, "12345-32", 51}, {105, "Produktname mit 25", 101},
               {210, "Auftrag-01", 76}, {290, "Charge-012", 66}, {360, longRemark, 66},
               {430, "B2", 46}, {480, "  10 s", 0}};
    QTest::newRow("a remark runs on over an empty neighbour")
        << QStringList {"7", "1", "P", "A", "C", longRemark, "", "B3", "d", "t", ""}
        << QList<PrintedField> {{50, "7-1", 51}, {105, "P", 101}, {210, "A", 76}, {290, "C", 66},
               {360, longRemark, 0}};
    QTest::newRow("blanks only count as empty")
        << QStringList {"7", "1", "P", "A", "C", "Rem  ", "   ", "", "", "", "Zyklus"}
        << QList<PrintedField> {{50, "7-1", 51}, {105, "P", 101}, {210, "A", 76}, {290, "C", 66},
               {360, "Rem  ", 116}, {430, "   ", 46}, {480, "Zyklus", 0}};
    QTest::newRow("characters beyond the code page print as they are")
        << QStringList {"1", "1", "Öl ½ € 漢字 😀", "", "", "", "", "", "", "", ""}
        << QList<PrintedField> {{50, "1-1", 51}, {105, "Öl ½ € 漢字 😀", 0}};
    QTest::newRow("a text no page could hold is cut to a line's length")
        << QStringList {"1", "1", "", "", "", QString(10000, 'x'), "", "", "", "", ""}
        << QList<PrintedField> {{50, "1-1", 306}, {360, QString(250, 'x'), 0}};
}

void PrintoutTest::fieldsOfALine()
{
    QFETCH(QStringList, cells);
    QFETCH(QList<PrintedField>, fields);
    WindowFixture fixture;
    fixture.window->FormatRecordTable();
    fixture.window->ProtTab->setRows(2);
    for (int column = 0; column < cells.size(); ++column)
        fixture.window->ProtTab->setTextMatrix(1, column, cells[column]);

    fixture.window->ProtDrucken->click();

    QList<PrintedField> printed;
    for (const RecordingPrinter::Text& text : fixture.printer.texts) {
        if (text.position.y() == 72) {
            printed.append({text.position.x(), text.text, text.cutWidth});
            QCOMPARE(text.size, 8.0);
            QVERIFY(!text.bold);
        }
    }
    QCOMPARE(printed, fields);
}

void PrintoutTest::detailLine()
{
    WindowFixture fixture;
    FillTable(*fixture.window, 2);
    fixture.window->DruckArt->setCurrentIndex(int(PrintKind::ListWithDetails));
    fixture.window->ProtDrucken->click();

    QCOMPARE(TextsAt(fixture.printer, 1, 81),
        QStringList {"(Mv.=Bem3 1, Ansatzm.=06.12.26, Messt.=10:01)"});
    QCOMPARE(TextsAt(fixture.printer, 1, 102),
        QStringList {"(Mv.=Bem3 2, Ansatzm.=06.12.26, Messt.=10:02)"});
    const RecordingPrinter::Text* detail = TextStarting(fixture.printer, "(Mv.=Bem3 1");
    QCOMPARE(detail->position.x(), 105.0);
    QCOMPARE(detail->size, 7.0);
    QCOMPARE(fixture.window->DruckArt->count(), 2);
}

void PrintoutTest::headingsAreTheTableTitles()
{
    WindowFixture fixture;
    FillTable(*fixture.window, 50);
    fixture.window->ProtDrucken->click();

    const QStringList titles {"Test-Nr.", "Produkt-Bezeichnung", "Auftrags-Nr.", "Chargen-Nr.",
        "Bemerkung 1", "Bemerkung 2", "Messszyklus"};
    for (int page = 1; page <= 2; ++page) {
        QCOMPARE(TextsAt(fixture.printer, page, 55), titles);
        for (const RecordingPrinter::Text& text : fixture.printer.textsOn(page)) {
            if (text.position.y() == 55)
                QCOMPARE(text.size, 9.0);
        }
    }
}

void PrintoutTest::printerSelection_data()
{
    QTest::addColumn<PrintOutcome>("outcome");
    QTest::addColumn<int>("messages");
    QTest::newRow("cancelled: nothing printed, nothing said") << PrintOutcome::Cancelled << 0;
    QTest::newRow("failed: the user is told") << PrintOutcome::Failed << 1;
}

void PrintoutTest::printerSelection()
{
    QFETCH(PrintOutcome, outcome);
    QFETCH(int, messages);
    WindowFixture fixture;
    FillTable(*fixture.window, 3);
    fixture.printOutcome = outcome;
    fixture.answers = {MsgResult::Ok};
    fixture.window->ProtDrucken->click();

    QVERIFY(fixture.printer.texts.isEmpty());
    QCOMPARE(fixture.questions.size(), messages);
    if (messages > 0) {
        QCOMPARE(fixture.questions.first().title, QStringLiteral("Drucken"));
        QVERIFY(fixture.questions.first().text.startsWith("Das Messprotokoll konnte nicht"));
    }
}

void PrintoutTest::pdfHasItsPages_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pages");
    QTest::newRow("empty table") << 0 << 1;
    QTest::newRow("49 rows") << 49 << 1;
    QTest::newRow("60 rows") << 60 << 2;
}

void PrintoutTest::pdfHasItsPages()
{
    QFETCH(int, rows);
    QFETCH(int, pages);
    WindowFixture fixture;
    FillTable(*fixture.window, rows);
    const QString path = fixture.folder.filePath("protokoll.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);

    QVERIFY(PrintOn(printer, fixture.window->ProtocolPrintJob()));

    QCOMPARE(PdfPageCount(path), pages);
}

void PrintoutTest::failedPdfLeavesTheOldFile()
{
    WindowFixture fixture;
    FillTable(*fixture.window, 60);
    const QString path = fixture.folder.filePath("protokoll.pdf");
    QVERIFY(WriteTextLines(path, {"alte Datei"}, WriteMode::Create));
    const QByteArray before = *ReadFileBytes(path);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    {
        FileSizeLimit full(1000);
        QVERIFY(full.active);
        QVERIFY(!PrintOn(printer, fixture.window->ProtocolPrintJob()));
    }
    QCOMPARE(*ReadFileBytes(path), before);
    QCOMPARE(QDir(fixture.folder.path()).entryList({"protokoll*"}, QDir::Files),
        QStringList {"protokoll.pdf"});

    printer.setOutputFileName(fixture.folder.filePath("fehlt/protokoll.pdf"));
    QVERIFY(!PrintOn(printer, fixture.window->ProtocolPrintJob()));
    QVERIFY(!QFileInfo::exists(fixture.folder.filePath("fehlt")));
}

// What the job draws on a PDF document and whether the document comes out whole.
void PrintoutTest::pdfOnlyWhenWhole_data()
{
    QTest::addColumn<PrintJob>("job");
    QTest::addColumn<bool>("whole");

    const PictureSource drawn = [](QSize pixels, qreal) {
        QImage image(pixels, QImage::Format_RGB32);
        image.fill(Qt::red);
        return image;
    };
    QTest::newRow("a picture") << PrintJob([drawn](Printer& printer) {
        printer.DrawPicture({50, 72, 720, 580}, {600, 400}, drawn);
    }) << true;
    QTest::newRow("a job that ends the document itself") << PrintJob([](Printer& printer) {
        printer.Print(QStringLiteral("Seite 1"));
        printer.EndDoc();
    }) << true;
    QTest::newRow("drawing after the end is lost") << PrintJob([](Printer& printer) {
        printer.Print(QStringLiteral("Seite 1"));
        printer.EndDoc();
        printer.Print(QStringLiteral("zu spät"));
    }) << false;
    QTest::newRow("a picture that could not be made") << PrintJob([](Printer& printer) {
        printer.DrawPicture({50, 72, 720, 580}, {600, 400}, [](QSize, qreal) { return QImage(); });
    }) << false;
    QTest::newRow("a picture without size") << PrintJob([drawn](Printer& printer) {
        printer.DrawPicture({50, 72, 720, 580}, {0, 0}, drawn);
    }) << false;
}

void PrintoutTest::pdfOnlyWhenWhole()
{
    QFETCH(PrintJob, job);
    QFETCH(bool, whole);
    QTemporaryDir folder;
    const QString path = folder.filePath("grafik.pdf");
    QVERIFY(WriteTextLines(path, {"alte Datei"}, WriteMode::Create));
    const auto scaled = [&job](Printer& printer) {
        printer.setScale({0, 0, 800, 680});
        job(printer);
    };

    QCOMPARE(WritePdfFile(path, A4Page(QPageLayout::Landscape), "Grafik", scaled), whole);

    QCOMPARE(PdfPageCount(path), whole ? 1 : -1);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"grafik.pdf"});
}

void PrintoutTest::deviceThatCannotBePaintedOn()
{
    QTemporaryDir folder;
    QPdfWriter pdf(folder.filePath("fehlt/protokoll.pdf"));
    PaintingPrinter printer(pdf);
    printer.Print(QStringLiteral("Seite 1"));
    printer.NewPage();
    QVERIFY(!printer.EndDoc());
    QVERIFY(!QFileInfo::exists(folder.filePath("fehlt")));
}

void PrintoutTest::graphPicture()
{
    WindowFixture fixture;
    PictureBox& graph = *fixture.window->Grafik[0];
    graph.resize(400, 300);
    fixture.window->ResetComparisonGraph();
    const QString path = fixture.folder.filePath("vergleich.png");

    QVERIFY(fixture.window->SaveGraphPicture(0, path));

    const QImage saved(path);
    QCOMPARE(saved.size(), QSize(1200, 900));
    // The graph's drawing at three times its size: scaled down it matches the screen's picture.
    const QImage screen = graph.PictureAt(graph.size(), 1).convertToFormat(QImage::Format_RGB32);
    const QImage reduced
        = saved.scaled(graph.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
              .convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            const QColor a = screen.pixelColor(x, y);
            const QColor b = reduced.pixelColor(x, y);
            if (std::abs(a.red() - b.red()) + std::abs(a.green() - b.green())
                    + std::abs(a.blue() - b.blue())
                > 200)
                ++differing;
        }
    }
    QVERIFY2(
        differing < screen.width() * screen.height() / 50, qPrintable(QString::number(differing)));
    QVERIFY(fixture.questions.isEmpty());
}

void PrintoutTest::graphFileThatCannotBeWritten_data()
{
    QTest::addColumn<bool>("pdf");
    // "fehlt": the folder is missing; "ordner": a folder has the name; "voll": the disk is full.
    QTest::addColumn<QString>("target");
    for (const bool pdf : {false, true}) {
        const char* kind = pdf ? "pdf" : "png";
        QTest::addRow("%s into a missing folder", kind) << pdf << QStringLiteral("fehlt");
        QTest::addRow("%s onto a folder", kind) << pdf << QStringLiteral("ordner");
        QTest::addRow("%s on a full disk", kind) << pdf << QStringLiteral("voll");
    }
}

void PrintoutTest::graphFileThatCannotBeWritten()
{
    QFETCH(bool, pdf);
    QFETCH(QString, target);
    WindowFixture fixture;
    fixture.window->Grafik[0]->resize(400, 300);
    fixture.window->ResetComparisonGraph();
    fixture.answers = {MsgResult::Ok};
    QDir folder(fixture.folder.path());
    QVERIFY(folder.mkdir("ablage") && folder.cd("ablage"));
    const QString name = pdf ? "grafik.pdf" : "grafik.png";
    QString path = folder.filePath(name);
    if (target == "fehlt")
        path = folder.filePath("fehlt/" + name);
    else if (target == "ordner")
        QVERIFY(folder.mkdir(name));
    else
        QVERIFY(WriteTextLines(path, {"alte Datei"}, WriteMode::Create));

    bool saved = true;
    {
        FileSizeLimit full(target == "voll" ? 2000 : NoLimit);
        QVERIFY(full.active);
        saved = pdf ? fixture.window->SaveGraphPdf(0, path)
                    : fixture.window->SaveGraphPicture(0, path);
    }

    QVERIFY(!saved);
    QCOMPARE(fixture.questions.size(), 1);
    // The message names the file and sends nobody to a printer.
    const QString message = fixture.questions.first().text;
    QVERIFY2(message.startsWith("Die Grafik konnte nicht"), qPrintable(message));
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    QVERIFY2(!message.contains("Drucker"), qPrintable(message));
    const QStringList left
        = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QCOMPARE(left, target == "fehlt" ? QStringList {} : QStringList {name});
    if (target == "voll")
        QCOMPARE(*ReadFileBytes(path), QByteArray("alte Datei\r\n"));
}

void PrintoutTest::graphOnPaperAndPdf()
{
    WindowFixture fixture;
    fixture.window->Grafik[1]->resize(600, 400);
    fixture.window->TestNr->setText(QStringLiteral(" 17"));
    fixture.window->Text1->setText(QStringLiteral("Prüföl"));

    fixture.window->PrintGraph(1);

    const RecordingPrinter& printer = fixture.printer;
    QCOMPARE(printer.pages, 1);
    QCOMPARE(printer.pictures.size(), 1);
    const RecordingPrinter::Picture& picture = printer.pictures.first();
    QCOMPARE(picture.area, QRectF(50, 72, 720, 580));
    QCOMPARE(picture.logicalSize, QSizeF(600, 400));
    QCOMPARE(picture.image.size(), QSize(600, 400));
    const RecordingPrinter::Text* title = TextStarting(printer, "Messung");
    QVERIFY(title);
    QCOMPARE(title->text, QStringLiteral("Messung  17  Prüföl"));
    QCOMPARE(fixture.printedDocuments, QStringList {"Messung-17"});
    QVERIFY(title->bold);

    const QString path = fixture.folder.filePath("grafik.pdf");
    QVERIFY(fixture.window->SaveGraphPdf(1, path));
    QCOMPARE(PdfPageCount(path), 1);
}

void PrintoutTest::liveGraphMenuLeavesTheRightButtonToTheLimit()
{
    WindowFixture fixture;
    fixture.window->show();
    for (int index : {0, 1}) {
        PictureBox* graph = fixture.window->Grafik[index];
        for (const auto reason : {QContextMenuEvent::Mouse, QContextMenuEvent::Keyboard}) {
            QContextMenuEvent event(reason, QPoint(5, 5), graph->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(graph, &event);
            QMenu* menu = graph->findChild<QMenu*>();
            const bool expected = index == 0 || reason == QContextMenuEvent::Keyboard;
            QCOMPARE(menu != nullptr && menu->isVisible(), expected);
            if (menu)
                menu->hide();
        }
    }
}

QTEST_MAIN(PrintoutTest)
#include "test_printout.moc"
