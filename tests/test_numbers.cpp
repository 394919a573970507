// Numbers: read from the instrument's fields, rounded, and shown in fixed widths and as times.
#include "numbers/field_reading.h"
#include "numbers/value_format.h"
#include "test_support.h"

#include <limits>

using namespace Qt::StringLiterals;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

class TestNumbers : public QObject {
    Q_OBJECT

private slots:
    void fixedWidth_data();
    void fixedWidth();
    void fZeit_data();
    void fZeit();
    void shownNumberReadsBack_data();
    void shownNumberReadsBack();
    void fieldValue_data();
    void fieldValue();
    void roundHalfEven_data();
    void roundHalfEven();
};

// The texts are those of a German system; an English one has a decimal point for the comma.
void TestNumbers::fixedWidth_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("VK");
    QTest::addColumn<int>("NK");
    QTest::addColumn<QString>("fFix");
    QTest::addColumn<QString>("fFix0");

    QTest::newRow("one decimal") << 12.34 << 3 << 1 << u" 12,3"_s << u"012,3"_s;
    QTest::newRow("negative half away from zero") << -3.45 << 3 << 1 << u" -3,5"_s << u"-003,5"_s;
    QTest::newRow("typed 1.005") << 1.005 << 3 << 2 << u"  1,01"_s << u"001,01"_s;
    QTest::newRow("first decimal rounds up") << 0.05 << 1 << 1 << u"0,1"_s << u"0,1"_s;
    QTest::newRow("carry beyond width not cut") << 999.96 << 3 << 1 << u"1000,0"_s << u"1000,0"_s;
    QTest::newRow("NaN") << NaN << 3 << 1 << u"  0,0"_s << u"000,0"_s;
}

void TestNumbers::fixedWidth()
{
    QFETCH(double, x);
    QFETCH(int, VK);
    QFETCH(int, NK);
    QFETCH(QString, fFix);
    QFETCH(QString, fFix0);
    {
        const ScopedLocale locale(QLocale(QStringLiteral("de_DE")));
        QCOMPARE(FFix(x, VK, NK), fFix);
        QCOMPARE(FFix0(x, VK, NK), fFix0);
    }
    const ScopedLocale locale(QLocale(QStringLiteral("en_US")));
    QCOMPARE(FFix(x, VK, NK), fFix.replace(u',', u'.'));
    QCOMPARE(FFix0(x, VK, NK), fFix0.replace(u',', u'.'));
}

void TestNumbers::fZeit_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("expected");

    QTest::newRow("half carried into minute") << 59.5 << "00:01:00";
    QTest::newRow("half to even down") << 58.5 << "00:00:58";
    QTest::newRow("hours, half up to even") << 3725.5 << "01:02:06";
    QTest::newRow("NaN") << NaN << "00:00:00";
}

void TestNumbers::fZeit()
{
    QFETCH(double, seconds);
    QFETCH(QString, expected);
    QCOMPARE(FZeit(seconds), expected);
}

void TestNumbers::shownNumberReadsBack_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");

    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("German thousands") << german << 1234.5 << "1234,5";
    QTest::newRow("Swedish minus") << QLocale(QLocale::Swedish, QLocale::Sweden) << -3.5 << "-3,5";
}

// What the display shows is read back to the same value, whatever the system's locale.
void TestNumbers::shownNumberReadsBack()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, shown);

    const ScopedLocale pinned(locale);
    QCOMPARE(ShownNumber(value), shown);
    QCOMPARE(ReadShownValue(ShownNumber(value) + " %"), value);
}

void TestNumbers::fieldValue_data()
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
void TestNumbers::fieldValue()
{
    QFETCH(QString, field);
    QFETCH(double, expected);
    const QString line = field + u'7';
    const double value = FieldValue(QStringView(line).chopped(1));
    QCOMPARE(value, expected);
    QVERIFY(!std::signbit(value) || expected < 0);
}

void TestNumbers::roundHalfEven_data()
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
    QTest::newRow("NaN") << NaN << qint64(0) << 0 << qint16(0);
}

void TestNumbers::roundHalfEven()
{
    QFETCH(double, x);
    QFETCH(qint64, expected64);
    QFETCH(qint32, expected32);
    QFETCH(qint16, expected16);
    QCOMPARE(RoundHalfEven(x), expected64);
    QCOMPARE(RoundHalfEven32(x), expected32);
    QCOMPARE(RoundHalfEven16(x), expected16);
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
