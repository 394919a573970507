// The real message box: its answers to the keyboard and to the title bar's close.
#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");

        const int retryCancel = MsgStyle::RetryCancel + MsgStyle::Exclamation;
        QTest::newRow("Escape cancels") << retryCancel << "escape" << MsgResult::Cancel;
        QTest::newRow("close cancels") << retryCancel << "close" << MsgResult::Cancel;
        QTest::newRow("Enter takes the first button") << retryCancel << "enter" << MsgResult::Retry;
        QTest::newRow("Enter takes a chosen second button") << MsgStyle::YesNo + MsgStyle::Question
                + MsgStyle::DefaultButton2 << "enter" << MsgResult::No;
        QTest::newRow("Escape without Cancel: last button")
            << MsgStyle::YesNo + MsgStyle::Question << "escape" << MsgResult::No;
        QTest::newRow("close of a plain message") << MsgStyle::OkOnly << "close" << MsgResult::Ok;
    }

    void answers()
    {
        QFETCH(int, style);
        QFETCH(QString, action);
        QFETCH(int, answer);

        QWidget window;
        window.show();
        QTimer::singleShot(0, [action] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box)
                return;
            if (action == "close")
                box->close();
            else
                QTest::keyClick(box, action == "escape" ? Qt::Key_Escape : Qt::Key_Return);
        });
        QCOMPARE(ShowMessageBox(&window, style, "Titel", "Text"), answer);
    }

    // A flood of reports must not open a flood of windows: the open box shows the latest.
    void reportsWhileOneIsOpenShareIt()
    {
        QWidget window;
        for (int report = 1; report <= 50; ++report)
            ShowMessageBoxLater(
                &window, MsgStyle::Exclamation, "Messung starten", QString::number(report));
        ShowMessageBoxLater(&window, MsgStyle::Exclamation, "Messdatei", "anderer Titel");
        const QList<QMessageBox*> boxes = window.findChildren<QMessageBox*>();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes.first()->text(), "50");
        QVERIFY(boxes.first()->isVisible());
        boxes.first()->close();
        QTRY_COMPARE(window.findChildren<QMessageBox*>().size(), 1);
    }
};

QTEST_MAIN(MessageBoxTest)
#include "test_message_box.moc"
