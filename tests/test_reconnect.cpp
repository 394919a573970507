// A device that goes away once the connection stands and comes back, with the window's own timers
// on the in-memory line. Starting and stopping while the line is down are the run's own.
#include "test_support.h"

#include <QPushButton>
#include <QTest>

namespace {

// Several ticks of the search and reconnection timers, with room for a loaded machine.
constexpr int TickTimeout = 20000;

// A window connected to the instrument on COM1, with the protocol file "Serie".
struct ConnectedFixture : WindowFixture {
    ConnectedFixture()
    {
        QDir(folder.path()).mkdir("Serie");
        PutBytes(folder.filePath("Serie.CSV"), "Test-Nr.;Produkt-Bezeichnung;\r\n");
        Find<QComboBox>(*window, "TabProtDatei").addItem("Serie");
        receive("*OK! RUN\r");
        QTRY_COMPARE_WITH_TIMEOUT(panel(5), QString("COM1: OK"), TickTimeout);
    }

    qsizetype records() const { return BytesOf(folder.filePath("Serie.CSV")).count('\n') - 1; }
    // The device goes away, and comes back after at least one reconnection tick has failed.
    void unplugAndReplug(const std::function<void()>& meanwhile = {})
    {
        line->unplug();
        QCOMPARE(panel(5), QString("COM1: Verbindung unterbrochen"));
        if (meanwhile)
            meanwhile();
        QTest::qWait(1200);
        line->clearWrites();
        line->setPresentPorts({1});
        QTRY_COMPARE_WITH_TIMEOUT(panel(5), QString("COM1: OK"), TickTimeout);
    }
};

} // namespace

class ReconnectTest : public QObject {
    Q_OBJECT

private slots:
    // Lost twice while a test runs, once between a time reply and its sample: the test goes on in
    // its file and nothing is sent. Lost again without a test: the port's return sends the run
    // parameters, also one chosen while the line was down, but never the probe or an end.
    void runningTestGoesOnThenParametersFollow()
    {
        ConnectedFixture fixture;
        QPushButton& start = Find<QPushButton>(*fixture.window, "Start1");
        fixture.receive("*S11\r*I00000000\r*A00000000800023.5\r");
        QCOMPARE(start.text(), QString("Stop"));
        fixture.unplugAndReplug();
        fixture.receive("*I00000010\r*A000000");
        fixture.unplugAndReplug([&] { QCOMPARE(start.text(), QString("Stop")); });
        fixture.receive("*I00000600\r*A00000000300023.5\r");
        QVERIFY(fixture.line->writes().isEmpty());
        QCOMPARE(fixture.records(), 0);
        const QStringList lines
            = QString::fromLatin1(BytesOf(fixture.folder.filePath("Serie/No-00001-1.CSV")))
                  .split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 13);
        QVERIFY2(lines.last().startsWith("00:10:00"), qPrintable(lines.last()));
        fixture.receive("*E11\r");
        QCOMPARE(fixture.records(), 1);

        fixture.unplugAndReplug([&] { Choose(&Find<QComboBox>(*fixture.window, "Messzeit"), 2); });
        QCOMPARE(fixture.line->writtenTo(1), "D3\n\rT0\n\r");
        QVERIFY(fixture.questions.isEmpty());
    }
};

QTEST_MAIN(ReconnectTest)
#include "test_reconnect.moc"
