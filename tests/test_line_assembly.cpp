// Received characters into lines, and the rules that read a line.
#include "instrument/line_assembly.h"
#include "instrument/replies.h"

#include <QTest>

class LineAssemblyTest : public QObject {
    Q_OBJECT

private slots:
    void assemblesLinesAcrossEvents_data();
    void assemblesLinesAcrossEvents();
    void replyKindPositionAndEcho_data();
    void replyKindPositionAndEcho();
};

void LineAssemblyTest::assemblesLinesAcrossEvents_data()
{
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("leftOver");

    QTest::newRow("CR LF and LF CR")
        << QStringList {"*OK! RUN\r\n*T1\n\r"} << QStringList {"*OK! RUN", "*T1"} << "";
    QTest::newRow("LF alone ends nothing")
        << QStringList {"*OK! RUN\n"} << QStringList {} << "*OK! RUN";
    QTest::newRow("split across events")
        << QStringList {"*I1\r*A0", "0000", "123\r*T"} << QStringList {"*I1", "*A00000123"} << "*T";
    QTest::newRow("one character too long discarded")
        << QStringList {QString(MaxReplyLength + 1, 'x') + "\r*OK! RUN\r"}
        << QStringList {"*OK! RUN"} << "";
    QTest::newRow("long line discarded across events") << QStringList {QString(MaxReplyLength, 'x'),
        "yy", "zz\r*T1\r"} << QStringList {"*T1"} << "";
}

void LineAssemblyTest::assemblesLinesAcrossEvents()
{
    QFETCH(QStringList, events);
    QFETCH(QStringList, lines);
    QFETCH(QString, leftOver);

    QString buffer;
    bool discarding = false;
    QStringList received;
    for (const QString& event : events)
        received += AssembleLines(buffer, discarding, event);
    QCOMPARE(received, lines);
    QCOMPARE(buffer, leftOver);
}

void LineAssemblyTest::replyKindPositionAndEcho_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("position"); // 0: none
    QTest::addColumn<QString>("echo");

    const int start = int(ReplyKind::Start), other = int(ReplyKind::Other);
    const QString sixty = "*T" + QString(58, '7');
    QTest::newRow("answer") << "*OK! RUN" << int(ReplyKind::InstrumentAnswer) << 0
                            << "Eing: *OK! RUN";
    QTest::newRow("sample") << "*A00000000123023.5" << int(ReplyKind::Sample) << 0
                            << "Eing: Daten *A00000000123023.5";
    QTest::newRow("group 2 place 1") << "*S21" << start << 9 << "Eing: *S21";
    QTest::newRow("group 5") << "*S51" << start << 0 << "Eing: *S51";
    QTest::newRow("place 9") << "*S19" << start << 0 << "Eing: *S19";
    QTest::newRow("one digit") << "*S1" << start << 0 << "Eing: *S1";
    QTest::newRow("lower case only echoed") << "*s11" << other << 1 << "Eing: *s11";
    QTest::newRow("sixty characters cut to forty")
        << sixty << other << 0 << "Eing: " + sixty.left(40);
}

void LineAssemblyTest::replyKindPositionAndEcho()
{
    QFETCH(QString, line);
    QFETCH(int, kind);
    QFETCH(int, position);
    QFETCH(QString, echo);
    QCOMPARE(int(KindOfReply(line)), kind);
    QCOMPARE(ReplyPosition(line).value_or(0), position);
    QCOMPARE(ReplyEcho(line), echo);
}

QTEST_APPLESS_MAIN(LineAssemblyTest)
#include "test_line_assembly.moc"
