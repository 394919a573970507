// Stored tests on the window: a record's curve shown and hidden again by a double click, and a test
// deleted from the records together with its measurement file.
#include "platform/ansi_codec.h"
#include "platform/file_lock.h"
#include "platform/flex_grid.h"
#include "platform/picture_box.h"
#include "records/protocol_file.h"
#include "test_support.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {

const QByteArray Header = "Test-Nr.;Produkt-Bezeichnung;Auftrags-Nr.;Chargen-Nr.;Bemerkung 1;"
                          "Bemerkung 2;Bemerkung 3;Test-Datum;Test-Zeit;Messstufe;";
const QString DeleteTitle = "Messung löschen ";
const QByteArray OldBackup = "alte Sicherung\r\n";

// The record of test `number` at `position` as the program writes it, without its line end.
QByteArray Record(int number, int position, const QString& remark = "Probe")
{
    const TestRecordTexts texts {.testNumber = number,
        .position = position,
        .texts = {.product = "Öl Nr. " + QString::number(number),
            .order = "A-77",
            .batch = "CH 5",
            .remark1 = remark,
            .remark2 = "",
            .remark3 = "Ende",
            .date = "06.12.2026",
            .time = "10:30",
            .cycle = " 10 Sekunden"}};
    return EncodeAnsi(TestRecord(texts, ';'));
}

// Header and records joined by `end`; the last line ends with it too unless told otherwise.
QByteArray File(const QByteArrayList& records, const QByteArray& end = "\r\n", bool lastEnd = true)
{
    const QByteArray bytes = (QByteArrayList {Header} + records).join(end);
    return lastEnd ? bytes + end : bytes;
}

// A measurement file: 11 header lines, then three data lines at 12.3 % and 23.5 °C.
const QByteArray Measurement = QByteArray("Kopfzeile\r\n").repeated(11)
    + "00:01:30 ; 12.3; 23.5\r\n00:02:30 ; 12.3; 23.5\r\n00:03:30 ; 12.3; 23.5\r\n";

struct GermanLocale {
    ScopedLocale german {QLocale(QLocale::German, QLocale::Germany)};
};

// A window whose storage folder holds the protocol file "Serie7" and its measurement folder.
struct StoredFixture : GermanLocale, WindowFixture {
    void write(const QString& name, const QByteArray& content) const
    {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    // The protocol file and its measurement files, listed and loaded.
    void load(const QByteArray& protocol, const QStringList& measurementFiles)
    {
        QVERIFY(QDir(folder.path()).mkdir("Serie7"));
        write("Serie7.CSV", protocol);
        for (const QString& name : measurementFiles)
            write("Serie7/" + name, Measurement);
        window->ProtocolFileName = "Serie7";
        window->ShowStorageFolder();
        QCOMPARE(window->TabProtDatei->currentText(), QString("Serie7"));
    }
    // Every file below the storage folder with its bytes.
    QMap<QString, QByteArray> files() const
    {
        QMap<QString, QByteArray> all;
        QDirIterator entries(
            folder.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            QFile file(entries.next());
            const QString name = QDir(folder.path()).relativeFilePath(file.fileName());
            all.insert(name, file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>");
        }
        return all;
    }
    void select(int row) const
    {
        window->ProtTab->setRow(row);
        emit window->ProtTab->Click();
    }
    void doubleClick(int row) const
    {
        window->ProtTab->setRow(row);
        emit window->ProtTab->DblClick();
    }
};

// The files compared one by one, so that a difference names its file instead of dumping bytes.
void CompareFiles(
    const QMap<QString, QByteArray>& actual, const QMap<QString, QByteArray>& expected)
{
    QCOMPARE(actual.keys(), expected.keys());
    for (auto file = expected.begin(); file != expected.end(); ++file)
        QVERIFY2(actual.value(file.key()) == file.value(), qPrintable(file.key() + " differs"));
}

QStringList Column(const FlexGrid* grid, int col)
{
    QStringList cells;
    for (int row = 1; row < grid->Rows(); ++row)
        cells << grid->TextMatrix(row, col);
    return cells;
}

} // namespace

class StoredTestsTest : public QObject {
    Q_OBJECT

private slots:
    void toggleCurve_data();
    void toggleCurve();
    void deleteTest_data();
    void deleteTest();
    void deletedTestLeavesTheGraph();
    void deletionRefusedOrChecked_data();
    void deletionRefusedOrChecked();
    void noDeletionWithoutAChosenRow();
    void noDeletionWhileAnotherProgramHoldsTheProtocol();
    void tableChangedWhileAskedDeletesNothing();
    void fileOfARunningTestKept();
    void recordJustWrittenDeleted();
    void linkedBackupReplaced();
    void unrecordedTestsOffered_data();
    void unrecordedTestsOffered();
};

void StoredTestsTest::toggleCurve_data()
{
    QTest::addColumn<int>("row"); // 0: no record row
    QTest::addColumn<QString>("name"); // empty: the double click does nothing
    QTest::addColumn<QString>("colour"); // of the viscosity lines; "missing": no file

    QTest::newRow("no record row") << 0 << QString() << QString();
    QTest::newRow("position 1") << 2 << QString("00012-1") << QString("#000000");
    QTest::newRow("position 2") << 3 << QString("00012-2") << QString("#0000FF");
    QTest::newRow("measurement file missing") << 4 << QString("00005-1") << QString("missing");
}

// The first double click shows the test's curve beside the curves shown already and says so; the
// second removes it again without a word. A missing measurement file is named, and nothing is
// shown.
void StoredTestsTest::toggleCurve()
{
    QFETCH(int, row);
    QFETCH(QString, name);
    QFETCH(QString, colour);

    StoredFixture fixture;
    Form1& window = *fixture.window;
    fixture.load(File({Record(3, 1, "Probe 00003-1"), Record(12, 1, "Probe 00012-1"),
                     Record(12, 2, "Probe 00012-2"), Record(5, 1, "Probe 00005-1")}),
        {"No-00003-1.CSV", "No-00012-1.CSV", "No-00012-2.CSV"});
    PictureBox& graph = *window.Grafik[0];
    const QStringList axes = graph.DrawLog();
    fixture.doubleClick(1);
    fixture.questions.clear();
    const QStringList beforeLog = graph.DrawLog();
    QCOMPARE(beforeLog.size(), axes.size() + 6); // the curve of row 1 is shown
    const QStringList beforeFlags = Column(window.WahlTab, 2);

    fixture.doubleClick(row);
    if (name.isEmpty() || colour == "missing") {
        QCOMPARE(Column(window.WahlTab, 2), beforeFlags);
        QCOMPARE(graph.DrawLog(), beforeLog);
        QCOMPARE(fixture.questions.size(), name.isEmpty() ? 0 : 1);
        if (!name.isEmpty()) {
            QCOMPARE(fixture.questions.first().title, QString("Messdatei fehlt"));
            QVERIFY(fixture.questions.first().text.contains(
                QDir::toNativeSeparators(fixture.folder.filePath("Serie7/No-" + name + ".CSV"))));
        }
        return;
    }
    QCOMPARE(window.WahlTab->TextMatrix(row, 2), QString("-1"));
    const QStringList shownLog = graph.DrawLog();
    QCOMPARE(shownLog.first(beforeLog.size()), beforeLog);
    const QStringList curve = shownLog.mid(beforeLog.size());
    {
        // Per data line a viscosity line at 12.3 % and a temperature line at 23.5 °C, each going
        // on from where the one before it ended.
        QCOMPARE(curve.size(), 6);
        const QRegularExpression step("^line (\\S+),(\\d+) (\\S+),(\\d+) (#\\w+) w1$");
        for (int index = 0; index < curve.size(); ++index) {
            const QRegularExpressionMatch line = step.match(curve[index]);
            QVERIFY2(line.hasMatch(), qPrintable(curve[index]));
            const bool viscosity = index % 2 == 0;
            QCOMPARE(line.captured(5), viscosity ? colour : QString("#FF0000"));
            QCOMPARE(line.captured(4), QString(viscosity ? "123" : "470"));
            if (index >= 2)
                QCOMPARE(line.captured(1), step.match(curve[index - 2]).captured(3));
        }
    }
    QCOMPARE(fixture.questions.size(), 1);
    const WindowFixture::Question message = fixture.questions.first();
    QCOMPARE(message.title, QString("Die Messkurve wurde erstellt "));
    QCOMPARE(message.style, MsgStyle::OkOnly + MsgStyle::Information);
    QCOMPARE(message.text,
        "Die einzelnen Werte der Messung: " + name + " ,  vom "
            + ("Probe " + name).leftJustified(30)
            + "\r\n\r\nwurden geladen und grafisch dargestellt. \r\n  \r\n\r\n"
              "Klicken Sie auf 'Alle Messungen' um die Messkurve anzusehen.\r\n  \r\n\r\n ");

    fixture.doubleClick(row);
    QCOMPARE(window.WahlTab->TextMatrix(row, 2), QString("0"));
    QCOMPARE(Column(window.WahlTab, 2), beforeFlags);
    QCOMPARE(graph.DrawLog(), beforeLog);
    QCOMPARE(fixture.questions.size(), 1);
}

void StoredTestsTest::deleteTest_data()
{
    QTest::addColumn<QByteArray>("protocol");
    QTest::addColumn<QStringList>("measurement"); // files in the measurement folder
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("expected"); // the protocol file afterwards
    QTest::addColumn<QString>("removed"); // the measurement file deleted; empty: none
    QTest::addColumn<QString>("laufNr");

    const QByteArray one = Record(3, 1, "Erste"), two = Record(12, 1, "Zweite"),
                     three = Record(7, 1, "Dritte; 5 € " + QString(QChar(0x81))),
                     secondPosition = Record(12, 2, "Position zwei");
    const QStringList files
        = {"No-00003-1.CSV", "No-00012-1.CSV", "No-00012-2.CSV", "No-00007-1.CSV"};
    const QString twelve = "No-00012-1.CSV";
    QTest::newRow("2nd of 3") << File({one, two, three}) << files << 2 << File({one, three})
                              << twelve << QString(" 8");
    QTest::newRow("empty lines are no rows, and stay")
        << File({one, "", two, "  ", three}) << files << 3 << File({one, "", two, "  "})
        << QString("No-00007-1.CSV") << QString(" 13");
    QTest::newRow("LF only, last line without end")
        << File({one, two, three}, "\n", false) << files << 2 << File({one, three}, "\n", false)
        << twelve << QString(" 8");
    QTest::newRow("last record, no line end at it")
        << File({one, two, three}, "\r\n", false) << files << 3 << File({one, two})
        << QString("No-00007-1.CSV") << QString(" 13");
    QTest::newRow("CR only") << File({one, two, three}, "\r") << files << 1
                             << File({two, three}, "\r") << QString("No-00003-1.CSV")
                             << QString(" 13");
    QTest::newRow("position 2, position 1 kept")
        << File({one, secondPosition, three}) << files << 2 << File({one, three})
        << QString("No-00012-2.CSV") << QString(" 8");
    QTest::newRow("position 10, position 1 kept")
        << File({one, Record(12, 10), three}) << files + QStringList {"No-00012-10.CSV"} << 2
        << File({one, three}) << QString("No-00012-10.CSV") << QString(" 8");
    QTest::newRow("number used again, its file kept")
        << File({one, two, Record(12, 1, "Wieder")}) << files << 2
        << File({one, Record(12, 1, "Wieder")}) << QString() << QString(" 13");
    QTest::newRow("measurement file already gone")
        << File({one, two, three}) << QStringList {"No-00003-1.CSV", "No-00007-1.CSV"} << 2
        << File({one, three}) << QString() << QString(" 8");

    QByteArrayList many, kept;
    for (int number = 1; number <= 40000; ++number) {
        many << Record(number, 1);
        if (number != 35000)
            kept << many.last();
    }
    QTest::newRow("record 35,000 of 40,000")
        << File(many) << QStringList {"No-34999-1.CSV", "No-35000-1.CSV", "No-35001-1.CSV"} << 35000
        << File(kept) << QString("No-35000-1.CSV") << QString(" 40001");
}

// Only the record's own line leaves the protocol file; every other byte stays. The file as it
// was is kept as ".TMP", the test's measurement file is deleted, the table is loaded again and
// no row is offered for deletion until one is selected; the next deletion replaces the ".TMP".
void StoredTestsTest::deleteTest()
{
    QFETCH(QByteArray, protocol);
    QFETCH(QStringList, measurement);
    QFETCH(int, row);
    QFETCH(QByteArray, expected);
    QFETCH(QString, removed);
    QFETCH(QString, laufNr);

    StoredFixture fixture;
    Form1& window = *fixture.window;
    fixture.load(protocol, measurement);
    const int rows = window.ProtTab->Rows();
    fixture.select(row);
    QVERIFY(!window.DelMessung->isHidden());
    const QString label = window.Label28->text();
    QMap<QString, QByteArray> files = fixture.files();
    fixture.answers = {MsgResult::Yes};
    window.DelMessung->click();

    QCOMPARE(fixture.questions.size(), 1);
    QCOMPARE(fixture.questions.first().title, DeleteTitle);
    QCOMPARE(fixture.questions.first().style,
        MsgStyle::YesNo + MsgStyle::Question + MsgStyle::DefaultButton2);
    QVERIFY(fixture.questions.first().text.contains(label));
    files["Serie7.CSV"] = expected;
    files["Serie7.TMP"] = protocol;
    if (!removed.isEmpty())
        QVERIFY(files.remove("Serie7/" + removed) == 1);
    CompareFiles(fixture.files(), files);
    QCOMPARE(window.ProtTab->Rows(), rows - 1);
    QCOMPARE(window.WahlTab->Rows(), rows - 1);
    QCOMPARE(window.LaufNr->text(), laufNr);
    QVERIFY(window.DelMessung->isHidden());
    QVERIFY(window.Label28->isHidden());

    fixture.answers = {MsgResult::Yes, MsgResult::Yes};
    window.DelMessung->click();
    QCOMPARE(fixture.questions.size(), 1);
    fixture.select(1);
    window.DelMessung->click();
    QCOMPARE(fixture.questions.size(), 2);
    QCOMPARE(fixture.files().value("Serie7.TMP"), expected);
}

// The deleted test's curve and row leave the comparison graph; the other curves stay shown.
void StoredTestsTest::deletedTestLeavesTheGraph()
{
    StoredFixture fixture;
    Form1& window = *fixture.window;
    fixture.load(File({Record(3, 1), Record(12, 1), Record(7, 1)}),
        {"No-00003-1.CSV", "No-00012-1.CSV", "No-00007-1.CSV"});
    PictureBox& graph = *window.Grafik[0];
    fixture.doubleClick(3);
    const QStringList lastCurveOnly = graph.DrawLog();
    fixture.doubleClick(2);
    QVERIFY(graph.DrawLog() != lastCurveOnly);
    fixture.select(2);
    fixture.answers = {MsgResult::Yes};
    window.DelMessung->click();
    QCOMPARE(Column(window.WahlTab, 0), (QStringList {"00003", "00007"}));
    QCOMPARE(Column(window.WahlTab, 2), (QStringList {"0", "-1"}));
    QCOMPARE(graph.DrawLog(), lastCurveOnly);
}

void StoredTestsTest::deletionRefusedOrChecked_data()
{
    QTest::addColumn<int>("row"); // 0: the selection left after a row was shown
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QByteArray>("changed"); // written after loading; empty: as loaded
    QTest::addColumn<bool>("fileRemoved"); // the protocol file removed after loading
    QTest::addColumn<QString>("removed"); // the measurement file deleted; empty: nothing deleted
    QTest::addColumn<QByteArray>("expected"); // the protocol file after a deletion
    QTest::addColumn<QStringList>("numbers"); // column 0 of the table afterwards
    QTest::addColumn<int>("questions");

    const QByteArray one = Record(3, 1), two = Record(12, 1), three = Record(7, 1),
                     other = Record(9, 1, "eingefügt"), edited = Record(12, 1, "geändert");
    const QList<int> yes = {MsgResult::Yes};
    const QStringList loaded = {"00003", "00012", "00007"};
    const QByteArray none;
    QTest::newRow("answer No") << 2 << QList<int> {MsgResult::No} << none << false << QString()
                               << none << loaded << 1;
    QTest::newRow("box closed") << 2 << QList<int> {} << none << false << QString() << none
                                << loaded << 1;
    QTest::newRow("no record row") << 0 << yes << none << false << QString() << none << loaded << 0;
    QTest::newRow("line inserted before the record")
        << 2 << yes << File({other, one, two, three}) << false << QString() << none
        << QStringList {"00009", "00003", "00012", "00007"} << 2;
    QTest::newRow("record edited")
        << 2 << yes << File({one, edited, three}) << false << QString() << none << loaded << 2;
    QTest::newRow("file shortened")
        << 2 << yes << File({one}) << false << QString() << none << QStringList {"00003"} << 2;
    QTest::newRow("file removed") << 2 << yes << none << true << QString() << none << loaded << 2;
    QTest::newRow("record appended")
        << 2 << yes << File({one, two, three, other}) << false << "No-00012-1.CSV"
        << File({one, three, other}) << QStringList {"00003", "00007", "00009"} << 1;
    QTest::newRow("saved with LF line ends")
        << 2 << yes << File({one, two, three}, "\n") << false << "No-00012-1.CSV"
        << File({one, three}, "\n") << QStringList {"00003", "00007"} << 1;
}

// A record is deleted only when confirmed and only while its line in the file still is the record
// the row shows; otherwise no file changes, not even the backup of the last deletion, and a file
// changed meanwhile is reported and shown as it is now.
void StoredTestsTest::deletionRefusedOrChecked()
{
    QFETCH(int, row);
    QFETCH(QList<int>, answers);
    QFETCH(QByteArray, changed);
    QFETCH(bool, fileRemoved);
    QFETCH(QString, removed);
    QFETCH(QByteArray, expected);
    QFETCH(QStringList, numbers);
    QFETCH(int, questions);

    StoredFixture fixture;
    Form1& window = *fixture.window;
    fixture.write("Serie7.TMP", OldBackup);
    const QByteArray loaded = File({Record(3, 1), Record(12, 1), Record(7, 1)});
    fixture.load(loaded, {"No-00003-1.CSV", "No-00012-1.CSV", "No-00007-1.CSV"});
    fixture.select(2);
    window.ProtTab->setRow(row);
    if (fileRemoved)
        QVERIFY(QFile::remove(fixture.folder.filePath("Serie7.CSV")));
    else if (!changed.isEmpty())
        fixture.write("Serie7.CSV", changed);
    QMap<QString, QByteArray> files = fixture.files();
    fixture.answers = answers;
    window.DelMessung->click();

    QCOMPARE(fixture.questions.size(), questions);
    for (const WindowFixture::Question& question : std::as_const(fixture.questions))
        QCOMPARE(question.title, DeleteTitle);
    QCOMPARE(Column(window.ProtTab, 0), numbers);
    QCOMPARE(Column(window.WahlTab, 0), numbers);
    if (!removed.isEmpty()) {
        files["Serie7.CSV"] = expected;
        files["Serie7.TMP"] = changed.isEmpty() ? loaded : changed;
        QVERIFY(files.remove("Serie7/" + removed) == 1);
    }
    CompareFiles(fixture.files(), files);
}

// A row the grid made current by itself (on getting the focus after another protocol file was
// loaded) was never chosen: nothing is offered or deleted.
void StoredTestsTest::noDeletionWithoutAChosenRow()
{
    StoredFixture fixture;
    Form1& window = *fixture.window;
    fixture.write("B.CSV", File({Record(41, 1), Record(42, 1)}));
    fixture.load(File({Record(3, 1), Record(12, 1), Record(7, 1)}), {"No-00003-1.CSV"});
    QVERIFY(QDir(fixture.folder.path()).mkdir("B"));
    fixture.write("B/No-00041-1.CSV", Measurement);
    fixture.select(2);
    QVERIFY(!window.DelMessung->isHidden());
    window.TabProtDatei->setCurrentIndex(window.TabProtDatei->findText("B"));
    QCOMPARE(Column(window.ProtTab, 0), (QStringList {"00041", "00042"}));
    QVERIFY(window.DelMessung->isHidden());
    QVERIFY(window.Label28->isHidden());
    window.ProtTab->selectionModel()->setCurrentIndex(
        window.ProtTab->model()->index(0, 0), QItemSelectionModel::NoUpdate);
    const QMap<QString, QByteArray> files = fixture.files();
    fixture.answers = {MsgResult::Yes};
    window.DelMessung->click();
    QVERIFY(fixture.questions.isEmpty());
    CompareFiles(fixture.files(), files);
}

// The measurement file of a test running under a number recorded before stays when the old record
// is deleted.
// While another program holds the protocol file, a deletion waits, then changes nothing and
// says why.
void StoredTestsTest::noDeletionWhileAnotherProgramHoldsTheProtocol()
{
    StoredFixture fixture;
    Form1& window = *fixture.window;
    fixture.load(File({Record(3, 1), Record(12, 1)}), {"No-00003-1.CSV", "No-00012-1.CSV"});
    const FileLock otherProgram(fixture.folder.filePath("Serie7.CSV"), 0);
    const QMap<QString, QByteArray> files = fixture.files();
    fixture.select(2);
    fixture.answers = {MsgResult::Yes, MsgResult::Ok};
    window.DelMessung->click();
    QCOMPARE(fixture.questions.size(), 2);
    QVERIFY(fixture.questions.last().text.contains("von einem anderen Programm benutzt"));
    CompareFiles(fixture.files(), files);
}

// Another program deletes a test while the question is open, and the table follows it: the row
// now shows another test, which the user did not confirm, so nothing is deleted.
void StoredTestsTest::tableChangedWhileAskedDeletesNothing()
{
    StoredFixture fixture;
    Form1& window = *fixture.window;
    const QStringList files = {"No-00003-1.CSV", "No-00012-1.CSV", "No-00007-1.CSV"};
    fixture.load(File({Record(3, 1), Record(12, 1), Record(7, 1)}), files);
    const QByteArray changed = File({Record(12, 1), Record(7, 1)});
    fixture.whileAsking = [&] {
        fixture.write("Serie7.CSV", changed);
        window.ReloadProtocolFile();
    };
    fixture.select(2);
    fixture.answers = {MsgResult::Yes, MsgResult::Ok};
    window.DelMessung->click();
    QCOMPARE(fixture.files().value("Serie7.CSV"), changed);
    for (const QString& name : files)
        QVERIFY(fixture.files().contains("Serie7/" + name));
}

// A measurement file that a running program holds is never deleted, not even with its record.
void StoredTestsTest::fileOfARunningTestKept()
{
    StoredFixture fixture;
    Form1& window = *fixture.window;
    const QByteArray protocol = File({Record(3, 1), Record(12, 1), Record(7, 1)});
    fixture.load(protocol, {"No-00003-1.CSV", "No-00012-1.CSV", "No-00007-1.CSV"});
    const FileLock otherProgram(fixture.folder.filePath("Serie7/No-00012-1.CSV"), 0);
    QVERIFY(otherProgram.IsHeld());
    QMap<QString, QByteArray> files = fixture.files();
    fixture.select(2);
    fixture.answers = {MsgResult::Yes};
    window.DelMessung->click();
    QCOMPARE(fixture.questions.size(), 1);
    files["Serie7.CSV"] = File({Record(3, 1), Record(7, 1)});
    files["Serie7.TMP"] = protocol;
    CompareFiles(fixture.files(), files);
}

// A record with characters the code page lacks is shown as the file holds it, so the row of a test
// just ended still matches its record and can be deleted.
void StoredTestsTest::recordJustWrittenDeleted()
{
    StoredFixture fixture;
    Form1& window = *fixture.window;
    const QByteArray protocol = File({Record(3, 1)});
    fixture.load(protocol, {"No-00003-1.CSV"});
    window.Text1->setText("Масло 😀");
    fixture.receive("*S11\r");
    fixture.receive("*E11\r");
    QCOMPARE(Column(window.ProtTab, 0), (QStringList {"00003", "00004"}));
    QVERIFY(fixture.files().contains("Serie7/No-00004-1.CSV"));
    fixture.questions.clear();
    fixture.select(2);
    fixture.answers = {MsgResult::Yes};
    window.DelMessung->click();
    QCOMPARE(fixture.questions.size(), 1);
    QCOMPARE(fixture.files().value("Serie7.CSV"), protocol);
    QVERIFY(!fixture.files().contains("Serie7/No-00004-1.CSV"));
}

// A link in the place of the backup is replaced by the backup; the file it points to stays as it
// was.
void StoredTestsTest::linkedBackupReplaced()
{
    StoredFixture fixture;
    Form1& window = *fixture.window;
    fixture.write("anderswo.txt", OldBackup);
    QVERIFY(QFile::link(
        fixture.folder.filePath("anderswo.txt"), fixture.folder.filePath("Serie7.TMP")));
    const QByteArray protocol = File({Record(3, 1), Record(12, 1)});
    fixture.load(protocol, {"No-00003-1.CSV", "No-00012-1.CSV"});
    QMap<QString, QByteArray> files = fixture.files();
    fixture.select(1);
    fixture.answers = {MsgResult::Yes};
    window.DelMessung->click();
    QCOMPARE(fixture.questions.size(), 1);
    QVERIFY(!QFileInfo(fixture.folder.filePath("Serie7.TMP")).isSymLink());
    files["Serie7.CSV"] = File({Record(12, 1)});
    files["Serie7.TMP"] = protocol;
    QVERIFY(files.remove("Serie7/No-00003-1.CSV") == 1);
    CompareFiles(fixture.files(), files);
    QCOMPARE(files.value("anderswo.txt"), OldBackup);
}

void StoredTestsTest::unrecordedTestsOffered_data()
{
    QTest::addColumn<QList<int>>("answers"); // to the question; empty: closed without an answer
    QTest::addColumn<QStringList>("numbers"); // column 0 of the table afterwards
    QTest::addColumn<bool>("newTestInThePlace"); // of No-00002-1.CSV, before the next selection
    QTest::addColumn<int>("questionsAtTheNextSelection");

    QTest::newRow("Yes") << QList<int> {MsgResult::Yes} << QStringList {"00001", "00002", "00003"}
                         << false << 0;
    QTest::newRow("No: never asked again")
        << QList<int> {MsgResult::No} << QStringList {"00001"} << false << 0;
    QTest::newRow("No, then another test under a declined name")
        << QList<int> {MsgResult::No} << QStringList {"00001"} << true << 1;
    QTest::newRow("closed: asked again") << QList<int> {} << QStringList {"00001"} << false << 1;
}

// Measurement files that no record names (a program ended while they ran) are offered once the
// protocol is selected; the records are added from their header lines in number order. A file that
// a program writes now, or whose header cannot be read, is not offered.
void StoredTestsTest::unrecordedTestsOffered()
{
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, numbers);
    QFETCH(bool, newTestInThePlace);
    QFETCH(int, questionsAtTheNextSelection);

    StoredFixture fixture;
    Form1& window = *fixture.window;
    QVERIFY(QDir(fixture.folder.path()).mkdir("Serie7"));
    const MeasurementHeader crashed {
        "Absturz; Öl", "A-7", "C-1", "Bem", "", "Ende", "06.12.2026", "09:15", " 10 Sekunden"};
    const MeasurementHeader earlier {"Früher", "", "", "", "", "", "05.12.2026", "08:00", "x"};
    const auto measurementFile = [&](const QString& name, const MeasurementHeader& header) {
        fixture.write("Serie7/" + name,
            EncodeAnsi(HeaderLines(header, ";").join("\r\n") + "\r\n00:00:10 ; 49.0;  0.0\r\n"));
    };
    measurementFile("No-00001-1.CSV", earlier);
    measurementFile("No-00003-1.CSV", crashed);
    measurementFile("No-00002-1.CSV", earlier);
    measurementFile("No-00004-1.CSV", crashed);
    fixture.write("Serie7/No-00005-1.CSV", "kein Kopf\r\n");
    const FileLock running(fixture.folder.filePath("Serie7/No-00004-1.CSV"), 0);
    fixture.answers = answers;
    fixture.write("Serie7.CSV", File({Record(1, 1)}));
    window.ProtocolFileName = "Serie7";
    window.ShowStorageFolder();

    QCOMPARE(fixture.questions.size(), 1);
    QVERIFY(fixture.questions.first().text.contains("No-00002-1.CSV, No-00003-1.CSV\r\n"));
    // Escape and closing answer Cancel, never the No that is remembered.
    QCOMPARE(fixture.questions.first().style, MsgStyle::YesNoCancel + MsgStyle::Question);
    QCOMPARE(Column(window.ProtTab, 0), numbers);
    if (numbers.size() == 3) {
        const QByteArray added = EncodeAnsi(
            TestRecord({2, 1, earlier}, ';') + "\r\n" + TestRecord({3, 1, crashed}, ';') + "\r\n");
        QCOMPARE(fixture.files().value("Serie7.CSV"), File({Record(1, 1)}) + added);
    }
    fixture.questions.clear();
    if (newTestInThePlace)
        measurementFile("No-00002-1.CSV", {"Neu", "", "", "", "", "", "05.12.2026", "09:30", "x"});
    window.ShowStorageFolder();
    QCOMPARE(fixture.questions.size(), questionsAtTheNextSelection);
}

QTEST_MAIN(StoredTestsTest)
#include "test_stored_tests.moc"
