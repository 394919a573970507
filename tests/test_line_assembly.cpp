// Received characters into lines, and the rules that read a line.
#include "instrument/line_assembly.h"
#include "instrument/replies.h"

#include <QTest>

class LineAssemblyTest : public QObject {
    Q_OBJECT

private slots:
    void assemblesLinesAcrossEvents_data();
    void assemblesLinesAcrossEvents();
    void replyPosition_data();
    void replyPosition();
    void replyKindAndEcho_data();
    void replyKindAndEcho();
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
    QTest::newRow("empty lines") << QStringList {"\r\r"} << QStringList {"", ""} << "";
    QTest::newRow("noise, NUL and high characters kept")
        << QStringList {QString("a\x01") + QChar(0) + QChar(0xE4) + QChar(0x20AC) + "\r"}
        << QStringList {QString("a\x01") + QChar(0) + QChar(0xE4) + QChar(0x20AC)} << "";
    QTest::newRow("longest line kept") << QStringList {QString(MaxReplyLength, 'x') + "\r"}
                                       << QStringList {QString(MaxReplyLength, 'x')} << "";
    QTest::newRow("one character too long discarded")
        << QStringList {QString(MaxReplyLength + 1, 'x') + "\r*OK! RUN\r"}
        << QStringList {"*OK! RUN"} << "";
    QTest::newRow("line without end not kept")
        << QStringList {QString(MaxReplyLength, 'x'), "yy"} << QStringList {} << "";
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

void LineAssemblyTest::replyPosition_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("position");

    QTest::newRow("group 2 place 1") << "*S21" << 9;
    QTest::newRow("last") << "*E48" << 32;
    QTest::newRow("group 0") << "*S01" << 0;
    QTest::newRow("group 5") << "*S51" << 0;
    QTest::newRow("place 0") << "*S20" << 0;
    QTest::newRow("place 9") << "*S19" << 0;
    QTest::newRow("one digit") << "*S1" << 0;
}

void LineAssemblyTest::replyPosition()
{
    QFETCH(QString, line);
    QFETCH(int, position);
    QCOMPARE(ReplyPosition(line).value_or(0), position);
}

void LineAssemblyTest::replyKindAndEcho_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("echo");

    const QString sixty = "*T" + QString(58, '7');
    QTest::newRow("answer") << "*OK! RUN" << int(ReplyKind::InstrumentAnswer) << "Eing: *OK! RUN";
    QTest::newRow("answer with more")
        << "*OK! RUNNING" << int(ReplyKind::InstrumentAnswer) << "Eing: *OK! RUNNING";
    QTest::newRow("sample") << "*A00000000123023.5" << int(ReplyKind::Sample)
                            << "Eing: Daten *A00000000123023.5";
    QTest::newRow("time") << "*I00000090" << int(ReplyKind::ElapsedTime) << "Eing: *I00000090";
    QTest::newRow("start") << "*S11" << int(ReplyKind::Start) << "Eing: *S11";
    QTest::newRow("end") << "*E11" << int(ReplyKind::End) << "Eing: *E11";
    QTest::newRow("lower case only echoed") << "*s11" << int(ReplyKind::Other) << "Eing: *s11";
    QTest::newRow("number reply of sixty characters cut to forty")
        << sixty << int(ReplyKind::Other) << "Eing: " + sixty.left(40);
}

void LineAssemblyTest::replyKindAndEcho()
{
    QFETCH(QString, line);
    QFETCH(int, kind);
    QFETCH(QString, echo);
    QCOMPARE(int(KindOfReply(line)), kind);
    QCOMPARE(ReplyEcho(line), echo);
}

QTEST_APPLESS_MAIN(LineAssemblyTest)
#include "test_line_assembly.moc"
