// The graphs: axes per duration and temperature scale, live and stored curves, the curve list and
// the limit line, checked through what the picture boxes drew.
#include "platform/flex_grid.h"
#include "platform/picture_box.h"
#include "platform/text_file.h"
#include "test_support.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

namespace {

// The entries of a drawing log that start with the given text.
QStringList Starting(const QStringList& log, const QString& start)
{
    QStringList found;
    for (const QString& entry : log) {
        if (entry.startsWith(start))
            found.append(entry);
    }
    return found;
}

// The texts printed, in order.
QStringList Texts(const QStringList& log)
{
    QStringList texts;
    for (const QString& entry : Starting(log, "text "))
        texts.append(entry.section('\'', 1, -2));
    return texts;
}

QStringList DataFile(const QStringList& dataLines)
{
    return QStringList(11, "Kopf;") + dataLines;
}

// A window with temperature on and the comparison graph's curve list set up for protocol
// "Serie7" in the temporary folder.
struct GraphFixture : WindowFixture {
    GraphFixture()
    {
        window->TempOnOff[1]->setChecked(true);
        window->TabProtDatei->addItem("Serie7");
        QDir(folder.path()).mkdir("Serie7");
        window->FormatCurveList();
    }

    void addStoredTest(int row, const QString& number, int position, const QStringList& lines)
    {
        window->WahlTab->setRows(row + 1);
        window->WahlTab->setTextMatrix(row, 0, number);
        window->WahlTab->setTextMatrix(row, 1, QString::number(position));
        window->WahlTab->setTextMatrix(row, 2, "0");
        if (!lines.isEmpty()) {
            const QString name = QString("Serie7/No-%1-%2.CSV").arg(number).arg(position);
            QVERIFY(WriteTextLines(folder.filePath(name), lines, WriteMode::Create));
        }
    }

    QStringList comparisonLog() const { return window->Grafik[0]->DrawLog(); }
    QStringList liveLog() const { return window->Grafik[1]->DrawLog(); }
    ScopedLocale german {QLocale(QLocale::German, QLocale::Germany)};
};

} // namespace

class GraphsTest : public QObject {
    Q_OBJECT

private slots:
    void axes_data();
    void axes();
    void temperatureScaleRedrawsBothGraphs();
    void liveSamples_data();
    void liveSamples();
    void storedCurves_data();
    void storedCurves();
    void curveListTogglesAndRedrawsInRowOrder();
    void limitLineFollowsTheRightMouseButton_data();
    void limitLineFollowsTheRightMouseButton();
};

void GraphsTest::axes_data()
{
    QTest::addColumn<int>("durationIndex");
    QTest::addColumn<int>("temperatureOption"); // TempOnOff index, -1 neither chosen
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("minorTicks");
    QTest::addColumn<QStringList>("timeLabels");
    QTest::addColumn<QStringList>("temperatureLabels");
    QTest::addColumn<QString>("unit");

    const QStringList noTemperature;
    QTest::newRow("15 minutes, temperature off")
        << 1 << 0 << 1 << 61
        << QStringList {" 0 ", " 1 ", " 2 ", " 3 ", " 4 ", " 5 ", " 6 ", " 7 ", " 8 ", " 9 ",
               " 10 ", " 11 ", " 12 ", " 13 ", " 14 ", " 15 "}
        << noTemperature << "Minuten  ";
    QTest::newRow("30 minutes, 0-50 °C")
        << 2 << 1 << 1 << 61 << QStringList {" 0 ", " 5 ", " 10 ", " 15 ", " 20 ", " 25 ", " 30 "}
        << QStringList {"  5", " 10", " 15", " 20", " 25", " 30", " 35", " 40", " 45", " 50"}
        << "Minuten  ";
    QTest::newRow("5 hours, 0-150 °C, no temperature choice yet")
        << 5 << -1 << 3 << 31
        << QStringList {" 0 ", " ,5 ", " 1 ", " 1,5 ", " 2 ", " 2,5 ", " 3 ", " 3,5 ", " 4 ",
               " 4,5 ", " 5 "}
        << QStringList {" 15", " 30", " 45", " 60", " 75", " 90", "105", "120", "135", "150"}
        << "Stunden  ";
    QTest::newRow("50 hours counts days")
        << 8 << 0 << 1 << 41
        << QStringList {" 0 ", " 1 ", " 2 ", " 3 ", " 4 ", " 5 ", " 6 ", " 7 ", " 8 ", " 9 ",
               " 10 ", " 11 ", " 12 ", " 13 ", " 14 ", " 15 ", " 16 ", " 17 ", " 18 ", " 19 ",
               " 20 "}
        << noTemperature << "Stunden  ";
    QTest::newRow("unknown duration: no ticks")
        << 0 << 0 << 1 << 0 << QStringList {} << noTemperature << "";
    QTest::newRow("duration beyond the list")
        << 10 << 0 << 1 << 0 << QStringList {} << noTemperature << "";
}

void GraphsTest::axes()
{
    QFETCH(int, durationIndex);
    QFETCH(int, temperatureOption);
    QFETCH(int, scale);
    QFETCH(int, minorTicks);
    QFETCH(QStringList, timeLabels);
    QFETCH(QStringList, temperatureLabels);
    QFETCH(QString, unit);

    GraphFixture fixture;
    for (int option = 0; option < 2; ++option) {
        fixture.window->TempOnOff[option]->setAutoExclusive(false);
        fixture.window->TempOnOff[option]->setChecked(option == temperatureOption);
    }
    const bool temperatureOn = temperatureOption != 0;
    fixture.window->DurationIndex = qint16(durationIndex);
    fixture.window->TempSkal_Click(scale);
    const QStringList log = fixture.comparisonLog();

    QCOMPARE(Starting(log, "line 0,0 0,1000 ").size(), 1);
    QCOMPARE(Starting(log, "line -20,").size(), 11);
    QCOMPARE(Starting(log, "line 0,").filter(" 3600,").filter("#00FFFF").size(), 11);
    int minor = 0;
    for (const QString& entry : Starting(log, "line "))
        minor += entry.contains(QRegularExpression(R"(^line (\d+),-14 \1,0 )"));
    QCOMPARE(minor, minorTicks);
    QCOMPARE(Starting(log, "line ").filter(QRegularExpression(R"(,-30 \d+,0 #000000)")).size(),
        timeLabels.size());
    QStringList expectedTexts {"  0", " 10", " 20", " 30", " 40", " 50", " 60", " 70", " 80", " 90",
        "100", "Viskosität", "in %"};
    expectedTexts += timeLabels + QStringList {unit};
    if (temperatureOn)
        expectedTexts += temperatureLabels + QStringList {"Temperatur", "Grad C"};
    QCOMPARE(Texts(log), expectedTexts);
    QCOMPARE(Starting(log, "line ")
                 .filter(QRegularExpression(R"(^line (\d+),0 \1,1000 #00FFFF)"))
                 .size(),
        qMax(0, int(timeLabels.size()) - 1));
    QVERIFY(log.contains("text -180,1100 #000000 'Viskosität'"));
    if (!unit.isEmpty())
        QVERIFY(log.contains("text 3400,60 #000000 '" + unit + "'"));
    if (timeLabels.size() > 1)
        QVERIFY(log.contains("text -40,-50 #000000 '" + timeLabels.first() + "'"));
    QCOMPARE(
        log.filter(QRegularExpression("^text 60,\\d*15 #FF0000")).size(), temperatureLabels.size());
    QCOMPARE(fixture.liveLog(), log);
}

void GraphsTest::temperatureScaleRedrawsBothGraphs()
{
    GraphFixture fixture;
    Form1& window = *fixture.window;
    window.LimitValue[1] = 400;
    window.TempSkal_Click(3);
    QCOMPARE(window.TempScaleFactor, 1.5F);
    QVERIFY(window.TempSkal[3]->isChecked());
    QVERIFY(window.TempSkal[3]->font().bold());
    QCOMPARE(window.TempSkal[3]->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    window.TempSkal_Click(1);
    QVERIFY(!window.TempSkal[3]->font().bold());
    QVERIFY(window.TempSkal[3]->palette().color(QPalette::WindowText) != QColor(0, 0, 255));
    QCOMPARE(window.GWert[1]->text(), QString("40"));
    QCOMPARE(fixture.liveLog().last(),
        QString("polyline -40,400 3600,400 3680,430 3680,370 "
                "3600,400 w1 invert"));
    QVERIFY(Starting(fixture.comparisonLog(), "polyline").isEmpty());
}

void GraphsTest::liveSamples_data()
{
    QTest::addColumn<bool>("temperatureOn");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("temperature on")
        << true
        << QStringList {"line 0,500 240,450 #000000 w2", "line 0,460 240,470 #FF0000 w1",
               "line 240,450 480,405.5 #000000 w2", "line 240,470 480,464 #FF0000 w1"};
    QTest::newRow("temperature off")
        << false
        << QStringList {"line 0,500 240,450 #000000 w2", "line 240,450 480,405.5 #000000 w2"};
}

// 15-minute axis: one minute is x 240. The first sample only moves the start to its height;
// segments follow once a data line has been written.
void GraphsTest::liveSamples()
{
    QFETCH(bool, temperatureOn);
    QFETCH(QStringList, expected);
    GraphFixture fixture;
    Form1& window = *fixture.window;
    window.DurationIndex = 1;
    window.TempSkal_Click(1);
    const qsizetype frame = fixture.liveLog().size();
    window.PlotLiveSample(1, 50, 23, temperatureOn, 0, false);
    QCOMPARE(fixture.liveLog().size(), frame);
    window.PlotLiveSample(1, 45, 23.5, temperatureOn, 60, true);
    window.PlotLiveSample(1, 40.55, 23.2, temperatureOn, 120, true);
    QCOMPARE(fixture.liveLog().mid(frame), expected);
}

void GraphsTest::storedCurves_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("file");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("durationIndex");

    const QStringList twoLines
        = DataFile({"00:00:00 ; 80.0; 22.0", "00:07:30 ; 60.5; 23.5", "00:15:00 ;100.0; 24.0"});
    QTest::newRow("position 1 black")
        << 1 << twoLines
        << QStringList {"line 0,800 0,800 #000000 w1", "line 0,440 0,440 #FF0000 w1",
               "line 0,800 1800,605 #000000 w1", "line 0,440 1800,470 #FF0000 w1",
               "line 1800,605 3600,1000 #000000 w1", "line 1800,470 3600,480 #FF0000 w1"}
        << 1 << 1;
    QTest::newRow("position 2 blue")
        << 2 << DataFile({"00:01:00 ; 10.0; 20.0"})
        << QStringList {"line 0,100 240,100 #0000FF w1", "line 0,400 240,400 #FF0000 w1"} << 1 << 1;
    QTest::newRow("position 3 red")
        << 3 << DataFile({"00:01:00 ; 10.0; 20.0"})
        << QStringList {"line 0,100 240,100 #FF0000 w1", "line 0,400 240,400 #FF0000 w1"} << 1 << 1;
    QTest::newRow("other position: temperature only")
        << 7 << DataFile({"00:01:00 ; 10.0; 20.0"}) << QStringList {"line 0,400 240,400 #FF0000 w1"}
        << 1 << 1;
    QTest::newRow("two-field lines: no temperature curve")
        << 1 << DataFile({"00:01:00 ; 10.0"}) << QStringList {"line 0,100 240,100 #000000 w1"} << 1
        << 1;
    QTest::newRow("temperature off: no temperature curve")
        << 1 << DataFile({"00:01:00 ; 10.0;  0.0", "00:02:00 ; 12.0;  0,0"})
        << QStringList {"line 0,100 240,100 #000000 w1", "line 240,100 480,120 #000000 w1"} << 1
        << 1;
    QTest::newRow("comma decimals kept, garbage reads 0")
        << 1 << DataFile({"00:01:00 , 12,3, 23,5", "xx:0y:30 ;abcde;  !  "})
        << QStringList {"line 0,123 240,123 #000000 w1", "line 0,470 240,470 #FF0000 w1",
               "line 240,123 120,0 #000000 w1", "line 240,470 120,0 #FF0000 w1"}
        << 1 << 1;
    QTest::newRow("beyond the axis, not clipped")
        << 1 << DataFile({"10:00:00 ; 50.0; 20.0"})
        << QStringList {"line 0,500 144000,500 #000000 w1", "line 0,400 144000,400 #FF0000 w1"} << 1
        << 1;
    QTest::newRow("huge line") << 1 << DataFile({"00:01:00 ; 10.0; 20.0" + QString(10 << 20, 'x')})
                               << QStringList {"line 0,100 240,100 #000000 w1",
                                      "line 0,400 240,400 #FF0000 w1"}
                               << 1 << 1;
    QTest::newRow("header only") << 1 << DataFile({}) << QStringList {} << 1 << 1;
    QTest::newRow("shorter than the header")
        << 1 << QStringList {"a", "b"} << QStringList {} << 1 << 1;
    QTest::newRow("missing file") << 1 << QStringList {} << QStringList {} << 1 << 1;
    QTest::newRow("0-150 °C scale")
        << 2 << DataFile({"00:01:00 ; 10.0; 22.5"})
        << QStringList {"line 0,100 240,100 #0000FF w1", "line 0,150 240,150 #FF0000 w1"} << 3 << 1;
    QTest::newRow("20 hours: x 2.5 rounds to 2, 6.5 to 6")
        << 1 << DataFile({"00:10:00 ; 10.0; 20.0", "00:26:00 ; 10.0; 20.0"})
        << QStringList {"line 0,100 2,100 #000000 w1", "line 0,400 2,400 #FF0000 w1",
               "line 2,100 6,100 #000000 w1", "line 2,400 6,400 #FF0000 w1"}
        << 1 << 7;
}

// 15-minute axis, temperature scale 0-50 °C (y = °C × 20).
void GraphsTest::storedCurves()
{
    QFETCH(int, position);
    QFETCH(QStringList, file);
    QFETCH(QStringList, expected);
    QFETCH(int, scale);
    QFETCH(int, durationIndex);
    GraphFixture fixture;
    fixture.window->DurationIndex = qint16(durationIndex);
    fixture.window->TempSkal_Click(scale);
    fixture.addStoredTest(1, "00012", position, file);
    const qsizetype axes = fixture.comparisonLog().size();
    fixture.window->WahlTab->setRow(1);
    fixture.window->WahlTab_Click();
    QCOMPARE(fixture.window->WahlTab->TextMatrix(1, 2), QString("-1"));
    QCOMPARE(fixture.comparisonLog().mid(axes), expected);
}

void GraphsTest::curveListTogglesAndRedrawsInRowOrder()
{
    GraphFixture fixture;
    Form1& window = *fixture.window;
    window.TempSkal_Click(1);
    const qsizetype axes = fixture.comparisonLog().size();
    window.WahlTab_Click();
    QCOMPARE(fixture.comparisonLog().size(), axes);
    fixture.addStoredTest(1, "00001", 1, DataFile({"00:01:00 ; 10.0; 20.0"}));
    fixture.addStoredTest(2, "00002", 2, DataFile({"00:01:00 ; 30.0; 20.0"}));
    for (const int row : {2, 1}) {
        window.WahlTab->setRow(row);
        window.WahlTab_Click();
    }
    const QStringList viscosity = Starting(fixture.comparisonLog().mid(axes), "line 0,");
    QCOMPARE(viscosity.filter("#FF0000", Qt::CaseSensitive).size(), 2);
    QCOMPARE(viscosity.first(), QString("line 0,100 240,100 #000000 w1"));
    QCOMPARE(viscosity.at(2), QString("line 0,300 240,300 #0000FF w1"));
    window.WahlTab_Click();
    QCOMPARE(fixture.comparisonLog().size(), axes + 2);
    window.ButDel_Click(0);
    QCOMPARE(window.WahlTab->TextMatrix(2, 2), QString("0"));
    QCOMPARE(fixture.comparisonLog().size(), axes);
}

void GraphsTest::limitLineFollowsTheRightMouseButton_data()
{
    QTest::addColumn<QStringList>("events"); // "down|move|up button y" on the live graph
    QTest::addColumn<float>("limit");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("figures");

    const int right = PictureBox::RightButton;
    const int left = PictureBox::LeftButton;
    const auto press
        = [](int button, double y) { return QString("down %1 %2").arg(button).arg(y); };
    const auto move = [](int button, double y) { return QString("move %1 %2").arg(button).arg(y); };
    const auto release = [](int button) { return QString("up %1 0").arg(button); };
    QTest::newRow("right press below 0.5 %")
        << QStringList {press(right, 3), release(right)} << 0.0F << "0" << 0;
    QTest::newRow("right press at 52.37 %")
        << QStringList {press(right, 523.7), release(right)} << 523.7F << "52,3" << 1;
    QTest::newRow("moved line, one figure")
        << QStringList {press(right, 523.7), move(right, 700), move(0, 800), release(right)}
        << 800.0F << "80" << 1;
    QTest::newRow("above the plot held at 100 %")
        << QStringList {press(right, 1200), release(right)} << 1000.0F << "100" << 1;
    QTest::newRow("dragged below 0.5 % removes it")
        << QStringList {press(right, 400), move(right, -50), release(right)} << 0.0F << "0" << 0;
    QTest::newRow("left button does nothing")
        << QStringList {press(left, 400), move(left, 600), release(left)} << 0.0F << "" << 0;
    QTest::newRow("left release ends the drag")
        << QStringList {press(right, 400), release(left), move(right, 600)} << 400.0F << "40" << 1;
    QTest::newRow("comparison graph ignored")
        << QStringList {"down0 2 400", "up0 2 0"} << 0.0F << "0" << 0;
}

void GraphsTest::limitLineFollowsTheRightMouseButton()
{
    QFETCH(QStringList, events);
    QFETCH(float, limit);
    QFETCH(QString, shown);
    QFETCH(int, figures);
    GraphFixture fixture;
    Form1& window = *fixture.window;
    window.TempSkal_Click(1);
    for (const QString& event : events) {
        const QStringList parts = event.split(' ');
        const int graph = parts[0].endsWith('0') ? 0 : 1;
        const int button = parts[1].toInt();
        const float y = parts[2].toFloat();
        if (parts[0].startsWith("down"))
            window.Grafik_MouseDown(graph, button, 0, 100, y);
        else if (parts[0].startsWith("move"))
            window.Grafik_MouseMove(graph, button, 0, 100, y);
        else
            window.Grafik_MouseUp(graph, button, 0, 100, y);
    }
    QCOMPARE(window.LimitValue[1], limit);
    QCOMPARE(window.GWert[1]->text(), shown);
    const QStringList drawn = Starting(fixture.liveLog(), "polyline");
    QCOMPARE(drawn.size(), figures);
    if (figures > 0)
        QVERIFY(drawn.first().startsWith(QString("polyline -40,%1 ").arg(double(limit))));
    QVERIFY(Starting(fixture.comparisonLog(), "polyline").isEmpty());
}

QTEST_MAIN(GraphsTest)
#include "test_graphs.moc"
