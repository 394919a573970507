// A device that goes away after the connection stands and comes back: the running test goes on in
// the same file, nothing is sent that would disturb the instrument, and a Stop while the line is
// down still ends the test in the program.
#include "platform/environment.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QByteArray Probe = "RUN\n\r";
const QByteArray EndCommand = "E\n\r";

QByteArray Elapsed(int seconds)
{
    return QString("*I%1\r").arg(seconds, 8, 10, QChar('0')).toLatin1();
}

QByteArray Sample(int tenths)
{
    return QString("*A000000%1023.5\r").arg(tenths, 5, 10, QChar('0')).toLatin1();
}

// A window connected to the instrument on COM1, with the protocol file "Serie".
struct ConnectedFixture : WindowFixture {
    ConnectedFixture()
    {
        QDir(folder.path()).mkdir("Serie");
        QFile protocol(folder.filePath("Serie.CSV"));
        protocol.open(QIODevice::WriteOnly);
        protocol.write("Test-Nr.;Produkt-Bezeichnung;\r\n");
        protocol.close();
        window->TabProtDatei->addItem("Serie");
        receive("*OK! RUN\r");
        window->link->Timer2_Timer();
        line->clearWrites();
    }

    QStringList dataLines() const
    {
        QFile file(folder.filePath("Serie/No-00001-1.CSV"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(file.readAll()).split("\r\n", Qt::SkipEmptyParts).mid(11);
    }
    int records() const
    {
        QFile file(folder.filePath("Serie.CSV"));
        file.open(QIODevice::ReadOnly);
        return int(file.readAll().count('\n')) - 1;
    }
    bool reconnecting() const { return window->link->IsReconnecting(); }
    // The device comes back: the next tick opens it again.
    void replug()
    {
        line->setPresentPorts({1});
        window->link->ReconnectTimer_Timer();
    }
};

} // namespace

class ReconnectTest : public QObject {
    Q_OBJECT

private slots:
    void runningTestGoesOn_data();
    void runningTestGoesOn();
    void stopWhileTheLineIsDown();
    void endCommandLostOnTheWay_data();
    void endCommandLostOnTheWay();
    void startWhileTheLineIsDown();
    void closeWhileTheLineIsDown();
    void noTestRunning();
    void lossBeforeTheConnectionStands_data();
    void lossBeforeTheConnectionStands();
    void lineLogRecordsBothWays();
};

void ReconnectTest::runningTestGoesOn_data()
{
    QTest::addColumn<int>("unplugs");
    QTest::addColumn<bool>("betweenTimeAndSample");
    QTest::newRow("once") << 1 << false;
    QTest::newRow("ten times in a row") << 10 << false;
    QTest::newRow("between the time and the value") << 1 << true;
}

void ReconnectTest::runningTestGoesOn()
{
    QFETCH(int, unplugs);
    QFETCH(bool, betweenTimeAndSample);
    ConnectedFixture fixture;
    Form1& window = *fixture.window;
    fixture.receive("*S11\r" + Elapsed(0) + Sample(800));
    QVERIFY(window.run->IsRunning(1));
    fixture.line->clearWrites();

    for (int unplug = 1; unplug <= unplugs; ++unplug) {
        if (betweenTimeAndSample)
            fixture.receive(Elapsed(10 * unplug) + "*A000000");
        fixture.line->unplug();
        QVERIFY(fixture.reconnecting());
        QCOMPARE(fixture.panel(5), QString("COM1: Verbindung unterbrochen"));
        QCOMPARE(window.Start[1]->text(), QString("Stop"));
        window.link->ReconnectTimer_Timer();
        QVERIFY(fixture.reconnecting());
        fixture.replug();
        QVERIFY(!fixture.reconnecting());
        QCOMPARE(fixture.panel(5), QString("COM1: OK"));
        QCOMPARE(fixture.line->currentPort(), 1);
    }
    fixture.receive(Elapsed(600) + Sample(300));

    QVERIFY(fixture.line->writes().isEmpty());
    QCOMPARE(fixture.records(), 0);
    const QStringList lines = fixture.dataLines();
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines.last().contains("00:10:00"), qPrintable(lines.last()));
    fixture.receive("*E11\r");
    QCOMPARE(fixture.records(), 1);
    QVERIFY(fixture.questions.isEmpty());
}

void ReconnectTest::stopWhileTheLineIsDown()
{
    ConnectedFixture fixture;
    Form1& window = *fixture.window;
    fixture.receive("*S11\r" + Elapsed(0) + Sample(800));
    fixture.line->unplug();
    fixture.answers = {MsgResult::Ok};

    window.Start_Click(1);

    QVERIFY(!window.run->IsRunning(1));
    QCOMPARE(window.Start[1]->text(), QString("Start"));
    QCOMPARE(fixture.records(), 1);
    QCOMPARE(fixture.questions.size(), 1);
    QVERIFY(fixture.questions.first().text.contains("konnte nicht angehalten werden"));
    // The line still comes back without an end command, and the instrument's own end of the
    // test adds no second record.
    fixture.line->clearWrites();
    fixture.replug();
    QVERIFY(!fixture.line->writtenTo(1).contains(EndCommand));
    fixture.receive("*E11\r");
    QCOMPARE(fixture.records(), 1);
}

// A start needs the instrument: with the line down nothing could tell it to measure, and the
// program would wait for a test that never runs. The start is refused and can be made once the
// line is back.
void ReconnectTest::startWhileTheLineIsDown()
{
    ConnectedFixture fixture;
    Form1& window = *fixture.window;
    fixture.line->unplug();

    window.Start_Click(1);

    QVERIFY(!window.run->IsRunning(1));
    QCOMPARE(window.Start[1]->text(), QString("Start"));
    QVERIFY(!QFile::exists(fixture.folder.filePath("Serie/No-00001-1.CSV")));
    QVERIFY2(fixture.panel(5).contains("Verbindung unterbrochen"), qPrintable(fixture.panel(5)));

    fixture.replug();
    fixture.line->clearWrites();
    window.Start_Click(1);
    QVERIFY(window.run->IsRunning(1));
    QVERIFY(fixture.line->writtenTo(1).contains("S\n\r"));
}

// The user closes the window during a test while the line is down and agrees to end the test. The
// report that the instrument goes on measuring must be seen before the window goes: a box left
// open after the close would vanish with the program.
void ReconnectTest::closeWhileTheLineIsDown()
{
    QTemporaryDir folder;
    QDir(folder.path()).mkdir("Serie");
    QFile protocol(folder.filePath("Serie.CSV"));
    QVERIFY(protocol.open(QIODevice::WriteOnly));
    protocol.write("Test-Nr.;Produkt-Bezeichnung;\r\n");
    protocol.close();
    auto serial = std::make_unique<MemorySerialLine>();
    MemorySerialLine& line = *serial;
    line.setPresentPorts({1});
    FormEnvironment environment;
    environment.programFolder = folder.path();
    environment.startFolder = folder.path();
    environment.serialBackend = std::move(serial);
    Form1 window(std::move(environment));
    window.TabProtDatei->addItem("Serie");
    line.deliver("*OK! RUN\r");
    window.link->Timer2_Timer();
    line.deliver("*S11\r" + Elapsed(0) + Sample(800));
    QVERIFY(window.run->IsRunning(1));
    line.unplug();
    window.show();

    // Every box that holds up the close is read and answered: Yes to ending, OK to a report.
    QStringList modalTexts;
    QTimer answering;
    answering.setInterval(10);
    QObject::connect(&answering, &QTimer::timeout, [&modalTexts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        modalTexts << box->text();
        for (QAbstractButton* button : box->buttons()) {
            const QMessageBox::ButtonRole role = box->buttonRole(button);
            if (role == QMessageBox::YesRole || role == QMessageBox::AcceptRole) {
                button->click();
                return;
            }
        }
    });
    answering.start();
    QVERIFY(window.close());
    answering.stop();

    QVERIFY(!window.run->IsRunning(1));
    QCOMPARE(modalTexts.size(), 2);
    QVERIFY2(modalTexts.last().contains("konnte nicht angehalten werden"),
        qPrintable(modalTexts.join(" | ")));
}

// The end command is lost on a line going away: the user is told only when the instrument may
// still be measuring, not when it ended the test itself.
void ReconnectTest::endCommandLostOnTheWay_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("warnings");
    QTest::newRow("the user presses Stop") << "stop" << 1;
    QTest::newRow("the instrument ends the test") << "instrument" << 0;
}

void ReconnectTest::endCommandLostOnTheWay()
{
    QFETCH(QString, ending);
    QFETCH(int, warnings);
    ConnectedFixture fixture;
    fixture.receive("*S11\r" + Elapsed(0) + Sample(800));
    fixture.line->setWritesFail(true);
    fixture.answers = {MsgResult::Ok};

    if (ending == "stop")
        fixture.window->Start_Click(1);
    else
        fixture.receive("*E11\r");

    QVERIFY(!fixture.window->run->IsRunning(1));
    QCOMPARE(fixture.records(), 1);
    QCOMPARE(fixture.questions.size(), warnings);
}

// Without a running test the run parameters are sent again, but never the probe or an end.
void ReconnectTest::noTestRunning()
{
    ConnectedFixture fixture;
    fixture.line->unplug();
    fixture.replug();
    const QByteArray written = fixture.line->writtenTo(1);
    QVERIFY(!written.isEmpty());
    QVERIFY(!written.contains(Probe));
    QVERIFY(!written.contains(EndCommand));
    QVERIFY(fixture.questions.isEmpty());
}

void ReconnectTest::lossBeforeTheConnectionStands_data()
{
    QTest::addColumn<QString>("when");
    QTest::newRow("during the search") << "search";
    QTest::newRow("after the answer, before the connection tick") << "answered";
    QTest::newRow("offline") << "offline";
}

void ReconnectTest::lossBeforeTheConnectionStands()
{
    QFETCH(QString, when);
    WindowFixture fixture;
    Form1& window = *fixture.window;
    if (when == "answered")
        fixture.receive("*OK! RUN\r");
    if (when == "offline") {
        fixture.answers = {MsgResult::Cancel};
        for (int tick = 0; tick < InstrumentLink::LastSearchPort; ++tick)
            window.link->Timer2_Timer();
        QVERIFY(!window.link->IsSearching());
        fixture.line->setPresentPorts({1});
    }
    fixture.line->unplug();
    QVERIFY(!window.link->IsReconnecting());
    if (when != "answered")
        return;
    // The connection tick finds the port gone and keeps trying it.
    window.link->Timer2_Timer();
    QVERIFY(window.link->IsReconnecting());
    QCOMPARE(fixture.panel(5), QString("COM1: Verbindung unterbrochen"));
    fixture.line->setPresentPorts({1});
    window.link->ReconnectTimer_Timer();
    QCOMPARE(fixture.panel(5), QString("COM1: OK"));
}

// The line log holds the probe, the answer and the commands of the connection, in order, for the
// port they went over; an unplugged line and its return leave no gap in the order.
void ReconnectTest::lineLogRecordsBothWays()
{
    QTemporaryDir logFolder;
    const QString log = logFolder.filePath("leitung.log");
    WindowFixture fixture({1}, {}, {.lineLog = log});
    fixture.now = QDateTime(QDate(2026, 12, 6), QTime(10, 30, 0, 7));
    fixture.receive("*OK! RUN\r");
    fixture.window->link->Timer2_Timer();
    fixture.line->unplug();
    fixture.line->setPresentPorts({1});
    fixture.window->link->ReconnectTimer_Timer();
    fixture.receive("*I00000010\r\x01\r");

    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.endsWith('\n'));
    const QList<QByteArray> expectedInOrder {"2026-12-06 10:30:00.000 COM1 -> RUN\\n\\r\n",
        "2026-12-06 10:30:00.007 COM1 <- *OK! RUN\n", "2026-12-06 10:30:00.007 COM1 -> E\\n\\r\n",
        "2026-12-06 10:30:00.007 COM1 <- *I00000010\n", "2026-12-06 10:30:00.007 COM1 <- \\x01\n"};
    qsizetype from = 0;
    for (const QByteArray& entry : expectedInOrder) {
        from = text.indexOf(entry, from);
        QVERIFY2(from >= 0, entry.constData());
    }
}

QTEST_MAIN(ReconnectTest)
#include "test_reconnect.moc"
