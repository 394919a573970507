// The settings file on the window: the first start, a round trip of every choice, damaged and
// unreadable files, a storage folder that is gone, where the file is kept and how it is replaced.
#include "platform/drives.h"
#include "platform/file_lock.h"
#include "platform/folder_list.h"
#include "test_support.h"
#include "window/parameter_panel.h"

#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

namespace {

const QString IniName = "TALIV01.INI";
const QStringList NoProtocol(12, QString());

QByteArray Lines(const QStringList& lines, const QByteArray& end = "\r\n")
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + end;
    return bytes;
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList FileLines(const QString& path)
{
    QStringList lines = QString::fromLatin1(ReadBytes(path)).split("\r\n");
    lines.removeLast(); // after the last line end
    return lines;
}

// The commands the window sent after its probe, as "M7 D4 T1".
QString SentAfterProbe(const WindowFixture& fixture)
{
    const QString sent = QString::fromLatin1(fixture.line->writtenTo(1));
    if (!sent.startsWith("RUN\n\r"))
        return "no probe first: " + sent;
    return sent.mid(5).split("\n\r", Qt::SkipEmptyParts).join(' ');
}

// Every choice the settings file restores, as one line.
QString State(const Form1& window)
{
    const QString temperature = window.TempOnOff[1]->isChecked() ? "EIN"
        : window.TempOnOff[0]->isChecked()                       ? "AUS"
                                                                 : "-";
    int scale = 0;
    for (int index = 1; index <= 3; ++index)
        scale = window.TempSkal[index]->isChecked() ? index : scale;
    return QString("cycle %1, duration %2 (%3), separators %4%5, temperature %6, scale %7")
        .arg(window.MessZyklusTab->currentIndex())
        .arg(window.Messzeit->currentIndex())
        .arg(window.DurationIndex)
        .arg(
            window.parameters->FieldSeparator(), window.parameters->DecimalSeparator(), temperature)
        .arg(scale);
}

const QString FirstStartState = "cycle -1, duration 0 (1), separators ;., temperature AUS, scale 1";
// Nothing read: the lists and options as the window's initialisation leaves them.
const QString UntouchedState = "cycle -1, duration -1 (1), separators ;., temperature -, scale 1";
// As above, with the temperature option of a first start.
const QString UntouchedOff = "cycle -1, duration -1 (1), separators ;., temperature AUS, scale 1";

// What a window loaded: its choices, the protocol file it keeps and the one its list shows, the
// folder it shows ("start", "storage") and what it sent after the probe.
QString Outcome(const QString& state, const QString& protocol, const QString& listed,
    const QString& folder, const QString& sent)
{
    return QString("%1, protocol '%2' listed '%3' in %4, sent '%5'")
        .arg(state, protocol, listed, folder, sent);
}

QString Shown(const QString& folder)
{
    return QDir::toNativeSeparators(folder) + QDir::separator();
}

// The files and folders below `root`, each with its size and first bytes.
QStringList Snapshot(const QString& root)
{
    QStringList items;
    QDirIterator entries(root,
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry(entries.next());
        QFile file(entry.filePath());
        const QByteArray head
            = entry.isFile() && file.open(QIODevice::ReadOnly) ? file.read(64) : "/";
        items << QDir(root).relativeFilePath(entry.filePath()) + " " + QString::number(entry.size())
                + " " + QString::fromLatin1(head.toHex());
    }
    items.sort();
    return items;
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void settingsFiles_data();
    void settingsFiles();
    void roundTrip_data();
    void roundTrip();
    void chosenOptionClickedAgain_data();
    void chosenOptionClickedAgain();
    void existingFileIsKept_data();
    void existingFileIsKept();
    void unreachableStoredFolder_data();
    void unreachableStoredFolder();
    void settingsPlace_data();
    void settingsPlace();
    void unfinishedSavesRemoved();
};

void SettingsTest::settingsFiles_data()
{
    // "<folder>" stands for the storage folder, "<start>" for the start folder and "<drive>" for
    // the drive of both.
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QByteArray>("after"); // the file once the window is built
    QTest::addColumn<QString>("outcome");

    const QStringList place {"<drive>", "<folder>"};
    const QByteArray full = Lines(place + QStringList {" 7", " 3", " 1 0", "1", " 2"})
        + Lines(QStringList(12, "Serie07"));
    const QString chosen = "cycle 7, duration 3 (4), separators ,., temperature EIN, scale 2";
    QStringList names;
    for (int number = 1; number <= 12; ++number)
        names << QString("Serie%1").arg(number, 2, 10, QChar('0'));
    const auto row = [](const char* name, const QByteArray& content) -> QTestData& {
        return QTest::newRow(name) << content << content;
    };

    QTest::newRow("no file")
        << QByteArray()
        << Lines(QStringList {"<drive>", "<start>", "-1", " 0", " 0 0", "0", " 1"} + NoProtocol)
        << Outcome(FirstStartState, "", "", "start", "D1 T0");
    row("cut after line 2", Lines(place))
        << Outcome(FirstStartState, "", "Serie01", "storage", "D1 T0");
    row("cut after line 3", Lines(place + QStringList {" 7"}))
        << Outcome("cycle 7, duration 0 (1), separators ;., temperature AUS, scale 1", "",
               "Serie01", "storage", "M7 D1 T0");
    // The comma as both separators is no choice: the first start's separators stand.
    row("cut after line 6, comma twice", Lines(place + QStringList {" 7", " 3", " 1 1", "1"}))
        << Outcome("cycle 7, duration 3 (4), separators ;., temperature EIN, scale 1", "",
               "Serie01", "storage", "M7 D4 T1");
    row("empty", "") << Outcome(FirstStartState, "", "", "start", "D1 T0");
    row("binary", QByteArray("\x89PNG\x00\x01\xff\xfe\x7f", 9).repeated(40))
        << Outcome(FirstStartState, "", "", "start", "D1 T0");
    // Lists keep their state; a temperature option is always chosen, the first start's "AUS".
    row("indexes out of range", Lines(place + QStringList {" 66", " 9", " 5 7", "3", " 4"}))
        << Outcome(UntouchedOff, "", "Serie01", "storage", "T0");
    row("negative indexes", Lines(place + QStringList {"-2", "-1", "-1-1", "-1", "-1"}))
        << Outcome(UntouchedOff, "", "Serie01", "storage", "T0");
    row("no numbers keep the first start's",
        Lines(place + QStringList {"abc", "x", " 0 0", "zz", "q"}))
        << Outcome(FirstStartState, "", "Serie01", "storage", "D1 T0");
    row("halves to even", Lines(place + QStringList {"7.5", " 2.5", " 1.5", "0.5", " 3.5"}))
        << Outcome("cycle 8, duration 2 (3), separators ,., temperature AUS, scale 1", "",
               "Serie01", "storage", "M8 D3 T0");
    row("twelve protocol names",
        Lines(place + QStringList {" 65", " 8", " 0 1", "0", " 3"} + names))
        << Outcome("cycle 65, duration 8 (9), separators ;,, temperature AUS, scale 3", "Serie12",
               "Serie12", "storage", "Mq D9 T0");
    row("CR line ends", QByteArray(full).replace("\r\n", "\r"))
        << Outcome(chosen, "Serie07", "Serie07", "storage", "M7 D4 T1");
    row("LF line ends", QByteArray(full).replace("\r\n", "\n"))
        << Outcome(chosen, "Serie07", "Serie07", "storage", "M7 D4 T1");
}

void SettingsTest::settingsFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, after);
    QFETCH(QString, outcome);

    QTemporaryDir program;
    QTemporaryDir storage;
    for (int number = 1; number <= 12; ++number)
        WriteBytes(storage.filePath(QString("Serie%1.CSV").arg(number, 2, 10, QChar('0'))),
            "Test-Nr.;\r\n");
    const bool present = !content.isNull();
    for (QByteArray* bytes : {&content, &after}) {
        bytes->replace("<drive>", DriveOfPath(storage.path(), MountedDriveRoots()).toLatin1());
        bytes->replace("<folder>", QDir::toNativeSeparators(storage.path()).toLatin1());
    }
    if (present)
        WriteBytes(program.filePath(IniName), content);
    WindowFixture fixture({1}, {}, {.programFolder = program.path()});
    const Form1& window = *fixture.window;
    after.replace("<start>", QDir::toNativeSeparators(fixture.folder.path()).toLatin1());

    const QString shown = window.Label10->text();
    QCOMPARE(Outcome(State(window), window.ProtocolFileName, window.TabProtDatei->currentText(),
                 shown == Shown(storage.path())              ? "storage"
                     : shown == Shown(fixture.folder.path()) ? "start"
                                                             : shown,
                 SentAfterProbe(fixture)),
        outcome);
    QVERIFY(fixture.questions.isEmpty());
    QCOMPARE(ReadBytes(program.filePath(IniName)), after);
    QCOMPARE(Snapshot(program.path()).size(), 1);
}

void SettingsTest::roundTrip_data()
{
    // cycle, duration, field and decimal separator, temperature option, scale
    QTest::addColumn<QList<int>>("choices");
    QTest::addColumn<QString>("protocol"); // selected among "Serie1" and "Serie7"
    QTest::addColumn<QStringList>("written"); // lines 3 to 7
    QTest::addColumn<QString>("commands"); // sent at the next start

    QTest::newRow("2 Minuten, 2 Stunden, comma, EIN, 0-100")
        << QList<int> {7, 3, 1, 0, 1, 2} << "Serie7" << QStringList {" 7", " 3", " 1 0", "1", " 2"}
        << "M7 D4 T1";
    QTest::newRow("last entries, decimal comma, AUS, 0-150")
        << QList<int> {65, 8, 0, 1, 0, 3} << "Serie1"
        << QStringList {" 65", " 8", " 0 1", "0", " 3"} << "Mq D9 T0";
}

void SettingsTest::roundTrip()
{
    QFETCH(QList<int>, choices);
    QFETCH(QString, protocol);
    QFETCH(QStringList, written);
    QFETCH(QString, commands);

    QTemporaryDir storage;
    WindowFixture first({1}, {}, {.startFolder = storage.path()});
    Form1& window = *first.window;
    for (const QString name : {"Serie1", "Serie7"})
        WriteBytes(storage.filePath(name + ".CSV"), "Test-Nr.;Produkt-Bezeichnung;\r\n");
    window.ShowStorageFolder();
    window.TabProtDatei->setCurrentIndex(window.TabProtDatei->findText(protocol));
    Choose(window.MessZyklusTab, choices[0]);
    Choose(window.Messzeit, choices[1]);
    // Every choice made coming from another one, so that its handler runs.
    for (int index : {1 - choices[2], choices[2]})
        window.parameters->DatenTrenn->setCurrentIndex(index);
    for (int index : {1 - choices[3], choices[3]})
        window.parameters->DezimalTrenn->setCurrentIndex(index);
    for (int index : {1 - choices[4], choices[4]})
        window.TempOnOff[index]->click();
    window.TempSkal[choices[5]]->click();
    QVERIFY(window.close());

    const QStringList lines = FileLines(first.folder.filePath(IniName));
    QCOMPARE(lines.size(), 19);
    QCOMPARE(lines.mid(0, 2),
        (QStringList {window.Drive1->currentText(), QDir::toNativeSeparators(storage.path())}));
    QCOMPARE(lines.mid(2, 5), written);
    QCOMPARE(lines.mid(7), QStringList(12, protocol));
    QCOMPARE(Snapshot(first.folder.path()).size(), 1); // nothing left beside the file

    // The next start in another folder restores all of it and sends it to the instrument.
    WindowFixture second({1}, {}, {.programFolder = first.folder.path()});
    const Form1& restored = *second.window;
    QCOMPARE(State(restored), State(window));
    QCOMPARE(restored.Drive1->currentText(), lines[0]);
    QCOMPARE(restored.Label10->text(), Shown(storage.path()));
    QCOMPARE(restored.ProtocolFileName, protocol);
    QCOMPARE(restored.TabProtDatei->currentText(), protocol);
    QCOMPARE(SentAfterProbe(second), commands);
    QVERIFY(second.questions.isEmpty());
}

void SettingsTest::chosenOptionClickedAgain_data()
{
    QTest::addColumn<int>("option");
    QTest::newRow("Temperatur AUS") << 0;
    QTest::newRow("Temperatur EIN") << 1;
}

// A click on the temperature option already chosen leaves it chosen: what is saved is what the
// instrument was told last.
void SettingsTest::chosenOptionClickedAgain()
{
    QFETCH(int, option);
    WindowFixture fixture;
    Form1& window = *fixture.window;
    window.TempOnOff[option]->setChecked(true);
    window.TempOnOff[option]->click();
    QVERIFY(window.close());

    QCOMPARE(SentAfterProbe(fixture).right(2), QString("T%1").arg(option));
    QCOMPARE(FileLines(fixture.folder.filePath(IniName)).value(5), QString::number(option));
    QVERIFY(window.TempOnOff[option]->isChecked());
}

void SettingsTest::existingFileIsKept_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<qint64>("room"); // bytes a file may grow to while the window closes
    QTest::addColumn<QString>("loaded"); // the window's choices and what it sent
    QTest::addColumn<int>("messages");

    const QString read = FirstStartState + ", sent D1 T0";
    const QString unread = UntouchedState + ", sent ";
    QTest::newRow("a folder of that name") << "folder" << NoLimit << unread << 1;
    QTest::newRow("a file too large to read") << "large" << NoLimit << unread << 1;
    QTest::newRow("disk full at once") << "" << qint64(0) << read << 0;
    QTest::newRow("disk full after 10 bytes") << "" << qint64(10) << read << 0;
}

// A file that cannot be read is reported and never replaced; a save that fails leaves the old
// file whole, with nothing beside it.
void SettingsTest::existingFileIsKept()
{
    QFETCH(QString, obstacle);
    QFETCH(qint64, room);
    QFETCH(QString, loaded);
    QFETCH(int, messages);

    QTemporaryDir program;
    const QString ini = program.filePath(IniName);
    if (obstacle == "folder") {
        QVERIFY(QDir(program.path()).mkdir(IniName));
        WriteBytes(ini + "/alt.txt", "alt\r\n");
    } else {
        WriteBytes(ini, Lines(QStringList {"/", "/", "-1", " 0", " 0 0", "0", " 1"} + NoProtocol));
        if (obstacle == "large") // sparse: takes no room on the disk
            QVERIFY(QFile::resize(ini, kMaxReadAllBytes + 1));
    }
    const QStringList before = Snapshot(program.path());
    WindowFixture fixture({1}, {}, {.programFolder = program.path()});
    Form1& window = *fixture.window;

    QCOMPARE(State(window) + ", sent " + SentAfterProbe(fixture), loaded);
    QCOMPARE(fixture.questions.size(), messages);
    if (messages)
        QVERIFY2(
            fixture.questions[0].text.contains(IniName), qPrintable(fixture.questions[0].text));
    Choose(window.MessZyklusTab, 7);
    {
        const FileSizeLimit full(room);
        QVERIFY(full.active);
        QVERIFY(window.close());
    }
    QCOMPARE(Snapshot(program.path()), before);
    QCOMPARE(fixture.questions.size(), messages);
}

void SettingsTest::unreachableStoredFolder_data()
{
    QTest::addColumn<bool>("userPicks");
    QTest::newRow("kept for the next start") << false;
    QTest::newRow("replaced by the user's choice") << true;
}

void SettingsTest::unreachableStoredFolder()
{
    QFETCH(bool, userPicks);
    QTemporaryDir program;
    QTemporaryDir other;
    const QString gone = QDir::toNativeSeparators(program.filePath("Netz/Messungen"));
    const QStringList choices {" 7", " 3", " 1 0", "1", " 2"};
    WriteBytes(program.filePath(IniName),
        Lines(QStringList {"N:", gone} + choices + QStringList(12, "Serie07")));
    WindowFixture fixture({1}, {}, {.programFolder = program.path()});
    Form1& window = *fixture.window;

    QCOMPARE(fixture.questions.size(), 1);
    QVERIFY2(fixture.questions[0].text.contains(gone), qPrintable(fixture.questions[0].text));
    QCOMPARE(window.Label10->text(), Shown(fixture.folder.path()));
    QCOMPARE(State(window), "cycle 7, duration 3 (4), separators ,., temperature EIN, scale 2");
    QCOMPARE(SentAfterProbe(fixture), QString("M7 D4 T1"));

    if (userPicks) {
        QVERIFY(window.Dir1->setPath(other.path()));
        QCOMPARE(window.Label10->text(), Shown(other.path()));
    }
    QVERIFY(window.close());
    const QStringList lines = FileLines(program.filePath(IniName));
    QCOMPARE(lines.mid(0, 2),
        userPicks ? (QStringList {
            DriveOfPath(other.path(), MountedDriveRoots()), QDir::toNativeSeparators(other.path())})
                  : (QStringList {"N:", gone}));
    QCOMPARE(lines.mid(2, 5), choices);
    // The protocol file of the unreachable folder is kept with it; a folder the user picks
    // brings its own list, empty here.
    QCOMPARE(lines.mid(7), QStringList(12, userPicks ? QString() : QString("Serie07")));
}

void SettingsTest::settingsPlace_data()
{
    QTest::addColumn<bool>("programWritable");
    QTest::addColumn<bool>("userFolder");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("kept"); // where the settings file ends up, below the root

    QTest::newRow("program folder writable") << true << true << false << "program/TALIV01.INI";
    QTest::newRow("program folder not writable")
        << false << true << false << "config/taliv/TALIV01.INI";
    QTest::newRow("installed program, its folder writable by root")
        << true << true << true << "config/taliv/TALIV01.INI";
    QTest::newRow("nowhere to write") << false << false << false << "";
}

// Tests run as root, so a program folder that is not there stands for one that cannot be written.
void SettingsTest::settingsPlace()
{
    QFETCH(bool, programWritable);
    QFETCH(bool, userFolder);
    QFETCH(bool, installed);
    QFETCH(QString, kept);

    QTemporaryDir root;
    if (programWritable)
        QVERIFY(QDir(root.path()).mkdir("program"));
    const WindowPlaces places {.programFolder = root.filePath("program"),
        .userConfigFolder = userFolder ? root.filePath("config/taliv") : QString(),
        .startFolder = root.path(),
        .settingsBesideProgram = !installed};
    {
        WindowFixture fixture({1}, {}, places);
        Choose(fixture.window->MessZyklusTab, 7);
        QVERIFY(fixture.window->close());
        QVERIFY(fixture.questions.isEmpty());
    }
    const QStringList files = Snapshot(root.path()).filter(IniName + " ");
    QCOMPARE(files.size(), kept.isEmpty() ? 0 : 1);
    if (!kept.isEmpty()) {
        QVERIFY2(files[0].startsWith(kept + " "), qPrintable(files[0]));
        QCOMPARE(FileLines(root.filePath(kept)).value(2), QString(" 7"));
    }

    // A restart finds the choice where it was kept.
    WindowFixture again({1}, {}, places);
    QCOMPARE(again.window->MessZyklusTab->currentIndex(), kept.isEmpty() ? -1 : 7);
    QCOMPARE(SentAfterProbe(again).startsWith("M7"), !kept.isEmpty());
    QVERIFY(again.questions.isEmpty());
}

// The saving files of saves that a program could not finish are removed at the start: only the
// program's own names, and only while no program saves that file.
void SettingsTest::unfinishedSavesRemoved()
{
    QTemporaryDir folder;
    const QStringList removed = {"TALIV01.INI.~taliv", "Serie7.CSV.~taliv", "Serie7.TMP.~taliv"};
    const QStringList kept = {"Serie7.CSV", "Serie7.CSV.abcdef", "Serie7.CSV.~talivx", "Held.CSV",
        "Held.CSV.~taliv", "Held.TMP.~taliv", "Andere.txt.~taliv"};
    for (const QString& name : removed + kept)
        WriteBytes(folder.filePath(name), "x");
    const FileLock saving(folder.filePath("Held.CSV"), 0);
    WindowFixture fixture({1}, {}, {.programFolder = folder.path(), .startFolder = folder.path()});
    for (const QString& name : removed)
        QVERIFY2(!QFile::exists(folder.filePath(name)), qPrintable(name));
    for (const QString& name : kept)
        QVERIFY2(QFile::exists(folder.filePath(name)), qPrintable(name));
}

QTEST_MAIN(SettingsTest)
#include "test_settings.moc"
