// The window's choice lists, version line and panels as the load leaves them.
#include "platform/picture_box.h"
#include "test_support.h"
#include "window/choice_lists.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void choiceListsAreFilledWithNothingChosen();
    void versionText_data();
    void versionText();
    void versionLineFollowsTheExecutable();
    void parameterChoicesSendTheirCommands_data();
    void parameterChoicesSendTheirCommands();
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
    QCOMPARE(durations.currentIndex(), 0);
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

void MainWindowTest::parameterChoicesSendTheirCommands_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("echo");

    QTest::newRow("cycle 5 minutes") << "cycle" << 10 << QByteArray("M:\n\r") << "Ausg: M:";
    QTest::newRow("no cycle chosen") << "cycle" << -1 << QByteArray() << "Ausg: T0";
    QTest::newRow("20 hours") << "duration" << 6 << QByteArray("D7\n\r") << "Ausg: D7";
    QTest::newRow("no duration chosen") << "duration" << -1 << QByteArray() << "Ausg: T0";
    QTest::newRow("temperature on") << "temperature" << 1 << QByteArray("T1\n\r") << "Ausg: T1";
}

// The load sends the probe and the first start's duration and temperature; each choice of the user
// then sends its command at once, and so does the same choice made again (the instrument may have
// been switched off and on).
void MainWindowTest::parameterChoicesSendTheirCommands()
{
    QFETCH(QString, control);
    QFETCH(int, choice);
    QFETCH(QByteArray, written);
    QFETCH(QString, echo);

    WindowFixture fixture;
    Form1& window = *fixture.window;
    QCOMPARE(fixture.line->writtenTo(1), QByteArray("RUN\n\rD1\n\rT0\n\r"));
    fixture.line->clearWrites();
    QComboBox* list = control == "cycle" ? window.MessZyklusTab : window.Messzeit;
    const auto choose = [&] {
        if (control == "temperature")
            window.TempOnOff[choice]->click();
        else
            Choose(list, choice);
    };
    choose();
    choose();
    QCOMPARE(fixture.line->writtenTo(1), written + written);
    QCOMPARE(fixture.panel(1), echo);
    if (control == "cycle" && choice >= 0)
        QCOMPARE(fixture.panel(4), QString("Zyklus:  5 Minuten"));
    if (control == "duration" && choice >= 0) {
        QCOMPARE(window.DurationIndex, qint16(7));
        QVERIFY(window.Grafik[1]->DrawLog().contains("text 3400,60 #000000 'Stunden  '"));
        QVERIFY(window.Grafik[0]->DrawLog().contains("text 3400,60 #000000 'Stunden  '"));
    }
    if (control == "temperature")
        QCOMPARE(window.Frame10->isVisibleTo(&window), choice == 1);
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
