// The measurement file's lines: the header block, data lines at their fixed character positions,
// and reading them back.
#include "records/measurement_file.h"
#include "records_driver.h"
#include "test_support.h"

#include <QTest>
#include <limits>

class MeasurementFileTest : public QObject {
    Q_OBJECT

private slots:
    void headerLines()
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
};

QTEST_GUILESS_MAIN(MeasurementFileTest)
#include "test_measurement_file.moc"
