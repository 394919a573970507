// Storage folder and separator choices on the window.
#include "platform/drives.h"
#include "platform/folder_list.h"
#include "test_support.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;

class StorageFolderTest : public QObject {
    Q_OBJECT

private slots:
    void separatorChoice_data();
    void separatorChoice();
    void storageFolderFollowsTheFolderList();
    void driveOfPath_data();
    void driveOfPath();
};

void StorageFolderTest::separatorChoice_data()
{
    QTest::addColumn<int>("fieldIndex");
    QTest::addColumn<int>("decimalIndex");
    QTest::addColumn<QString>("code");

    QTest::newRow("semicolon, point") << 0 << 0 << u" 0 0"_s;
    QTest::newRow("comma, point") << 1 << 0 << u" 1 0"_s;
    QTest::newRow("semicolon, comma") << 0 << 1 << u" 0 1"_s;
}

// Each pair is reached coming from the other entries and in both orders: each list's handler must
// see the other's current choice. The comma twice is refused from either list, and the list shows
// the choice that stays; the settings keep the pair.
void StorageFolderTest::separatorChoice()
{
    QFETCH(int, fieldIndex);
    QFETCH(int, decimalIndex);
    QFETCH(QString, code);

    WindowFixture fixture;
    QComboBox& field = Find<QComboBox>(*fixture.window, "DatenTrenn");
    QComboBox& decimal = Find<QComboBox>(*fixture.window, "DezimalTrenn");
    QCOMPARE(field.currentIndex() + decimal.currentIndex(), 0);
    for (const int index : {1 - fieldIndex, fieldIndex})
        field.setCurrentIndex(index);
    for (const int index : {1 - decimalIndex, decimalIndex})
        decimal.setCurrentIndex(index);
    for (const int index : {1 - fieldIndex, fieldIndex})
        field.setCurrentIndex(index);
    const qsizetype refusals = fixture.questions.size();

    QComboBox& other = fieldIndex == 1 ? decimal : field;
    other.setCurrentIndex(1);
    if (fieldIndex + decimalIndex == 1) {
        QCOMPARE(fixture.questions.size(), refusals + 1);
        QCOMPARE(fixture.questions.last().title, u"Trennzeichen"_s);
        QCOMPARE(other.currentIndex(), 0);
    }
    if (fieldIndex + decimalIndex == 0)
        other.setCurrentIndex(0);
    QVERIFY(fixture.window->close());
    const QString settings = QString::fromLatin1(BytesOf(fixture.folder.filePath("TALIV01.INI")));
    QCOMPARE(settings.split("\r\n").value(4), code);
}

// The storage folder follows the folder list, with one trailing separator, and the drive list the
// drive it lies on. A subfolder that vanished after it was listed, and a drive that is not
// mounted, change nothing.
void StorageFolderTest::storageFolderFollowsTheFolderList()
{
    WindowFixture fixture;
    const QDir folder(fixture.folder.path());
    const QString shown = QDir::toNativeSeparators(folder.path()) + QDir::separator();
    QLabel& label = Find<QLabel>(*fixture.window, "Label10");
    QComboBox& drives = Find<QComboBox>(*fixture.window, "Drive1");
    FolderList& folders = Find<FolderList>(*fixture.window, "Dir1");
    QCOMPARE(label.text(), shown);
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

QTEST_MAIN(StorageFolderTest)
#include "test_storage_folder.moc"
