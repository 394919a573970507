// The protocol register: reading a protocol file, the next test number, the record of a finished
// test, other programs' changes, making and listing protocol files; and the window showing them.
#include "platform/folder_list.h"
#include "records/protocol_register.h"
#include "records_driver.h"
#include "run/test_run.h"

#include <QGroupBox>
#include <cstdio>

namespace {

void Append(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append) && file.write(bytes) == bytes.size());
}

} // namespace

class RecordsTest : public QObject {
    Q_OBJECT

private slots:
    void loading_data();
    void loading();
    void appending_data();
    void appending();
    void changesElsewhereAreSignalled();
    void protocolFiles_data();
    void protocolFiles();
    void windowShowsTheRecords();
};

void RecordsTest::loading_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QStringList>("files"); // in the measurement folder
    QTest::addColumn<int>("running"); // the highest test number running here
    QTest::addColumn<QString>("numbers"); // column 0 of the records
    QTest::addColumn<int>("next"); // 0: none

    const QByteArrayList three = {RecordLine(3), RecordLine(12), RecordLine(7)};
    const QStringList none;
    QTest::newRow("3, 12, 7") << Protocol(three) << none << 0 << "00003 00012 00007" << 13;
    QTest::newRow("header only") << Protocol({}) << none << 0 << "" << 1;
    QTest::newRow("empty file") << QByteArray("") << none << 0 << "" << 1;
    QTest::newRow("no file") << QByteArray() << none << 0 << "" << 0;
    // Lines of nothing or blanks are no records; a line without a number is one, numbered 0.
    QTest::newRow("blank lines, no numbers")
        << Protocol({"abcde-1;", "", RecordLine(9), "   ", "x"}) << none << 0 << "abcde 00009 x    "
        << 10;
    QTest::newRow("test 20 runs, highest 5")
        << Protocol({RecordLine(5)}) << none << 20 << "00005" << 21;
    // A measurement file, a kept older copy or a lock left without its file keeps its number.
    QTest::newRow("numbers of files taken")
        << Protocol({RecordLine(5)})
        << QStringList {"No-00006-1.CSV", "alt2-no-00007-2.csv", "No-00008-1.CSV.lock"} << 0
        << "00005" << 9;
}

// Records in file order, cut into cells; the next number one above the highest recorded or
// running, never one whose file exists. Nothing for a file that cannot be read.
void RecordsTest::loading()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, files);
    QFETCH(int, running);
    QFETCH(QString, numbers);
    QFETCH(int, next);

    SeriesFolder series;
    if (!content.isNull())
        series.put("Serie7.CSV", content);
    for (const QString& file : files)
        series.put("Serie7/" + file, "x");
    ProtocolRegister records;
    QCOMPARE(records.LoadProtocolFile(series.protocol, series.measurements), next > 0);
    QStringList shown;
    for (const QString& record : records.Records())
        shown << RecordCell(record, 0);
    QCOMPARE(shown.join(' '), numbers);
    QCOMPARE(records.NextTestNumber(running).value_or(0), next);
}

void RecordsTest::appending_data()
{
    QTest::addColumn<QByteArray>("loaded");
    QTest::addColumn<QString>("change"); // after loading
    QTest::addColumn<QChar>("chosen");
    QTest::addColumn<QByteArray>("file"); // the record's protocol file afterwards
    QTest::addColumn<AppendOutcome>("outcome");

    const QByteArray eleven = RecordLine(11), twelve = RecordLine(12) + "\r\n";
    const QByteArray loaded = Protocol({eleven});
    QTest::newRow("; file, , chosen")
        << loaded << "" << QChar(',') << loaded + twelve << AppendOutcome::Added;
    QTest::newRow("last line without end") << Protocol({eleven}, "\r\n", false) << "" << QChar(';')
                                           << loaded + twelve << AppendOutcome::Added;
    QTest::newRow("file removed: made anew")
        << loaded << "removed" << QChar(',')
        << RecordTableHeaderLine(',').toLatin1() + "\r\n" + RecordLine(12, 1, "Probe", ',') + "\r\n"
        << AppendOutcome::ReloadNeeded;
    QTest::newRow("file emptied: header first")
        << loaded << "emptied" << QChar(',')
        << RecordTableHeaderLine(',').toLatin1() + "\r\n" + RecordLine(12, 1, "Probe", ',') + "\r\n"
        << AppendOutcome::ReloadNeeded;
    QTest::newRow("another program appended")
        << loaded << "appended" << QChar(';') << loaded + eleven + "\r\n" + twelve
        << AppendOutcome::ReloadNeeded;
    QTest::newRow("another protocol file")
        << loaded << "elsewhere" << QChar(';') << loaded + twelve << AppendOutcome::Elsewhere;
    QTest::newRow("disk full") << loaded << "full" << QChar(';') << loaded << AppendOutcome::Failed;
}

// The record keeps the separator of its file; a removed file is made anew with the captions of the
// record table and the chosen separator. The records grow only by a record written to the file as
// loaded.
void RecordsTest::appending()
{
    QFETCH(QByteArray, loaded);
    QFETCH(QString, change);
    QFETCH(QChar, chosen);
    QFETCH(QByteArray, file);
    QFETCH(AppendOutcome, outcome);

    SeriesFolder series;
    series.put("Serie7.CSV", loaded);
    series.put("B.CSV", loaded);
    ProtocolRegister records;
    QVERIFY(records.LoadProtocolFile(series.protocol, series.measurements));
    const TestRecordTexts test {12, 1, TestTexts(12)};
    const QString path = change == "elsewhere" ? series.path("B.CSV") : series.protocol;
    if (change == "removed")
        QVERIFY(QFile::remove(series.protocol));
    if (change == "emptied")
        PutBytes(series.protocol, {});
    if (change == "appended")
        Append(series.protocol, RecordLine(11) + "\r\n");
    QSignalSpy changedElsewhere(&records, &ProtocolRegister::changedElsewhere);
    {
        const FileSizeLimit full(change == "full" ? loaded.size() : NoLimit);
        QCOMPARE(records.AppendTestRecord(path, test, chosen), outcome);
    }
    QCOMPARE(BytesOf(path), file);
    const bool added = outcome == AppendOutcome::Added;
    QCOMPARE(records.Records().size(), added ? 2 : 1);
    QCOMPARE(RecordCell(records.Records().back(), 2).trimmed(), added ? "Öl Nr. 12" : "Öl Nr. 11");
    QVERIFY(!added || !changedElsewhere.wait(50)); // its own record is no change from elsewhere
}

// Another program's record, a file changed in place at the same size, and one replaced whole by
// another tool at the same size, are followed; reading the file again watches it again.
void RecordsTest::changesElsewhereAreSignalled()
{
    SeriesFolder series;
    series.put("Serie7.CSV", Protocol({RecordLine(1)}));
    ProtocolRegister records;
    QSignalSpy changed(&records, &ProtocolRegister::changedElsewhere);
    QVERIFY(records.LoadProtocolFile(series.protocol, series.measurements));
    QVERIFY(records.ShowsFileAsItIs(series.protocol, series.measurements));
    // Rewritten in place at the same size: only the time of the change tells.
    QFile same(series.protocol);
    QVERIFY(
        same.open(QIODevice::ReadWrite) && same.seek(10) && same.write("X") == 1 && same.flush());
    QVERIFY(same.setFileTime(same.fileTime(QFileDevice::FileModificationTime).addSecs(1),
        QFileDevice::FileModificationTime));
    same.close();
    QVERIFY(!records.ShowsFileAsItIs(series.protocol, series.measurements));
    QTRY_VERIFY(!changed.isEmpty());
    changed.clear();
    series.put("Serie7.new", Protocol({RecordLine(1, 1, "Xrobe")}));
    QCOMPARE(::rename(qPrintable(series.path("Serie7.new")), qPrintable(series.protocol)), 0);
    QTRY_VERIFY(!changed.isEmpty());
    QVERIFY(records.LoadProtocolFile(series.protocol, series.measurements));
    QCOMPARE(RecordCell(records.Records()[0], 5).left(5), "Xrobe");
    changed.clear();
    Append(series.protocol, RecordLine(2) + "\r\n");
    QTRY_VERIFY(!changed.isEmpty());
}

void RecordsTest::protocolFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("existing"); // "file", "link" or "folder" of the name
    QTest::addColumn<qint64>("room"); // bytes a file may grow to
    QTest::addColumn<CreateOutcome>("outcome");

    const auto row = [](const char* name, const QString& protocol, const QString& existing,
                         qint64 room, CreateOutcome outcome) {
        QTest::newRow(name) << protocol << existing << room << outcome;
    };
    row("new", "Serie 8", "", NoLimit, CreateOutcome::Created);
    row("its folder exists", "Serie7", "folder", NoLimit, CreateOutcome::Created);
    row("name taken", "Serie7", "file", NoLimit, CreateOutcome::Exists);
    row("a link of that name", "Serie7", "link", NoLimit, CreateOutcome::Exists);
    row("disk full", "Serie 8", "", 10, CreateOutcome::Failed);
}

// A protocol file is made with its header and its measurement folder, or nothing is made. Only
// protocol files are listed: no measurement files, folders, nameless files, and no "c.csv" that
// the program's own name "c.CSV" would not reach.
void RecordsTest::protocolFiles()
{
    QFETCH(QString, name);
    QFETCH(QString, existing);
    QFETCH(qint64, room);
    QFETCH(CreateOutcome, outcome);

    SeriesFolder series;
    for (const char* file : {"A.CSV", "No-00001-1.CSV", ".CSV", " .CSV", "Z.txt", "Acsv", "c.csv"})
        series.put(file, "x");
    QVERIFY(QDir().mkdir(series.path("C.CSV")));
    if (existing == "file")
        series.put("Serie7.CSV", "alt;\r\n");
    if (existing == "link")
        QVERIFY(QFile::link(series.path("fehlt"), series.protocol));
    if (existing != "folder")
        QVERIFY(QDir().rmdir(series.measurements));
    const QMap<QString, QByteArray> before = series.files();
    {
        const FileSizeLimit full(room);
        QCOMPARE(MakeProtocolFile(series.folder, name, ','), outcome);
    }
    const bool created = outcome == CreateOutcome::Created;
    QCOMPARE(series.files().size(), before.size() + (created ? 1 : 0));
    QCOMPARE(QFileInfo(series.path(name)).isDir(), created || existing == "folder");
    if (created)
        QCOMPARE(BytesOf(series.path(name + ".CSV")), CreatedHeaderLine(',').toLatin1() + "\r\n");
    QCOMPARE(ProtocolFileNames(series.folder),
        QStringList({"A"}) + (created || existing == "file" ? QStringList {name} : QStringList()));
}

// The protocol file chosen fills the record table, its path and the next number. A finished
// test's record adds its row with its curve shown, once; one that cannot be written is reported.
// Another program's record is loaded and a higher number typed stays. A new protocol file is made
// and selected; an unusable name is refused.
void RecordsTest::windowShowsTheRecords()
{
    SeriesFolder series;
    series.put("A.CSV", Protocol({RecordLine(1)}));
    series.put("Serie7.CSV", Protocol({RecordLine(3), RecordLine(11)}));
    WindowFixture fixture({1}, {}, {.startFolder = series.root.path()});
    const Form1& window = *fixture.window;
    QComboBox& list = Find<QComboBox>(window, "TabProtDatei");
    FlexGrid& table = Find<FlexGrid>(window, "ProtTab");
    QLineEdit& number = Find<QLineEdit>(window, "LaufNr");
    QCOMPARE(list.currentText(), "A");
    table.setColumnWidth(2, 333);
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(Column(table, 0), (QStringList {"00003", "00011"}));
    // A width the user set stays; date, time and cycle show whole.
    QCOMPARE(table.columnWidth(2), 333);
    for (int column : {8, 9, 10})
        QVERIFY(table.columnWidth(column)
            > table.fontMetrics().horizontalAdvance(table.TextMatrix(1, column).trimmed()));
    QCOMPARE(Find<QLabel>(window, "LabelProt").text(), series.protocol);
    QCOMPARE(window.windowTitle(), "KALDURA - QTM – Serie7");
    QVERIFY(!window.windowIcon().pixmap(32).isNull());
    QCOMPARE(number.text(), " 12");

    Find<QLineEdit>(window, "Text1").setText("Motoröl");
    fixture.receive("*OK! RUN\r*S11\r*I00000010\r*A00000001230235\r*E11\r*E11\r");
    QCOMPARE(table.TextMatrix(3, 2).trimmed(), "Motoröl");
    QCOMPARE(Column(Find<FlexGrid>(window, "WahlTab"), 2), (QStringList {"0", "0", "-1"}));
    fixture.receive("*S11\r");
    {
        const FileSizeLimit full(BytesOf(series.protocol).size());
        fixture.receive("*E11\r");
    }
    QCOMPARE(fixture.questions.size(), 1);
    QCOMPARE(fixture.questions[0].title, "Messprotokoll: Test 13");
    QCOMPARE(Column(table, 0), (QStringList {"00003", "00011", "00012"}));

    number.setText("500");
    Append(series.protocol, RecordLine(13) + "\r\n");
    QTRY_COMPARE(table.Rows(), 5);
    QCOMPARE(Column(Find<FlexGrid>(window, "WahlTab"), 2), (QStringList {"0", "0", "-1", "0"}));
    QCOMPARE(number.text(), "500");
    emit Find<FolderList>(window, "Dir1").LostFocus();
    QCOMPARE(list.currentText(), "Serie7");

    Find<QPushButton>(window, "ButProtNeu").click();
    for (const char* name : {"a/b", "Serie 8"}) {
        Find<QLineEdit>(window, "ProtDat").setText(name);
        Find<QPushButton>(window, "ButOK").click();
    }
    QCOMPARE(fixture.questions.size(), 2);
    QCOMPARE(fixture.questions[1].title, "Fehler Protokoll-Dateiname ");
    QCOMPARE(list.currentText(), "Serie 8");
    QCOMPARE(number.text(), " 1");
    QVERIFY(Find<QGroupBox>(window, "Frame14").isHidden());
}

QTEST_MAIN(RecordsTest)
#include "test_records.moc"
