// Storage folder and separator choices on the window.
#include "platform/drives.h"
#include "platform/folder_list.h"
#include "test_support.h"
#include "window/parameter_panel.h"

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
    void missingFolderChangesNothing();
    void driveOfPath_data();
    void driveOfPath();
};

void StorageFolderTest::separatorChoice_data()
{
    QTest::addColumn<int>("fieldIndex");
    QTest::addColumn<int>("decimalIndex");
    QTest::addColumn<QString>("fieldSeparator");
    QTest::addColumn<QString>("decimalSeparator");
    QTest::addColumn<QString>("code");

    QTest::newRow("semicolon, point") << 0 << 0 << u";"_s << u"."_s << u" 0 0"_s;
    QTest::newRow("comma, point") << 1 << 0 << u","_s << u"."_s << u" 1 0"_s;
    QTest::newRow("semicolon, comma") << 0 << 1 << u";"_s << u","_s << u" 0 1"_s;
}

// Each pair is reached coming from the other entries and in both orders: each list's handler must
// see the other's current choice. The comma twice is refused from either list, and the list shows
// the choice that stays.
void StorageFolderTest::separatorChoice()
{
    QFETCH(int, fieldIndex);
    QFETCH(int, decimalIndex);
    QFETCH(QString, fieldSeparator);
    QFETCH(QString, decimalSeparator);
    QFETCH(QString, code);

    WindowFixture fixture;
    Form1& window = *fixture.window;
    QCOMPARE(window.parameters->DatenTrenn->currentIndex(), 0);
    QCOMPARE(window.parameters->DezimalTrenn->currentIndex(), 0);
    window.parameters->DatenTrenn->setCurrentIndex(1 - fieldIndex);
    window.parameters->DezimalTrenn->setCurrentIndex(1 - decimalIndex);
    window.parameters->DatenTrenn->setCurrentIndex(fieldIndex);
    window.parameters->DezimalTrenn->setCurrentIndex(decimalIndex);
    window.parameters->DatenTrenn->setCurrentIndex(1 - fieldIndex);
    window.parameters->DatenTrenn->setCurrentIndex(fieldIndex);
    QCOMPARE(window.parameters->SeparatorCode(), code);
    QCOMPARE(window.parameters->FieldSeparator(), fieldSeparator);
    QCOMPARE(window.parameters->DecimalSeparator(), decimalSeparator);
    const int refusalsBefore = int(fixture.questions.size());

    QComboBox* other
        = fieldIndex == 1 ? window.parameters->DezimalTrenn : window.parameters->DatenTrenn;
    other->setCurrentIndex(1);
    if (fieldIndex + decimalIndex == 1) {
        QCOMPARE(fixture.questions.size(), refusalsBefore + 1);
        QCOMPARE(fixture.questions.last().title, u"Trennzeichen"_s);
        QCOMPARE(other->currentIndex(), 0);
        QCOMPARE(window.parameters->SeparatorCode(), code);
        QCOMPARE(window.parameters->FieldSeparator(), fieldSeparator);
        QCOMPARE(window.parameters->DecimalSeparator(), decimalSeparator);
    }
}

void StorageFolderTest::storageFolderFollowsTheFolderList()
{
    WindowFixture fixture;
    Form1& window = *fixture.window;
    const QDir folder(fixture.folder.path());
    QCOMPARE(window.Label10->text(), QDir::toNativeSeparators(folder.path()) + QDir::separator());

    // The temporary folder stands for a mounted volume.
    window.Drive1->addItem(folder.path());
    QVERIFY(folder.mkdir("Messungen"));
    window.Dir1->refresh();
    const QList<QListWidgetItem*> entries = window.Dir1->findItems("Messungen", Qt::MatchEndsWith);
    QCOMPARE(entries.size(), 1);
    emit window.Dir1->itemActivated(entries.first());
    const QString subfolder = folder.filePath("Messungen");
    QCOMPARE(window.Dir1->path(), subfolder);
    QCOMPARE(window.Label10->text(), QDir::toNativeSeparators(subfolder) + QDir::separator());
    QCOMPARE(window.Drive1->currentText(), folder.path());

    QVERIFY(window.Dir1->setPath(QDir::rootPath()));
    QCOMPARE(window.Label10->text(), QDir::toNativeSeparators(QDir::rootPath()));
    QCOMPARE(window.Drive1->currentText(), QDir::rootPath());
}

// A subfolder that vanished after it was listed, and a drive that is not mounted.
void StorageFolderTest::missingFolderChangesNothing()
{
    WindowFixture fixture;
    Form1& window = *fixture.window;
    const QDir folder(fixture.folder.path());
    QVERIFY(folder.mkdir("gone"));
    window.Dir1->refresh();
    const QList<QListWidgetItem*> entries = window.Dir1->findItems("gone", Qt::MatchEndsWith);
    QCOMPARE(entries.size(), 1);
    QVERIFY(folder.rmdir("gone"));
    const QString label = window.Label10->text();

    emit window.Dir1->itemActivated(entries.first());
    QCOMPARE(window.Dir1->findItems("gone", Qt::MatchEndsWith).size(), 0);
    window.Drive1->addItem(folder.filePath("gone"));
    window.Drive1->setCurrentText(folder.filePath("gone"));
    QCOMPARE(window.Drive1->currentText(), folder.filePath("gone"));
    QCOMPARE(window.Dir1->path(), folder.path());
    QCOMPARE(window.Label10->text(), label);
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
