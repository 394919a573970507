// The protocol file: its header lines, the record with its fixed widths and separator
// substitution, cutting a record into cells, and the names a protocol file may have.
#include "records/protocol_file.h"

#include <QTest>

namespace {

TestRecordTexts Test12(const QString& product, const QString& remark = "Bem")
{
    return {
        12, 1, {product, "A-77", "CH 5", remark, "", "", "06.12.2026", "10:30", " 10 Sekunden"}};
}

} // namespace

Q_DECLARE_METATYPE(TestRecordTexts)

class ProtocolFileTest : public QObject {
    Q_OBJECT

private slots:
    // The header of a file the user makes, and of one a record makes anew, byte for byte.
    void headerLines()
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
        QTest::newRow("outside the plane") << QString("Serie 𝟙") << true;
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
};

QTEST_APPLESS_MAIN(ProtocolFileTest)
#include "test_protocol_file.moc"
