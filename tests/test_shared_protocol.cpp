// Two programs on one protocol file, each with its own instrument, and a program killed in the
// middle of a test: no record is lost, given twice or mixed up with another test's file.
#include "child_processes.h"
#include "platform/folder_list.h"

#include <QLineEdit>
#include <QTest>
#include <csignal>

namespace {

constexpr int TestsEach = 20;
// The program has found the instrument and reset position 1.
const QByteArray Connected = "expect E\n";

// `tests` tests of one sample of `tenths` (five digits), each started once the program has
// answered the end of the one before; the first once the program is connected.
QByteArray Script(int tests, const QByteArray& tenths)
{
    QByteArray script = Connected;
    for (int test = 0; test < tests; ++test)
        script += "wait 0.05\n*S11\n*I00000010\n*A000000" + tenths + "000.0\n*E11\nexpect E\n";
    return script;
}

// The viscosity fields of a measurement file's data lines.
QStringList Values(const QString& path)
{
    QStringList values;
    for (const QString& line : DataLines(path))
        values << line.mid(MeasurementFile::ViscosityAt, MeasurementFile::ValueLength);
    return values;
}

} // namespace

class SharedProtocolTest : public QObject {
    Q_OBJECT

private slots:
    void twoProgramsOnOneProtocol();
    void aKilledProgramsTestIsRecordedLater();
};

// Two programs, two instruments, one protocol file, 20 tests each as fast as the instruments can
// start them: 40 records with 40 numbers, each naming the file with its own program's values.
// Program A finds its instrument behind two ports that lead nowhere; both end normally at SIGTERM.
void SharedProtocolTest::twoProgramsOnOneProtocol()
{
    QTemporaryDir storage, programA, programB;
    MakeSeries(storage);
    Simulator instrumentA(ScriptArguments(storage, "a.txt", Script(TestsEach, "00111")));
    Simulator instrumentB(ScriptArguments(storage, "b.txt", Script(TestsEach, "00222")));
    Program a(programA.path(), storage.path(), instrumentA.device(), 2);
    Program b(programB.path(), storage.path(), instrumentB.device());
    for (Simulator* instrument : {&instrumentA, &instrumentB})
        QVERIFY2(instrument->waitForLog("! script finished", 120000) >= 0,
            instrument->log.right(2000).constData());
    QVERIFY(a.stop());
    QVERIFY(b.stop());

    const QStringList records = Records(storage);
    QCOMPARE(records.size(), 2 * TestsEach);
    QSet<QString> names;
    QMap<QString, int> testsWithValue;
    for (const QString& record : records) {
        const std::optional<QString> name = RecordTestName(record);
        QVERIFY2(name.has_value(), qPrintable(record));
        names.insert(*name);
        const QStringList values = Values(storage.filePath("Serie/" + MeasurementFileName(*name)));
        QCOMPARE(values.size(), 1);
        ++testsWithValue[values.first()];
    }
    QCOMPARE(names.size(), 2 * TestsEach);
    QCOMPARE(testsWithValue, (QMap<QString, int> {{" 11.1", TestsEach}, {" 22.2", TestsEach}}));
    QCOMPARE(QDir(storage.filePath("Serie")).entryList({"Alt*"}, QDir::Files), QStringList());
}

// A program killed in the middle of a test leaves its file without a record; the next start on the
// protocol offers it, and Yes records it from its header.
void SharedProtocolTest::aKilledProgramsTestIsRecordedLater()
{
    QTemporaryDir storage, program;
    MakeSeries(storage);
    Simulator instrument(ScriptArguments(
        storage, "s.txt", Connected + "*S11\n*I00000010\n*A00000000333000.0\nwait 600\n"));
    Program killed(program.path(), storage.path(), instrument.device());
    const QString file = storage.filePath("Serie/No-00001-1.CSV");
    QTRY_COMPARE_WITH_TIMEOUT(Values(file), QStringList {" 33.3"}, 60000);
    ::kill(pid_t(killed.process.processId()), SIGKILL);
    QVERIFY(killed.process.waitForFinished(20000));
    QCOMPARE(Records(storage), QStringList());

    // The start offers it; closed without an answer, it is offered again when the folder is
    // chosen again.
    WindowFixture next({1}, {}, {.startFolder = storage.path()});
    QCOMPARE(Records(storage), QStringList());
    next.answers = {MsgResult::Yes};
    FolderList& folders = Find<FolderList>(*next.window, "Dir1");
    QVERIFY(folders.setPath(storage.filePath("Serie")));
    QVERIFY(folders.setPath(storage.path()));
    QCOMPARE(next.questions.size(), 2);
    QCOMPARE(Records(storage).size(), 1);
    QCOMPARE(RecordTestName(Records(storage).first()), QString("00001-1"));
    QCOMPARE(Find<QLineEdit>(*next.window, "LaufNr").text(), QString(" 2"));
}

QTEST_MAIN(SharedProtocolTest)
#include "test_shared_protocol.moc"
