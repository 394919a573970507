#include "numbers/field_reading.h"

#include <QTest>
#include <limits>

class TestFieldReading : public QObject {
    Q_OBJECT

private slots:
    void fieldValue_data();
    void fieldValue();
    void roundHalfEven_data();
    void roundHalfEven();
};

void TestFieldReading::fieldValue_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("expected");

    QTest::newRow("blanks and tabs between digits") << "1 2.\t5" << 12.5;
    QTest::newRow("stops at letter") << " 12.5x" << 12.5;
    QTest::newRow("comma is no decimal point") << "12,5" << 12.0;
    QTest::newRow("minus sign") << "-3.25" << -3.25;
    QTest::newRow("double sign") << "--5" << 0.0;
    QTest::newRow("exponent") << "1E3" << 1000.0;
    QTest::newRow("overflow") << "1e999" << 0.0;
    // U+0665 is a digit whose low byte is "e": "1e2" would be read if only that byte were seen.
    QTest::newRow("non-ASCII digit stops") << QString::fromUtf16(u"1\u06652") << 1.0;
}

// Each field is read as a view with a digit behind its end, which must stay unread.
void TestFieldReading::fieldValue()
{
    QFETCH(QString, field);
    QFETCH(double, expected);
    const QString line = field + u'7';
    const double value = FieldValue(QStringView(line).chopped(1));
    QCOMPARE(value, expected);
    QVERIFY(!std::signbit(value) || expected < 0);
}

void TestFieldReading::roundHalfEven_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<qint64>("expected64");
    QTest::addColumn<qint32>("expected32");
    QTest::addColumn<qint16>("expected16");

    constexpr qint16 max16 = std::numeric_limits<qint16>::max();
    QTest::newRow("half to even down") << 2.5 << qint64(2) << 2 << qint16(2);
    QTest::newRow("half to even up") << 3.5 << qint64(4) << 4 << qint16(4);
    QTest::newRow("minus one half") << -0.5 << qint64(0) << 0 << qint16(0);
    QTest::newRow("negative half up") << -3.5 << qint64(-4) << -4 << qint16(-4);
    QTest::newRow("beyond 16 bits") << 32767.5 << qint64(32768) << 32768 << max16;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << qint64(0) << 0 << qint16(0);
}

void TestFieldReading::roundHalfEven()
{
    QFETCH(double, x);
    QFETCH(qint64, expected64);
    QFETCH(qint32, expected32);
    QFETCH(qint16, expected16);
    QCOMPARE(RoundHalfEven(x), expected64);
    QCOMPARE(RoundHalfEven32(x), expected32);
    QCOMPARE(RoundHalfEven16(x), expected16);
}

QTEST_GUILESS_MAIN(TestFieldReading)
#include "test_field_reading.moc"
