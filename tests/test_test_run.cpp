// A position's test on TestRun without a window (the run driver), and the window's side of the run.
#include "platform/file_lock.h"
#include "platform/message_box.h"
#include "platform/status_bar.h"
#include "records_driver.h"
#include "run_driver.h"

#include <QFileInfo>
#include <cerrno>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

const QByteArray EndCommand = "E\n\r", On = "T1\n\rS\n\r", Off = "T0\n\rS\n\r";
const QString None = "<none>";
int syncs = 0;
bool syncsFail = false;

struct StartRow {
    const char* name;
    QByteArray asked; // a start reply; empty: Start
    int number; // 0: refused
    QByteArray sent;
    QString notice; // how the last one ends
    QString message = ""; // the title of the one message
    QString setup = "";
    QString wanted = "12";
    QStringList files = {}; // in the measurement folder before
    int temperature = 0;
};

struct EndRow {
    const char* name;
    int before; // 1 at 30 % after 10 s, 2 started and stopped, 3 started after 30 %
    QByteArray action; // replies, "stop", "close" or "signal"
    bool told; // "E" goes out
    bool runningAfter;
    int records;
    QString notice = None; // an end not asked for; Start then waits 2 s
    float limit = 300;
    bool offline = false;
    QString message = None; // how the one message starts
};

} // namespace

Q_DECLARE_METATYPE(StartRow)
Q_DECLARE_METATYPE(EndRow)

// The disk under the measurement files: its syncs are counted, and fail while syncsFail is set.
extern "C" int fsync(int fd)
{
    ++syncs;
    if (syncsFail) {
        errno = EIO;
        return -1;
    }
    return int(syscall(SYS_fsync, fd));
}

class TestRunTest : public QObject {
    Q_OBJECT

private slots:
    void start_data()
    {
        QTest::addColumn<StartRow>("row");
        const QByteArray s11 = "*S11\r", none;
        const QStringList file12 {"No-00012-1.CSV"};
        const QString made = "fehlte und wurde neu angelegt.", refused = "Messung starten",
                      badNumber = "Test-Nr. muss 1 bis 99999 sein.",
                      failed = "Messdatei nicht anlegbar.";
        const StartRow rows[] = {
            {"Start, neither, folder made", none, 12, On, made, "", "", "   12", {}, -1},
            {"*S11, on, zeros", s11, 7, On, made, "", "", "00007", {}, 1},
            {"its file exists", s11, 13, Off, "", "", "", "12", file12},
            {"a lock left without its file", s11, 13, Off, "", "", "", "12",
                {"No-00012-1.CSV.lock"}},
            {"no number left", s11, 0, EndCommand, "keine freie Test-Nr. mehr.", "", "", "99999",
                {"No-99999-1.CSV"}},
            {"*S12: position 2", "*S12\r", 0, EndCommand, "nur Kanal 1 wird gemessen.", refused},
            {"*S11 while running", s11, 0, none, "Messung läuft bereits.", "", "running"},
            {"no connection", none, 0, none, "keine Verbindung zum Messgerät.", "", "offline"},
            {"*S11, no protocol", s11, 0, EndCommand, "keine Protokolldatei gewählt.", refused,
                "no protocol"},
            {"test number 0", s11, 0, EndCommand, badNumber, refused, "", "0"},
            {"folder is a file", s11, 0, EndCommand, failed, refused, "folder is a file"},
            {"disk full", none, 0, none, failed, refused, "disk full", "12", file12},
            {"protocol locked by another program", none, 0, none, "", "Messprotokoll", "locked"},
        };
        for (const StartRow& row : rows)
            QTest::newRow(row.name) << row;
    }

    // A refused start changes nothing and says why; the instrument that started a test nobody
    // records is told to stop. Time replies of a refused test do not look like a running test.
    void start()
    {
        QFETCH(StartRow, row);

        RunDriver driver;
        driver.choices.temperatureOption = row.temperature;
        driver.order.wantedNumber = row.wanted;
        driver.order.protocolChosen = row.setup != "no protocol";
        for (const QString& name : row.files) {
            QVERIFY(QDir().mkpath(driver.path("")));
            PutBytes(driver.path(name), name.toLatin1());
        }
        if (row.setup == "folder is a file")
            PutBytes(driver.folder.filePath("Serie7"), "kein Ordner");
        if (row.setup == "offline")
            driver.line->unplug();
        if (row.setup == "running")
            driver.receive(row.asked);
        driver.line->clearWrites();
        const qint32 numberBefore = driver.run->CurrentTestNumber();
        const QMap<QString, QByteArray> files = FilesBelow(driver.folder.path());
        const bool folderThere = QFileInfo::exists(driver.path(""));
        {
            std::optional<FileLock> otherProgram;
            if (row.setup == "locked")
                otherProgram.emplace(driver.order.protocolPath, 0);
            const FileSizeLimit full(row.setup == "disk full" ? 0 : NoLimit);
            if (row.asked.isEmpty())
                driver.run->StartOrStop(1);
            else
                driver.receive(row.asked);
        }
        QCOMPARE(driver.sent(), row.sent);
        const QString notice = driver.last("notice");
        QVERIFY2(row.notice.isEmpty() ? notice.isEmpty() : notice.endsWith(row.notice),
            qPrintable(notice));
        QCOMPARE(driver.count("message"), row.message.isEmpty() ? 0 : 1);
        QVERIFY(
            driver.last("message").startsWith(row.message.isEmpty() ? None : row.message + '|'));
        for (const QString& name : row.files)
            QCOMPARE(BytesOf(driver.path(name)), name.toLatin1());
        if (row.number == 0) {
            QCOMPARE(FilesBelow(driver.folder.path()), files);
            QCOMPARE(QFileInfo::exists(driver.path("")), folderThere);
            QCOMPARE(driver.run->CurrentTestNumber(), numberBefore);
            driver.receive(Elapsed(90));
            QCOMPARE(driver.last("elapsed") == "00:01:30", row.setup == "running");
            QCOMPARE(driver.run->IsRunning(1), row.setup == "running");
            return;
        }
        QVERIFY(driver.run->IsRunning(1));
        QCOMPARE(driver.last("started"), QString::number(row.number));
        QCOMPARE(driver.last("elapsed"), "00:00:00");
        const std::optional<MeasurementHeader> header = ReadHeaderLines(driver.lines(row.number));
        QVERIFY(header.has_value());
        QCOMPARE(header->product + header->date + header->time, "Lack A06.12.202610:30");
    }

    void endings_data()
    {
        QTest::addColumn<EndRow>("row");
        const QString lost = "Verbindung zum Messgerät |", device = "Messung am Gerät beendet",
                      limit = "Messung beendet: Grenzwert unterschritten";
        const QByteArray at20 = Elapsed(20);
        const EndRow rows[] = {
            {"Stop", 1, "stop", true, false, 1},
            {"*E11 while running", 1, "*E11\r", true, false, 1, device},
            {"*E11 after Stop", 2, "*E11\r", true, false, 0},
            {"*E12 while 1 runs", 1, "*E12\r", false, true, 0},
            {"falls below the limit", 1, at20 + Sample("00299"), true, false, 1, limit},
            {"no limit", 1, at20 + Sample("00299"), false, true, 0, None, 0},
            {"falls to the limit", 1, Sample("00301") + at20 + Sample("00300"), false, true, 0},
            {"falls less than a half", 1, at20 + Sample("299.6"), false, true, 0, None, 301},
            {"falling negative, no limit", 1, Sample("00000") + at20 + Sample("-0010"), true, false,
                1, limit, 0},
            {"no whole number", 1, at20 + Sample("abcde"), false, true, 0, None, 500},
            {"shown before the start", 3, Sample("00299"), true, false, 1, limit},
            {"duration, last sample a cycle before", 1, Elapsed(891) + "*E11\r", true, false, 1,
                "Messung beendet: Messdauer erreicht"},
            {"at the instrument a cycle earlier", 1, Elapsed(890) + "*E11\r", true, false, 1,
                device},
            {"Stop, offline", 1, "stop", false, false, 1, None, 300, true, lost},
            {"close, offline: waited for", 1, "close", false, false, 1, None, 300, true,
                lost + "waited|"},
            {"signal, offline: not waited for", 1, "signal", false, false, 1, None, 300, true,
                lost + "Die Messung"},
        };
        for (const EndRow& row : rows)
            QTest::newRow(row.name) << row;
    }

    // However a test ends, its file keeps its lines and its record is due once. It ends by itself
    // when the viscosity falls below the limit, never on a reply without a whole viscosity. After
    // an end nobody asked for, Start waits two seconds, so that a Stop clicked just too late starts
    // no new test.
    void endings()
    {
        QFETCH(EndRow, row);

        RunDriver driver;
        driver.choices.limit = row.limit;
        if (row.before == 3)
            driver.receive(Sample("00300") + "*S11\r");
        else
            driver.receive("*S11\r" + Elapsed(10) + Sample("00300"));
        if (row.before == 2)
            driver.run->StartOrStop(1);
        const QByteArray file = BytesOf(driver.file());
        if (row.offline)
            driver.line->unplug();
        driver.line->clearWrites();
        driver.events.clear();
        if (row.action == "stop")
            driver.run->StartOrStop(1);
        else if (row.action == "close" || row.action == "signal")
            driver.run->EndRunningTests(row.action == "signal");
        else
            driver.receive(row.action);
        QCOMPARE(driver.sent(), row.told ? EndCommand : QByteArray());
        QCOMPARE(driver.run->IsRunning(1), row.runningAfter);
        QCOMPARE(driver.count("finished"), row.records);
        QVERIFY(BytesOf(driver.file()).startsWith(file));
        QCOMPARE(driver.last("notice"), row.notice);
        QCOMPARE(driver.count("message"), row.message == None ? 0 : 1);
        QVERIFY(driver.last("message").startsWith(row.message));
        if (row.runningAfter || row.offline)
            return;
        driver.now = driver.now.addMSecs(1999);
        driver.run->StartOrStop(1);
        QCOMPARE(driver.run->IsRunning(1), row.notice == None);
        driver.now = driver.now.addMSecs(1);
        if (row.notice != None)
            driver.run->StartOrStop(1);
        QVERIFY(driver.run->IsRunning(1));
    }

    // A sample while no test runs is only shown. In a test, samples before the first time reply are
    // written at 0 s and continue no curve, the first one after it does; the file keeps the
    // separators of its start. A test without temperature writes 0 and shows none, not the last one
    // measured. Data lines are synced to the disk a second after the first unsynced one.
    void samplesBecomeDataLines()
    {
        const ScopedLocale german {QLocale(QLocale::German, QLocale::Germany)};
        RunDriver driver;
        driver.choices.temperatureOption = 1;
        driver.receive(Elapsed(90) + Sample("-0015"));
        QCOMPARE(driver.events, QStringList {"values -1,5 %|"});
        driver.run->StartOrStop(1);
        driver.order.decimalSeparator = ",";
        syncs = 0;
        driver.receive(Sample("00123") + Sample("00120", "024.0") + Elapsed(10)
            + Sample("00120", "020.0") + Elapsed(20) + Sample("00110", "021.0"));
        QCOMPARE(syncs, 0);
        QTRY_COMPARE(syncs, 1);
        QCOMPARE(driver.last("values"), "11 %|21 °");
        QCOMPARE(driver.named("plotted"),
            (QStringList {
                "plotted 12.3 0 0", "plotted 12 0 0", "plotted 12 10 1", "plotted 11 20 1"}));
        QCOMPARE(driver.dataLines(),
            (QStringList {"00:00:00 ; 12.3; 23.5", "00:00:00 ; 12.0; 24.0", "00:00:10 ; 12.0; 20.0",
                "00:00:20 ; 11.0; 21.0"}));
        QCOMPARE(driver.last("elapsed"), "00:00:20");

        driver.run->StartOrStop(1);
        driver.choices.temperatureOption = 0;
        driver.run->TemperatureChosen(0);
        QCOMPARE(driver.last("values"), "11 %|");
        driver.run->StartOrStop(1);
        driver.receive(Elapsed(10) + Sample("00490"));
        QCOMPARE(driver.last("values"), "49 %|");
        QCOMPARE(driver.dataLines(2), QStringList {"00:00:10 ; 49,0;  0,0"});
    }

    // A 10-hour test started at 10:30:45, a sample every 10 s: the first line comes at 10:31:05,
    // then one a minute.
    void longTestsWriteOneLinePerClockMinute()
    {
        RunDriver driver;
        driver.choices.durationIndex = 6;
        driver.choices.temperatureOption = 1;
        driver.now = driver.now.addSecs(45);
        driver.run->StartOrStop(1);
        for (int sample = 1; sample <= 14; ++sample) {
            driver.now = driver.now.addSecs(10);
            driver.receive(Elapsed(10 * sample)
                + Sample(QByteArray::number(500 - sample).rightJustified(5, '0')));
        }
        QCOMPARE(driver.dataLines(),
            (QStringList {"00:00:20 ; 49.8", "00:01:20 ; 49.2", "00:02:20 ; 48.6"}));
        QCOMPARE(driver.last("elapsed"), "00:02:20");
    }

    void lostLinesAreReportedOncePerTest_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("linesAfter"); // once the fault is gone
        QTest::newRow("disk full") << "disk full" << 1;
        QTest::newRow("sync fails") << "sync fails" << 4;
        QTest::newRow("close fails") << "close fails" << 3;
    }

    // A lost line, or a file that does not close whole, is shown as a notice and in one message per
    // test; the test goes on, and writes again once the disk has room.
    void lostLinesAreReportedOncePerTest()
    {
        QFETCH(QString, fault);
        QFETCH(int, linesAfter);

        RunDriver driver;
        driver.run->StartOrStop(1);
        const QByteArray header = BytesOf(driver.file());
        {
            const FileSizeLimit full(fault == "disk full" ? header.size() : NoLimit);
            syncsFail = fault == "sync fails";
            for (int second = 1; second <= 3; ++second)
                driver.receive(Elapsed(second) + Sample("00123"));
            if (syncsFail)
                QTRY_COMPARE(driver.count("message"), 1);
            syncsFail = fault == "close fails";
            if (syncsFail)
                driver.run->StartOrStop(1);
            syncsFail = false;
        }
        QCOMPARE(
            driver.last("notice"), "Messwert nicht gespeichert: Messdatei nicht beschreibbar!");
        QCOMPARE(driver.count("message"), 1);
        QVERIFY(driver.last("message").startsWith("Messdatei|"));
        QCOMPARE(driver.run->IsRunning(1), fault != "close fails");
        driver.receive(Elapsed(4) + Sample("00124"));
        QCOMPARE(driver.dataLines().size(), linesAfter);
        QCOMPARE(driver.count("message"), 1);

        // The next test reports its first lost line again: its file is gone.
        if (driver.run->IsRunning(1))
            driver.run->StartOrStop(1);
        driver.run->StartOrStop(1);
        QVERIFY(QFile::remove(driver.file(driver.run->CurrentTestNumber())));
        driver.receive(Sample("00125"));
        QCOMPARE(driver.count("message"), 2);
    }

    // The window's side of the run: Start1 starts and numbers the test, the values reach MessWert1,
    // MessWert0 and MessDauer1 (at the pace of the display), the instrument's end is named in the
    // status bar, and closing the window while a test runs ends it with its record.
    void windowShowsTheRun()
    {
        const ScopedLocale german {QLocale(QLocale::German, QLocale::Germany)};
        WindowFixture fixture;
        QWidget& window = *fixture.window;
        Find<QComboBox>(window, "TabProtDatei").addItem("Serie7");
        Find<QRadioButton>(window, "TempOnOff1").setChecked(true);
        Find<QLineEdit>(window, "LaufNr").setText("12");
        QPushButton& start = Find<QPushButton>(window, "Start1");
        fixture.line->clearWrites();
        start.click();
        QCOMPARE(fixture.line->writtenTo(1), On);
        QCOMPARE(start.text(), "Stop");
        QCOMPARE(Find<QLineEdit>(window, "TestNr").text(), "00012");
        QCOMPARE(Find<QLineEdit>(window, "LaufNr").text(), "   13");
        fixture.receive("*OK! RUN\r" + Elapsed(30) + Sample("00123"));
        QTRY_COMPARE(Find<QLineEdit>(window, "MessWert1").text(), "12,3 %");
        QTRY_COMPARE(Find<QLineEdit>(window, "MessWert0").text(), "23,5 °");
        QTRY_COMPARE(Find<QLineEdit>(window, "MessDauer1").text(), "00:00:30");
        fixture.receive("*E11\r");
        QCOMPARE(start.text(), "Start");
        QCOMPARE(Find<StatusBar>(window, "StBar1").notice(), "Messung am Gerät beendet");

        window.show();
        fixture.receive("*S11\r");
        fixture.line->clearWrites();
        fixture.answers = {MsgResult::Yes};
        window.close();
        QCOMPARE(fixture.line->writtenTo(1), EndCommand);
        QVERIFY(!window.isVisible());
        QVERIFY(BytesOf(fixture.folder.filePath("Serie7.CSV")).contains("00013-1"));
    }
};

QTEST_MAIN(TestRunTest)
#include "test_test_run.moc"
