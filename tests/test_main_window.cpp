// The window's choice lists, version line and panels as the load leaves them.
#include "test_support.h"
#include "window/measurement_panel.h"

#include <QFile>
#include <QGroupBox>
#include <QProgressBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void versionLineFollowsTheExecutable_data()
    {
        QTest::addColumn<QDate>("built"); // invalid: no executable
        QTest::addColumn<QString>("text");
        QTest::newRow("no executable") << QDate() << "";
        QTest::newRow("two digits") << QDate(2026, 12, 6) << "Version: 17.1206";
    }

    void versionLineFollowsTheExecutable()
    {
        QFETCH(QDate, built);
        QFETCH(QString, text);
        QTemporaryDir programFolder;
        QFile executable(programFolder.filePath("taliv01"));
        if (built.isValid()) {
            QVERIFY(executable.open(QIODevice::WriteOnly));
            QVERIFY(executable.setFileTime(
                QDateTime(built, QTime(9, 30)), QFileDevice::FileModificationTime));
            executable.close();
        }
        const WindowFixture fixture({1}, {}, {.programFolder = programFolder.path()});
        QCOMPARE(fixture.panel(6), text);
        // F1 opens the guide, which names both versions; "?" raises the same one.
        fixture.window->show();
        QVERIFY(QTest::qWaitForWindowActive(fixture.window.get()));
        QTest::keyClick(fixture.window.get(), Qt::Key_F1);
        QVERIFY(Find<QTextBrowser>(*fixture.window, "Anleitung").isVisible());
        Find<QToolButton>(*fixture.window, "ButHilfe").click();
        const QList<QTextBrowser*> guides
            = fixture.window->findChildren<QTextBrowser*>("Anleitung");
        QCOMPARE(guides.size(), 1);
        QVERIFY(guides[0]->isVisible());
        const QString shown = guides[0]->toPlainText();
        QVERIFY(shown.startsWith("KALDURA - QTM: Kurzanleitung"));
        QVERIFY2(
            shown.endsWith((text.isEmpty() ? "" : text.simplified() + ", ") + "Paketversion 1.0.0"),
            qPrintable(shown.right(60)));
    }

    void progressOfATest_data()
    {
        QTest::addColumn<QString>("elapsed");
        QTest::addColumn<int>("duration");
        QTest::addColumn<QString>("shown");
        QTest::newRow("on its way") << "00:14:50" << 900 << "00:14:50 von 00:15:00";
        QTest::newRow("100 hours") << "100:00:00" << 360000 << "100:00:00 von 100:00:00";
        QTest::newRow("no time yet") << "" << 900 << "";
        QTest::newRow("not a time") << "00:99:99" << 900 << "";
        QTest::newRow("no duration") << "00:00:10" << 0 << "";
    }

    void progressOfATest()
    {
        QFETCH(QString, elapsed);
        QFETCH(int, duration);
        QFETCH(QString, shown);
        MeasurementPanel panel(new QWidget);
        panel.ShowElapsed(elapsed, duration > 0 ? std::optional<qint32>(duration) : std::nullopt);
        QCOMPARE(Find<QProgressBar>(panel, "Fortschritt1").text(), shown);
    }

    void parameterChoicesSendTheirCommands_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("echo");

        QTest::newRow("cycle 5 minutes") << "cycle" << 10 << QByteArray("M:\n\r") << "Ausg: M:";
        QTest::newRow("no cycle chosen") << "cycle" << -1 << QByteArray() << "Ausg: T0";
        QTest::newRow("20 hours") << "duration" << 6 << QByteArray("D7\n\r") << "Ausg: D7";
        QTest::newRow("temperature on") << "temperature" << 1 << QByteArray("T1\n\r") << "Ausg: T1";
    }

    // The load sends the probe and the first start's duration and temperature; each choice of the
    // user then sends its command at once, and so does the same choice made again (the instrument
    // may have been switched off and on).
    void parameterChoicesSendTheirCommands()
    {
        QFETCH(QString, control);
        QFETCH(int, choice);
        QFETCH(QByteArray, written);
        QFETCH(QString, echo);

        WindowFixture fixture;
        Form1& window = *fixture.window;
        QCOMPARE(fixture.line->writtenTo(1), QByteArray("RUN\n\rD1\n\rT0\n\r"));
        fixture.line->clearWrites();
        QComboBox* list
            = &Find<QComboBox>(window, control == "cycle" ? "MessZyklusTab" : "Messzeit");
        const auto choose = [&] {
            if (control == "temperature")
                Find<QRadioButton>(window, QString("TempOnOff%1").arg(choice)).click();
            else
                Choose(list, choice);
        };
        choose();
        choose();
        QCOMPARE(fixture.line->writtenTo(1), written + written);
        QTRY_COMPARE(fixture.panel(1), echo);
        if (control == "cycle" && choice >= 0)
            QCOMPARE(fixture.panel(4), QString("Zyklus:  5 Minuten"));
        if (control == "temperature")
            QCOMPARE(Find<QGroupBox>(window, "Frame10").isVisibleTo(&window), choice == 1);
    }

    // The lists are filled with nothing chosen and the reserve tabs locked; the new-protocol frame
    // opens whole in a window of the first start's size, without widening it, and closes; Tab from
    // the last remark reaches Start; a test chosen in the protocol table is named under it.
    void loadedWindow()
    {
        WindowFixture fixture;
        const Form1& window = *fixture.window;
        const auto& cycles = Find<QComboBox>(window, "MessZyklusTab");
        QCOMPARE(cycles.count(), 66);
        QCOMPARE(cycles.itemText(0), QString("Motor immer ein"));
        QCOMPARE(cycles.itemText(65), QString(" 60 Minuten"));
        QCOMPARE(cycles.currentIndex(), -1);
        QCOMPARE(fixture.panel(4), QString("Zyklus: "));
        const auto& durations = Find<QComboBox>(window, "Messzeit");
        QCOMPARE(durations.count(), 9);
        QCOMPARE(durations.itemText(8), QString("100 Stunden  "));
        QCOMPARE(durations.currentIndex(), 0);
        QCOMPARE(Find<QLineEdit>(window, "LaufNr").text(), QString("1"));
        const auto* tabs = &Find<QTabWidget>(window, "SSTab1");
        QCOMPARE(tabs->currentIndex(), 0);
        for (int tab = 0; tab < tabs->count(); ++tab)
            QCOMPARE(tabs->isTabEnabled(tab), tabs->tabText(tab) != "Reserve");
        fixture.window->resize(1024, 720);
        fixture.window->show();
        QCoreApplication::processEvents();
        const int width = window.width();
        Find<QPushButton>(window, "ButProtNeu").click();
        QVERIFY(!Find<QGroupBox>(window, "Frame14").isHidden());
        QCoreApplication::processEvents();
        QCOMPARE(window.width(), width);
        const auto& name = Find<QLineEdit>(window, "ProtDat");
        QVERIFY(name.height() >= name.sizeHint().height());
        Find<QPushButton>(window, "ButCancel").click();
        QVERIFY(Find<QGroupBox>(window, "Frame14").isHidden());
        QWidget* next = Find<QLineEdit>(window, "Bem3").nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        QCOMPARE(next, &Find<QPushButton>(window, "Start1"));
        auto& table = Find<FlexGrid>(window, "ProtTab");
        table.setRows(2);
        table.setTextMatrix(1, 0, "00012");
        table.setTextMatrix(1, 2, "Öl");
        table.setRow(1);
        emit table.Click();
        QVERIFY(!Find<QLabel>(window, "Label28").isHidden());
        QCOMPARE(Find<QLabel>(window, "Label28").text(), "Test-Nr.: 00012 / Öl");
    }

    void searchOutcomes_data()
    {
        QTest::addColumn<QByteArray>("received"); // before the 15 ticks of a whole search
        QTest::addColumn<int>("answer"); // to the question after the last port
        QTest::addColumn<QByteArray>("written"); // to the port found, after its probe
        QTest::addColumn<bool>("startShown");

        QTest::newRow("found: parameters and the reset of position 1")
            << QByteArray("*OK! RUN\r") << int(MsgResult::Cancel) << QByteArray("D1\n\rT0\n\rE\n\r")
            << true;
        QTest::newRow("found while a test runs: nothing sent")
            << QByteArray("*OK! RUN\r*S11\r") << int(MsgResult::Cancel) << QByteArray() << true;
        QTest::newRow("not found, Cancel: offline, no Start")
            << QByteArray() << int(MsgResult::Cancel) << QByteArray() << false;
    }

    // What the window makes of the search: the instrument found gets the run parameters; the user
    // giving up leaves the window without a Start button, after the one question.
    void searchOutcomes()
    {
        QFETCH(QByteArray, received);
        QFETCH(int, answer);
        QFETCH(QByteArray, written);
        QFETCH(bool, startShown);

        WindowFixture fixture({1});
        Find<QComboBox>(*fixture.window, "TabProtDatei").addItem("Serie");
        QDir(fixture.folder.path()).mkdir("Serie");
        fixture.answers = {answer};
        fixture.receive(received);
        fixture.line->clearWrites();
        const int ticks = received.isEmpty() ? InstrumentLink::LastSearchPort : 1;
        for (int tick = 0; tick < ticks; ++tick)
            fixture.window->findChild<InstrumentLink*>()->Timer2_Timer();
        QCOMPARE(fixture.line->writtenTo(1), written);
        QCOMPARE(!Find<QPushButton>(*fixture.window, "Start1").isHidden(), startShown);
        QCOMPARE(fixture.questions.size(), received.isEmpty() ? 1 : 0);
        if (received.isEmpty()) {
            QCOMPARE(fixture.questions.first().style, 53);
            QCOMPARE(fixture.questions.first().title, QString("Verbindung zum Messgerät "));
            QVERIFY(
                fixture.questions.first().text.startsWith("Die Verbindung zum Messgerät konnte"));
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
