#include "run/value_format.h"
#include "test_support.h"

#include <QTest>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

// The number-format columns shared by the FFix and FFix0 tables: the expected text on a German
// system (decimal comma) and on an English one (decimal point).
void AddNumberColumns()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("VK");
    QTest::addColumn<int>("NK");
    QTest::addColumn<QString>("german");
    QTest::addColumn<QString>("english");
}

void AddNumberRow(
    const char* name, double x, int VK, int NK, const QString& german, const QString& english)
{
    QTest::newRow(name) << x << VK << NK << german << english;
}

// The integer cases read the same in both locales.
void AddNumberRow(const char* name, double x, int VK, int NK, const QString& both)
{
    AddNumberRow(name, x, VK, NK, both, both);
}

using Formatter = QString (*)(double, int, int);

void CompareInBothLocales(Formatter format)
{
    QFETCH(double, x);
    QFETCH(int, VK);
    QFETCH(int, NK);
    QFETCH(QString, german);
    QFETCH(QString, english);
    {
        const ScopedLocale locale(QLocale(QStringLiteral("de_DE")));
        QCOMPARE(format(x, VK, NK), german);
    }
    {
        const ScopedLocale locale(QLocale(QStringLiteral("en_US")));
        QCOMPARE(format(x, VK, NK), english);
    }
}

} // namespace

class TestValueFormat : public QObject {
    Q_OBJECT

private slots:
    void fFix_data();
    void fFix();
    void fFix0_data();
    void fFix0();
    void fZeit_data();
    void fZeit();
    void signedNumberText_data();
    void signedNumberText();
};

void TestValueFormat::fFix_data()
{
    AddNumberColumns();
    AddNumberRow("one decimal", 12.34, 3, 1, " 12,3", " 12.3");
    AddNumberRow("decimal zero shown", 5, 3, 1, "  5,0", "  5.0");
    AddNumberRow("negative half away from zero", -3.45, 3, 1, " -3,5", " -3.5");
    AddNumberRow("longer than width not cut", 1234.5, 3, 1, "1234,5", "1234.5");
    AddNumberRow("integer right-aligned", 13, 5, 0, "   13");
    AddNumberRow("two digits in width one", 12, 1, 0, "12");
    AddNumberRow("typed 1.005", 1.005, 3, 2, "  1,01", "  1.01");
    AddNumberRow("typed 2.675", 2.675, 1, 2, "2,68", "2.68");
    AddNumberRow("exact binary half", 0.125, 1, 2, "0,13", "0.13");
    AddNumberRow("integer half", 2.5, 1, 0, "3");
    AddNumberRow("first decimal rounds up", 0.05, 1, 1, "0,1", "0.1");
    AddNumberRow("carry into new digit", 9.96, 3, 1, " 10,0", " 10.0");
    AddNumberRow("carry beyond width", 999.96, 3, 1, "1000,0", "1000.0");
    AddNumberRow("negative rounds to zero", -0.04, 3, 1, "  0,0", "  0.0");
    AddNumberRow("negative half below one", -0.5, 1, 0, "-1");
    AddNumberRow("no group separators", 123456789.123, 1, 2, "123456789,12", "123456789.12");
    AddNumberRow("huge value whole", 1e20, 1, 0, "100000000000000000000");
    AddNumberRow("negative decimals narrow the field", 1.5, 3, -1, " 2");
    AddNumberRow("NaN", NaN, 3, 1, "  0,0", "  0.0");
}

void TestValueFormat::fFix()
{
    CompareInBothLocales(FFix);
}

void TestValueFormat::fFix0_data()
{
    AddNumberColumns();
    AddNumberRow("padded", 12, 5, 0, "00012");
    AddNumberRow("wider than width", 123456, 5, 0, "123456");
    AddNumberRow("zero", 0, 5, 0, "00000");
    AddNumberRow("negative keeps sign in front", -12, 4, 0, "-0012");
    AddNumberRow("negative rounds to zero", -0.4, 3, 0, "000");
    AddNumberRow("with decimals", 1.5, 3, 1, "001,5", "001.5");
    AddNumberRow("negative with decimals", -1.25, 3, 1, "-001,3", "-001.3");
    AddNumberRow("NaN", NaN, 2, 0, "00");
}

void TestValueFormat::fFix0()
{
    CompareInBothLocales(FFix0);
}

void TestValueFormat::fZeit_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("expected");

    QTest::newRow("hours") << 3725.0 << "01:02:05";
    QTest::newRow("half carried into minute") << 59.5 << "00:01:00";
    QTest::newRow("half to even down") << 58.5 << "00:00:58";
    QTest::newRow("below half") << 59.4 << "00:00:59";
    QTest::newRow("odd half up") << 1.5 << "00:00:02";
    QTest::newRow("carry into hour") << 3599.5 << "01:00:00";
    QTest::newRow("last second of the day") << 86399.0 << "23:59:59";
    QTest::newRow("past one day") << 90000.0 << "25:00:00";
    QTest::newRow("negative") << -5.0 << "00:00:00";
    QTest::newRow("NaN") << NaN << "00:00:00";
    QTest::newRow("infinity") << Infinity << "00:00:00";
}

void TestValueFormat::fZeit()
{
    QFETCH(double, seconds);
    QFETCH(QString, expected);
    QCOMPARE(FZeit(seconds), expected);
}

void TestValueFormat::signedNumberText_data()
{
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QString>("expected");

    QTest::newRow("positive") << qint64(7) << " 7";
    QTest::newRow("zero") << qint64(0) << " 0";
    QTest::newRow("two digits") << qint64(65) << " 65";
    QTest::newRow("negative") << qint64(-1) << "-1";
    QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << "-9223372036854775808";
}

void TestValueFormat::signedNumberText()
{
    QFETCH(qint64, n);
    QFETCH(QString, expected);
    QCOMPARE(SignedNumberText(n), expected);
}

QTEST_GUILESS_MAIN(TestValueFormat)
#include "test_value_format.moc"
