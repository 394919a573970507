// The protocol printout on a recording printer, the PDF writer, and the window's print buttons.
#include "print/full_record_list.h"
#include "print/protocol_printout.h"
#include "records_driver.h"

#include <QPrinter>
#include <QProgressDialog>

namespace {

// x, text and cut width of a printed field.
using PrintedField = std::tuple<double, QString, double>;

// The cells of row `row`: test number 100 + row on position 1, the row number in every text.
QStringList Cells(int row)
{
    return {QString::number(100 + row), "1", QString("Produkt %1").arg(row),
        QString("A%1").arg(row), QString("C%1").arg(row), QString("Bem1 %1").arg(row),
        QString("Bem2 %1").arg(row), QString("Bem3 %1").arg(row), "06.12.26",
        QString("10:%1").arg(row % 60, 2, 10, QChar('0')), "  3 s"};
}

// The printed line of each test: its field 1 ("number-position"), page and y.
QStringList PrintedTests(const RecordingPrinter& printer)
{
    static const QRegularExpression testName(QStringLiteral(R"(^\d+-\d+$)"));
    QStringList tests;
    for (const RecordingPrinter::Text& text : printer.texts) {
        if (text.position.x() == 50 && testName.match(text.text).hasMatch())
            tests.append(QString("%1 %2 %3").arg(text.text).arg(text.page).arg(text.position.y()));
    }
    return tests;
}

} // namespace

class PrintoutTest : public QObject {
    Q_OBJECT

private slots:
    void pagesAndLines_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<PrintKind>("kind");
        QTest::addColumn<int>("pages");
        // The first and the last test printed: "number-position page y".
        QTest::addColumn<QStringList>("firstAndLast");

        const PrintKind list = PrintKind::List;
        const PrintKind details = PrintKind::ListWithDetails;
        QTest::newRow("empty table: one page with its frame") << 0 << list << 1 << QStringList {};
        QTest::newRow("49 rows fill one page, no empty second")
            << 49 << list << 1 << QStringList {"101-1 1 72", "149-1 1 648"};
        QTest::newRow("50 rows: the 50th on top of page 2")
            << 50 << list << 2 << QStringList {"101-1 1 72", "150-1 2 72"};
        QTest::newRow("detail lines: the 29th on page 2")
            << 29 << details << 2 << QStringList {"101-1 1 72", "129-1 2 72"};
    }

    void pagesAndLines()
    {
        QFETCH(int, rows);
        QFETCH(PrintKind, kind);
        QFETCH(int, pages);
        QFETCH(QStringList, firstAndLast);
        PrintedTable table;
        for (int row = 1; row <= rows; ++row)
            table.rows.push_back(Cells(row));
        RecordingPrinter printer;

        PrintRecordTable(printer, table, kind);

        QCOMPARE(printer.pages, pages);
        for (int page = 1; page <= pages; ++page)
            QCOMPARE(printer.textsAt(page, 15), QStringList {"Seite:  " + QString::number(page)});
        const QStringList tests = PrintedTests(printer);
        QCOMPARE(tests.size(), rows);
        if (!tests.isEmpty())
            QCOMPARE((QStringList {tests.first(), tests.last()}), firstAndLast);
    }

    void fieldsOfALine_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<PrintKind>("kind");
        // Expected: x, text and cut width of each text printed below the headings, in order.
        QTest::addColumn<QList<PrintedField>>("fields");

        const QString longRemark = QString(40, 'R');
        QTest::newRow("long texts are cut to their fields")
            << QStringList {"12345", "32", "Produktname mit 25 Zeich", "Auftrag-0123",
                   "Charge-0123", longRemark, "B2", "B3", "06.12.26", "10:30", "  10 s"}
            << PrintKind::List
            << QList<PrintedField> {{50, "12345-32", 51}, {105, "Produktname mit 25", 101},
                   {210, "Auftrag-01", 76}, {290, "Charge-012", 66}, {360, longRemark, 66},
                   {430, "B2", 46}, {480, "  10 s", 0}};
        QTest::newRow("a remark runs on over an empty neighbour; the detail line")
            << QStringList {"7", "1", "P", "A", "C", longRemark, "", "B3", "d", "t", ""}
            << PrintKind::ListWithDetails
            << QList<PrintedField> {{50, "7-1", 51}, {105, "P", 101}, {210, "A", 76},
                   {290, "C", 66}, {360, longRemark, 0},
                   {105, "(Mv.=B3, Ansatzm.=d, Messt.=t)", 0}};
        QTest::newRow("a text no page could hold is cut to a line's length")
            << QStringList {"1", "1", "", "", "", QString(10000, 'x'), "", "", "", "", ""}
            << PrintKind::List
            << QList<PrintedField> {{50, "1-1", 306}, {360, QString(250, 'x'), 0}};
    }

    void fieldsOfALine()
    {
        QFETCH(QStringList, cells);
        QFETCH(PrintKind, kind);
        QFETCH(QList<PrintedField>, fields);
        RecordingPrinter printer;

        PrintRecordTable(printer, {{}, {cells}, {}, {}}, kind);

        QList<PrintedField> printed;
        for (const RecordingPrinter::Text& text : printer.texts) {
            if (text.position.y() >= 72 && text.position.y() < 660) {
                printed.append({text.position.x(), text.text, text.cutWidth});
                QCOMPARE(text.size, text.text.startsWith("(Mv.") ? 7.0 : 8.0);
                QVERIFY(!text.bold);
            }
        }
        QCOMPARE(printed, fields);
    }

    void wrappedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines"); // at most 5 characters each

        QTest::newRow("at blanks") << "ab cd ef" << QStringList {"ab cd", "ef"};
        QTest::newRow("a long word within") << "a bcdefghij" << QStringList {"a", "bcdef", "ghij"};
        QTest::newRow("trailing blanks, empty") << "   " << QStringList {};
    }

    void wrappedText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(
            WrappedText(text, 5, [](const QString& line) { return double(line.size()); }), lines);
    }

    // "Liste vollständig": landscape pages, every field whole (wrapped where it is too wide for its
    // column, never cut, never below the footer), the protocol file and the print date in the
    // frame.
    void fullListWrapsAndNamesItsFile()
    {
        SeriesFolder series;
        const QString remark = "Spezialöl mit sehr langem Name";
        QByteArrayList records;
        for (int number = 1; number <= 30; ++number)
            records.append(RecordLine(number, 1, remark));
        series.put("Serie7.CSV", Protocol(records));
        WindowFixture fixture({}, {}, {.startFolder = series.root.path()});
        Choose(&Find<QComboBox>(*fixture.window, "DruckArt"), 2);
        fixture.printer.characterWidth = 1;
        Find<QPushButton>(*fixture.window, "ProtDrucken").click();

        const RecordingPrinter& printer = fixture.printer;
        QCOMPARE(printer.orientation, QPageLayout::Landscape);
        QCOMPARE(printer.pages, 2);
        QCOMPARE(printer.textsAt(2, 0),
            (QStringList {"Gedruckt am 06.12.2026 10:30    Seite 2 von 2",
                "Messprotokoll " + QDir::toNativeSeparators(series.protocol)}));
        QStringList remarkLines;
        for (const RecordingPrinter::Text& text : printer.texts) {
            QCOMPARE(text.cutWidth, 0.0);
            if (text.position.x() == 475 && !text.bold && text.page == 1)
                remarkLines.append(text.text);
            if (text.size == 8)
                QVERIFY2(text.position.y() + 14 <= 720, qPrintable(text.text));
        }
        QCOMPARE(remarkLines.mid(0, 2).join(' '), remark);
        QCOMPARE(remarkLines.size() % 2, 0);

        // A path too long for the frame keeps its end and stays clear of the print date.
        RecordingPrinter alone;
        alone.characterWidth = 1;
        PrintFullRecordList(
            alone, {{}, {}, QString(80, 'x') + "/Serie7.CSV", "06.12.2026 10:30"}, {});
        const QStringList frame = alone.textsAt(1, 0);
        QVERIFY(frame[1].startsWith("Messprotokoll …x") && frame[1].endsWith("/Serie7.CSV"));
        QVERIFY(alone.texts[1].position.x() + double(frame[1].size()) * 10
            <= alone.texts[0].position.x());
    }

    // Each page is announced before it is printed; a printout stopped there is abandoned.
    void progressMayStopThePrintout()
    {
        PrintedTable table;
        for (int row = 1; row <= 100; ++row)
            table.rows.push_back(Cells(row));
        for (const int stopAt : {0, 3}) {
            RecordingPrinter printer;
            QStringList announced;
            PrintRecordTable(printer, table, PrintKind::List, [&](int page, int pages) {
                announced << QString("%1/%2").arg(page).arg(pages);
                return page != stopAt;
            });
            QCOMPARE(announced, (QStringList {"1/3", "2/3", "3/3"}));
            QCOMPARE(printer.killed, stopAt == 3);
            QCOMPARE(printer.pages, stopAt == 3 ? 2 : 3);
        }
    }

    // "Drucken" of a long table shows its progress; cancelled there, nothing is printed or said.
    void longPrintoutCancelledOnItsWay()
    {
        WindowFixture fixture;
        FlexGrid& table = Find<FlexGrid>(*fixture.window, "ProtTab");
        table.setRows(301);
        for (int row = 1; row <= 300; ++row)
            table.setTextMatrix(row, 0, QString::number(row));
        QTimer::singleShot(0, [] {
            if (auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
                progress->cancel();
        });
        Find<QPushButton>(*fixture.window, "ProtDrucken").click();
        QVERIFY(fixture.printer.killed);
        QVERIFY(fixture.printer.pages < 7);
        QVERIFY(fixture.questions.isEmpty());
    }

    void protocolButtons_data()
    {
        QTest::addColumn<int>("printKind"); // entry of "DruckArt"
        QTest::addColumn<PrintOutcome>("outcome");

        QTest::newRow("Liste einzeilig") << 0 << PrintOutcome::Printed;
        QTest::newRow("Liste mit Zusatzzeile") << 1 << PrintOutcome::Printed;
        QTest::newRow("cancelled: nothing printed, nothing said") << 0 << PrintOutcome::Cancelled;
        QTest::newRow("failed: the user is told") << 0 << PrintOutcome::Failed;
    }

    // "Drucken" prints the record table as shown, hidden rows left out, under its headings, in the
    // chosen kind: "Liste mit Zusatzzeile" adds a detail line under each test.
    void protocolButtons()
    {
        QFETCH(int, printKind);
        QFETCH(PrintOutcome, outcome);
        WindowFixture fixture;
        const Form1& window = *fixture.window;
        FlexGrid& table = Find<FlexGrid>(window, "ProtTab");
        table.setRows(4);
        for (int row = 1; row <= 3; ++row) {
            for (int column = 0; column < Cells(row).size(); ++column)
                table.setTextMatrix(row, column, Cells(row)[column]);
        }
        table.setRowHidden(2, true);
        Choose(&Find<QComboBox>(window, "DruckArt"), printKind);
        fixture.printOutcome = outcome;
        fixture.answers = {MsgResult::Ok};

        Find<QPushButton>(window, "ProtDrucken").click();

        const bool printed = outcome == PrintOutcome::Printed;
        const bool details = printed && printKind == 1;
        QCOMPARE(
            fixture.printedDocuments, printed ? QStringList {"Messprotokoll"} : QStringList {});
        const QStringList tests {"101-1 1 72", "103-1 1 " + QString::number(details ? 93 : 84)};
        QCOMPARE(PrintedTests(fixture.printer), printed ? tests : QStringList {});
        QCOMPARE(fixture.printer.textsAt(1, 81).size(), details ? 1 : 0);
        if (printed) {
            QCOMPARE(fixture.printer.textsAt(1, 55),
                (QStringList {"Test-Nr.", "Produkt-Bezeichnung", "Auftrags-Nr.", "Chargen-Nr.",
                    "Bemerkung 1", "Bemerkung 2", "Messszyklus"}));
        }
        const bool failed = outcome == PrintOutcome::Failed;
        QCOMPARE(fixture.questions.size(), failed ? 1 : 0);
        if (failed) {
            QCOMPARE(fixture.questions.first().title, QStringLiteral("Drucken"));
            QVERIFY(fixture.questions.first().text.startsWith("Das Messprotokoll konnte nicht"));
        }
    }

    // A document is written whole or not at all: a failure leaves an old file as it was and no
    // other file. Straight or through a printer that writes a PDF file.
    void pdfWrittenWholeOrNotAtAll_data()
    {
        QTest::addColumn<PrintJob>("job");
        QTest::addColumn<bool>("throughPrinter");
        QTest::addColumn<qint64>("room"); // bytes a file may grow to
        QTest::addColumn<int>("pages"); // 0: not written

        const PrintJob twoPages = [](Printer& printer) {
            printer.Print(QStringLiteral("Seite 1"));
            printer.NewPage();
            printer.Print(QStringLiteral("Seite 2"));
        };
        QTest::newRow("two pages through a printer") << twoPages << true << NoLimit << 2;
        QTest::newRow("a picture") << PrintJob([](Printer& printer) {
            printer.DrawPicture({50, 72, 720, 580}, {600, 400}, [](QSize pixels, qreal) {
                QImage image(pixels, QImage::Format_RGB32);
                image.fill(Qt::red);
                return image;
            });
        }) << false << NoLimit << 1;
        QTest::newRow("a picture that could not be made") << PrintJob([](Printer& printer) {
            printer.DrawPicture(
                {50, 72, 720, 580}, {600, 400}, [](QSize, qreal) { return QImage(); });
        }) << false << NoLimit << 0;
        QTest::newRow("full disk, through a printer") << twoPages << true << qint64(1000) << 0;
    }

    void pdfWrittenWholeOrNotAtAll()
    {
        QFETCH(PrintJob, job);
        QFETCH(bool, throughPrinter);
        QFETCH(qint64, room);
        QFETCH(int, pages);
        QTemporaryDir folder;
        const QString path = folder.filePath("grafik.pdf");
        PutBytes(path, "alte Datei");
        const auto scaled = [&job](Printer& printer) {
            printer.setScale({0, 0, 800, 680});
            job(printer);
        };
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        bool written = false;
        {
            FileSizeLimit full(room);
            written = throughPrinter
                ? PrintOn(printer, scaled)
                : WritePdfFile(path, A4Page(QPageLayout::Landscape), "Grafik", scaled);
        }

        QCOMPARE(written, pages > 0);
        if (pages > 0)
            QCOMPARE(PdfPageCount(path), pages);
        else
            QCOMPARE(BytesOf(path), QByteArray("alte Datei"));
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList {"grafik.pdf"});
    }
};

QTEST_MAIN(PrintoutTest)
#include "test_printout.moc"
