#include "instrument/field_reading.h"

#include <QTest>
#include <limits>

class TestFieldReading : public QObject {
    Q_OBJECT

private slots:
    void fieldValue_data();
    void fieldValue();
    void fieldValueReadsOnlyItsView();
    void roundHalfEven_data();
    void roundHalfEven();
};

void TestFieldReading::fieldValue_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("blanks between digits") << "1 2" << 12.0;
    QTest::newRow("tab between digits") << "1\t2.\t5" << 12.5;
    QTest::newRow("stops at letter") << " 12.5x" << 12.5;
    QTest::newRow("comma is no decimal point") << "12,5" << 12.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("plus sign") << "+3" << 3.0;
    QTest::newRow("minus sign") << "-3.25" << -3.25;
    QTest::newRow("blank after sign") << "- 4" << -4.0;
    QTest::newRow("double sign") << "--5" << 0.0;
    QTest::newRow("minus zero") << "-0" << 0.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("blanks in exponent") << "1 e - 2" << 0.01;
    QTest::newRow("exponent without digits") << "1e" << 1.0;
    QTest::newRow("exponent sign only") << "1e+" << 1.0;
    QTest::newRow("exponent without mantissa") << "e5" << 0.0;
    QTest::newRow("overflow") << "1e999" << 0.0;
    QTest::newRow("garbage") << "abc" << 0.0;
    QTest::newRow("NUL stops") << QString::fromUtf16(u"12\u00003") << 12.0;
    QTest::newRow("non-ASCII digit stops") << QString::fromUtf16(u"1\u0663") << 1.0;
    QTest::newRow("high character stops") << QString::fromUtf16(u"9\u00e98") << 9.0;
    const QString zeros(100000, u'0');
    QTest::newRow("many leading zeros") << zeros + QStringLiteral("25") << 25.0;
    QTest::newRow("many decimals")
        << QStringLiteral("0.") + zeros + QStringLiteral("1e100001") << 1.0;
    QTest::newRow("many digits overflow") << u'1' + zeros + zeros + zeros + zeros << 0.0;
    QTest::newRow("long exponent") << QStringLiteral("3e") + zeros + u'2' << 300.0;
}

void TestFieldReading::fieldValue()
{
    QFETCH(QString, field);
    QFETCH(double, expected);
    const double value = FieldValue(field);
    QCOMPARE(value, expected);
    QVERIFY(!std::signbit(value) || expected < 0);
}

void TestFieldReading::fieldValueReadsOnlyItsView()
{
    const QString line = QStringLiteral("*I00012.5  99");
    QCOMPARE(FieldValue(QStringView(line).mid(2, 5)), 12.0);
    QCOMPARE(FieldValue(QStringView(line).mid(2, 7)), 12.5);
    QCOMPARE(FieldValue(QStringView(line).mid(9, 3)), 9.0);
}

void TestFieldReading::roundHalfEven_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<qint64>("expected64");
    QTest::addColumn<qint32>("expected32");
    QTest::addColumn<qint16>("expected16");

    constexpr qint64 max64 = std::numeric_limits<qint64>::max();
    constexpr qint64 min64 = std::numeric_limits<qint64>::min();
    constexpr qint32 max32 = std::numeric_limits<qint32>::max();
    constexpr qint32 min32 = std::numeric_limits<qint32>::min();
    constexpr qint16 max16 = std::numeric_limits<qint16>::max();
    constexpr qint16 min16 = std::numeric_limits<qint16>::min();
    QTest::newRow("above half") << 2.5000001 << qint64(3) << 3 << qint16(3);
    QTest::newRow("half to even down") << 2.5 << qint64(2) << 2 << qint16(2);
    QTest::newRow("half to even up") << 3.5 << qint64(4) << 4 << qint16(4);
    QTest::newRow("minus one half") << -0.5 << qint64(0) << 0 << qint16(0);
    QTest::newRow("negative half down") << -2.5 << qint64(-2) << -2 << qint16(-2);
    QTest::newRow("negative half up") << -3.5 << qint64(-4) << -4 << qint16(-4);
    QTest::newRow("large half to even") << 1e15 + 0.5 << qint64(1000000000000000) << max32 << max16;
    QTest::newRow("beyond 16 bits") << 32767.5 << qint64(32768) << 32768 << max16;
    QTest::newRow("below 16 bits") << -40000.0 << qint64(-40000) << -40000 << min16;
    QTest::newRow("2^63") << 9223372036854775808.0 << max64 << max32 << max16;
    QTest::newRow("-2^63") << -9223372036854775808.0 << min64 << min32 << min16;
    QTest::newRow("below -2^63") << -1e19 << min64 << min32 << min16;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << max64 << max32 << max16;
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
