// The settings: the file's lines written and read back, damaged and cut files, where the file is
// kept and how it is replaced; the window's controls at start and at close, the storage folder.
#include "platform/drives.h"
#include "platform/file_lock.h"
#include "platform/folder_list.h"
#include "platform/print_output.h"
#include "platform/text_file.h"
#include "records_driver.h"
#include "settings/settings_store.h"
#include "test_support.h"

#include <QInputDialog>
#include <QPrinter>
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

using namespace Qt::StringLiterals;

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void keptWhereItCanBeWritten_data();
    void keptWhereItCanBeWritten();
    void settingsReachTheControls();
    void unfinishedSavesRemoved();

    void separatorChoice();
    void storageFolderFollowsTheFolderList();
    void newFolder_data();
    void newFolder();
    void printProposesTheStorageFolder();
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

    QTest::newRow("program folder writable") << "program user"
                                             << "program/TALIV01.INI";
    QTest::newRow("program folder not writable") << "user"
                                                 << "config/taliv/TALIV01.INI";
    QTest::newRow("installed") << "program user installed"
                               << "config/taliv/TALIV01.INI";
    QTest::newRow("nowhere to write") << ""
                                      << "";
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

// The comma as both separators is refused from either list, which keeps its choice; each list
// sees the other's current choice.
void SettingsTest::separatorChoice()
{
    WindowFixture fixture;
    QComboBox& field = Find<QComboBox>(*fixture.window, "DatenTrenn");
    QComboBox& decimal = Find<QComboBox>(*fixture.window, "DezimalTrenn");
    const auto choose = [&](QComboBox& list, int index, int shown) {
        const qsizetype refusals = fixture.questions.size();
        list.setCurrentIndex(index);
        QCOMPARE(list.currentIndex(), shown);
        QCOMPARE(fixture.questions.size(), refusals + (index == shown ? 0 : 1));
    };
    QCOMPARE(field.currentIndex() + decimal.currentIndex(), 0);
    choose(decimal, 1, 1);
    choose(field, 1, 0);
    QCOMPARE(fixture.questions.last().title, u"Trennzeichen"_s);
    choose(decimal, 0, 0);
    choose(field, 1, 1);
    choose(decimal, 1, 0);
}

// The storage folder follows the folder list, with one trailing separator, and the drive list the
// drive it lies on; the settings keep both. A subfolder that vanished after it was listed, and a
// drive that is not mounted, change nothing.
void SettingsTest::storageFolderFollowsTheFolderList()
{
    WindowFixture fixture;
    const QDir folder(fixture.folder.path());
    const QString shown = QDir::toNativeSeparators(folder.path()) + QDir::separator();
    QLabel& label = Find<QLabel>(*fixture.window, "Label10");
    QComboBox& drives = Find<QComboBox>(*fixture.window, "Drive1");
    FolderList& folders = Find<FolderList>(*fixture.window, "Dir1");
    QVERIFY(folder.mkdir("Messungen") && folder.mkdir("gone"));
    folders.refresh();
    const QList<QListWidgetItem*> gone = folders.findItems("gone", Qt::MatchEndsWith);
    QCOMPARE(gone.size(), 1);
    QVERIFY(folder.rmdir("gone"));
    emit folders.itemActivated(gone.first());
    QCOMPARE(folders.findItems("gone", Qt::MatchEndsWith).size(), 0);
    drives.addItem(folder.filePath("gone"));
    drives.setCurrentText(folder.filePath("gone"));
    QCOMPARE(folders.path(), folder.path());
    QCOMPARE(label.text(), shown);

    // The temporary folder stands for a mounted volume.
    drives.addItem(folder.path());
    const QList<QListWidgetItem*> entries = folders.findItems("Messungen", Qt::MatchEndsWith);
    QCOMPARE(entries.size(), 1);
    emit folders.itemActivated(entries.first());
    QCOMPARE(folders.path(), folder.filePath("Messungen"));
    QCOMPARE(
        label.text(), QDir::toNativeSeparators(folder.filePath("Messungen")) + QDir::separator());
    QCOMPARE(drives.currentText(), folder.path());
    QVERIFY(folders.setPath(QDir::rootPath()));
    QCOMPARE(label.text(), QDir::toNativeSeparators(QDir::rootPath()));
    QCOMPARE(drives.currentText(), QDir::rootPath());
    QVERIFY(fixture.window->close());
    const QString settings = QString::fromLatin1(BytesOf(fixture.folder.filePath("TALIV01.INI")));
    QCOMPARE(settings.split("\r\n").mid(0, 2), QStringList(2, QDir::rootPath()));
}

void SettingsTest::newFolder_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("vanished"); // the shown folder is removed before the name is given
    // Relative to the shown folder; empty: the list stays where it was.
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("told");

    const QString refused = u"kein Ordnername"_s;
    QTest::newRow("new") << u" Prüfserie 2026 "_s << false << u"Prüfserie 2026"_s << QString();
    QTest::newRow("cancelled") << QString() << false << QString() << QString();
    QTest::newRow("folder there") << u"Alt"_s << false << QString() << u"„Alt“ gibt es in"_s;
    QTest::newRow("path") << u"a/b"_s << false << QString() << u"„a/b“ kann "_s + refused;
    QTest::newRow("dots") << u".."_s << false << QString() << refused;
    QTest::newRow("255 bytes") << QString(127, u'ä') + u'x' << false << QString(127, u'ä') + u'x'
                               << QString();
    QTest::newRow("256 bytes") << QString(128, u'ä') << false << QString() << refused;
    QTest::newRow("shown folder gone") << u"Neu"_s << true << QString() << u"es gibt ihn nicht"_s;
}

// "Neuer Ordner ..." makes the folder inside the shown one and opens it as the storage folder;
// a refused name, a name already there or a failure is told and changes nothing.
void SettingsTest::newFolder()
{
    QFETCH(QString, typed);
    QFETCH(bool, vanished);
    QFETCH(QString, opened);
    QFETCH(QString, told);
    WindowFixture fixture;
    const QDir shown(fixture.folder.filePath("Labor"));
    QVERIFY(shown.mkpath("Alt"));
    FolderList& folders = Find<FolderList>(*fixture.window, "Dir1");
    QVERIFY(folders.setPath(shown.path()));
    if (vanished)
        QVERIFY(QDir(shown).removeRecursively());
    QTimer::singleShot(0, [&] {
        auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        QVERIFY(ask);
        ask->setTextValue(typed);
        typed.isEmpty() ? ask->reject() : ask->accept();
    });
    Find<QPushButton>(*fixture.window, "ButNeuOrdner").click();
    QCOMPARE(folders.path(), opened.isEmpty() ? shown.path() : shown.filePath(opened));
    QCOMPARE(Find<QLabel>(*fixture.window, "Label10").text(),
        QDir::toNativeSeparators(folders.path()) + QDir::separator());
    QCOMPARE(fixture.questions.size(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty())
        QVERIFY2(fixture.questions[0].text.contains(told), qPrintable(fixture.questions[0].text));
    QCOMPARE(shown.entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
        vanished ? 0 : 1 + !opened.isEmpty());
}

// A PDF file is offered under the document's name in the storage folder, or else in the folder
// of the file written last; the printer's output format stays.
void SettingsTest::printProposesTheStorageFolder()
{
    QPrinter printer;
    const QPrinter::OutputFormat format = printer.outputFormat();
    ProposeDocument(printer, "Messprotokoll", QString());
    QCOMPARE(printer.outputFileName(), QString());
    ProposeDocument(printer, "Messprotokoll", "/daten/Labor/");
    QCOMPARE(printer.outputFileName(), u"/daten/Labor/Messprotokoll.pdf"_s);
    QCOMPARE(printer.outputFormat(), format);
    QCOMPARE(printer.docName(), u"Messprotokoll"_s);
    ProposeDocument(printer, "Vergleich-Öl", QString());
    QCOMPARE(printer.outputFileName(), u"/daten/Labor/Vergleich-Öl.pdf"_s);
    ProposeDocument(printer, "Messprotokoll", "/daten/Neu");
    QCOMPARE(printer.outputFileName(), u"/daten/Neu/Messprotokoll.pdf"_s);
}
QTEST_MAIN(SettingsTest)
#include "test_settings.moc"
