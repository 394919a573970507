// Stored tests: deleting a record with its measurement file, the measurement files that no record
// names; and the window's double click, deletion and question.
#include "platform/ansi_codec.h"
#include "platform/file_lock.h"
#include "platform/folder_list.h"
#include "platform/picture_box.h"
#include "records/protocol_register.h"
#include "records_driver.h"

class StoredTestsTest : public QObject {
    Q_OBJECT

private slots:
    void deleting_data();
    void deleting();
    void unrecordedTests();
    void storedTestsOnTheWindow();
};

void StoredTestsTest::deleting_data()
{
    QTest::addColumn<QByteArray>("protocol");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("change"); // after loading; else the protocol file written anew
    QTest::addColumn<QByteArray>("changed"); // that file; null: as loaded
    QTest::addColumn<DeleteOutcome>("outcome");
    QTest::addColumn<QByteArray>("expected"); // the protocol file after a deletion
    QTest::addColumn<QString>("removed"); // the measurement file deleted

    const QByteArray one = RecordLine(3), two = RecordLine(12, 2),
                     three = RecordLine(7, 1, "Dritte; 5 € " + QString(QChar(0x81)));
    const QByteArray loaded = Protocol({one, two, three}), none;
    const QString twelve = "No-00012-2.CSV";
    const auto row = [&](const char* name, const QByteArray& protocol, int row,
                         const QString& change, const QByteArray& changed, DeleteOutcome outcome,
                         const QByteArray& expected, const QString& removed) {
        QTest::newRow(name) << protocol << row << change << changed << outcome << expected
                            << removed;
    };
    const DeleteOutcome deleted = DeleteOutcome::Deleted, changedMeanwhile = DeleteOutcome::Changed;
    row("2nd of 3", loaded, 2, "", none, deleted, Protocol({one, three}), twelve);
    row("blank lines are no rows, and stay", Protocol({one, "", two, "  ", three}), 3, "", none,
        deleted, Protocol({one, "", two, "  "}), "No-00007-1.CSV");
    row("LF, last line without end", Protocol({one, two, three}, "\n", false), 2, "", none, deleted,
        Protocol({one, three}, "\n", false), twelve);
    row("CR", Protocol({one, two, three}, "\r"), 2, "", none, deleted, Protocol({one, three}, "\r"),
        twelve);
    row("number used again: its file kept", Protocol({one, two, RecordLine(12, 2, "Wieder")}), 2,
        "", none, deleted, Protocol({one, RecordLine(12, 2, "Wieder")}), "");
    row("a program still writes its file", loaded, 2, "running", none, deleted,
        Protocol({one, three}), "");
    row("backup place is a link", loaded, 2, "link", none, deleted, Protocol({one, three}), twelve);
    row("record appended meanwhile", loaded, 2, "", Protocol({one, two, three, RecordLine(9)}),
        deleted, Protocol({one, three, RecordLine(9)}), twelve);
    row("line inserted before", loaded, 2, "", Protocol({RecordLine(9), one, two, three}),
        changedMeanwhile, none, "");
    row("record edited", loaded, 2, "", Protocol({one, RecordLine(12, 2, "anders"), three}),
        changedMeanwhile, none, "");
    row("file removed", loaded, 2, "removed", none, DeleteOutcome::Unreadable, none, "");
    row("another program holds the file", loaded, 2, "locked", none, DeleteOutcome::Locked, none,
        "");
}

// Only the record's own line leaves the protocol file, and only while it still is the record
// confirmed; every other byte stays. The file as it was is kept as ".TMP", and the test's
// measurement file goes unless a record or a program still uses it. A refused deletion changes
// no file, not even the backup of the last deletion.
void StoredTestsTest::deleting()
{
    QFETCH(QByteArray, protocol);
    QFETCH(int, row);
    QFETCH(QString, change);
    QFETCH(QByteArray, changed);
    QFETCH(DeleteOutcome, outcome);
    QFETCH(QByteArray, expected);
    QFETCH(QString, removed);

    const QByteArray oldBackup = "alte Sicherung\r\n";
    SeriesFolder series;
    series.put("Serie7.CSV", protocol);
    for (const char* file : {"No-00003-1", "No-00012-1", "No-00012-2", "No-00007-1"})
        series.put(QString("Serie7/%1.CSV").arg(file), MeasurementBytes());
    if (change == "link") {
        series.put("anderswo.txt", oldBackup);
        QVERIFY(QFile::link(series.path("anderswo.txt"), series.path("Serie7.TMP")));
    } else {
        series.put("Serie7.TMP", oldBackup);
    }
    ProtocolRegister records;
    QVERIFY(records.LoadProtocolFile(series.protocol, series.measurements));
    const QStringList confirmed = RecordCells(records.Records().at(row - 1));
    if (!changed.isNull())
        series.put("Serie7.CSV", changed);
    if (change == "removed")
        QVERIFY(QFile::remove(series.protocol));
    std::optional<FileLock> otherProgram;
    if (change == "running" || change == "locked")
        otherProgram.emplace(
            change == "locked" ? series.protocol : series.path("Serie7/No-00012-2.CSV"), 0);
    QMap<QString, QByteArray> after = series.files();
    QSignalSpy changedElsewhere(&records, &ProtocolRegister::changedElsewhere);

    QCOMPARE(records.DeleteRecord(row, confirmed), outcome);
    if (outcome == DeleteOutcome::Deleted) {
        after["Serie7.TMP"] = after.value("Serie7.CSV");
        after["Serie7.CSV"] = expected;
        if (!removed.isEmpty())
            QCOMPARE(after.remove("Serie7/" + removed), 1);
    }
    QCOMPARE(series.files(), after);
    QVERIFY(!QFileInfo(series.path("Serie7.TMP")).isSymLink());
    // The records follow without a read as a fresh read gives them, unless the file had changed.
    if (outcome != DeleteOutcome::Deleted)
        return;
    QCOMPARE(records.ShowsFileAsItIs(series.protocol, series.measurements), changed.isNull());
    // A file kept while a program wrote it is unrecorded once that program is done.
    otherProgram.reset();
    ProtocolRegister fresh;
    QVERIFY(fresh.LoadProtocolFile(series.protocol, series.measurements));
    if (changed.isNull()) {
        // Its own deletion is no change from elsewhere: the file is not read again.
        QTest::qWait(50);
        QVERIFY(changedElsewhere.isEmpty());
        QCOMPARE(records.Records(), fresh.Records());
        QCOMPARE(records.NextTestNumber(0), fresh.NextTestNumber(0));
        QCOMPARE(records.FindUnrecordedTests(series.protocol, series.measurements).size(),
            fresh.FindUnrecordedTests(series.protocol, series.measurements).size());
    }
}

// Measurement files that no record names, that no program writes and whose header reads are
// recorded from their header lines in number order, or declined: a declined file is not offered
// again, but a later test under its name is, even one of the same day.
void StoredTestsTest::unrecordedTests()
{
    SeriesFolder series;
    const QString protocol = series.protocol, folder = series.measurements;
    const MeasurementHeader crashed {
        "Absturz; Öl", "A-7", "C-1", "Bem", "", "Ende", "06.12.2026", "09:15", " 10 Sekunden"};
    const MeasurementHeader earlier {"Früher", "", "", "", "", "", "05.12.2026", "08:00", "x"};
    QCOMPARE(WriteUnrecordedRecords(protocol, folder, ';', {}), AppendOutcome::Locked);
    series.put("Serie7.CSV", Protocol({RecordLine(1)}, "\r\n", false));
    for (const int number : {1, 3, 2, 4})
        series.put(QString("Serie7/No-0000%1-1.CSV").arg(number),
            MeasurementBytes(number == 3 ? crashed : earlier, 1));
    series.put("Serie7/No-00005-1.CSV", "kein Kopf\r\n");
    const FileLock running(series.path("Serie7/No-00004-1.CSV"), 0);

    const std::vector<UnrecordedTest> found = FindUnrecordedTests(protocol, folder);
    QCOMPARE(found.size(), 2u);
    QCOMPARE(found[0].name + " " + found[1].name, "00002-1 00003-1");
    // A file found while the question was open is not part of the answer.
    series.put("Serie7/No-00006-1.CSV", MeasurementBytes(earlier, 1));
    const QSet<QString> asked {"00002-1", "00003-1"};
    QCOMPARE(WriteUnrecordedRecords(protocol, folder, ',', asked), AppendOutcome::Added);
    QCOMPARE(BytesOf(protocol),
        Protocol({RecordLine(1),
            EncodeAnsi(
                TestRecord({2, 1, earlier}, ';') + "\r\n" + TestRecord({3, 1, crashed}, ';'))}));
    QCOMPARE(FindUnrecordedTests(protocol, folder).size(), 1u);

    series.put("Serie7.CSV", Protocol({RecordLine(1)}));
    RememberDeclinedTests(protocol, folder, asked);
    const std::vector<UnrecordedTest> left = FindUnrecordedTests(protocol, folder);
    QCOMPARE(left.size(), 1u);
    QCOMPARE(left[0].name, "00006-1");
    MeasurementHeader later = earlier;
    later.time = "08:30";
    series.put("Serie7/No-00002-1.CSV", MeasurementBytes(later, 1));
    QCOMPARE(FindUnrecordedTests(protocol, folder).size(), 2u);
}

// Measurement files that no record names are offered when the protocol file is selected; a No
// declines them for good. A double click shows a test's curve and says so, a second one hides it
// without a word; a missing measurement file is named. DelMessung is offered for a chosen row only;
// it asks, and the register's deletion reaches the table, the curves shown staying shown. A file
// changed meanwhile is reported and shown as it is now.
void StoredTestsTest::storedTestsOnTheWindow()
{
    SeriesFolder series;
    series.put("Serie7.CSV",
        Protocol({RecordLine(3, 1, "Probe A"), RecordLine(12), RecordLine(7), RecordLine(5)}));
    for (const char* file :
        {"No-00003-1.CSV", "No-00012-1.CSV", "No-00007-1.CSV", "No-00002-1.CSV"})
        series.put(QString("Serie7/") + file, MeasurementBytes(TestTexts(2)));
    WindowFixture fixture({1}, {}, {.startFolder = series.root.path() + "/Serie7"});
    fixture.answers = {MsgResult::No};
    FolderList& folders = Find<FolderList>(*fixture.window, "Dir1");
    QVERIFY(folders.setPath(series.root.path()));
    QCOMPARE(fixture.questions.size(), 1);
    QCOMPARE(fixture.questions[0].title, "Messungen ohne Protokolleintrag");
    QVERIFY(fixture.questions[0].text.contains("\r\nNo-00002-1.CSV\r\n"));
    // Escape and closing answer Cancel, never the No that is remembered.
    QCOMPARE(fixture.questions[0].style, MsgStyle::YesNoCancel + MsgStyle::Question);
    emit folders.LostFocus();
    QCOMPARE(fixture.questions.size(), 1);

    FlexGrid& table = Find<FlexGrid>(*fixture.window, "ProtTab");
    FlexGrid& shown = Find<FlexGrid>(*fixture.window, "WahlTab");
    const auto select = [&table](int row, bool twice = false) {
        table.setRow(row);
        emit twice ? table.DblClick() : table.Click();
    };
    PictureBox& graph = Find<PictureBox>(*fixture.window, "Grafik0");
    const auto picture = [&graph] { return graph.PictureAt({800, 600}, 1); };
    const QImage axes = picture();
    select(1, true);
    QVERIFY(picture() != axes);
    QCOMPARE(fixture.questions[1].title, "Die Messkurve wurde erstellt ");
    QVERIFY(fixture.questions[1].text.startsWith(
        "Die einzelnen Werte der Messung: 00003-1 ,  vom " + QString("Probe A").leftJustified(30)));
    select(1, true);
    QCOMPARE(picture(), axes);
    select(4, true);
    QCOMPARE(fixture.questions.size(), 3);
    QCOMPARE(fixture.questions[2].title, "Messdatei fehlt");
    QVERIFY(fixture.questions[2].text.contains(series.measurements + "No-00005-1.CSV"));
    QCOMPARE(Column(shown, 2), QStringList(4, "0"));

    QPushButton& button = Find<QPushButton>(*fixture.window, "DelMessung");
    QVERIFY(button.isHidden());
    select(3, true);
    select(2);
    fixture.answers = {MsgResult::No, MsgResult::Yes};
    button.click();
    QCOMPARE(Column(table, 0), (QStringList {"00003", "00012", "00007", "00005"}));
    button.click();
    QCOMPARE(fixture.questions.size(), 6);
    QCOMPARE(fixture.questions[5].title, "Messung löschen ");
    QCOMPARE(fixture.questions[5].style,
        MsgStyle::YesNo + MsgStyle::Question + MsgStyle::DefaultButton2);
    QCOMPARE(Column(table, 0), (QStringList {"00003", "00007", "00005"}));
    QCOMPARE(Column(shown, 2), (QStringList {"0", "-1", "0"}));
    QVERIFY(button.isHidden());

    select(1);
    fixture.answers = {MsgResult::Yes, MsgResult::Ok};
    fixture.whileAsking = [&] {
        fixture.whileAsking = nullptr;
        series.put("Serie7.CSV", Protocol({RecordLine(7)}));
    };
    button.click();
    QVERIFY(fixture.questions.last().text.contains("inzwischen verändert"));
    QCOMPARE(Column(table, 0), QStringList {"00007"});
}

QTEST_MAIN(StoredTestsTest)
#include "test_stored_tests.moc"
