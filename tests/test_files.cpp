// The files: the protocol file's header and records, the measurement file's lines, and the text
// files and locks beneath both.
#include "platform/file_lock.h"
#include "platform/text_file.h"
#include "records/measurement_file.h"
#include "records/protocol_file.h"
#include "records_driver.h"
#include "test_support.h"

#include <QLockFile>
#include <limits>
#include <utime.h>

namespace {

TestRecordTexts Test12(const QString& product, const QString& remark = "Bem")
{
    return {
        12, 1, {product, "A-77", "CH 5", remark, "", "", "06.12.2026", "10:30", " 10 Sekunden"}};
}

} // namespace

Q_DECLARE_METATYPE(TestRecordTexts)

class FilesTest : public QObject {
    Q_OBJECT

private slots:
    // The header of a file the user makes, and of one a record makes anew, byte for byte.
    void protocolHeaderLines()
    {
        QCOMPARE(CreatedHeaderLine(','),
            "Test-Nr.,Produkt-Bezeichnung,Auftrags-Nr.,Chargen-Nr.,Bemerkung 1,Bemerkung 2,"
            "Bemerkung 3,Test-Datum,Test-Zeit,Messstufe,");
        QCOMPARE(RecordTableHeaderLine(';'),
            "Test-Nr.;Res.;Produkt-Bezeichnung;Auftrags-Nr.;Chargen-Nr.;Bemerkung 1 ;Bemerkung 2 ;"
            "Bemerkung 3 ;Datum;Zeit;Messszyklus;Reserve  ;;;;");
    }

    void record_data()
    {
        QTest::addColumn<TestRecordTexts>("test");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("remark");

        QTest::newRow("short name is padded")
            << Test12("Öl") << QChar(';') << QString("Öl").leftJustified(30) << "Bem";
        QTest::newRow("long name is cut")
            << Test12(QString(35, 'x')) << QChar(';') << QString(30, 'x') << "Bem";
        QTest::newRow("separator in typed texts becomes the other one")
            << Test12("a;b;", "x;y") << QChar(';') << QString("a,b,").leftJustified(30) << "x,y";
        QTest::newRow("comma separator") << Test12("1,5 kg", "r,s;") << QChar(',')
                                         << QString("1;5 kg").leftJustified(30) << "r;s;";
        QTest::newRow("quotes and a formula, held to the width")
            << Test12("\"Spezial\" Öl", "=" + QString(35, '1')) << QChar(';')
            << QString("'Spezial' Öl").leftJustified(30) << "'=" + QString(28, '1');
        QTest::newRow("a formula behind blanks or a tab")
            << Test12(" =1", "\t@x") << QChar(';') << QString("' =1").leftJustified(30) << "'\t@x";
    }

    void record()
    {
        QFETCH(TestRecordTexts, test);
        QFETCH(QChar, separator);
        QFETCH(QString, product);
        QFETCH(QString, remark);

        const QString record = TestRecord(test, separator);
        const QString s(separator);
        const QString expected = "00012-1" + s + product + s + QString("A-77").leftJustified(30) + s
            + QString("CH 5").leftJustified(14) + s + remark.leftJustified(30) + s
            + QString(30, ' ') + s + QString(30, ' ') + s + "06.12.2026  " + s + "10:30  " + s
            + " 10 Sekunden" + s + "  " + s;
        QCOMPARE(record, expected);
        // The fixed fields sit where the record table cuts them.
        QCOMPARE(record.mid(ProtocolFile::Date.at, ProtocolFile::Date.length), "06.12.2026  ");
        QCOMPARE(record.at(ProtocolFile::Cycle.at - 1), separator);
    }

    // A file keeps the separator it was made with; its first record tells it before its header
    // does.
    void separatorOfAFile_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("firstRecord");
        QTest::addColumn<QChar>("separator"); // with "," chosen now

        QTest::newRow("made with ;") << CreatedHeaderLine(';') << QString() << QChar(';');
        QTest::newRow("captions with ;")
            << CaptionHeaderLine({"Test-Nr.", "Res."}, ';') << QString() << QChar(';');
        QTest::newRow("older file: ; header, , records")
            << CreatedHeaderLine(';') << TestRecord(Test12("Öl"), ',') << QChar(',');
        QTest::newRow("foreign header") << QString("Nr|Name") << QString() << QChar(',');
        QTest::newRow("empty file") << QString() << QString() << QChar(',');
    }

    void separatorOfAFile()
    {
        QFETCH(QString, header);
        QFETCH(QString, firstRecord);
        QFETCH(QChar, separator);
        QCOMPARE(ProtocolFileSeparator(header, firstRecord, ','), separator);
    }

    void cellsOfARecord_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<qint32>("testNumber");
        QTest::addColumn<QString>("productCell");
        QTest::addColumn<QString>("cycleCell");

        const QString full = TestRecord(Test12("Farbe"), ';');
        QTest::newRow("written record") << full << 12 << QString("Farbe").leftJustified(30)
                                        << QString(" 10 Sekunden").leftJustified(14);
        QTest::newRow("written with ,")
            << TestRecord(Test12("Farbe"), ',') << 12 << QString("Farbe").leftJustified(30)
            << QString(" 10 Sekunden").leftJustified(14);
        QTest::newRow("short line")
            << QString("00003-1;Öl") << 3 << QString("Öl").leftJustified(30) << QString();
        QTest::newRow("no number") << QString("abcde-1") << 0 << QString(30, ' ') << QString();
        QTest::newRow("beyond five digits")
            << QString("9e99;x") << 0 << QString(30, ' ') << QString();
    }

    void cellsOfARecord()
    {
        QFETCH(QString, record);
        QFETCH(qint32, testNumber);
        QFETCH(QString, productCell);
        QFETCH(QString, cycleCell);

        const QStringList cells = RecordCells(record);
        QCOMPARE(cells.size(), 11);
        QCOMPARE(cells[2], productCell);
        QCOMPARE(cells[10], cycleCell);
        QCOMPARE(RecordTestNumber(record), testNumber);
    }

    void testNameOfARecord_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("name"); // empty: none
        const QString none;
        for (const auto& [record, name] : std::initializer_list<std::pair<QString, QString>> {
                 {"00012-1;Öl", "00012-1"}, {"00012-32,", "00012-32"}, {"00012-123;", none},
                 {"00012-1", none}, {"00012-1 ;", none}, {"0012-1;x", none}, {"00012-x;", none},
                 {"٠٠٠١٢-1;", none}, {"", none}})
            QTest::newRow(qPrintable(record)) << record << name;
    }

    void testNameOfARecord()
    {
        QFETCH(QString, record);
        QFETCH(QString, name);
        QCOMPARE(RecordTestName(record).value_or(QString()), name);
    }

    // The name is stored in the settings file and the code page of the files; Windows also reserves
    // device names with superscript digits.
    void namesBeyondTheFilesOwnCharacters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("refused");

        QTest::newRow("umlauts") << QString("Prüfung-ä") << false;
        QTest::newRow("Cyrillic") << QString("Серия") << true;
        QTest::newRow("superscript device") << QString("COM¹") << true;
        QTest::newRow("superscript elsewhere") << QString("Serie²") << false;
        // The lock's takeover file "name.CSV.lock.rmlock" must fit the 255 bytes of a file name.
        QTest::newRow("239 bytes") << QString(239, 'a') << false;
        QTest::newRow("240 bytes") << QString(240, 'a') << true;
        QTest::newRow("umlauts count twice") << QString(120, u'ä') << true;
    }

    void namesBeyondTheFilesOwnCharacters()
    {
        QFETCH(QString, name);
        QFETCH(bool, refused);
        QCOMPARE(ProtocolNameProblem(name).has_value(), refused);
    }

    void measurementHeaderLines()
    {
        // A typed separator never adds a column: it becomes the other one. No quote or formula
        // reaches a spreadsheet either.
        const MeasurementHeader header {"Lack A,1", "\"B\"", "C;7", "Bem, eins", "=1+2", "-5 °C",
            "06.12.2026", "10:30", " 10 Sekunden"};
        QCOMPARE(HeaderLines(header, ","),
            (QStringList {"Produkt-Bezeichnung,Lack A;1", "Auftragsnummer,'B'", "Chargen-Nr.,C;7",
                "Bemerkungen 1,Bem; eins", "Bemerkungen 2,'=1+2", "Bemerkungen 3,'-5 °C",
                "Test-Datum,06.12.2026", "Test-Zeit,10:30", "Messzyklus, 10 Sekunden", ",",
                "Messzeit;Viskosität;Temperatur"}));
        QCOMPARE(HeaderLines(header, ";").at(2), "Chargen-Nr.;C,7");
        // Read back, the texts are as written; a file whose lines are no header gives nothing.
        const std::optional<MeasurementHeader> read = ReadHeaderLines(HeaderLines(header, ","));
        QVERIFY(read.has_value());
        QCOMPARE(
            read->product + '|' + read->order + '|' + read->cycle, "Lack A;1|'B'| 10 Sekunden");
        QVERIFY(!ReadHeaderLines(HeaderLines(header, ",").mid(1)).has_value());
    }

    void dataLines_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("viscosity");
        QTest::addColumn<std::optional<double>>("temperature");
        QTest::addColumn<QString>("separators"); // field, then decimal
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("readSeconds");
        QTest::addColumn<double>("readViscosity");

        const std::optional<double> none;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("three fields") << 90.0 << 12.34 << std::optional(23.5) << ";."
                                      << "00:01:30 ; 12.3; 23.5" << 90 << 12.3;
        QTest::newRow("decimal comma") << 90.0 << 12.34 << std::optional(23.5) << ";,"
                                       << "00:01:30 ; 12,3; 23,5" << 90 << 12.3;
        QTest::newRow("100 % and below zero") << 59.5 << 100.0 << std::optional(-3.5) << ";."
                                              << "00:01:00 ;100.0; -3.5" << 60 << 100.0;
        QTest::newRow("50 hours: real hours") << 180000.0 << 50.0 << none << ";."
                                              << "50:00:00 ; 50.0" << 180000 << 50.0;
        QTest::newRow("beyond 99 hours held") << 360000.0 << 10.0 << none << ";."
                                              << "99:59:59 ; 10.0" << 359999 << 10.0;
        QTest::newRow("values held to five characters")
            << 1.0 << 1234.5 << std::optional(-150.0) << ";."
            << "00:00:01 ;999.9;-99.9" << 1 << 999.9;
        QTest::newRow("no number") << nan << nan << std::optional(nan) << ";."
                                   << "00:00:00 ;  0.0;  0.0" << 0 << 0.0;
    }

    // Under a German locale, so that the chosen decimal separator is seen to replace the locale's.
    void dataLines()
    {
        QFETCH(double, seconds);
        QFETCH(double, viscosity);
        QFETCH(std::optional<double>, temperature);
        QFETCH(QString, separators);
        QFETCH(QString, line);
        QFETCH(int, readSeconds);
        QFETCH(double, readViscosity);

        const ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
        const QString written
            = DataLine(seconds, viscosity, temperature, separators.left(1), separators.mid(1));
        QCOMPARE(written, line);
        const StoredSample sample = ReadDataLine(written);
        QCOMPARE(sample.seconds, readSeconds);
        QCOMPARE(sample.viscosity, readViscosity);
    }

    // A stored file longer than any test gives the samples a test writes, and no more.
    void storedCurveHoldsATestsLines()
    {
        QTemporaryDir folder;
        PutBytes(folder.filePath("No-00001-1.CSV"), MeasurementBytes({}, 100001));
        const std::optional<StoredCurve> curve = ReadStoredCurve(folder.filePath("No-00001-1.CSV"));
        QVERIFY(curve.has_value() && curve->temperatureMeasured);
        QCOMPARE(curve->samples.size(), 100000u);
        QCOMPARE(curve->samples.back().seconds, 90);
        QCOMPARE(qRound(curve->samples.back().viscosity * 10), 123);
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    void writtenBytes_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("no lines") << QStringList() << QByteArray();
        QTest::newRow("code page") << QStringList {QStringLiteral("Viskosität € Ω 😀")}
                                   << QByteArray("Viskosit\xE4t \x80 ? ?\r\n");
        QTest::newRow("line break inside")
            << QStringList {"a\r\nb", "c\rd\ne"} << QByteArray("a  b\r\nc d e\r\n");
    }

    // Each way of writing, over files that hold a line already.
    void writtenBytes()
    {
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, bytes);
        PutBytes(PathOf("create.csv"), "old\r\n");
        PutBytes(PathOf("replace.csv"), "old\r\n");
        // Appended lines follow a whole last line; one without its line end is ended first.
        const QList<std::pair<QByteArray, QByteArray>> appends {
            {"old\r\n", "old\r\n"}, {"old\r", "old\r"}, {"old", "old\r\n"}};
        for (qsizetype file = 0; file < appends.size(); ++file) {
            PutBytes(PathOf(QString("append%1.csv").arg(file)), appends[file].first);
            QVERIFY(WriteTextLines(
                PathOf(QString("append%1.csv").arg(file)), lines, WriteMode::Append));
            QCOMPARE(
                BytesOf(PathOf(QString("append%1.csv").arg(file))), appends[file].second + bytes);
        }
        QFile replaced(PathOf("replace.csv"));
        QVERIFY(replaced.open(QIODevice::ReadOnly));
        QVERIFY(ReplaceTextFile(PathOf("replace.csv"), lines));
        TextFileWriter writer;
        QVERIFY(writer.Open(PathOf("create.csv"), WriteMode::Create));
        for (const QString& line : lines)
            QVERIFY(writer.WriteLine(line));
        // Every line is in the file before the writer closes it, and on the disk once it is closed.
        QCOMPARE(BytesOf(PathOf("create.csv")), bytes);
        QCOMPARE(writer.UnsyncedLines(), lines.size());
        QVERIFY(writer.Close());
        QCOMPARE(writer.UnsyncedLines(), 0);
        QVERIFY(!writer.WriteLine("after close"));
        QCOMPARE(BytesOf(PathOf("replace.csv")), bytes);
        // The new file was written beside the old one and renamed over it; the old one, still open
        // here, is whole, and no other file is left.
        QCOMPARE(replaced.readAll(), QByteArray("old\r\n"));
        QCOMPARE(Contents().size(), 5);
    }

    // A line written after the file's folder entry is gone would be lost without a word. A full
    // disk that takes only part of a line: the part is taken back, so the next line starts a line
    // of its own.
    void failedWrites()
    {
        TextFileWriter writer;
        QVERIFY(writer.Open(PathOf("full.csv"), WriteMode::Create));
        QVERIFY(writer.WriteLine("00:00:01 ; 12.5; 23.5"));
        {
            const FileSizeLimit full(BytesOf(PathOf("full.csv")).size() + 7);
            QVERIFY(!writer.WriteLine("00:00:02 ; 12.4; 23.5"));
        }
        QVERIFY(writer.WriteLine("00:00:03 ; 12.3; 23.5"));
        QCOMPARE(BytesOf(PathOf("full.csv")),
            QByteArray("00:00:01 ; 12.5; 23.5\r\n00:00:03 ; 12.3; 23.5\r\n"));
        QVERIFY(QFile::remove(PathOf("full.csv")));
        QVERIFY(!writer.WriteLine("00:00:04 ; 12.2; 23.5"));
    }

    void readLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");

        const qsizetype max = TextFileReader::kMaxLineLength;
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("mixed, empty lines, last without end")
            << QByteArray("\r\n\nx\r\r\nlast") << QStringList {"", "", "x", "", "last"};
        QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QStringList {"a", "", "b"};
        QTest::newRow("code page") << QByteArray("Viskosit\xE4t;\x80\r\n\x81\x9D")
                                   << QStringList {QStringLiteral("Viskosität;€"), "\u0081\u009D"};
        // The reader takes 64 KiB at a time; here the LF of a CR LF opens the second read.
        QTest::newRow("CR LF split between reads")
            << (QByteArray(65535, 'x') + "\r\nb") << QStringList {QString(65535, u'x'), "b"};
        QTest::newRow("lone CR that ends the first read")
            << (QByteArray(65535, 'x') + "\r") << QStringList {QString(65535, u'x')};
        QTest::newRow("long line cut")
            << (QByteArray(3 * max, 'z') + "\r\nnext") << QStringList {QString(max, u'z'), "next"};
    }

    // Read whole, in part, and a line at a time until the end-of-file test says so.
    void readLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        PutBytes(PathOf("in.csv"), bytes);
        QCOMPARE(ReadTextLines(PathOf("in.csv")).value_or(QStringList {"<none>"}), lines);
        QCOMPARE(
            ReadTextLines(PathOf("in.csv"), 1).value_or(QStringList {"<none>"}), lines.mid(0, 1));
        QStringList read;
        TextFileReader reader;
        QVERIFY(reader.Open(PathOf("in.csv")));
        while (!reader.AtEnd() && read.size() <= lines.size())
            read.append(reader.ReadLine().value_or("<none>"));
        QCOMPARE(read, lines);
        QVERIFY(!reader.ReadLine().has_value());
        QVERIFY(!ReadTextLines(PathOf("missing.csv")).has_value());
        QVERIFY(!reader.Open(PathOf("missing.csv")) && reader.AtEnd());
    }

    void locks_data()
    {
        // The lock file found: "running" held by this program, "other computer" written by a
        // program elsewhere, "" none, "no folder" where none can be made.
        QTest::addColumn<QString>("found");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<FileLock::Hold>("hold");
        QTest::addColumn<bool>("held");
        QTest::addColumn<bool>("heldByOther");

        using Hold = FileLock::Hold;
        QTest::newRow("free") << "" << 0 << Hold::Briefly << true << false;
        QTest::newRow("a running test's lock, an hour old")
            << "running" << 3600 << Hold::WhileRunning << false << true;
        QTest::newRow("a brief lock elsewhere, 10 s old")
            << "other computer" << 10 << Hold::Briefly << false << true;
        QTest::newRow("a brief lock elsewhere, a minute old, is left behind")
            << "other computer" << 60 << Hold::Briefly << true << false;
        QTest::newRow("a lock that cannot be made blocks nobody")
            << "no folder" << 0 << Hold::Briefly << false << false;
    }

    void locks()
    {
        QFETCH(QString, found);
        QFETCH(int, ageSeconds);
        QFETCH(FileLock::Hold, hold);
        QFETCH(bool, held);
        QFETCH(bool, heldByOther);
        const QString guarded = PathOf(found == "no folder" ? "fehlt/Serie.CSV" : "Serie.CSV");
        const QString lockPath = LockFileOf(guarded);
        QLockFile running(lockPath);
        if (found == "running")
            QVERIFY(running.tryLock(0));
        else if (found == "other computer")
            PutBytes(lockPath, "4242\ntaliv01\nanderer-rechner\n");
        if (!found.isEmpty() && found != "no folder") {
            const time_t then = time(nullptr) - ageSeconds;
            const utimbuf times {then, then};
            QCOMPARE(utime(QFile::encodeName(lockPath).constData(), &times), 0);
        }

        const FileLock lock(guarded, 0, hold);

        QCOMPARE(lock.IsHeld(), held);
        QCOMPARE(lock.HeldByOther(), heldByOther);
        if (found == "running")
            QVERIFY(IsLockedByOther(guarded));
    }

private:
    QString PathOf(const QString& name) const { return dir->filePath(name); }
    QStringList Contents() const
    {
        return QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    std::unique_ptr<QTemporaryDir> dir;
};

QTEST_GUILESS_MAIN(FilesTest)
#include "test_files.moc"
