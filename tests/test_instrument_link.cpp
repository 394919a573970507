// The window on the in-memory line: start-up, receiving, echoes and commands.
#include "platform/comm_control.h"
#include "test_support.h"

#include <QTabWidget>
#include <QTest>
#include <QTimer>

class InstrumentLinkTest : public QObject {
    Q_OBJECT

private slots:
    void loadProbesTheFirstPortAndStartsTheSearch();
    void loadLocksTheReserveTabs();
    void answerIsRecognisedWhateverTheLineEnd_data();
    void answerIsRecognisedWhateverTheLineEnd();
    void lineAcrossThreeEventsIsProcessedOnce();
    void twoLinesInOneEventAreProcessedInOrder();
    void noiseIsEchoedAndNeverAnswers();
    void commandsAreWrittenAndEchoed_data();
    void commandsAreWrittenAndEchoed();
    void commandsToAClosedPortAreLost();
};

void InstrumentLinkTest::loadProbesTheFirstPortAndStartsTheSearch()
{
    WindowFixture fixture({1});
    QCOMPARE(fixture.line->writtenTo(1), QByteArray("RUN\n\rD1\n\rT0\n\r"));
    QCOMPARE(fixture.panel(5), QString("Test COM 1:"));
    QCOMPARE(fixture.panel(1), QString("Ausg: T0"));
    QVERIFY(fixture.window->Timer2->isActive());
    QCOMPARE(fixture.window->Timer2->interval(), 500);
    QCOMPARE(fixture.window->comTest->Settings(), QString("9600,n,8,1"));
    QVERIFY(!fixture.window->InstrumentAnswered);
}

void InstrumentLinkTest::loadLocksTheReserveTabs()
{
    WindowFixture fixture;
    const QTabWidget* tabs = fixture.window->SSTab1;
    QCOMPARE(tabs->currentIndex(), 0);
    for (int tab = 0; tab < tabs->count(); ++tab)
        QCOMPARE(tabs->isTabEnabled(tab), tabs->tabText(tab) != "Reserve");
}

void InstrumentLinkTest::answerIsRecognisedWhateverTheLineEnd_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<bool>("answered");

    QTest::newRow("CR LF") << QByteArray("*OK! RUN\r\n") << true;
    QTest::newRow("LF CR") << QByteArray("*OK! RUN\n\r") << true;
    QTest::newRow("CR") << QByteArray("*OK! RUN\r") << true;
    QTest::newRow("longer") << QByteArray("*OK! RUNNING\r") << true;
    QTest::newRow("no CR yet") << QByteArray("*OK! RUN\n") << false;
    QTest::newRow("lower case") << QByteArray("*ok! run\r") << false;
    QTest::newRow("leading blank") << QByteArray(" *OK! RUN\r") << false;
}

void InstrumentLinkTest::answerIsRecognisedWhateverTheLineEnd()
{
    QFETCH(QByteArray, received);
    QFETCH(bool, answered);
    WindowFixture fixture;
    fixture.receive(received);
    QCOMPARE(fixture.window->InstrumentAnswered, answered);
}

void InstrumentLinkTest::lineAcrossThreeEventsIsProcessedOnce()
{
    WindowFixture fixture;
    fixture.receive("*A0000");
    QCOMPARE(fixture.panel(2), QString());
    fixture.receive("0000123");
    fixture.receive("023.5\r");
    QCOMPARE(fixture.window->LastLine, QString("*A00000000123023.5"));
    QCOMPARE(fixture.panel(2), QString("Eing: Daten *A00000000123023.5"));
    QVERIFY(fixture.window->RxBuffer.isEmpty());
}

void InstrumentLinkTest::twoLinesInOneEventAreProcessedInOrder()
{
    WindowFixture fixture;
    fixture.receive("*I00000060\r*OK! RUN\r*A00000000123023.5\r");
    QCOMPARE(fixture.window->LastLine, QString("*A00000000123023.5"));
    QVERIFY(fixture.window->InstrumentAnswered);
}

void InstrumentLinkTest::noiseIsEchoedAndNeverAnswers()
{
    WindowFixture fixture;
    QByteArray noise;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\r')
            noise += char(byte);
    }
    fixture.receive(noise + "\r");
    QVERIFY(!fixture.window->InstrumentAnswered);
    QVERIFY(fixture.panel(2).startsWith("Eing: "));
    QCOMPARE(fixture.panel(2).size(), 6 + 40);
    fixture.receive("*S91\r*S00\r*S\r*E\r");
    QCOMPARE(fixture.panel(2), QString("Eing: *E"));
}

void InstrumentLinkTest::commandsAreWrittenAndEchoed_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("argument");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("echo");

    enum { Cycle, Duration, Temperature, StartCmd, EndCmd };
    QTest::newRow("motor always on") << int(Cycle) << 0 << QByteArray("M0\n\r") << "Ausg: M0";
    QTest::newRow("cycle entry 10") << int(Cycle) << 10 << QByteArray("M:\n\r") << "Ausg: M:";
    QTest::newRow("cycle entry 65") << int(Cycle) << 65 << QByteArray("Mq\n\r") << "Ausg: Mq";
    QTest::newRow("15 minutes") << int(Duration) << 1 << QByteArray("D1\n\r") << "Ausg: D1";
    QTest::newRow("100 hours") << int(Duration) << 9 << QByteArray("D9\n\r") << "Ausg: D9";
    QTest::newRow("temperature off") << int(Temperature) << 0 << QByteArray("T0\n\r") << "Ausg: T0";
    QTest::newRow("temperature on") << int(Temperature) << 1 << QByteArray("T1\n\r") << "Ausg: T1";
    QTest::newRow("start") << int(StartCmd) << 0 << QByteArray("S\n\r") << "Ausg: S";
    QTest::newRow("end") << int(EndCmd) << 0 << QByteArray("E\n\r") << "Ausg: E";
}

void InstrumentLinkTest::commandsAreWrittenAndEchoed()
{
    QFETCH(int, command);
    QFETCH(int, argument);
    QFETCH(QByteArray, written);
    QFETCH(QString, echo);

    WindowFixture fixture;
    fixture.line->clearWrites();
    Form1& window = *fixture.window;
    const QList<std::function<void()>> senders = {
        [&] { window.SendCycleCommand(argument); },
        [&] { window.SendDurationCommand(argument); },
        [&] { window.SendTemperatureCommand(argument == 1); },
        [&] { window.SendStartCommand(); },
        [&] { window.SendEndCommand(); },
    };
    senders[command]();
    QCOMPARE(fixture.line->writtenTo(1), written);
    QCOMPARE(fixture.line->writes().size(), 1);
    QCOMPARE(fixture.panel(1), echo);
}

void InstrumentLinkTest::commandsToAClosedPortAreLost()
{
    WindowFixture fixture(QSet<int> {});
    fixture.window->SendStartCommand();
    QVERIFY(fixture.line->writes().isEmpty());
    QCOMPARE(fixture.panel(1), QString("Ausg: S"));
}

QTEST_MAIN(InstrumentLinkTest)
#include "test_instrument_link.moc"
