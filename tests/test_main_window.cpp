// The window's choice lists, version line and panels as the load leaves them.
#include "test_support.h"
#include "window/choice_lists.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void choiceListsAreFilledWithNothingChosen();
    void versionText_data();
    void versionText();
    void versionLineFollowsTheExecutable();
};

void MainWindowTest::choiceListsAreFilledWithNothingChosen()
{
    WindowFixture fixture;
    const QComboBox& cycles = *fixture.window->MessZyklusTab;
    QCOMPARE(cycles.count(), 66);
    QCOMPARE(cycles.itemText(0), QString("Motor immer ein"));
    QCOMPARE(cycles.itemText(5), QString(" 50 Sekunden"));
    QCOMPARE(cycles.itemText(6), QString(" 1 Minuten"));
    QCOMPARE(cycles.itemText(65), QString(" 60 Minuten"));
    QCOMPARE(cycles.currentIndex(), -1);
    QCOMPARE(fixture.panel(4), QString("Zyklus: "));
    const QComboBox& durations = *fixture.window->Messzeit;
    QCOMPARE(durations.count(), 9);
    QCOMPARE(durations.itemText(3), QString("  2 Stunden  "));
    QCOMPARE(durations.itemText(8), QString("100 Stunden  "));
    QCOMPARE(durations.currentIndex(), -1);
    QCOMPARE(fixture.window->LaufNr->text(), QString("1"));
    fixture.window->Frame14->show();
    fixture.window->ButCancel_Click();
    QVERIFY(fixture.window->Frame14->isHidden());
}

void MainWindowTest::versionText_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::newRow("2010-11-21") << QDate(2010, 11, 21) << " 1.1121";
    QTest::newRow("before 2009") << QDate(2005, 1, 2) << "-4.0102";
    QTest::newRow("two digits") << QDate(2026, 12, 6) << "17.1206";
}

void MainWindowTest::versionText()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QCOMPARE(VersionText(QDateTime(date, QTime(10, 0))), text);
}

void MainWindowTest::versionLineFollowsTheExecutable()
{
    WindowFixture fixture;
    QCOMPARE(fixture.panel(6), QString());
    QFile executable(fixture.folder.filePath("taliv01"));
    QVERIFY(executable.open(QIODevice::WriteOnly));
    QVERIFY(executable.setFileTime(
        QDateTime(QDate(2010, 11, 21), QTime(9, 30)), QFileDevice::FileModificationTime));
    executable.close();
    fixture.window->ShowVersion();
    QCOMPARE(fixture.panel(6), QString("Version:  1.1121"));
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
