// The test records of a series on the window: making a protocol file, the record of each finished
// test, loading the record table, the list of protocol files and the selected test.
#include "platform/file_lock.h"
#include "platform/flex_grid.h"
#include "test_support.h"
#include "window/parameter_panel.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>

namespace {

const QByteArray CreatedHeader
    = "Test-Nr.;Produkt-Bezeichnung;Auftrags-Nr.;Chargen-Nr.;Bemerkung 1;"
      "Bemerkung 2;Bemerkung 3;Test-Datum;Test-Zeit;Messstufe;\r\n";
const QByteArray CaptionHeader = "Test-Nr.;Res.;Produkt-Bezeichnung;Auftrags-Nr.;Chargen-Nr.;"
                                 "Bemerkung 1 ;Bemerkung 2 ;Bemerkung 3 ;Datum;Zeit;Messszyklus;"
                                 "Reserve  ;;;;\r\n";
const QString NameErrorTitle = "Fehler Protokoll-Dateiname ";

// The line of test `number` at position 1 as the program writes it, the texts already fitted.
QByteArray Record(const QString& number, QChar sep, const QString& product,
    const QString& order = "", const QString& batch = "", const QString& remark = "")
{
    const QString s(sep);
    const QString record = number + "-1" + s + product.leftJustified(30) + s
        + order.leftJustified(30) + s + batch.leftJustified(14) + s + remark.leftJustified(30) + s
        + QString(30, ' ') + s + QString("Ende").leftJustified(30) + s + "06.12.2026  " + s
        + "10:30  " + s + " 10 Sekunden" + s + "  " + s;
    return record.toLatin1() + "\r\n";
}

struct GermanLocale {
    ScopedLocale german {QLocale(QLocale::German, QLocale::Germany)};
};

// A window whose storage folder is the fixture's temporary folder, with the cycle " 10 Sekunden"
// and the third remark "Ende" that Record() writes.
struct RecordsFixture : GermanLocale, WindowFixture {
    RecordsFixture()
    {
        Choose(window->MessZyklusTab, 1);
        window->Bem3->setText("Ende");
    }

    void write(const QString& name, const QByteArray& content) const
    {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    QByteArray bytes(const QString& name) const
    {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The protocol file "name" with its measurement folder, listed and selected.
    void select(const QString& name, const QByteArray& content)
    {
        write(name + ".CSV", content);
        QDir(folder.path()).mkdir(name);
        window->ProtocolFileName = name;
        window->ShowStorageFolder();
    }
    // Every file and folder below the storage folder with its bytes.
    QStringList snapshot() const
    {
        QStringList items;
        QDirIterator entries(folder.path(),
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
            QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QFileInfo entry(entries.next());
            const QString name = QDir(folder.path()).relativeFilePath(entry.filePath());
            items << name + "=" + (entry.isDir() ? "<folder>" : QString::fromLatin1(bytes(name)));
        }
        items.sort();
        return items;
    }
    QStringList column(FlexGrid* grid, int col) const
    {
        QStringList cells;
        for (int row = 1; row < grid->Rows(); ++row)
            cells << grid->TextMatrix(row, col);
        return cells;
    }
};

} // namespace

class RecordsTest : public QObject {
    Q_OBJECT

private slots:
    void newProtocolFile_data();
    void newProtocolFile();
    void recordOfAFinishedTest_data();
    void recordOfAFinishedTest();
    void oneRecordPerTest_data();
    void oneRecordPerTest();
    void recordAppendedToAChangedFile_data();
    void recordAppendedToAChangedFile();
    void loading_data();
    void loading();
    void listing_data();
    void listing();
    void userChoiceSurvivesARefresh_data();
    void userChoiceSurvivesARefresh();
    void selectedTest_data();
    void selectedTest();
    void twoProgramsShareOneProtocol();
    void protocolHeldByAnotherProgram();
};

void RecordsTest::newProtocolFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("existing"); // "file" NAME.CSV, "folder" NAME
    QTest::addColumn<bool>("created");

    QTest::newRow("blank within") << "Serie 7" << QString() << true;
    QTest::newRow("umlauts") << "Prüfung-ä" << QString() << true;
    QTest::newRow("measurement folder exists") << "Serie7" << QString("folder") << true;
    QTest::newRow("name taken") << "Serie7" << QString("file") << false;
    for (const char* name : {"", "   ", "a/b", "a\\b", "..", "x:y", "a?b", "CON", "com1",
             "lpt9.txt", "Serie7 ", "Serie7.", "No-123", "tab\there"})
        QTest::addRow("refused \"%s\"", name) << QString(name) << QString() << false;
}

// The header of a new file uses the separator chosen, which its records then keep. A name that is
// taken or unusable is refused with a message and nothing on disk changes.
void RecordsTest::newProtocolFile()
{
    QFETCH(QString, name);
    QFETCH(QString, existing);
    QFETCH(bool, created);

    RecordsFixture fixture;
    Form1& window = *fixture.window;
    window.parameters->DatenTrenn->setCurrentIndex(1);
    if (existing == "file")
        fixture.write(name + ".CSV", "alt;\r\n");
    else if (existing == "folder")
        QVERIFY(QDir(fixture.folder.path()).mkdir(name));
    window.ProtocolFileName = "Vorher";
    window.LaufNr->setText("   42");
    const QStringList before = fixture.snapshot();

    window.ButProtNeu->click();
    QVERIFY(!window.Frame14->isHidden());
    window.ProtDat->setText(name);
    window.ButOK->click();
    if (created) {
        QVERIFY(fixture.questions.isEmpty());
        QCOMPARE(fixture.bytes(name + ".CSV"), QByteArray(CreatedHeader).replace(';', ','));
        QVERIFY(QFileInfo(fixture.folder.filePath(name)).isDir());
        QCOMPARE(window.TabProtDatei->currentText(), name);
        QCOMPARE(window.ProtocolFileName, name);
        QVERIFY(window.Frame14->isHidden());
        QCOMPARE(window.LaufNr->text(), QString(" 1"));
        QCOMPARE(window.LabelProt->text(), fixture.folder.filePath(name + ".CSV"));
    } else {
        QCOMPARE(fixture.questions.size(), 1);
        QCOMPARE(fixture.questions.first().title, NameErrorTitle);
        QVERIFY(fixture.questions.first().text.contains(name));
        QCOMPARE(fixture.snapshot(), before);
        QCOMPARE(window.ProtocolFileName, QString("Vorher"));
        QCOMPARE(window.TabProtDatei->count(), 0);
        QCOMPARE(window.LaufNr->text(), QString("   42"));
    }
}

void RecordsTest::recordOfAFinishedTest_data()
{
    QTest::addColumn<QChar>("fileSeparator"); // of the record already in the file
    QTest::addColumn<int>("chosen"); // index of DatenTrenn
    QTest::addColumn<QStringList>("texts"); // product, order, batch, remark 1
    QTest::addColumn<QStringList>("fields"); // the same as written
    QTest::addColumn<bool>("editedWhileRunning");

    const QStringList texts
        = {"Motoröl 15W-40; Gebinde 5 l, Probe;", "A;1,2", "Charge;2026,B-17", "Bem; mit, Zeichen"};
    QTest::newRow("; long name, separators") << QChar(';') << 0 << texts
                                             << QStringList {"Motoröl 15W-40, Gebinde 5 l, P",
                                                    "A,1,2", "Charge,2026,B-", "Bem, mit, Zeichen"}
                                             << false;
    QTest::newRow(", file while ; is chosen") << QChar(',') << 0 << texts
                                              << QStringList {"Motoröl 15W-40; Gebinde 5 l; P",
                                                     "A;1;2", "Charge;2026;B-", "Bem; mit; Zeichen"}
                                              << false;
    QTest::newRow("; texts edited while running")
        << QChar(';') << 0 << QStringList {"Öl", "A-77", "CH 5", "ß"}
        << QStringList {"Öl", "A-77", "CH 5", "ß"} << true;
    QTest::newRow("; characters beyond the code page")
        << QChar(';') << 0 << QStringList {"Probe 😀 Öl", "𝟙𝟚𝟛", "Масло", "Bem"}
        << QStringList {"Probe ? Öl", "???", "?????", "Bem"} << false;
    QTest::newRow("; file while , is chosen")
        << QChar(';') << 1 << QStringList {"Öl", "A-77", "CH 5", "ß"}
        << QStringList {"Öl", "A-77", "CH 5", "ß"} << true;
}

// The record follows the records loaded before, with their separator; its row is added to both
// grids and its curve shown.
void RecordsTest::recordOfAFinishedTest()
{
    QFETCH(QChar, fileSeparator);
    QFETCH(int, chosen);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, fields);
    QFETCH(bool, editedWhileRunning);

    RecordsFixture fixture;
    Form1& window = *fixture.window;
    const QByteArray earlier = CreatedHeader + Record("00011", fileSeparator, "Alt");
    fixture.select("Serie7", earlier);
    window.parameters->DatenTrenn->setCurrentIndex(chosen);
    window.Text1->setText(texts[0]);
    window.Text2->setText(texts[1]);
    window.Text3->setText(texts[2]);
    window.Bem1->setText(texts[3]);
    fixture.receive("*S11\r*I00000010\r*A00000001230235\r");
    if (editedWhileRunning) {
        for (QLineEdit* text : {window.Text1, window.Text2, window.Text3, window.Bem1, window.Bem3})
            text->setText("nächste Probe");
    }
    fixture.receive("*E11\r");

    QCOMPARE(fixture.bytes("Serie7.CSV"),
        earlier + Record("00012", fileSeparator, fields[0], fields[1], fields[2], fields[3]));
    QCOMPARE(fixture.column(window.ProtTab, 0), (QStringList {"00011", "00012"}));
    QCOMPARE(window.ProtTab->TextMatrix(2, 2), fields[0].leftJustified(30));
    QCOMPARE(window.ProtTab->TextMatrix(2, 5), fields[3].leftJustified(30));
    QCOMPARE(fixture.column(window.WahlTab, 0), (QStringList {"00011", "00012"}));
    QCOMPARE(fixture.column(window.WahlTab, 2), (QStringList {"0", "-1"}));
}

void RecordsTest::oneRecordPerTest_data()
{
    QTest::addColumn<QString>("before"); // "idle", "running", "stopped" (by the Stop button)
    QTest::addColumn<QString>("obstacle"); // protocol file "removed", disk "full", a "folder"
    QTest::addColumn<int>("endings"); // "*E11" replies
    QTest::addColumn<QByteArray>("file"); // the protocol file afterwards
    QTest::addColumn<int>("messages");

    const QByteArray first = Record("00001", ';', "");
    QTest::newRow("*E11 twice") << "running" << QString() << 2 << CreatedHeader + first << 0;
    QTest::newRow("Stop, then *E11") << "stopped" << QString() << 1 << CreatedHeader + first << 0;
    QTest::newRow("*E11 while idle") << "idle" << QString() << 1 << CreatedHeader << 0;
    QTest::newRow("file removed") << "running" << QString("removed") << 1
                                  << QByteArray(CaptionHeader).replace(';', ',')
            + Record("00001", ',', "")
                                  << 0;
    QTest::newRow("disk full") << "running" << QString("full") << 1 << CreatedHeader << 1;
    QTest::newRow("file became a folder")
        << "running" << QString("folder") << 1 << QByteArray() << 1;
}

// One record per test, and rows mirror the file's records: a record that is not written gets no
// row and is reported. Records keep the separator of their file, whatever is chosen now (","); a
// removed file is made anew with the captions of the record table and the chosen separator.
void RecordsTest::oneRecordPerTest()
{
    QFETCH(QString, before);
    QFETCH(QString, obstacle);
    QFETCH(int, endings);
    QFETCH(QByteArray, file);
    QFETCH(int, messages);

    RecordsFixture fixture;
    Form1& window = *fixture.window;
    fixture.select("Serie7", CreatedHeader);
    window.parameters->DatenTrenn->setCurrentIndex(1);
    if (before != "idle")
        fixture.receive("*S11\r");
    if (before == "stopped")
        window.Start_Click(1);
    if (obstacle == "removed" || obstacle == "folder")
        QVERIFY(QFile::remove(fixture.folder.filePath("Serie7.CSV")));
    if (obstacle == "folder")
        QVERIFY(QDir(fixture.folder.path()).mkdir("Serie7.CSV"));
    {
        const FileSizeLimit full(obstacle == "full" ? CreatedHeader.size() : NoLimit);
        QVERIFY(full.active);
        for (int ending = 0; ending < endings; ++ending)
            fixture.receive("*E11\r");
    }
    QCOMPARE(window.Start[1]->text(), QString("Start"));
    QCOMPARE(fixture.bytes("Serie7.CSV"), file);
    const int records = int(file.count("\r\n")) - 1;
    QCOMPARE(window.ProtTab->Rows(), std::max(records, 0) + 1);
    QCOMPARE(window.WahlTab->Rows(), std::max(records, 0) + 1);
    QCOMPARE(fixture.questions.size(), messages);
    // Each lost record is reported in a box of its own, named by its test.
    if (messages > 0)
        QCOMPARE(fixture.questions.last().title, QString("Messprotokoll: Test 1"));
}

void RecordsTest::recordAppendedToAChangedFile_data()
{
    QTest::addColumn<QByteArray>("earlier"); // the file loaded; empty: removed during the test
    QTest::addColumn<QByteArray>("file"); // the protocol file afterwards
    QTest::addColumn<QStringList>("numbers"); // column 0 of the table afterwards

    const QByteArray eleven = Record("00011", ';', "Alt"), twelve = Record("00012", ';', "");
    QTest::newRow("last record without line end")
        << CreatedHeader + eleven.chopped(2) << CreatedHeader + eleven + twelve
        << QStringList {"00011", "00012"};
    QTest::newRow("header without line end")
        << CreatedHeader.chopped(2) << CreatedHeader + twelve << QStringList {"00012"};
    QTest::newRow("file removed") << QByteArray() << CaptionHeader + twelve
                                  << QStringList {"00012"};
}

// A last line left without its line end (an editor's save) is ended before the record is appended;
// a file removed during the test is made anew and the table then shows only its record.
void RecordsTest::recordAppendedToAChangedFile()
{
    QFETCH(QByteArray, earlier);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, numbers);

    RecordsFixture fixture;
    Form1& window = *fixture.window;
    fixture.select(
        "Serie7", earlier.isEmpty() ? CreatedHeader + Record("00011", ';', "Alt") : earlier);
    window.LaufNr->setText("12");
    fixture.receive("*S11\r");
    if (earlier.isEmpty())
        QVERIFY(QFile::remove(fixture.folder.filePath("Serie7.CSV")));
    fixture.receive("*E11\r");
    QCOMPARE(fixture.bytes("Serie7.CSV"), file);
    QCOMPARE(fixture.column(window.ProtTab, 0), numbers);
    window.LoadProtocolFile();
    QCOMPARE(fixture.column(window.ProtTab, 0), numbers);
}

void RecordsTest::loading_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("running"); // number of a test running meanwhile, 0: none
    QTest::addColumn<QString>("laufNr");
    QTest::addColumn<QStringList>("numbers"); // column 0 of each row
    QTest::addColumn<QStringList>("firstRow"); // columns 0 to 10 of row 1

    // The cells of a row, each text fitted to its column's width.
    const auto cells = [](const QStringList& texts) {
        const int widths[] = {5, 1, 30, 30, 14, 30, 30, 30, 12, 7, 14};
        QStringList fitted;
        for (int col = 0; col < texts.size(); ++col)
            fitted << texts[col].left(widths[col]).leftJustified(widths[col]);
        return fitted;
    };
    const QStringList whole = cells({"00003", "1", "Öl", "A-77", "CH 5", "", "", "Ende",
        "06.12.2026", "10:30", " 10 Sekunden;"});
    const QByteArray three = Record("00003", ';', "Öl", "A-77", "CH 5")
        + Record("00012", ';', "Zwei") + Record("00007", ';', "Drei");
    const QStringList numbers = {"00003", "00012", "00007"};
    const QStringList none;

    QTest::newRow("3, 12, 7") << CreatedHeader + three << 0 << " 13" << numbers << whole;
    QTest::newRow("LF line ends") << QByteArray(CreatedHeader + three).replace("\r\n", "\n") << 0
                                  << " 13" << numbers << whole;
    QTest::newRow("no line end at the end")
        << CreatedHeader + three.chopped(2) << 0 << " 13" << numbers << whole;
    QTest::newRow("header only") << CreatedHeader << 0 << " 1" << none << none;
    QTest::newRow("empty file") << QByteArray() << 0 << " 1" << none << none;
    QTest::newRow("1 MB line") << CreatedHeader + "00004-1;" + QByteArray(1 << 20, 'x') + "\r\n"
            + Record("00002", ';', "Zwei")
                               << 0 << " 5" << QStringList {"00004", "00002"}
                               << cells(QStringList {"00004", "1"}
                                      + QStringList(9, QString(30, 'x')));
    // Lines of nothing or blanks are no records.
    QTest::newRow("numbers that are none, empty lines")
        << CreatedHeader + "abcde-1;\r\n\r\n" + Record("00009", ';', "Neun") + "\r\n   \r\n"
        << 0 << " 10" << QStringList {"abcde", "00009"} << none;
    QTest::newRow("no number at all") << CreatedHeader + "x\r\n"
                                      << 0 << " 1" << QStringList {"x    "} << none;
    QByteArray many = CreatedHeader;
    QStringList manyNumbers;
    for (int n = 1; n <= 40000; ++n) {
        manyNumbers << QString("%1").arg(n, 5, 10, QChar('0'));
        many += Record(manyNumbers.last(), ';', "Serie");
    }
    QTest::newRow("40,000 records") << many << 0 << " 40001" << manyNumbers << none;
    QTest::newRow("test 20 runs, highest 5") << CreatedHeader + Record("00005", ';', "Fünf") << 20
                                             << " 21" << QStringList {"00005"} << none;
    QTest::newRow("test 40 runs, highest 30") << CreatedHeader + Record("00030", ';', "Dreißig")
                                              << 40 << " 41" << QStringList {"00030"} << none;
}

// Rows in file order, cut at the fixed positions; LaufNr the highest number plus one, never
// that of a test still running.
void RecordsTest::loading()
{
    QFETCH(QByteArray, content);
    QFETCH(int, running);
    QFETCH(QString, laufNr);
    QFETCH(QStringList, numbers);
    QFETCH(QStringList, firstRow);

    RecordsFixture fixture;
    Form1& window = *fixture.window;
    window.LaufNr->setText("   42");
    fixture.select("Serie7", content);
    if (running > 0) {
        window.LaufNr->setText(QString::number(running));
        fixture.receive("*S11\r");
        QCOMPARE(window.run->CurrentTestNumber(), running);
        window.Dir1_LostFocus();
    }
    QCOMPARE(window.LaufNr->text(), laufNr);
    QStringList shown;
    for (const QString& number : numbers)
        shown << number.left(5);
    QCOMPARE(fixture.column(window.ProtTab, 0), shown);
    QCOMPARE(fixture.column(window.WahlTab, 0), shown);
    QCOMPARE(fixture.column(window.WahlTab, 2), QStringList(numbers.size(), "0"));
    for (int col = 0; col < firstRow.size(); ++col)
        QCOMPARE(window.ProtTab->TextMatrix(1, col), firstRow[col]);
    QCOMPARE(window.LabelProt->text(), fixture.folder.filePath("Serie7.CSV"));
}

void RecordsTest::listing_data()
{
    QTest::addColumn<QString>("remembered"); // ProtocolFileName
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("laufNr");

    QTest::newRow("remembered file missing") << QString("Fehlt") << QString("A") << QString(" 1");
    QTest::newRow("remembered file listed") << QString("b") << QString("b") << QString(" 9");
    QTest::newRow("remembered in another case") << QString("B") << QString("A") << QString(" 1");
}

// Only protocol files are listed: no measurement files, folders, nameless files, and no "c.csv"
// that the program's own name "c.CSV" would not reach. The remembered name selects only its exact
// entry.
void RecordsTest::listing()
{
    QFETCH(QString, remembered);
    QFETCH(QString, selected);
    QFETCH(QString, laufNr);

    RecordsFixture fixture;
    Form1& window = *fixture.window;
    fixture.write("A.CSV", CreatedHeader);
    fixture.write("b.CSV", CreatedHeader + Record("00008", ';', "Acht"));
    for (const char* name : {"No-00001-1.CSV", ".CSV", " .CSV", "Z.txt", "Acsv", "c.csv"})
        fixture.write(name, CreatedHeader + Record("00050", ';', "Falsch"));
    QVERIFY(QDir(fixture.folder.path()).mkdir("C.CSV"));
    window.ProtocolFileName = remembered;
    window.ShowStorageFolder();

    QStringList listed;
    for (int index = 0; index < window.TabProtDatei->count(); ++index)
        listed << window.TabProtDatei->itemText(index);
    QCOMPARE(listed, (QStringList {"A", "b"}));
    QCOMPARE(window.TabProtDatei->currentText(), selected);
    QVERIFY(QFileInfo(window.LabelProt->text()).isFile());
    QCOMPARE(window.ProtTab->Rows(), selected == "b" ? 2 : 1);
    QCOMPARE(window.LaufNr->text(), laufNr);
}

void RecordsTest::userChoiceSurvivesARefresh_data()
{
    // The Down key, then the storage folder shown again; or picked from the list, then the folder
    // list losing the focus.
    QTest::addColumn<bool>("byKey");
    QTest::newRow("Down key, folder shown again") << true;
    QTest::newRow("picked, folder list loses focus") << false;
}

// The file the user picks is loaded with every curve hidden, and stays selected.
void RecordsTest::userChoiceSurvivesARefresh()
{
    QFETCH(bool, byKey);

    RecordsFixture fixture;
    Form1& window = *fixture.window;
    fixture.write("B.CSV", CreatedHeader + Record("00004", ';', "Vier"));
    fixture.select(
        "A", CreatedHeader + Record("00001", ';', "Eins") + Record("00002", ';', "Zwei"));
    QCOMPARE(window.TabProtDatei->currentText(), QString("A"));
    if (byKey) {
        QTest::keyClick(window.TabProtDatei, Qt::Key_Down);
    } else {
        window.TabProtDatei->setCurrentIndex(1);
        emit window.TabProtDatei->activated(1);
    }
    QCOMPARE(window.ProtocolFileName, QString("B"));
    QCOMPARE(fixture.column(window.ProtTab, 2), QStringList {QString("Vier").leftJustified(30)});
    QCOMPARE(fixture.column(window.WahlTab, 2), QStringList {"0"});
    QCOMPARE(window.LaufNr->text(), QString(" 5"));

    if (byKey)
        window.ShowStorageFolder();
    else
        window.Dir1_LostFocus();
    QCOMPARE(window.TabProtDatei->currentText(), QString("B"));
    QCOMPARE(fixture.column(window.ProtTab, 0), QStringList {"00004"});
}

void RecordsTest::selectedTest_data()
{
    QTest::addColumn<int>("row"); // selected before the event; 0: the header row
    QTest::addColumn<bool>("byKey"); // the Down key released, else a click
    QTest::addColumn<QString>("label"); // empty: Label28 and DelMessung hidden

    const QString second = "Test-Nr.: 00012 / " + QString("Zweite Probe").leftJustified(30);
    QTest::newRow("click on row 2") << 2 << false << second;
    QTest::newRow("Down key from row 1") << 1 << true << second;
    QTest::newRow("click on the header row") << 0 << false << "";
}

// The selected test is shown with the button that deletes it; without a test row both are hidden.
void RecordsTest::selectedTest()
{
    QFETCH(int, row);
    QFETCH(bool, byKey);
    QFETCH(QString, label);

    RecordsFixture fixture;
    Form1& window = *fixture.window;
    fixture.select("Serie7",
        CreatedHeader + Record("00003", ';', "Erste") + Record("00012", ';', "Zweite Probe")
            + Record("00007", ';', "Dritte"));
    window.ProtTab->setRow(1);
    emit window.ProtTab->Click();
    QVERIFY(!window.Label28->isHidden());

    window.ProtTab->setRow(row);
    if (byKey)
        QTest::keyClick(window.ProtTab, Qt::Key_Down);
    else
        emit window.ProtTab->Click();
    QCOMPARE(window.Label28->isHidden(), label.isEmpty());
    QCOMPARE(window.DelMessung->isHidden(), label.isEmpty());
    if (!label.isEmpty())
        QCOMPARE(window.Label28->text(), label);
}

// Two programs on one protocol file take turns, each started while the other's test runs: every
// test gets its own number and file, every record names the file with its own values, and each
// table shows the other's records.
void RecordsTest::twoProgramsShareOneProtocol()
{
    RecordsFixture a;
    a.select("Serie7", CreatedHeader);
    WindowFixture b({1}, {}, {.startFolder = a.folder.path()});
    b.window->ProtocolFileName = "Serie7";
    b.window->ShowStorageFolder();
    for (int round = 0; round < 3; ++round) {
        a.receive("*S11\r*I00000010\r*A00000000111000.0\r");
        b.receive("*S11\r*I00000010\r*A00000000222000.0\r");
        a.receive("*E11\r");
        b.receive("*E11\r");
    }
    const QStringList records = QString::fromLatin1(a.bytes("Serie7.CSV")).split("\r\n").mid(1, 6);
    QStringList numbers;
    for (const QString& record : records)
        numbers << record.left(5);
    QCOMPARE(numbers, (QStringList {"00001", "00002", "00003", "00004", "00005", "00006"}));
    for (int number = 1; number <= 6; ++number) {
        const QByteArray file
            = a.bytes(QString("Serie7/No-%1-1.CSV").arg(number, 5, 10, QChar('0')));
        QVERIFY(file.endsWith(number % 2 == 1 ? "; 11.1;  0.0\r\n" : "; 22.2;  0.0\r\n"));
    }
    QTRY_COMPARE(a.column(a.window->ProtTab, 0), numbers);
    QTRY_COMPARE(a.column(b.window->ProtTab, 0), numbers);
    QCOMPARE(a.window->LaufNr->text(), QString(" 7"));

    // A higher number typed in one program stays while the other one records; a file replaced
    // whole by another tool, at the same size, is followed too.
    a.window->LaufNr->setText("500");
    b.receive("*S11\r*E11\r");
    QTRY_COMPARE(a.window->ProtTab->Rows(), 8);
    QCOMPARE(a.window->LaufNr->text(), QString("500"));
    QByteArray edited = a.bytes("Serie7.CSV");
    edited.replace("00001-1;   ", "00001-1;XY ");
    a.write("Serie7.new", edited);
    QVERIFY(::rename(qPrintable(a.folder.filePath("Serie7.new")),
                qPrintable(a.folder.filePath("Serie7.CSV")))
        == 0);
    QTRY_COMPARE(a.window->ProtTab->TextMatrix(1, 2).left(2), QString("XY"));
}

// A start waits while another program holds the protocol file, then is refused with the reason;
// the instrument that started it is stopped.
void RecordsTest::protocolHeldByAnotherProgram()
{
    RecordsFixture fixture;
    fixture.select("Serie7", CreatedHeader);
    const FileLock otherProgram(fixture.folder.filePath("Serie7.CSV"), 0);
    fixture.line->clearWrites();
    fixture.receive("*S11\r");
    QVERIFY(!fixture.window->run->IsRunning(1));
    QCOMPARE(fixture.line->writtenTo(1), QByteArray("E\n\r"));
    QCOMPARE(fixture.questions.size(), 1);
    QVERIFY(fixture.questions.first().text.contains("von einem anderen Programm benutzt"));
    QVERIFY(!QFile::exists(fixture.folder.filePath("Serie7/No-00001-1.CSV")));
}

QTEST_MAIN(RecordsTest)
#include "test_records.moc"
