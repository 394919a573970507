// Starting and ending tests, the data replies of a running test and its measurement file, driven
// through the window with the in-memory serial line.
#include "platform/picture_box.h"
#include "platform/status_bar.h"
#include "test_support.h"
#include "window/parameter_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const QSet<int> AllSearchPorts = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
const QByteArray EndCommand = "E\n\r";
const QColor Red(255, 0, 0);

// The locale is pinned before the window is built, so that it shows German numbers.
struct GermanLocale {
    ScopedLocale german {QLocale(QLocale::German, QLocale::Germany)};
};

// A window whose protocol file is "Serie7": measurement files go to <folder>/Serie7/.
// folderKind: "dir" makes the folder, "missing" leaves it out, "file" puts a file in its place.
struct RunFixture : GermanLocale, WindowFixture {
    explicit RunFixture(const QString& folderKind = "dir")
    {
        window->TabProtDatei->addItem("Serie7");
        if (folderKind == "dir")
            QDir(folder.path()).mkdir("Serie7");
        else if (folderKind == "file")
            writeFile("Serie7", "kein Ordner");
        line->clearWrites();
    }

    QString path(const QString& name) const { return folder.filePath("Serie7/" + name); }
    QByteArray bytes(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeFile(const QString& name, const QByteArray& content) const
    {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    QStringList entries() const
    {
        return QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
            + QDir(path("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    }
    QStringList dataLines(const QString& name) const
    {
        return QString::fromLatin1(bytes(name)).split("\r\n", Qt::SkipEmptyParts).mid(11);
    }
    bool running() const { return window->run->IsRunning(1); }
    QString notice() const { return window->StBar1->notice(); }
};

// A data reply with the given five characters of viscosity tenths and 23.5 °C.
QByteArray Sample(const QByteArray& tenths, const QByteArray& temperature = "023.5")
{
    return "*A000000" + tenths + temperature + "\r";
}

// A time reply: the seconds since the start of the test.
QByteArray Elapsed(int seconds)
{
    return QString("*I%1\r").arg(seconds, 8, 10, QChar('0')).toLatin1();
}

} // namespace

class RunControlTest : public QObject {
    Q_OBJECT

private slots:
    void start_data();
    void start();
    void refusedStartChangesNothing_data();
    void refusedStartChangesNothing();
    void numberOfAnExistingFileIsSkipped_data();
    void numberOfAnExistingFileIsSkipped();
    void missingFolderIsMadeAtTheStart();
    void endings_data();
    void endings();
    void measurementFileBytes_data();
    void measurementFileBytes();
    void longTestsWriteOneLinePerClockMinute();
    void fileKeepsTheSeparatorsOfItsStart();
    void automaticStop_data();
    void automaticStop();
    void samplesOfATest();
    void lostLinesAreReportedOnce_data();
    void lostLinesAreReportedOnce();
    void runParametersOnConnection_data();
    void runParametersOnConnection();
    void temperatureOfAnEarlierTestIsNeverWritten();
    void startRightAfterTheAnswerGoesOn();
    void endsNotAskedForLockStart_data();
    void endsNotAskedForLockStart();
    void dataLinesReachTheDiskWithinASecond();
};

void RunControlTest::start_data()
{
    QTest::addColumn<int>("temperatureOption"); // -1: none chosen
    QTest::addColumn<bool>("byReply");
    QTest::addColumn<QString>("laufNr");
    QTest::addColumn<int>("testNumber");
    QTest::addColumn<QByteArray>("commands");

    const QByteArray on = "T1\n\rS\n\r";
    const QByteArray off = "T0\n\rS\n\r";
    QTest::newRow("click, as loaded, 12") << -1 << false << "   12" << 12 << off;
    QTest::newRow("click, off, 1") << 0 << false << "1" << 1 << off;
    QTest::newRow("click, on, leading zeros") << 1 << false << "00007" << 7 << on;
    QTest::newRow("*S11, as loaded, 13") << -1 << true << "   13" << 13 << off;
    QTest::newRow("*S11, off, highest") << 0 << true << "99999" << 99999 << off;
}

// TestNr and the file name get the test number in five digits with leading zeros, LaufNr the next
// number right-aligned in five characters; longer numbers are written whole.
void RunControlTest::start()
{
    QFETCH(int, temperatureOption);
    QFETCH(bool, byReply);
    QFETCH(QString, laufNr);
    QFETCH(int, testNumber);
    QFETCH(QByteArray, commands);

    RunFixture fixture;
    Form1& window = *fixture.window;
    if (temperatureOption >= 0)
        window.TempOnOff[temperatureOption]->setChecked(true);
    window.LaufNr->setText(laufNr);
    fixture.line->clearWrites();
    if (byReply)
        fixture.receive("*S11\r");
    else
        window.Start[1]->click();
    QCOMPARE(fixture.line->writtenTo(1), commands);
    QCOMPARE(fixture.panel(1), QString("Ausg: S"));
    QCOMPARE(window.Start[1]->text(), QString("Stop"));
    QCOMPARE(window.Start[1]->palette().color(QPalette::Button), Red);
    for (QGroupBox* frame : {window.Frame5, window.Frame6, window.Frame7})
        QVERIFY(!frame->isEnabled());
    QVERIFY(window.TempOnOff[1]->isEnabled());
    QVERIFY(fixture.running());
    QCOMPARE(window.MessDauer[1]->text(), QString("00:00:00"));
    QCOMPARE(window.TestDatum->text(), QString("06.12.2026"));
    QCOMPARE(window.TestZeit->text(), QString("10:30"));
    const QString testNr = QString("%1").arg(testNumber, 5, 10, QChar('0'));
    QCOMPARE(window.run->CurrentTestNumber(), testNumber);
    QCOMPARE(window.TestNr->text(), testNr);
    QCOMPARE(window.LaufNr->text(), QString("%1").arg(qint64(testNumber) + 1, 5));
    QCOMPARE(QDir(fixture.path("")).entryList({"*.CSV"}, QDir::Files),
        QStringList {"No-" + testNr + "-1.CSV"});
}

void RunControlTest::refusedStartChangesNothing_data()
{
    QTest::addColumn<QString>("folderKind");
    QTest::addColumn<bool>("runningBefore");
    QTest::addColumn<QByteArray>("reply"); // empty: the Start button is clicked
    QTest::addColumn<bool>("toldToStop"); // "E" goes out: the instrument measures unrecorded
    QTest::addColumn<int>("messages");
    QTest::addColumn<QString>("laufNr");

    const QByteArray s11 = "*S11\r";
    QTest::newRow("*S12: position 2")
        << "dir" << false << QByteArray("*S12\r") << true << 1 << "   12";
    QTest::newRow("*S91: no position")
        << "dir" << false << QByteArray("*S91\r") << false << 0 << "   12";
    QTest::newRow("*S11 while running") << "dir" << true << s11 << false << 0 << "   12";
    QTest::newRow("*S12 while running")
        << "dir" << true << QByteArray("*S12\r") << false << 0 << "   12";
    QTest::newRow("*S11, folder is a file") << "file" << false << s11 << true << 1 << "   12";
    QTest::newRow("*S11, disk full") << "full" << false << s11 << true << 1 << "   12";
    QTest::newRow("*S11, disk full, older file")
        << "full, older file" << false << s11 << true << 1 << "   12";
    QTest::newRow("*S11, no protocol file")
        << "no protocol" << false << s11 << true << 1 << "   12";
    QTest::newRow("click, no protocol file")
        << "no protocol" << false << QByteArray() << false << 0 << "   12";
    QTest::newRow("click, no connection")
        << "offline" << false << QByteArray() << false << 0 << "   12";
    for (const char* text : {"", "abc", "0", "7.5", "12abc", "100000", "-5"})
        QTest::addRow("test number \"%s\"", text)
            << "dir" << false << s11 << true << 1 << QString(text);
}

void RunControlTest::refusedStartChangesNothing()
{
    QFETCH(QString, folderKind);
    QFETCH(bool, runningBefore);
    QFETCH(QByteArray, reply);
    QFETCH(bool, toldToStop);
    QFETCH(int, messages);
    QFETCH(QString, laufNr);

    RunFixture fixture(
        folderKind.startsWith("full") || folderKind == "offline" ? "dir" : folderKind);
    Form1& window = *fixture.window;
    if (folderKind == "no protocol")
        window.TabProtDatei->clear();
    if (folderKind == "offline")
        fixture.line->unplug();
    window.LaufNr->setText(laufNr);
    if (folderKind == "full, older file")
        fixture.writeFile("Serie7/No-00012-1.CSV", "alt\r\n");
    if (runningBefore)
        fixture.receive("*S11\r");
    fixture.line->clearWrites();
    const qint32 testNumber = window.run->CurrentTestNumber();
    const QStringList entries = fixture.entries();
    const QByteArray file = fixture.bytes("No-00012-1.CSV");
    const QString caption = window.Start[1]->text();
    {
        const FileSizeLimit full(folderKind.startsWith("full") ? 0 : NoLimit);
        QVERIFY(full.active);
        if (reply.isEmpty())
            window.Start_Click(1);
        else
            fixture.receive(reply);
    }
    // Time replies of a refused test do not look like a running test.
    fixture.receive("*I00000090\r");
    QCOMPARE(window.MessDauer[1]->text() == "00:01:30", runningBefore);
    QCOMPARE(fixture.line->writtenTo(1), toldToStop ? EndCommand : QByteArray());
    QCOMPARE(fixture.entries(), entries);
    QCOMPARE(fixture.bytes("No-00012-1.CSV"), file);
    QCOMPARE(window.LaufNr->text(), runningBefore ? QString("   13") : laufNr);
    QCOMPARE(window.run->CurrentTestNumber(), testNumber);
    QCOMPARE(window.Start[1]->text(), caption);
    QCOMPARE(fixture.running(), runningBefore);
    QCOMPARE(window.Frame5->isEnabled(), !runningBefore);
    QVERIFY(!fixture.notice().isEmpty());
    QCOMPARE(fixture.questions.size(), messages);
}

void RunControlTest::numberOfAnExistingFileIsSkipped_data()
{
    QTest::addColumn<QStringList>("files"); // in the measurement folder
    QTest::addColumn<QString>("laufNr");
    QTest::addColumn<int>("testNumber");

    QTest::newRow("its file exists") << QStringList {"No-00012-1.CSV"} << "12" << 13;
    QTest::newRow("kept copies count too") << QStringList {"No-00012-1.CSV", "Alt-No-00013-1.CSV",
        "alt2-no-00014-2.csv"} << "12" << 15;
    QTest::newRow("other files do not")
        << QStringList {"No-00012-1.CSV.bak", "No-0012-1.CSV"} << "12" << 12;
    QTest::newRow("a lock left without its file")
        << QStringList {"No-00012-1.CSV.lock"} << "12" << 13;
    QTest::newRow("the last number taken") << QStringList {"No-99999-1.CSV"} << "99999" << 0;
}

// A number whose file exists is never given again: the test gets the next free number, no file is
// touched, and the folder is made again where it is missing.
void RunControlTest::numberOfAnExistingFileIsSkipped()
{
    QFETCH(QStringList, files);
    QFETCH(QString, laufNr);
    QFETCH(int, testNumber);

    RunFixture fixture("missing");
    QVERIFY(QDir(fixture.folder.path()).mkdir("Serie7"));
    for (const QString& name : files)
        fixture.writeFile("Serie7/" + name, name.toLatin1());
    fixture.window->LaufNr->setText(laufNr);
    fixture.receive("*S11\r");
    for (const QString& name : files)
        QCOMPARE(fixture.bytes(name), name.toLatin1());
    QCOMPARE(fixture.running(), testNumber > 0);
    if (testNumber == 0)
        return;
    QCOMPARE(fixture.window->run->CurrentTestNumber(), testNumber);
    QVERIFY(fixture.bytes(QString("No-%1-1.CSV").arg(testNumber, 5, 10, QChar('0')))
                .startsWith("Produkt-Bezeichnung;"));
}

// A measurement folder removed by hand is made again by the next start, which says so.
void RunControlTest::missingFolderIsMadeAtTheStart()
{
    RunFixture fixture("missing");
    fixture.receive("*S11\r");
    QVERIFY(fixture.running());
    QVERIFY(fixture.bytes("No-00001-1.CSV").startsWith("Produkt-Bezeichnung;"));
    QVERIFY(fixture.notice().contains("neu angelegt"));
}

void RunControlTest::endings_data()
{
    QTest::addColumn<int>("before"); // 0 idle, 1 running, 2 started and stopped by the button
    QTest::addColumn<QString>("action"); // a reply, or "click", "close" (answered), "signal"
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<bool>("runningAfter");
    QTest::addColumn<int>("asked");
    QTest::addColumn<QString>("notice");

    const QByteArray none;
    const QString quiet;
    QTest::newRow("Stop button") << 1 << "click" << 0 << EndCommand << false << 0 << quiet;
    QTest::newRow("*E11 while running")
        << 1 << "*E11" << 0 << EndCommand << false << 0 << QString("Messung am Gerät beendet");
    QTest::newRow("*E11 while idle") << 0 << "*E11" << 0 << EndCommand << false << 0 << quiet;
    QTest::newRow("*E11 after Stop") << 2 << "*E11" << 0 << EndCommand << false << 0 << quiet;
    QTest::newRow("*E after Stop")
        << 2 << "*E" << 0 << none << false << 0 << QString("Meldung für einen unbekannten Kanal");
    QTest::newRow("*E12 while 1 runs") << 1 << "*E12" << 0 << EndCommand << true << 0 << quiet;
    QTest::newRow("close, No") << 1 << "close" << MsgResult::No << none << true << 1 << quiet;
    QTest::newRow("close, Yes") << 1 << "close" << MsgResult::Yes << EndCommand << false << 1
                                << quiet;
    QTest::newRow("close while idle") << 0 << "close" << 0 << none << false << 0 << quiet;
    QTest::newRow("signal") << 1 << "signal" << 0 << EndCommand << false << 0 << quiet;
}

// However a test ends, its file stays as it was; a close is asked only while a test runs.
void RunControlTest::endings()
{
    QFETCH(int, before);
    QFETCH(QString, action);
    QFETCH(int, answer);
    QFETCH(QByteArray, written);
    QFETCH(bool, runningAfter);
    QFETCH(int, asked);
    QFETCH(QString, notice);

    RunFixture fixture;
    Form1& window = *fixture.window;
    window.show();
    if (before > 0)
        fixture.receive("*S11\r" + Elapsed(30) + Sample("00123"));
    if (before == 2)
        window.Start_Click(1);
    const QByteArray file = fixture.bytes("No-00001-1.CSV");
    fixture.line->clearWrites();
    fixture.answers = {answer};
    if (action == "click")
        window.Start_Click(1);
    else if (action == "close")
        window.close();
    else if (action == "signal")
        window.CloseWithoutAsking();
    else
        fixture.receive(action.toLatin1() + "\r");
    QCOMPARE(fixture.line->writtenTo(1), written);
    QCOMPARE(fixture.running(), runningAfter);
    QCOMPARE(window.Start[1]->text(), QString(runningAfter ? "Stop" : "Start"));
    QCOMPARE(window.Start[1]->palette().color(QPalette::Button) == Red, runningAfter);
    QCOMPARE(window.Frame6->isEnabled(), !runningAfter);
    QCOMPARE(window.run->FileOf(1).IsOpen(), runningAfter);
    QCOMPARE(fixture.bytes("No-00001-1.CSV"), file);
    QCOMPARE(window.isVisible(), !(action == "close" || action == "signal") || runningAfter);
    QCOMPARE(fixture.questions.size(), asked);
    if (asked)
        QCOMPARE(fixture.questions.first().style,
            MsgStyle::YesNo + MsgStyle::Question + MsgStyle::DefaultButton2);
    QVERIFY2(notice.isEmpty() ? fixture.notice().isEmpty() : fixture.notice().startsWith(notice),
        qPrintable(fixture.notice()));
}

void RunControlTest::measurementFileBytes_data()
{
    QTest::addColumn<QByteArray>("separators"); // field, decimal
    QTest::addColumn<bool>("temperatureOn");
    QTest::addColumn<QByteArray>("replies");
    QTest::addColumn<QByteArray>("dataLines");

    const QByteArray replies = Sample("00123") + Elapsed(30) + Sample("00050", "-03.5")
        + Elapsed(90) + Sample("01000", "100.0");
    const QByteArray longTimes = Elapsed(99999999) + Sample("00123") + "*I9e99\r" + Sample("00123")
        + "*I-0000010\r" + Sample("00123");
    QTest::newRow("; and .") << QByteArray(";.") << true << replies
                             << QByteArray("00:00:00 ; 12.3; 23.5\r\n"
                                           "00:00:30 ;  5.0; -3.5\r\n"
                                           "00:01:30 ;100.0;100.0\r\n");
    QTest::newRow(", and .") << QByteArray(",.") << true << replies
                             << QByteArray("00:00:00 , 12.3, 23.5\r\n"
                                           "00:00:30 ,  5.0, -3.5\r\n"
                                           "00:01:30 ,100.0,100.0\r\n");
    QTest::newRow("; and ,") << QByteArray(";,") << true << replies
                             << QByteArray("00:00:00 ; 12,3; 23,5\r\n"
                                           "00:00:30 ;  5,0; -3,5\r\n"
                                           "00:01:30 ;100,0;100,0\r\n");
    QTest::newRow("temperature off") << QByteArray(";.") << false << replies
                                     << QByteArray("00:00:00 ; 12.3;  0.0\r\n"
                                                   "00:00:30 ;  5.0;  0.0\r\n"
                                                   "00:01:30 ;100.0;  0.0\r\n");
    QTest::newRow("no sample") << QByteArray(",.") << true << QByteArray("*I00000030\r")
                               << QByteArray();
    QTest::newRow("times beyond the field") << QByteArray(";.") << true << longTimes
                                            << QByteArray("99:59:59 ; 12.3; 23.5\r\n"
                                                          "99:59:59 ; 12.3; 23.5\r\n"
                                                          "00:00:00 ; 12.3; 23.5\r\n");
}

// A 15-minute test: one three-field line per sample, Windows-1252 bytes and CR LF.
void RunControlTest::measurementFileBytes()
{
    QFETCH(QByteArray, separators);
    QFETCH(bool, temperatureOn);
    QFETCH(QByteArray, replies);
    QFETCH(QByteArray, dataLines);

    RunFixture fixture;
    Form1& window = *fixture.window;
    window.parameters->DatenTrenn->setCurrentIndex(separators[0] == ';' ? 0 : 1);
    window.parameters->DezimalTrenn->setCurrentIndex(separators[1] == '.' ? 0 : 1);
    window.TempOnOff[temperatureOn ? 1 : 0]->setChecked(true);
    Choose(window.Messzeit, 0);
    Choose(window.MessZyklusTab, 1);
    window.Text2->setText("Öl-Charge");
    window.Text3->setText("C-7");
    window.Bem1->setText("5 €");
    window.Text1->setText("Lack ;1,");
    window.Bem3->setText("a;b");
    window.LaufNr->setText("12");
    fixture.receive("*S11\r");
    fixture.receive(replies);
    window.Start_Click(1);
    QVERIFY(!fixture.running());

    // A typed separator becomes the other one, so that no text adds a column.
    const QByteArray sep = separators.left(1);
    const QByteArray other = sep == ";" ? "," : ";";
    const QByteArray header = "Produkt-Bezeichnung" + sep + "Lack " + other + "1" + other
        + "\r\nAuftragsnummer" + sep + "\xD6l-Charge\r\nChargen-Nr." + sep + "C-7\r\nBemerkungen 1"
        + sep + "5 \x80\r\nBemerkungen 2" + sep + "\r\nBemerkungen 3" + sep + "a" + other + "b"
        + "\r\nTest-Datum" + sep + "06.12.2026\r\nTest-Zeit" + sep + "10:30\r\nMesszyklus" + sep
        + " 10 Sekunden\r\n" + sep + "\r\nMesszeit;Viskosit\xE4t;Temperatur\r\n";
    QCOMPARE(fixture.bytes("No-00012-1.CSV"), header + dataLines);
}

// A 10-hour test started at 10:30:45, a sample every 10 s: the first line comes at 10:31:05, then
// one a minute.
void RunControlTest::longTestsWriteOneLinePerClockMinute()
{
    RunFixture fixture;
    Form1& window = *fixture.window;
    Choose(window.Messzeit, 5);
    window.TempOnOff[1]->setChecked(true);
    fixture.now = fixture.now.addSecs(45);
    fixture.receive("*S11\r");
    for (int sample = 1; sample <= 14; ++sample) {
        fixture.now = fixture.now.addSecs(10);
        fixture.receive(
            Elapsed(10 * sample) + Sample(QByteArray::number(500 - sample).rightJustified(5, '0')));
    }
    QCOMPARE(fixture.dataLines("No-00001-1.CSV"),
        (QStringList {"00:00:20 ; 49.8", "00:01:20 ; 49.2", "00:02:20 ; 48.6"}));
    QCOMPARE(window.MessDauer[1]->text(), QString("00:02:20"));
    QVERIFY(fixture.running());
}

// Separators chosen while a test runs apply to the next test; one file never mixes them.
void RunControlTest::fileKeepsTheSeparatorsOfItsStart()
{
    RunFixture fixture;
    Form1& window = *fixture.window;
    fixture.receive("*S11\r" + Elapsed(10) + Sample("00123"));
    window.parameters->DezimalTrenn->setCurrentIndex(1);
    fixture.receive(Elapsed(20) + Sample("00122") + "*E11\r*S11\r" + Elapsed(10) + Sample("00121"));
    QCOMPARE(fixture.dataLines("No-00001-1.CSV"),
        (QStringList {"00:00:10 ; 12.3;  0.0", "00:00:20 ; 12.2;  0.0"}));
    QCOMPARE(fixture.dataLines("No-00002-1.CSV"), (QStringList {"00:00:10 ; 12,1;  0,0"}));
}

void RunControlTest::automaticStop_data()
{
    QTest::addColumn<QByteArray>("before"); // the start and the previous sample
    QTest::addColumn<QByteArray>("next");
    QTest::addColumn<float>("limit");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<QString>("written"); // the viscosity field of the last data line

    const auto after = [](const QByteArray& tenths) {
        return "*S11\r" + Elapsed(10) + Sample(tenths) + Elapsed(20);
    };
    const QByteArray at300 = after("00300");
    QTest::newRow("falls below the limit") << at300 << Sample("00299") << 300.F << true << " 29.9";
    QTest::newRow("rises") << at300 << Sample("00301") << 300.F << false << " 30.1";
    QTest::newRow("no limit") << at300 << Sample("00299") << 0.F << false << " 29.9";
    QTest::newRow("stays") << at300 << Sample("00300") << 400.F << false << " 30.0";
    QTest::newRow("falls to the limit")
        << after("00301") << Sample("00300") << 300.F << false << " 30.0";
    QTest::newRow("falls less than a half")
        << at300 << Sample("299.6") << 301.F << false << " 30.0";
    QTest::newRow("falling negative, no limit")
        << after("00000") << Sample("-0010") << 0.F << true << " -1.0";
    QTest::newRow("no number") << at300 << Sample("abcde") << 500.F << false << "  0.0";
    QTest::newRow("cut line") << at300 << QByteArray("*A0000\r") << 500.F << false << "  0.0";
    QTest::newRow("cut within the field")
        << at300 << QByteArray("*A0000000012\r") << 500.F << false << "  1.2";
    QTest::newRow("beyond a double") << at300 << Sample("9e999") << 500.F << false << "  0.0";
    QTest::newRow("far above") << at300 << Sample("9e99 ") << 500.F << false << "999.9";
    QTest::newRow("from far above")
        << after("9e99 ") << Sample("00299") << 300.F << true << " 29.9";
    QTest::newRow("far below") << at300 << Sample("-9e99") << 0.F << true << "-99.9";
    QTest::newRow("shown before the start")
        << Sample("00300") + "*S11\r" << Sample("00299") << 300.F << true << " 29.9";
}

void RunControlTest::automaticStop()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, next);
    QFETCH(float, limit);
    QFETCH(bool, ends);
    QFETCH(QString, written);

    RunFixture fixture;
    fixture.window->LimitValue[1] = limit;
    fixture.receive(before);
    QVERIFY(fixture.running());
    fixture.line->clearWrites();
    fixture.receive(next);
    QCOMPARE(fixture.running(), !ends);
    QCOMPARE(fixture.line->writtenTo(1), ends ? EndCommand : QByteArray());
    QCOMPARE(fixture.window->Start[1]->text(), QString(ends ? "Start" : "Stop"));
    QCOMPARE(fixture.dataLines("No-00001-1.CSV").last().mid(10, 5), written);
}

// A sample while no test runs only shows the viscosity. In a test, samples before the first
// time reply are written at 00:00:00 and draw nothing; curves start from the sample after it.
// 15-minute axis (1 s = x 4), temperature scale 0-50 °C (plot y = 20 × °C).
void RunControlTest::samplesOfATest()
{
    RunFixture fixture;
    Form1& window = *fixture.window;
    Choose(window.Messzeit, 0);
    window.TempOnOff[1]->setChecked(true);
    fixture.line->clearWrites();
    const QStringList frame = window.Grafik[1]->DrawLog();
    fixture.receive(Elapsed(90) + Sample("-0015"));
    QCOMPARE(window.MessWert[1]->text(), QString("-1,5 %"));
    QCOMPARE(window.MessWert[0]->text(), QString());
    QCOMPARE(window.MessDauer[1]->text(), QString());
    QCOMPARE(window.Grafik[1]->DrawLog(), frame);
    QCOMPARE(QDir(fixture.path("")).entryList(QDir::Files), QStringList());
    QCOMPARE(fixture.line->writtenTo(1), QByteArray());

    fixture.receive("*S11\r");
    const qsizetype drawn = window.Grafik[1]->DrawCount();
    fixture.receive(Sample("00123") + Sample("00120", "024.0"));
    QCOMPARE(window.Grafik[1]->DrawCount(), drawn);
    QCOMPARE(window.MessWert[1]->text(), QString("12 %"));
    QCOMPARE(window.MessWert[0]->text(), QString("24 °"));
    fixture.receive(Elapsed(10) + Sample("00120", "020.0"));
    QCOMPARE(window.Grafik[1]->DrawCount(), drawn);
    fixture.receive(Elapsed(20) + Sample("00110", "021.0"));
    QCOMPARE(window.Grafik[1]->DrawLog().mid(drawn),
        (QStringList {"line 0,120 80,110 #000000 w2", "line 0,400 80,420 #FF0000 w1"}));
    QCOMPARE(fixture.dataLines("No-00001-1.CSV"),
        (QStringList {"00:00:00 ; 12.3; 23.5", "00:00:00 ; 12.0; 24.0", "00:00:10 ; 12.0; 20.0",
            "00:00:20 ; 11.0; 21.0"}));
    QCOMPARE(window.MessDauer[1]->text(), QString("00:00:20"));
}

void RunControlTest::lostLinesAreReportedOnce_data()
{
    QTest::addColumn<bool>("fileRemoved");
    QTest::newRow("disk full") << false;
    QTest::newRow("file removed") << true;
}

// Lost lines are shown as a notice and in one message per test; the test goes on, and writes
// again once the disk has room.
void RunControlTest::lostLinesAreReportedOnce()
{
    QFETCH(bool, fileRemoved);

    RunFixture fixture;
    fixture.window->TempOnOff[1]->setChecked(true);
    fixture.receive("*S11\r");
    const QByteArray header = fixture.bytes("No-00001-1.CSV");
    QCOMPARE(header.count("\r\n"), 11);
    if (fileRemoved)
        QVERIFY(QFile::remove(fixture.path("No-00001-1.CSV")));
    {
        const FileSizeLimit full(fileRemoved ? NoLimit : header.size());
        QVERIFY(full.active);
        for (int second = 1; second <= 3; ++second)
            fixture.receive(Elapsed(second) + Sample("00123"));
    }
    QVERIFY(!fixture.notice().isEmpty());
    QCOMPARE(fixture.questions.size(), 1);
    QCOMPARE(fixture.questions.first().style, MsgStyle::Exclamation);
    QVERIFY(fixture.running());
    QCOMPARE(fixture.window->Start[1]->text(), QString("Stop"));
    QCOMPARE(fixture.bytes("No-00001-1.CSV"), fileRemoved ? QByteArray() : header);
    fixture.receive("*I00000004\r" + Sample("00124"));
    QCOMPARE(fixture.bytes("No-00001-1.CSV"),
        fileRemoved ? QByteArray() : header + "00:00:04 ; 12.4; 23.5\r\n");
    QCOMPARE(fixture.questions.size(), 1);
    QVERIFY(fixture.running());

    // The next test reports its first lost line again.
    fixture.window->Start_Click(1);
    fixture.window->Start_Click(1);
    QVERIFY(QFile::remove(fixture.path("No-00002-1.CSV")));
    fixture.receive(Sample("00125"));
    QCOMPARE(fixture.questions.size(), 2);
}

void RunControlTest::runParametersOnConnection_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("cycle");
    QTest::addColumn<int>("duration");
    QTest::addColumn<int>("temperature");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("5 minutes, 30 minutes, off")
        << QStringList() << 10 << 1 << 0 << QByteArray("RUN\n\rM:\n\rD2\n\rT0\n\rE\n\r");
    QTest::newRow("motor on, 10 hours, on")
        << QStringList() << 0 << 5 << 1 << QByteArray("RUN\n\rM0\n\rD6\n\rT1\n\rE\n\r");
    QTest::newRow("no cycle, 100 hours, off")
        << QStringList() << -1 << 8 << 0 << QByteArray("RUN\n\rD9\n\rT0\n\rE\n\r");
    QTest::newRow("command line, first start")
        << QStringList {"3"} << -1 << -1 << -1 << QByteArray("D1\n\rT0\n\r");
}

// The choices made while searching reach the port where the instrument answers, before position
// 1 is reset; a port named on the command line gets them at once, without probe or reset.
void RunControlTest::runParametersOnConnection()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, cycle);
    QFETCH(int, duration);
    QFETCH(int, temperature);
    QFETCH(QByteArray, written);

    const GermanLocale german;
    WindowFixture fixture(AllSearchPorts, arguments);
    Form1& window = *fixture.window;
    if (arguments.isEmpty()) {
        Choose(window.MessZyklusTab, cycle);
        Choose(window.Messzeit, duration);
        window.TempOnOff[temperature]->setChecked(true);
        window.link->Timer2_Timer();
        window.link->Timer2_Timer();
        fixture.receive("*OK! RUN\r");
        window.link->Timer2_Timer();
    }
    QCOMPARE(fixture.line->writtenTo(3), written);
    QCOMPARE(fixture.panel(1), QString(arguments.isEmpty() ? "Ausg: E" : "Ausg: T0"));
}

// A test without temperature writes 0.0 and shows none: neither the last temperature of the test
// before it, nor one left in the field when the option was set without its click.
void RunControlTest::temperatureOfAnEarlierTestIsNeverWritten()
{
    RunFixture fixture;
    Form1& window = *fixture.window;
    window.TempOnOff[1]->click();
    fixture.receive("*S11\r" + Elapsed(10) + Sample("00490") + "*E11\r");
    QCOMPARE(window.MessWert[0]->text(), QString("23,5 °"));
    window.TempOnOff[0]->click();
    QCOMPARE(window.MessWert[0]->text(), QString());

    window.TempOnOff[1]->click();
    fixture.receive("*S11\r" + Elapsed(10) + Sample("00490") + "*E11\r");
    window.TempOnOff[0]->setChecked(true);
    fixture.receive("*S11\r" + Elapsed(10) + Sample("00490", "000.0"));
    QCOMPARE(window.MessWert[0]->text(), QString());
    QCOMPARE(fixture.dataLines("No-00003-1.CSV"), QStringList {"00:00:10 ; 49.0;  0.0"});
}

// The instrument that starts a test right after its answer keeps measuring: the reset of the
// connection, which would end that test, is left out, and so are the run parameters.
void RunControlTest::startRightAfterTheAnswerGoesOn()
{
    RunFixture fixture;
    Form1& window = *fixture.window;
    fixture.receive("*OK! RUN\r*S11\r");
    fixture.line->clearWrites();
    window.link->Timer2_Timer();
    fixture.receive(Elapsed(10) + Sample("00490"));
    QVERIFY(fixture.running());
    QCOMPARE(fixture.line->writtenTo(1), QByteArray());
    QCOMPARE(fixture.panel(5), QString("COM1: OK"));
    QCOMPARE(fixture.dataLines("No-00001-1.CSV").size(), 1);
}

void RunControlTest::endsNotAskedForLockStart_data()
{
    QTest::addColumn<QByteArray>("end"); // after 10 s at 30 %, limit 30 %, cycle 10 s, 15 minutes
    QTest::addColumn<QString>("notice"); // empty: Start is not locked

    QTest::newRow("limit") << Sample("00299") << "Messung beendet: Grenzwert unterschritten";
    QTest::newRow("duration") << Elapsed(900) + "*E11\r"
                              << "Messung beendet: Messdauer erreicht";
    QTest::newRow("duration, last sample a cycle before") << Elapsed(891) + "*E11\r"
                                                          << "Messung beendet: Messdauer erreicht";
    QTest::newRow("at the instrument") << Elapsed(890) + "*E11\r"
                                       << "Messung am Gerät beendet";
    QTest::newRow("Stop button") << QByteArray() << QString();
}

// A Stop clicked just after the test ended by itself must not start the next test: Start waits two
// seconds, and the status bar says why the test ended.
void RunControlTest::endsNotAskedForLockStart()
{
    QFETCH(QByteArray, end);
    QFETCH(QString, notice);

    RunFixture fixture;
    Form1& window = *fixture.window;
    Choose(window.MessZyklusTab, 1);
    window.LimitValue[1] = 300;
    fixture.receive("*S11\r" + Elapsed(10) + Sample("00300"));
    if (end.isEmpty())
        window.Start_Click(1);
    else
        fixture.receive(end);
    QVERIFY(!fixture.running());
    QCOMPARE(fixture.notice(), notice);
    fixture.now = fixture.now.addMSecs(1999);
    window.Start_Click(1);
    QCOMPARE(fixture.running(), notice.isEmpty());
    if (notice.isEmpty())
        return;
    fixture.now = fixture.now.addMSecs(1);
    window.Start_Click(1);
    QVERIFY(fixture.running());
    QCOMPARE(fixture.notice(), QString());
}

// Data lines are synced to the disk a second after the first unsynced one, not one by one.
void RunControlTest::dataLinesReachTheDiskWithinASecond()
{
    RunFixture fixture;
    const TextFileWriter& file = fixture.window->run->FileOf(1);
    fixture.receive("*S11\r" + Elapsed(10) + Sample("00490") + Sample("00480"));
    QCOMPARE(file.UnsyncedLines(), MeasurementFile::HeaderLineCount + 2);
    QVERIFY(fixture.window->run->SyncPending());
    QTRY_COMPARE(file.UnsyncedLines(), 0);
    QVERIFY(!fixture.window->run->SyncPending());
}

QTEST_MAIN(RunControlTest)
#include "test_run_control.moc"
