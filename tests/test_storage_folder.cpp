// Storage folder and separator choices on the window.
#include "platform/drives.h"
#include "platform/folder_list.h"
#include "platform/print_output.h"
#include "test_support.h"

#include <QComboBox>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class StorageFolderTest : public QObject {
    Q_OBJECT

private slots:
    void separatorChoice();
    void storageFolderFollowsTheFolderList();
    void driveOfPath_data();
    void driveOfPath();
    void newFolder_data();
    void newFolder();
    void printProposesTheStorageFolder();
};

// The comma as both separators is refused from either list, which keeps its choice; each list
// sees the other's current choice.
void StorageFolderTest::separatorChoice()
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
void StorageFolderTest::storageFolderFollowsTheFolderList()
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

void StorageFolderTest::driveOfPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("drive");

    QTest::newRow("system folder") << u"/home/labor"_s << u"/"_s;
    QTest::newRow("the volume itself") << u"/media/usb"_s << u"/media/usb"_s;
    QTest::newRow("up out of the volume") << u"/media/usb/../data"_s << u"/"_s;
    QTest::newRow("similar name") << u"/media/usbstick"_s << u"/"_s;
}

void StorageFolderTest::driveOfPath()
{
    QFETCH(QString, path);
    QFETCH(QString, drive);
    QCOMPARE(DriveOfPath(path, {"/", "/media/usb"}), drive);
}

void StorageFolderTest::newFolder_data()
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
    QTest::newRow("file there") << u"Datei"_s << false << QString() << u"„Datei“ gibt es"_s;
    QTest::newRow("path") << u"a/b"_s << false << QString() << u"„a/b“ kann "_s + refused;
    QTest::newRow("Windows character") << u"x:y"_s << false << QString() << refused;
    QTest::newRow("dots") << u".."_s << false << QString() << refused;
    QTest::newRow("255 bytes") << QString(127, u'ä') + u'x' << false << QString(127, u'ä') + u'x'
                               << QString();
    QTest::newRow("256 bytes") << QString(128, u'ä') << false << QString() << refused;
    QTest::newRow("shown folder gone") << u"Neu"_s << true << QString() << u"es gibt ihn nicht"_s;
}

// "Neuer Ordner ..." makes the folder inside the shown one and opens it as the storage folder;
// a refused name, a name already there or a failure is told and changes nothing.
void StorageFolderTest::newFolder()
{
    QFETCH(QString, typed);
    QFETCH(bool, vanished);
    QFETCH(QString, opened);
    QFETCH(QString, told);
    WindowFixture fixture;
    const QDir shown(fixture.folder.filePath("Labor"));
    QVERIFY(shown.mkpath("Alt"));
    PutBytes(shown.filePath("Datei"), "x");
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
void StorageFolderTest::printProposesTheStorageFolder()
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

QTEST_MAIN(StorageFolderTest)
#include "test_storage_folder.moc"
