// The real message box: its answers to the keyboard and to the title bar's close.
#include "platform/message_box.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
};

void MessageBoxTest::answers_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("answer");

    const int retryCancel = MsgStyle::RetryCancel + MsgStyle::Exclamation;
    QTest::newRow("Escape cancels") << retryCancel << "escape" << MsgResult::Cancel;
    QTest::newRow("close cancels") << retryCancel << "close" << MsgResult::Cancel;
    QTest::newRow("Enter takes the first button") << retryCancel << "enter" << MsgResult::Retry;
    QTest::newRow("Escape without Cancel: last button")
        << MsgStyle::YesNo + MsgStyle::Question << "escape" << MsgResult::No;
    QTest::newRow("close of a plain message") << MsgStyle::OkOnly << "close" << MsgResult::Ok;
}

void MessageBoxTest::answers()
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

QTEST_MAIN(MessageBoxTest)
#include "test_message_box.moc"
