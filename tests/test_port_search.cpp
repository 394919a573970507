// The search for the instrument's port, driven tick by tick, and the command-line port.
#include "platform/comm_control.h"
#include "platform/message_box.h"
#include "test_support.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QSet<int> AllSearchPorts = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
const QByteArray Probe = "RUN\n\r";
// What a connection sends with the first start's settings: the duration, the temperature option
// and the reset of position 1; the load sends the same parameters after the probe.
const QByteArray LoadedParameters = "D1\n\rT0\n\r";
const QByteArray ParametersAndReset = LoadedParameters + "E\n\r";

// Ticks until the question is asked (port 15 probed, one more tick).
void TickThroughAllPorts(WindowFixture& fixture)
{
    for (int tick = 0; tick < 15; ++tick)
        fixture.window->Timer2_Timer();
}

} // namespace

class PortSearchTest : public QObject {
    Q_OBJECT

private slots:
    void eachTickProbesTheNextPort();
    void answerConnectsAtTheNextTick();
    void missingPortsArePassedOver();
    void questionAfterTheLastPort();
    void cancelGoesOfflineForGood();
    void retrySearchesFromTheFirstPortAtOnce();
    void ticksWhileAskingDoNothing();
    void answerWhileAskingConnectsTheLastPort();
    void commandLinePort_data();
    void commandLinePort();
    void leftoversOfAPortNeverReachTheNext_data();
    void leftoversOfAPortNeverReachTheNext();
    void unpluggedDeviceIsClosed();
    void lostConnectionIsShown_data();
    void lostConnectionIsShown();
};

void PortSearchTest::eachTickProbesTheNextPort()
{
    WindowFixture fixture(AllSearchPorts);
    for (int port = 2; port <= 15; ++port) {
        fixture.window->Timer2_Timer();
        QCOMPARE(fixture.panel(5), QString("Test COM %1:").arg(port));
        QCOMPARE(fixture.line->currentPort(), port);
        QCOMPARE(fixture.line->writtenTo(port), Probe);
    }
    QCOMPARE(fixture.panel(1), QString("Ausg: T0"));
    QVERIFY(fixture.questions.isEmpty());
}

void PortSearchTest::answerConnectsAtTheNextTick()
{
    WindowFixture fixture(AllSearchPorts);
    for (int tick = 0; tick < 3; ++tick)
        fixture.window->Timer2_Timer();
    fixture.receive("*OK! RUN\r\n");
    QCOMPARE(fixture.panel(5), QString("Test COM 4:"));
    fixture.window->Timer2_Timer();
    QCOMPARE(fixture.panel(5), QString("COM4: OK"));
    QCOMPARE(fixture.line->writtenTo(4), Probe + ParametersAndReset);
    QCOMPARE(fixture.panel(1), QString("Ausg: E"));
    QVERIFY(!fixture.window->Timer2->isActive());
    QCOMPARE(fixture.window->Start[1]->text(), QString("Start"));
}

void PortSearchTest::missingPortsArePassedOver()
{
    WindowFixture fixture({5});
    QVERIFY(fixture.line->writes().isEmpty());
    for (int tick = 0; tick < 4; ++tick)
        fixture.window->Timer2_Timer();
    QCOMPARE(fixture.line->currentPort(), 5);
    QCOMPARE(fixture.line->writtenTo(5), Probe);
    fixture.window->Timer2_Timer();
    QVERIFY(!fixture.window->comTest->PortOpen());
    QCOMPARE(fixture.panel(5), QString("Test COM 6:"));
}

void PortSearchTest::questionAfterTheLastPort()
{
    WindowFixture fixture(AllSearchPorts);
    TickThroughAllPorts(fixture);
    QCOMPARE(fixture.questions.size(), 1);
    const WindowFixture::Question& question = fixture.questions.first();
    QCOMPARE(question.style, 53);
    QCOMPARE(question.title, QString("Verbindung zum Messgerät "));
    QCOMPARE(question.text,
        QString("Die Verbindung zum Messgerät konnte nicht aufgebaut werden !\r\n\r\n"
                "Gerät einschalten, Verbindung prüfen und 'Wiederholen'\r\n  \r\n\r\n"
                " \r\n\r\n"));
}

void PortSearchTest::cancelGoesOfflineForGood()
{
    WindowFixture fixture(AllSearchPorts);
    fixture.answers = {MsgResult::Cancel};
    TickThroughAllPorts(fixture);
    QCOMPARE(fixture.panel(5), QString("Keine Verbindung / Offline "));
    QVERIFY(fixture.window->Start[1]->isHidden());
    QVERIFY(!fixture.window->Timer2->isActive());
    const qsizetype writesBefore = fixture.line->writes().size();
    fixture.receive("*OK! RUN\r");
    QCOMPARE(fixture.panel(5), QString("Keine Verbindung / Offline "));
    QVERIFY(!fixture.window->Timer2->isActive());
    QCOMPARE(fixture.line->writes().size(), writesBefore);
}

void PortSearchTest::retrySearchesFromTheFirstPortAtOnce()
{
    WindowFixture fixture(AllSearchPorts);
    fixture.answers = {MsgResult::Retry};
    TickThroughAllPorts(fixture);
    QCOMPARE(fixture.panel(5), QString("Test COM 1:"));
    QCOMPARE(fixture.line->currentPort(), 1);
    QCOMPARE(fixture.line->writtenTo(1), Probe + LoadedParameters + Probe);
    QVERIFY(fixture.window->Timer2->isActive());
    fixture.window->Timer2_Timer();
    QCOMPARE(fixture.panel(5), QString("Test COM 2:"));
}

void PortSearchTest::ticksWhileAskingDoNothing()
{
    WindowFixture fixture(AllSearchPorts);
    fixture.answers = {MsgResult::Retry};
    fixture.whileAsking = [&] {
        fixture.window->Timer2_Timer();
        fixture.window->Timer2_Timer();
        QCOMPARE(fixture.line->currentPort(), 15);
    };
    TickThroughAllPorts(fixture);
    QCOMPARE(fixture.questions.size(), 1);
    QCOMPARE(fixture.line->currentPort(), 1);
}

void PortSearchTest::answerWhileAskingConnectsTheLastPort()
{
    WindowFixture fixture(AllSearchPorts);
    fixture.answers = {MsgResult::Retry};
    fixture.whileAsking = [&] { fixture.receive("*OK! RUN\r"); };
    TickThroughAllPorts(fixture);
    QCOMPARE(fixture.line->currentPort(), 15);
    fixture.window->Timer2_Timer();
    QCOMPARE(fixture.panel(5), QString("COM15: OK"));
    QCOMPARE(fixture.line->writtenTo(15), Probe + ParametersAndReset);
    QCOMPARE(fixture.line->writtenTo(1), Probe + LoadedParameters);
}

void PortSearchTest::commandLinePort_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("openPort");
    QTest::addColumn<QString>("portState");
    QTest::addColumn<bool>("searching");

    QTest::newRow("no argument") << QStringList {} << 1 << "Test COM 1:" << true;
    QTest::newRow("0") << QStringList {"0"} << 1 << "Test COM 1:" << true;
    QTest::newRow("-1") << QStringList {"-1"} << 1 << "Test COM 1:" << true;
    QTest::newRow("COM2") << QStringList {"COM2"} << 1 << "Test COM 1:" << true;
    QTest::newRow("rounds to 0") << QStringList {"0.4"} << 1 << "Test COM 1:" << true;
    QTest::newRow("3") << QStringList {"3"} << 3 << "COM3: OK" << false;
    QTest::newRow("3abc reads as 3") << QStringList {"3abc"} << 3 << "COM3: OK" << false;
    QTest::newRow("only the first word") << QStringList {"3", "5"} << 3 << "COM3: OK" << false;
    QTest::newRow("missing port") << QStringList {"7"} << 0 << "COM7: nicht verfügbar" << false;
    QTest::newRow("highest port") << QStringList {"255"} << 0 << "COM255: nicht verfügbar" << false;
    QTest::newRow("beyond the highest") << QStringList {"256"} << 1 << "Test COM 1:" << true;
}

void PortSearchTest::commandLinePort()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, openPort);
    QFETCH(QString, portState);
    QFETCH(bool, searching);

    WindowFixture fixture({1, 2, 3, 4, 5}, arguments);
    QCOMPARE(fixture.line->currentPort(), openPort);
    QCOMPARE(fixture.panel(5), portState);
    QCOMPARE(fixture.window->Timer2->isActive(), searching);
    QCOMPARE(fixture.window->InstrumentAnswered, !searching);
    QCOMPARE(fixture.line->writtenTo(openPort).contains(Probe), searching);
}

void PortSearchTest::leftoversOfAPortNeverReachTheNext_data()
{
    QTest::addColumn<QByteArray>("fromCom1");
    QTest::addColumn<QByteArray>("fromCom2");
    QTest::addColumn<bool>("answered");

    QTest::newRow("partial line") << QByteArray("xyz") << QByteArray("*OK! RUN\r\n") << true;
    QTest::newRow("overlong line") << QByteArray(2000, 'x') << QByteArray("*OK! RUN\r\n") << true;
    QTest::newRow("half an answer") << QByteArray("*OK! R") << QByteArray("UN\r\n") << false;
}

void PortSearchTest::leftoversOfAPortNeverReachTheNext()
{
    QFETCH(QByteArray, fromCom1);
    QFETCH(QByteArray, fromCom2);
    QFETCH(bool, answered);

    WindowFixture fixture({1, 2});
    fixture.receive(fromCom1);
    fixture.window->Timer2_Timer();
    QCOMPARE(fixture.line->currentPort(), 2);
    fixture.receive(fromCom2);
    QCOMPARE(fixture.window->InstrumentAnswered, answered);
}

void PortSearchTest::unpluggedDeviceIsClosed()
{
    WindowFixture fixture(AllSearchPorts);
    fixture.line->unplug();
    QVERIFY(!fixture.window->comTest->PortOpen());
    fixture.receive("*OK! RUN\r");
    QVERIFY(!fixture.window->InstrumentAnswered);
    fixture.window->Timer2_Timer();
    QCOMPARE(fixture.line->currentPort(), 2);
}

void PortSearchTest::lostConnectionIsShown_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("lostBeforeTheTick");

    QTest::newRow("found by the search") << QStringList {} << false;
    QTest::newRow("lost before the search confirmed it") << QStringList {} << true;
    QTest::newRow("named on the command line") << QStringList {"1"} << false;
}

void PortSearchTest::lostConnectionIsShown()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, lostBeforeTheTick);

    WindowFixture fixture({1}, arguments);
    fixture.receive("*OK! RUN\r");
    if (lostBeforeTheTick)
        fixture.line->unplug();
    fixture.window->Timer2_Timer();
    if (!lostBeforeTheTick) {
        QCOMPARE(fixture.panel(5), QString("COM1: OK"));
        fixture.line->unplug();
    }
    QCOMPARE(fixture.panel(5), QString("COM1: Verbindung unterbrochen"));
}

QTEST_MAIN(PortSearchTest)
#include "test_port_search.moc"
