// The settings: the file's lines written and read back, damaged and cut files, where the file is
// kept and how it is replaced; and the window's controls at start and at close.
#include "platform/drives.h"
#include "platform/file_lock.h"
#include "platform/flex_grid.h"
#include "platform/text_file.h"
#include "records_driver.h"
#include "settings/settings_store.h"
#include "test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

const QString IniName = "TALIV01.INI";
// The stored choices after the place: cycle, duration, separators, temperature and scale.
const QStringList Choices {" 7", " 3", " 1 0", "1", " 2"};

QByteArray Lines(const QStringList& lines, const QByteArray& end = "\r\n")
{
    return lines.join(QString::fromLatin1(end)).toLatin1() + end;
}

QStringList FileLines(const QString& path)
{
    return QString::fromLatin1(BytesOf(path)).split("\r\n").mid(0, SettingsLineCount);
}

Settings FirstStart()
{
    return {"D:", "/daten", -1, 0, " 0 0", 0, 1, ""};
}

// The settings but the drive, "|" between them.
QString Summary(const Settings& s)
{
    return QStringList(
        {s.folder, QString::number(s.cycleIndex), QString::number(s.durationIndex), s.separatorCode,
            QString::number(s.temperature), QString::number(s.scaleIndex), s.protocolName})
        .join('|');
}

// A settings file that cannot be read: a folder of its name, or a file too large.
void PutUnreadable(const QString& path, bool folder)
{
    if (folder) {
        QVERIFY(QDir().mkdir(path));
        PutBytes(path + "/alt.txt", "alt");
    } else {
        PutBytes(path, "x");
        QVERIFY(QFile::resize(path, kMaxReadAllBytes + 1)); // sparse: takes no room
    }
}

// The commands the window sent after its probe, as "M7 D4 T1".
QString SentAfterProbe(const WindowFixture& fixture)
{
    const QString sent = QString::fromLatin1(fixture.line->writtenTo(1));
    return sent.startsWith("RUN\n\r") ? sent.mid(5).split("\n\r", Qt::SkipEmptyParts).join(' ')
                                      : "no probe first: " + sent;
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void keptWhereItCanBeWritten_data();
    void keptWhereItCanBeWritten();
    void settingsReachTheControls();
    void unreachableStoredFolder();
    void unfinishedSavesRemoved();
};

void SettingsTest::reading_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file; "<folder>", "<large>"
    QTest::addColumn<QString>("read");
    QTest::addColumn<qint64>("room"); // bytes a file may grow to while saving

    const QStringList place {"N:", "/m"};
    QStringList names;
    for (int number = 1; number <= 12; ++number)
        names << QString("Serie%1").arg(number, 2, 10, QChar('0'));
    const auto row = [](const char* name, const QByteArray& content, const QString& read,
                         qint64 room = NoLimit) { QTest::newRow(name) << content << read << room; };
    const auto cut = [&](const QStringList& lines, const QString& read) {
        return row(qPrintable("cut: " + lines.join('|')), Lines(place + lines), "/m|" + read);
    };
    row("no file", QByteArray(), "none");
    row("a folder of that name", "<folder>", "unreadable");
    row("too large to read", "<large>", "unreadable");
    row("empty", "", Summary(FirstStart()));
    row("binary", QByteArray("\x89PNG\x00\x01\xff\xfe\x7f", 9).repeated(40), Summary(FirstStart()));
    cut({" 7"}, "7|0| 0 0|0|1|");
    // The comma as both separators is no choice: the first start's separators stand.
    cut({" 7", " 3", " 1 1", "1"}, "7|3| 0 0|1|1|");
    cut({"abc", "x", " 0 0", "zz", "q"}, "-1|0| 0 0|0|1|");
    cut({"7.5", " 2.5", " 1 0", "0.5", " 3.5"}, "8|2| 1 0|0|4|");
    // A duration index beyond the list of 9 keeps the first start's.
    cut({" 7", " 8"}, "7|8| 0 0|0|1|");
    cut({" 7", " 9"}, "7|0| 0 0|0|1|");
    cut({" 7", "-1"}, "7|0| 0 0|0|1|");
    const QByteArray full = Lines(place + Choices + names);
    row("twelve protocol names, the last counts", full, "/m|7|3| 1 0|1|2|Serie12");
    row("disk full at once", full, "/m|7|3| 1 0|1|2|Serie12", 0);
    row("disk full after 10 bytes", full, "/m|7|3| 1 0|1|2|Serie12", 10);
}

// A line the file lacks, or a number line without a number, keeps the first start's value. A
// file that cannot be read is never replaced; a save that fails leaves the old file whole, with
// nothing beside it. Numbers are saved with the blank of their sign, the protocol file on the
// last twelve lines.
void SettingsTest::reading()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, read);
    QFETCH(qint64, room);

    QTemporaryDir program;
    const QString ini = program.filePath(IniName);
    if (content.startsWith("<"))
        PutUnreadable(ini, content == "<folder>");
    else if (!content.isNull())
        PutBytes(ini, content);
    SettingsStore store(program.path(), QString(), true);
    const std::optional<Settings> settings = store.Read(FirstStart());
    QCOMPARE(settings ? Summary(*settings) : store.Unreadable() ? "unreadable" : "none", read);
    const QMap<QString, QByteArray> before = FilesBelow(program.path());
    Settings chosen = FirstStart();
    chosen.cycleIndex = 65;
    chosen.protocolName = "Serie7";
    {
        const FileSizeLimit full(room);
        QVERIFY(full.active);
        store.Save(chosen);
    }
    if (read == "unreadable" || room != NoLimit)
        QCOMPARE(FilesBelow(program.path()), before);
    else
        QCOMPARE(FileLines(ini),
            QStringList({"D:", "/daten", " 65", " 0", " 0 0", "0", " 1"})
                + QStringList(12, "Serie7"));
}

void SettingsTest::keptWhereItCanBeWritten_data()
{
    // "program": its folder is there; "user": a configuration folder is known; "installed".
    QTest::addColumn<QString>("folders");
    QTest::addColumn<QString>("kept"); // where the settings file ends up, below the root

    const auto row = [](const char* name, const QString& folders, const QString& kept) {
        QTest::newRow(name) << folders << kept;
    };
    row("program folder writable", "program user", "program/TALIV01.INI");
    row("program folder not writable", "user", "config/taliv/TALIV01.INI");
    row("installed", "program user installed", "config/taliv/TALIV01.INI");
    row("nowhere to write", "", "");
}

// Tests run as root, so a program folder that is not there stands for one that cannot be written.
// The settings are read back from where they were kept.
void SettingsTest::keptWhereItCanBeWritten()
{
    QFETCH(QString, folders);
    QFETCH(QString, kept);

    QTemporaryDir root;
    if (folders.contains("program"))
        QVERIFY(QDir(root.path()).mkdir("program"));
    const auto store = [&] {
        return SettingsStore(root.filePath("program"),
            folders.contains("user") ? root.filePath("config/taliv") : QString(),
            !folders.contains("installed"));
    };
    Settings chosen = FirstStart();
    chosen.cycleIndex = 7;
    store().Save(chosen);
    QCOMPARE(
        FilesBelow(root.path()).keys().filter(QRegularExpression(IniName + "$")).join('|'), kept);
    QCOMPARE(store().Read(FirstStart()).value_or(FirstStart()).cycleIndex, kept.isEmpty() ? -1 : 7);
}

// The stored choices reach the controls at the start, and the instrument; the choices made reach
// the file at close, also a temperature option clicked again. The stored protocol file is the one
// selected, read once into the table, and its unrecorded test offered once; no other protocol file
// of the folder is read.
void SettingsTest::settingsReachTheControls()
{
    QTemporaryDir program;
    QTemporaryDir storage;
    PutBytes(storage.filePath("Serie01.CSV"), Protocol({RecordLine(1)}));
    PutBytes(storage.filePath("Serie07.CSV"), Protocol({RecordLine(3), RecordLine(12)}));
    QVERIFY(QDir(storage.path()).mkdir("Serie07"));
    PutBytes(storage.filePath("Serie07/No-00020-1.CSV"), MeasurementBytes());
    const QString drive = DriveOfPath(storage.path(), MountedDriveRoots());
    const QString folder = QDir::toNativeSeparators(storage.path());
    PutBytes(program.filePath(IniName),
        Lines(QStringList {drive, folder} + Choices + QStringList(12, "Serie07")));
    // Every read of the two protocol files opens it and ends with a close without writing (the
    // closes alone would be merged into one event).
    const int closes = inotify_init1(IN_NONBLOCK);
    QVERIFY(closes >= 0);
    QMap<int, QString> watched;
    for (const char* name : {"Serie01.CSV", "Serie07.CSV"})
        watched[inotify_add_watch(
            closes, qPrintable(storage.filePath(name)), IN_OPEN | IN_CLOSE_NOWRITE)]
            = name;

    WindowFixture fixture({1}, {}, {.programFolder = program.path()});

    QStringList read;
    std::array<char, 4096> events;
    for (ssize_t size; (size = ::read(closes, events.data(), events.size())) > 0;) {
        for (ssize_t at = 0; at < size;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events.data() + at);
            if (event->mask & IN_OPEN)
                read.append(watched.value(event->wd));
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    ::close(closes);
    QCOMPARE(read, QStringList {"Serie07.CSV"});
    const Form1& window = *fixture.window;
    QCOMPARE(Find<QComboBox>(window, "MessZyklusTab").currentIndex(), 7);
    QCOMPARE(Find<QComboBox>(window, "Messzeit").currentIndex(), 3);
    QCOMPARE(Find<QComboBox>(window, "DatenTrenn").currentIndex(), 1);
    QCOMPARE(Find<QComboBox>(window, "DezimalTrenn").currentIndex(), 0);
    QVERIFY(Find<QRadioButton>(window, "TempOnOff1").isChecked());
    QVERIFY(Find<QRadioButton>(window, "TempSkal2").isChecked());
    QCOMPARE(Find<QComboBox>(window, "TabProtDatei").currentText(), "Serie07");
    QCOMPARE(Column(Find<FlexGrid>(window, "ProtTab"), 0), (QStringList {"00003", "00012"}));
    QCOMPARE(Find<QLineEdit>(window, "LaufNr").text(), " 13");
    QCOMPARE(fixture.questions.size(), 1);
    QVERIFY(fixture.questions[0].text.contains("No-00020-1.CSV"));
    QCOMPARE(Find<QLabel>(window, "Label10").text(), folder + QDir::separator());
    QCOMPARE(SentAfterProbe(fixture), "M7 D4 T1");

    Choose(&Find<QComboBox>(window, "MessZyklusTab"), 65);
    Choose(&Find<QComboBox>(window, "Messzeit"), 8);
    Find<QComboBox>(window, "DatenTrenn").setCurrentIndex(0);
    Find<QComboBox>(window, "DezimalTrenn").setCurrentIndex(1);
    Find<QRadioButton>(window, "TempOnOff0").click();
    Find<QRadioButton>(window, "TempOnOff0").click();
    Find<QRadioButton>(window, "TempSkal3").click();
    Choose(&Find<QComboBox>(window, "TabProtDatei"), 0);
    QVERIFY(fixture.window->close());
    QCOMPARE(FileLines(program.filePath(IniName)),
        QStringList({drive, folder, " 65", " 8", " 0 1", "0", " 3"}) + QStringList(12, "Serie01"));
    QCOMPARE(fixture.questions.size(), 1);
}

// A stored folder that cannot be reached is reported and kept with its protocol file for the next
// start.
void SettingsTest::unreachableStoredFolder()
{
    QTemporaryDir program;
    const QString gone = QDir::toNativeSeparators(program.filePath("Netz/Messungen"));
    const QString ini = program.filePath(IniName);
    const QStringList stored = QStringList {"N:", gone} + Choices + QStringList(12, "Serie07");
    PutBytes(ini, Lines(stored));
    WindowFixture fixture({1}, {}, {.programFolder = program.path()});
    QCOMPARE(fixture.questions.size(), 1);
    QVERIFY(fixture.questions[0].text.contains(gone));
    QCOMPARE(Find<QLabel>(*fixture.window, "Label10").text(),
        QDir::toNativeSeparators(fixture.folder.path()) + QDir::separator());
    QVERIFY(fixture.window->close());
    QCOMPARE(FileLines(ini), stored);
}

// The saving files of saves that a program could not finish are removed at the start: only the
// program's own names, and only while no program saves that file. Without a settings file, the
// first start's settings are written and sent.
void SettingsTest::unfinishedSavesRemoved()
{
    QTemporaryDir folder;
    const QStringList removed = {"TALIV01.INI.~taliv", "Serie7.CSV.~taliv", "Serie7.TMP.~taliv"};
    const QStringList kept = {"Serie7.CSV", "Serie7.CSV.abcdef", "Serie7.CSV.~talivx", "Held.CSV",
        "Held.CSV.~taliv", "Held.TMP.~taliv", "Andere.txt.~taliv"};
    for (const QString& name : removed + kept)
        PutBytes(folder.filePath(name), "x");
    const FileLock saving(folder.filePath("Held.CSV"), 0);
    WindowFixture fixture({1}, {}, {.programFolder = folder.path(), .startFolder = folder.path()});
    for (const QString& name : removed)
        QVERIFY2(!QFile::exists(folder.filePath(name)), qPrintable(name));
    for (const QString& name : kept)
        QVERIFY2(QFile::exists(folder.filePath(name)), qPrintable(name));
    QCOMPARE(SentAfterProbe(fixture), "D1 T0");
    QCOMPARE(FileLines(folder.filePath(IniName)).mid(1),
        QStringList({QDir::toNativeSeparators(folder.path()), "-1", " 0", " 0 0", "0", " 1"})
            + QStringList(12, ""));
}

QTEST_MAIN(SettingsTest)
#include "test_settings.moc"
