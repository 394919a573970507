// The instrument link on the in-memory line: the port search tick by tick, the command-line port,
// the lost port, the commands and the replies it reports; and the window's own timers while a
// device goes away and comes back.
#include "instrument/line_assembly.h"
#include "platform/line_log.h"
#include "run_driver.h"
#include "test_support.h"

namespace {

const QSet<int> AllSearchPorts = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
const QByteArray Probe = "RUN\n\r";

// A link with every signal written down as one event text, and scripted answers to the question
// after the last port.
struct LinkDriver : EventLog {
    explicit LinkDriver(const QSet<int>& presentPorts, const QStringList& arguments = {},
        std::unique_ptr<LineLog> log = nullptr)
    {
        auto serial = std::make_unique<MemorySerialLine>();
        line = serial.get();
        line->setPresentPorts(presentPorts);
        link = std::make_unique<InstrumentLink>(std::move(serial), std::move(log));
        InstrumentLink* l = link.get();
        const auto text = [this](const char* name) {
            return [this, name](const QString& value) { events << name + (' ' + value); };
        };
        const auto number = [this](const char* name) {
            return [this, name](int value) { events << name + (' ' + QString::number(value)); };
        };
        QObject::connect(l, &InstrumentLink::commandShown, text("panel1"));
        QObject::connect(l, &InstrumentLink::replyShown, text("panel2"));
        QObject::connect(l, &InstrumentLink::portShown, text("panel5"));
        QObject::connect(l, &InstrumentLink::connected, [this] { events << "connected"; });
        QObject::connect(l, &InstrumentLink::reconnected, [this] { events << "reconnected"; });
        QObject::connect(l, &InstrumentLink::wentOffline, [this] { events << "offline"; });
        QObject::connect(l, &InstrumentLink::startReported, number("start"));
        QObject::connect(l, &InstrumentLink::endReported, number("end"));
        QObject::connect(l, &InstrumentLink::unknownPositionReported, text("unknown"));
        QObject::connect(l, &InstrumentLink::elapsedTimeReported, text("time"));
        QObject::connect(l, &InstrumentLink::sampleReported, text("sample"));
        link->SetSearchQuestion([this] {
            ++questions;
            if (whileAsking)
                whileAsking();
            return retry;
        });
        link->OpenFirstPort();
        link->StartSearch();
        link->ApplyCommandLinePort(arguments);
    }

    // Ticks of the search timer: none once it has stopped.
    void ticks(int count)
    {
        for (int tick = 0; tick < count && link->IsSearching(); ++tick)
            link->Timer2_Timer();
    }

    MemorySerialLine* line = nullptr;
    std::unique_ptr<InstrumentLink> link;
    int questions = 0;
    bool retry = false;
    std::function<void()> whileAsking;
};

// Several ticks of the search and reconnection timers, with room for a loaded machine.
constexpr int TickTimeout = 20000;

} // namespace

class InstrumentLinkTest : public QObject {
    Q_OBJECT

private slots:
    void afterTheLastPort_data()
    {
        QTest::addColumn<bool>("retry");
        QTest::addColumn<QString>("whileAsking"); // "ticks", "answer" or ""
        QTest::addColumn<int>("portAfterwards");
        QTest::addColumn<QString>("panel5");

        QTest::newRow("Cancel: offline") << false << "" << 15 << "Keine Verbindung / Offline ";
        QTest::newRow("ticks while asking do nothing") << true << "ticks" << 1 << "Test COM 1:";
        QTest::newRow("an answer while asking stays on port 15")
            << true << "answer" << 15 << "Test COM 15:";
    }

    // Each tick probes the next port, passing over a missing one. The question comes once all 15
    // ports are probed, and only once however the ticks fall.
    void afterTheLastPort()
    {
        QFETCH(bool, retry);
        QFETCH(QString, whileAsking);
        QFETCH(int, portAfterwards);
        QFETCH(QString, panel5);

        LinkDriver driver(AllSearchPorts - QSet<int> {6});
        driver.retry = retry;
        driver.whileAsking = [&] {
            if (whileAsking == "ticks")
                driver.ticks(2);
            if (whileAsking == "answer")
                driver.line->deliver("*OK! RUN\r");
        };
        QCOMPARE(driver.line->writtenTo(1), Probe);
        for (int port = 2; port <= 15; ++port) {
            driver.ticks(1);
            QCOMPARE(driver.last("panel5"), QString("Test COM %1:").arg(port));
            QCOMPARE(driver.line->writtenTo(port), port == 6 ? QByteArray() : Probe);
        }
        QCOMPARE(driver.questions, 0);
        driver.ticks(1);
        QCOMPARE(driver.questions, 1);
        QCOMPARE(driver.line->currentPort(), portAfterwards);
        QCOMPARE(driver.last("panel5"), panel5);
        QCOMPARE(driver.link->IsSearching(), retry);
        QCOMPARE(driver.events.contains("offline"), !retry);
        // A port that never answered as the instrument starts and feeds no test, and its loss is
        // not watched.
        driver.line->deliver("*S11\r*A00000001230235\r");
        QCOMPARE(driver.events.filter(QRegularExpression("^(start|sample) ")).isEmpty(),
            !driver.link->InstrumentAnswered());
        if (!retry) {
            driver.line->unplug();
            QVERIFY(!driver.link->IsReconnecting());
        }
        driver.line->deliver("*OK! RUN\r");
        driver.ticks(2);
        QCOMPARE(driver.events.count("connected"), int(retry));
        QVERIFY(!driver.link->IsSearching());
        if (retry)
            QCOMPARE(driver.last("panel5"), QString("COM%1: OK").arg(portAfterwards));
    }

    void commandLinePort_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("openPort");
        QTest::addColumn<QString>("portState");

        QTest::newRow("3abc reads as 3") << QStringList {"3abc"} << 3 << "COM3: OK";
        QTest::newRow("missing port") << QStringList {"7"} << 0 << "COM7: nicht verfügbar";
        QTest::newRow("beyond the highest") << QStringList {"256"} << 1 << "Test COM 1:";
    }

    // A port named on the command line is taken without probe or search; one that cannot be opened
    // is watched until it can.
    void commandLinePort()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, openPort);
        QFETCH(QString, portState);

        LinkDriver driver({1, 2, 3, 4, 5}, arguments);
        const bool searching = portState.startsWith("Test");
        QCOMPARE(driver.line->currentPort(), openPort);
        QCOMPARE(driver.last("panel5"), portState);
        QCOMPARE(driver.link->IsSearching(), searching);
        QCOMPARE(driver.link->InstrumentAnswered(), !searching);
        QCOMPARE(driver.events.contains("reconnected"), openPort > 1);
        QCOMPARE(driver.link->IsReconnecting(), openPort == 0);
        QCOMPARE(driver.line->writtenTo(openPort), searching ? Probe : QByteArray());
    }

    // During the search a lost device is passed over at the next tick, and half an answer of it
    // never completes one of the next port. Once connected, the loss is shown and the same COM n is
    // opened again on every tick, with nothing sent.
    void lostPortIsShownAndOpenedAgain()
    {
        LinkDriver driver(AllSearchPorts);
        driver.line->deliver("*OK! R");
        driver.line->unplug();
        QVERIFY(!driver.link->IsReconnecting());
        driver.ticks(1);
        driver.line->deliver("UN\r\n");
        QVERIFY(!driver.link->InstrumentAnswered());
        driver.line->deliver("*OK! RUN\r");
        driver.ticks(1);
        QCOMPARE(driver.last("panel5"), QString("COM2: OK"));

        driver.line->clearWrites();
        driver.line->unplug();
        QCOMPARE(driver.last("panel5"), QString("COM2: Verbindung unterbrochen"));
        QVERIFY(driver.link->IsReconnecting());
        driver.link->ReconnectTimer_Timer();
        QVERIFY(driver.link->IsReconnecting());
        driver.line->setPresentPorts({2});
        driver.link->ReconnectTimer_Timer();
        QVERIFY(!driver.link->IsReconnecting());
        QCOMPARE(driver.events.mid(driver.events.size() - 2),
            (QStringList {"panel5 COM2: OK", "reconnected"}));
        QVERIFY(driver.line->writes().isEmpty());

        // Lost between the answer and the tick that connects: that tick shows it.
        LinkDriver early({1});
        early.line->deliver("*OK! RUN\r");
        early.line->unplug();
        QCOMPARE(early.last("panel5"), QString("Test COM 1:"));
        QVERIFY(!early.link->IsReconnecting());
        early.ticks(1);
        QCOMPARE(early.last("panel5"), QString("COM1: Verbindung unterbrochen"));
        QVERIFY(early.link->IsReconnecting());
    }

    void repliesAreReportedByKind_data()
    {
        QTest::addColumn<QList<QByteArray>>("received"); // one receive event each
        QTest::addColumn<QStringList>("reported"); // every event but the echo
        QTest::addColumn<QString>("echo"); // the first

        const QString sample = "*A00000000123023.5", sixty = "*T" + QString(58, '7');
        QTest::newRow("a line across three events")
            << QList<QByteArray> {"*A0000", "0000123", "023.5\r"}
            << QStringList {"sample " + sample} << "Eing: Daten " + sample;
        QTest::newRow("lines of one event in order, positions")
            << QList<
                   QByteArray> {"*S11\r*I00000060\r*E12\r*S21\r*E48\r*S51\r*E19\r*E40\r*S1\r*s11\r"}
            << QStringList {"start 1", "time *I00000060", "end 2", "start 9", "end 32",
                   "unknown *S51", "unknown *E19", "unknown *E40", "unknown *S1"}
            << "Eing: *S11";
        QTest::newRow("CR LF and LF CR end a line, LF alone does not")
            << QList<QByteArray> {"*S11\r\n*S12\n\r*S1\n3\r"}
            << QStringList {"start 1", "start 2", "start 3"} << "Eing: *S11";
        QTest::newRow("an overlong line is dropped whole")
            << QList<QByteArray> {QByteArray(MaxReplyLength, 'x'), "yy\r*S11\r"}
            << QStringList {"start 1"} << "Eing: *S11";
        QTest::newRow("answer, number reply and noise report nothing") << QList<QByteArray> {
            "*OK! RUN\r*T1\r*ok! run\r"} << QStringList {} << "Eing: *OK! RUN";
        QTest::newRow("echo cut to forty characters") << QList<QByteArray> {
            sixty.toLatin1() + "\r"} << QStringList {} << "Eing: " + sixty.left(40);
    }

    void repliesAreReportedByKind()
    {
        QFETCH(QList<QByteArray>, received);
        QFETCH(QStringList, reported);
        QFETCH(QString, echo);

        LinkDriver driver({1});
        driver.line->deliver("*OK! RUN\r");
        driver.events.clear();
        for (const QByteArray& bytes : received)
            driver.line->deliver(bytes);
        QStringList others, echoes;
        for (const QString& event : driver.events)
            event.startsWith("panel2 ") ? echoes << event.mid(7) : others << event;
        QCOMPARE(others, reported);
        QCOMPARE(echoes.value(0), echo);
    }

    // A command goes out with LF CR and is echoed in panel 1, also when the port is closed and it
    // is lost; only the end command tells whether it reached the line. Commands and replies also go
    // to the line log.
    void commandsAreWrittenAndEchoed()
    {
        const QTemporaryDir folder;
        const QString logPath = folder.filePath("serial.log");
        LinkDriver driver({1}, {}, std::make_unique<LineLog>(logPath));
        driver.line->clearWrites();
        driver.line->deliver("*OK! RUN\r");
        driver.link->SendCycleCommand(0);
        driver.link->SendDurationCommand(9);
        driver.link->SendTemperatureCommand(true);
        QVERIFY(driver.link->SendEndCommand());
        QCOMPARE(driver.line->writtenTo(1), "M0\n\rD9\n\rT1\n\rE\n\r");
        QCOMPARE(driver.line->writes().size(), 4);
        QCOMPARE(driver.last("panel1"), "Ausg: E");
        driver.line->unplug();
        QVERIFY(!driver.link->SendEndCommand());
        QCOMPARE(driver.line->writes().size(), 4);
        QCOMPARE(driver.events.count("panel1 Ausg: E"), 2);
        const QByteArray log = BytesOf(logPath);
        QVERIFY(log.contains("COM1 <- *OK! RUN") && log.contains("COM1 -> E\\n\\r"));
    }

    // Lost twice while a test runs, once between a time reply and its sample: the test goes on in
    // its file and nothing is sent. Lost again without a test: the port's return sends the run
    // parameters, also one chosen while the line was down, but never the probe or an end.
    void runningTestGoesOnThenParametersFollow()
    {
        WindowFixture fixture;
        QDir(fixture.folder.path()).mkdir("Serie");
        PutBytes(fixture.folder.filePath("Serie.CSV"), "Test-Nr.;Produkt-Bezeichnung;\r\n");
        Find<QComboBox>(*fixture.window, "TabProtDatei").addItem("Serie");
        fixture.receive("*OK! RUN\r");
        QTRY_COMPARE_WITH_TIMEOUT(fixture.panel(5), QString("COM1: OK"), TickTimeout);
        const auto records
            = [&] { return BytesOf(fixture.folder.filePath("Serie.CSV")).count('\n') - 1; };
        // The device goes away, and comes back after at least one reconnection tick has failed.
        const auto unplugAndReplug = [&](const std::function<void()>& meanwhile = {}) {
            fixture.line->unplug();
            QCOMPARE(fixture.panel(5), QString("COM1: Verbindung unterbrochen"));
            if (meanwhile)
                meanwhile();
            QTest::qWait(1200);
            fixture.line->clearWrites();
            fixture.line->setPresentPorts({1});
            QTRY_COMPARE_WITH_TIMEOUT(fixture.panel(5), QString("COM1: OK"), TickTimeout);
        };
        QPushButton& start = Find<QPushButton>(*fixture.window, "Start1");
        fixture.receive("*S11\r*I00000000\r*A00000000800023.5\r");
        QCOMPARE(start.text(), QString("Stop"));
        unplugAndReplug();
        fixture.receive("*I00000010\r*A000000");
        unplugAndReplug([&] { QCOMPARE(start.text(), QString("Stop")); });
        fixture.receive("*I00000600\r*A00000000300023.5\r");
        QVERIFY(fixture.line->writes().isEmpty());
        QCOMPARE(records(), 0);
        const QStringList lines
            = QString::fromLatin1(BytesOf(fixture.folder.filePath("Serie/No-00001-1.CSV")))
                  .split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 13);
        QVERIFY2(lines.last().startsWith("00:10:00"), qPrintable(lines.last()));
        fixture.receive("*E11\r");
        QCOMPARE(records(), 1);

        unplugAndReplug([&] { Choose(&Find<QComboBox>(*fixture.window, "Messzeit"), 2); });
        QCOMPARE(fixture.line->writtenTo(1), "D3\n\rT0\n\r");
        QVERIFY(fixture.questions.isEmpty());
    }
};

QTEST_MAIN(InstrumentLinkTest)
#include "test_instrument_link.moc"
