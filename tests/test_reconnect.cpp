// A device that goes away once the connection stands and comes back: a running test goes on in the
// same file with nothing sent that would disturb the instrument, a start waits for the line, and
// a Stop while the line is down still ends the test in the program. The window's own timers do
// the search and the reconnection, on the in-memory line.
#include "test_support.h"

#include <QPushButton>
#include <QTest>

namespace {

const QByteArray Probe = "RUN\n\r";
const QByteArray EndCommand = "E\n\r";
// Several ticks of the search and reconnection timers, with room for a loaded machine.
constexpr int TickTimeout = 20000;

// The instrument starts a test and reports its first sample.
const QByteArray Started = "*S11\r*I00000000\r*A00000000800023.5\r";

// A window connected to the instrument on COM1, with the protocol file "Serie".
struct ConnectedFixture : WindowFixture {
    ConnectedFixture()
    {
        QDir(folder.path()).mkdir("Serie");
        PutBytes(folder.filePath("Serie.CSV"), "Test-Nr.;Produkt-Bezeichnung;\r\n");
        Find<QComboBox>(*window, "TabProtDatei").addItem("Serie");
        receive("*OK! RUN\r");
        QTRY_COMPARE_WITH_TIMEOUT(panel(5), QString("COM1: OK"), TickTimeout);
        line->clearWrites();
    }

    QStringList dataLines() const
    {
        return QString::fromLatin1(BytesOf(folder.filePath("Serie/No-00001-1.CSV")))
            .split("\r\n", Qt::SkipEmptyParts)
            .mid(11);
    }
    qsizetype records() const { return BytesOf(folder.filePath("Serie.CSV")).count('\n') - 1; }
    QPushButton& start() const { return Find<QPushButton>(*window, "Start1"); }
    void unplug()
    {
        line->unplug();
        QCOMPARE(panel(5), QString("COM1: Verbindung unterbrochen"));
    }
    // The device comes back: a tick of the reconnection opens it again.
    void replug()
    {
        line->setPresentPorts({1});
        QTRY_COMPARE_WITH_TIMEOUT(panel(5), QString("COM1: OK"), TickTimeout);
        QCOMPARE(line->currentPort(), 1);
    }
};

} // namespace

class ReconnectTest : public QObject {
    Q_OBJECT

private slots:
    void runningTestGoesOn_data();
    void runningTestGoesOn();
    void stopWhileTheLineIsDown();
    void startWhileTheLineIsDown();
    void runParametersFollowWithoutATest();
};

void ReconnectTest::runningTestGoesOn_data()
{
    QTest::addColumn<int>("unplugs");
    QTest::addColumn<bool>("betweenTimeAndSample");
    QTest::newRow("once") << 1 << false;
    QTest::newRow("twice, between the time and the value") << 2 << true;
}

void ReconnectTest::runningTestGoesOn()
{
    QFETCH(int, unplugs);
    QFETCH(bool, betweenTimeAndSample);
    ConnectedFixture fixture;
    fixture.receive(Started);
    QCOMPARE(fixture.start().text(), QString("Stop"));
    fixture.line->clearWrites();

    for (int unplug = 1; unplug <= unplugs; ++unplug) {
        if (betweenTimeAndSample)
            fixture.receive("*I00000010\r*A000000");
        fixture.unplug();
        QCOMPARE(fixture.start().text(), QString("Stop"));
        fixture.replug();
    }
    fixture.receive("*I00000600\r*A00000000300023.5\r");

    QVERIFY(fixture.line->writes().isEmpty());
    QCOMPARE(fixture.records(), 0);
    const QStringList lines = fixture.dataLines();
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines.last().startsWith("00:10:00"), qPrintable(lines.last()));
    fixture.receive("*E11\r");
    QCOMPARE(fixture.records(), 1);
    QCOMPARE(fixture.start().text(), QString("Start"));
    QVERIFY(fixture.questions.isEmpty());
}

// The user is told that the instrument may go on measuring; the line comes back without an end
// command, and the instrument's own end adds no second record.
void ReconnectTest::stopWhileTheLineIsDown()
{
    ConnectedFixture fixture;
    fixture.receive(Started);
    fixture.unplug();
    fixture.answers = {MsgResult::Ok};

    fixture.start().click();

    QCOMPARE(fixture.start().text(), QString("Start"));
    QCOMPARE(fixture.records(), 1);
    QCOMPARE(fixture.questions.size(), 1);
    QVERIFY(fixture.questions.first().text.contains("konnte nicht angehalten werden"));
    fixture.line->clearWrites();
    fixture.replug();
    QVERIFY(!fixture.line->writtenTo(1).contains(EndCommand));
    fixture.receive("*E11\r");
    QCOMPARE(fixture.records(), 1);
}

// With the line down nothing could tell the instrument to measure, and the program would wait for
// a test that never runs: the start is refused, and can be made once the line is back.
void ReconnectTest::startWhileTheLineIsDown()
{
    ConnectedFixture fixture;
    fixture.unplug();

    fixture.start().click();

    QCOMPARE(fixture.start().text(), QString("Start"));
    QVERIFY(!QFile::exists(fixture.folder.filePath("Serie/No-00001-1.CSV")));
    QVERIFY2(fixture.panel(5).contains("Verbindung unterbrochen"), qPrintable(fixture.panel(5)));

    fixture.replug();
    fixture.line->clearWrites();
    fixture.start().click();
    QCOMPARE(fixture.start().text(), QString("Stop"));
    QVERIFY(fixture.line->writtenTo(1).endsWith("S\n\r"));
}

// Without a running test the port's return sends the run parameters, also one chosen while the
// line was down, but never the probe or an end.
void ReconnectTest::runParametersFollowWithoutATest()
{
    ConnectedFixture fixture;
    fixture.unplug();
    Choose(&Find<QComboBox>(*fixture.window, "Messzeit"), 2);
    fixture.line->clearWrites();
    fixture.replug();
    const QByteArray written = fixture.line->writtenTo(1);
    QVERIFY2(written.contains("D3\n\r"), written.constData());
    QVERIFY(!written.contains(Probe));
    QVERIFY(!written.contains(EndCommand));
    QVERIFY(fixture.questions.isEmpty());
}

QTEST_MAIN(ReconnectTest)
#include "test_reconnect.moc"
