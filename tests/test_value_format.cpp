#include "numbers/value_format.h"
#include "test_support.h"

#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

class TestValueFormat : public QObject {
    Q_OBJECT

private slots:
    void fixedWidth_data();
    void fixedWidth();
    void fZeit_data();
    void fZeit();
    void shownNumberReadsBack_data();
    void shownNumberReadsBack();
};

// The texts are those of a German system; an English one has a decimal point for the comma.
void TestValueFormat::fixedWidth_data()
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

void TestValueFormat::fixedWidth()
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

void TestValueFormat::fZeit_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("expected");

    QTest::newRow("half carried into minute") << 59.5 << "00:01:00";
    QTest::newRow("half to even down") << 58.5 << "00:00:58";
    QTest::newRow("hours, half up to even") << 3725.5 << "01:02:06";
    QTest::newRow("negative") << -5.0 << "00:00:00";
    QTest::newRow("NaN") << NaN << "00:00:00";
}

void TestValueFormat::fZeit()
{
    QFETCH(double, seconds);
    QFETCH(QString, expected);
    QCOMPARE(FZeit(seconds), expected);
}

void TestValueFormat::shownNumberReadsBack_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");

    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("German thousands") << german << 1234.5 << "1234,5";
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << -3.5 << "-3.5";
    QTest::newRow("Swedish minus") << QLocale(QLocale::Swedish, QLocale::Sweden) << -3.5 << "-3,5";
}

// What the display shows is read back to the same value, whatever the system's locale.
void TestValueFormat::shownNumberReadsBack()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, shown);

    const ScopedLocale pinned(locale);
    QCOMPARE(ShownNumber(value), shown);
    QCOMPARE(ReadShownValue(ShownNumber(value) + " %"), value);
}

QTEST_GUILESS_MAIN(TestValueFormat)
#include "test_value_format.moc"
