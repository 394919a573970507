// Storage folder and separator choices on the window.
#include "platform/drives.h"
#include "platform/folder_list.h"
#include "test_support.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTest>

class StorageFolderTest : public QObject {
    Q_OBJECT

private slots:
    void separatorsStartWithTheFirstEntries();
    void separatorChoice_data();
    void separatorChoice();
    void storageFolderEndsWithOneSeparator();
    void openingASubfolderShowsIt();
    void unreadableDriveChangesNothing();
    void vanishedFolderIsHarmless();
    void driveOfPath_data();
    void driveOfPath();
};

void StorageFolderTest::separatorsStartWithTheFirstEntries()
{
    WindowFixture fixture;
    const Form1& window = *fixture.window;
    QCOMPARE(window.DatenTrenn->count(), 2);
    QCOMPARE(window.DatenTrenn->itemText(0), QString(";  Semikolon"));
    QCOMPARE(window.DatenTrenn->itemText(1), QString(",  Komma"));
    QCOMPARE(window.DezimalTrenn->itemText(0), QString(".  Dezimalpunkt"));
    QCOMPARE(window.DezimalTrenn->itemText(1), QString(",  Komma"));
    QCOMPARE(window.FieldSeparator, QString(";"));
    QCOMPARE(window.DecimalSeparator, QString("."));
    QCOMPARE(window.SeparatorCode, QString(" 0 0"));
    QCOMPARE(window.FieldSepByIndex[0] + window.FieldSepByIndex[1], QString(";,"));
    QCOMPARE(window.FieldSepSubstitute[0] + window.FieldSepSubstitute[1], QString(",;"));
}

void StorageFolderTest::separatorChoice_data()
{
    QTest::addColumn<int>("fieldIndex");
    QTest::addColumn<int>("decimalIndex");
    QTest::addColumn<QString>("fieldSeparator");
    QTest::addColumn<QString>("decimalSeparator");
    QTest::addColumn<QString>("code");

    QTest::newRow("semicolon, point") << 0 << 0 << ";"
                                      << "."
                                      << " 0 0";
    QTest::newRow("comma, point") << 1 << 0 << ","
                                  << "."
                                  << " 1 0";
    QTest::newRow("semicolon, comma") << 0 << 1 << ";"
                                      << ","
                                      << " 0 1";
    QTest::newRow("comma twice is accepted") << 1 << 1 << ","
                                             << ","
                                             << " 1 1";
}

void StorageFolderTest::separatorChoice()
{
    QFETCH(int, fieldIndex);
    QFETCH(int, decimalIndex);
    QFETCH(QString, fieldSeparator);
    QFETCH(QString, decimalSeparator);
    QFETCH(QString, code);

    WindowFixture fixture;
    Form1& window = *fixture.window;
    // Chosen in both orders: each list's handler must see the other's current choice.
    window.DatenTrenn->setCurrentIndex(fieldIndex);
    window.DezimalTrenn->setCurrentIndex(decimalIndex);
    QCOMPARE(window.FieldSeparator, fieldSeparator);
    QCOMPARE(window.DecimalSeparator, decimalSeparator);
    QCOMPARE(window.SeparatorCode, code);
    window.DatenTrenn->setCurrentIndex(1 - fieldIndex);
    window.DatenTrenn->setCurrentIndex(fieldIndex);
    QCOMPARE(window.SeparatorCode, code);
}

void StorageFolderTest::storageFolderEndsWithOneSeparator()
{
    WindowFixture fixture;
    const QString expected = QDir::toNativeSeparators(fixture.folder.path()) + QDir::separator();
    QCOMPARE(fixture.window->Label10->text(), expected);

    QVERIFY(fixture.window->Dir1->setPath(QDir::rootPath()));
    QCOMPARE(fixture.window->Label10->text(), QDir::toNativeSeparators(QDir::rootPath()));
    QCOMPARE(fixture.window->Drive1->currentText(), QDir::rootPath());
}

void StorageFolderTest::openingASubfolderShowsIt()
{
    WindowFixture fixture;
    QVERIFY(QDir(fixture.folder.path()).mkdir("Messungen"));
    FolderList* folders = fixture.window->Dir1;
    folders->refresh();
    const QList<QListWidgetItem*> entries = folders->findItems("Messungen", Qt::MatchEndsWith);
    QCOMPARE(entries.size(), 1);
    emit folders->itemActivated(entries.first());
    const QString subfolder = QDir(fixture.folder.path()).filePath("Messungen");
    QCOMPARE(folders->path(), subfolder);
    QCOMPARE(
        fixture.window->Label10->text(), QDir::toNativeSeparators(subfolder) + QDir::separator());
}

void StorageFolderTest::unreadableDriveChangesNothing()
{
    WindowFixture fixture;
    Form1& window = *fixture.window;
    const QString folderBefore = window.Dir1->path();
    const QString labelBefore = window.Label10->text();
    const QString missingDrive = QDir(fixture.folder.path()).filePath("not-mounted");
    window.Drive1->addItem(missingDrive);
    window.Drive1->setCurrentText(missingDrive);
    QCOMPARE(window.Dir1->path(), folderBefore);
    QCOMPARE(window.Label10->text(), labelBefore);
    QCOMPARE(window.Drive1->currentText(), missingDrive);
}

void StorageFolderTest::vanishedFolderIsHarmless()
{
    WindowFixture fixture;
    QDir parent(fixture.folder.path());
    QVERIFY(parent.mkdir("gone"));
    FolderList* folders = fixture.window->Dir1;
    QVERIFY(folders->setPath(parent.filePath("gone")));
    folders->refresh();
    QVERIFY(parent.rmdir("gone"));
    folders->refresh();
    fixture.window->ShowStorageFolder();
    QCOMPARE(fixture.window->Label10->text(),
        QDir::toNativeSeparators(parent.filePath("gone")) + QDir::separator());
    QVERIFY(!folders->setPath(parent.filePath("gone")));
    const QList<QListWidgetItem*> entries = folders->findItems("gone", Qt::MatchEndsWith);
    QCOMPARE(entries.size(), 1);
    emit folders->itemActivated(entries.first());
    QCOMPARE(folders->path(), parent.filePath("gone"));
}

void StorageFolderTest::driveOfPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("drive");

    const QStringList roots = {"/", "/media/usb", "/media/usb2"};
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("system folder") << "/home/labor"
                                   << "/";
    QTest::newRow("mounted volume") << "/media/usb/Messungen"
                                    << "/media/usb";
    QTest::newRow("the volume itself") << "/media/usb"
                                       << "/media/usb";
    QTest::newRow("prefix is not containment") << "/media/usb2/a"
                                               << "/media/usb2";
    QTest::newRow("similar name") << "/media/usbstick"
                                  << "/";
}

void StorageFolderTest::driveOfPath()
{
    QFETCH(QString, path);
    QFETCH(QString, drive);
    QCOMPARE(DriveOfPath(path, {"/", "/media/usb", "/media/usb2"}), drive);
}

QTEST_MAIN(StorageFolderTest)
#include "test_storage_folder.moc"
