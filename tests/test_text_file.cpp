#include "platform/ansi_codec.h"
#include "platform/text_file.h"
#include "test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The lines as a caller reads them one at a time until the end-of-file test says so.
QStringList ReadWithEndTest(const QString& path)
{
    QStringList lines;
    TextFileReader reader;
    const bool opened = reader.Open(path);
    while (opened && !reader.AtEnd()) {
        lines.append(reader.ReadLine().value_or("<none>"));
    }
    return lines;
}

} // namespace

class TestTextFile : public QObject {
    Q_OBJECT

private slots:
    void init();
    void encode_data();
    void encode();
    void codePageKeepsEveryByte();
    void writtenBytes_data();
    void writtenBytes();
    void removedFileFailsTheWrite();
    void partOfALineIsTakenBack();
    void failedReplaceKeepsTheOldFile();
    void readLines_data();
    void readLines();
    void readMissingFile();
    void fileOperations();

private:
    QString PathOf(const QString& name) const { return dir->filePath(name); }
    QStringList Contents() const
    {
        return QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    std::unique_ptr<QTemporaryDir> dir;
};

void TestTextFile::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestTextFile::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("umlaut") << QStringLiteral("Viskosität") << QByteArray("Viskosit\xE4t");
    QTest::newRow("0x80..0x9F") << QStringLiteral("€ŠŸ–") << QByteArray("\x80\x8A\x9F\x96");
    QTest::newRow("missing in code page") << QStringLiteral("Ω中a") << QByteArray("??a");
    QTest::newRow("surrogate pair") << QString::fromUtf8("x\xF0\x9F\x98\x80y") << QByteArray("x?y");
    QTest::newRow("lone surrogates")
        << (QChar(0xD83D) + QStringLiteral("a") + QChar(0xDE00)) << QByteArray("?a?");
}

void TestTextFile::encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodeAnsi(text), bytes);
}

void TestTextFile::codePageKeepsEveryByte()
{
    QByteArray bytes;
    for (int byte = 0; byte < 256; ++byte) {
        bytes.append(static_cast<char>(byte));
    }
    const QString text = DecodeAnsi(bytes);
    QCOMPARE(text.size(), 256);
    QCOMPARE(EncodeAnsi(text), bytes);
}

void TestTextFile::writtenBytes_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("no lines") << QStringList() << QByteArray();
    QTest::newRow("CR LF after each") << QStringList {"a", "b"} << QByteArray("a\r\nb\r\n");
    QTest::newRow("code page") << QStringList {QStringLiteral("Viskosität € Ω")}
                               << QByteArray("Viskosit\xE4t \x80 ?\r\n");
    QTest::newRow("line break inside")
        << QStringList {"a\r\nb", "c\rd\ne"} << QByteArray("a  b\r\nc d e\r\n");
}

// Each way of writing, over a file that holds a line already.
void TestTextFile::writtenBytes()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, bytes);
    const QByteArray old("old\r\n");
    for (const char* name : {"create.csv", "append.csv", "replace.csv"}) {
        PutBytes(PathOf(name), old);
    }
    QFile replaced(PathOf("replace.csv"));
    QVERIFY(replaced.open(QIODevice::ReadOnly));
    QVERIFY(ReplaceTextFile(PathOf("replace.csv"), lines));
    QVERIFY(WriteTextLines(PathOf("append.csv"), lines, WriteMode::Append));
    TextFileWriter writer;
    QVERIFY(writer.Open(PathOf("create.csv"), WriteMode::Create));
    for (const QString& line : lines) {
        QVERIFY(writer.WriteLine(line));
    }
    // Every line is in the file before the writer closes it.
    QCOMPARE(BytesOf(PathOf("create.csv")), bytes);
    QVERIFY(writer.Close());
    QVERIFY(!writer.WriteLine("after close"));
    QCOMPARE(BytesOf(PathOf("append.csv")), old + bytes);
    QCOMPARE(BytesOf(PathOf("replace.csv")), bytes);
    // The new file was written beside the old one and renamed over it; the old one, still open
    // here, is whole, and no other file is left.
    QCOMPARE(replaced.readAll(), old);
    QCOMPARE(Contents(), (QStringList {"append.csv", "create.csv", "replace.csv"}));
}

// A line written after the file's folder entry is gone would be lost without a word.
void TestTextFile::removedFileFailsTheWrite()
{
    TextFileWriter writer;
    QVERIFY(writer.Open(PathOf("open.csv"), WriteMode::Create));
    QVERIFY(writer.WriteLine("first"));
    QVERIFY(QFile::remove(PathOf("open.csv")));
    QVERIFY(!writer.WriteLine("second"));
}

// A full disk that takes only part of a line: the part is removed, so the next line that can be
// written starts a line of its own.
void TestTextFile::partOfALineIsTakenBack()
{
    TextFileWriter writer;
    QVERIFY(writer.Open(PathOf("full.csv"), WriteMode::Create));
    QVERIFY(writer.WriteLine("00:00:01 ; 12.5; 23.5"));
    {
        const FileSizeLimit full(BytesOf(PathOf("full.csv")).size() + 7);
        QVERIFY(full.active);
        QVERIFY(!writer.WriteLine("00:00:02 ; 12.4; 23.5"));
    }
    QVERIFY(writer.WriteLine("00:00:03 ; 12.3; 23.5"));
    QCOMPARE(BytesOf(PathOf("full.csv")),
        QByteArray("00:00:01 ; 12.5; 23.5\r\n00:00:03 ; 12.3; 23.5\r\n"));
}

// A replacement that does not fit on the disk leaves the old file and no saving file.
void TestTextFile::failedReplaceKeepsTheOldFile()
{
    PutBytes(PathOf("kept.csv"), "old\r\n");
    PutBytes(PathOf("big.csv"), QByteArray(200, 'x'));
    {
        const FileSizeLimit full(100);
        QVERIFY(full.active);
        QVERIFY(!ReplaceFileBytes(PathOf("kept.csv"), QByteArray(200, 'x')));
        QVERIFY(!FileCopy(PathOf("big.csv"), PathOf("kept.csv")));
    }
    QCOMPARE(BytesOf(PathOf("kept.csv")), QByteArray("old\r\n"));
    QCOMPARE(Contents(), (QStringList {"big.csv", "kept.csv"}));
}

void TestTextFile::readLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    const qsizetype max = TextFileReader::kMaxLineLength;
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList {"a", "b"};
    QTest::newRow("LF only") << QByteArray("a\nb\n") << QStringList {"a", "b"};
    QTest::newRow("CR only") << QByteArray("a\rb\r") << QStringList {"a", "b"};
    QTest::newRow("mixed, empty lines, last without end")
        << QByteArray("\r\n\nx\r\r\nlast") << QStringList {"", "", "x", "", "last"};
    QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QStringList {"a", "", "b"};
    QTest::newRow("code page") << QByteArray("Viskosit\xE4t;\x80\r\n\x81\x9D")
                               << QStringList {QStringLiteral("Viskosität;€"), "\u0081\u009D"};
    // The reader takes 64 KiB at a time; here the LF of a CR LF opens the second read.
    QTest::newRow("CR LF split between reads")
        << (QByteArray(65535, 'x') + "\r\nb") << QStringList {QString(65535, u'x'), "b"};
    QTest::newRow("long line cut")
        << (QByteArray(3 * max, 'z') + "\r\nnext") << QStringList {QString(max, u'z'), "next"};
}

void TestTextFile::readLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    PutBytes(PathOf("in.csv"), bytes);
    QCOMPARE(ReadTextLines(PathOf("in.csv")).value_or(QStringList {"<none>"}), lines);
    QCOMPARE(ReadTextLines(PathOf("in.csv"), 1).value_or(QStringList {"<none>"}), lines.mid(0, 1));
    QCOMPARE(ReadWithEndTest(PathOf("in.csv")), lines);
}

void TestTextFile::readMissingFile()
{
    QVERIFY(!ReadTextLines(PathOf("missing.csv")).has_value());
    TextFileReader reader;
    QVERIFY(!reader.Open(PathOf("missing.csv")));
    QVERIFY(reader.AtEnd());
    QVERIFY(!reader.ReadLine().has_value());
}

void TestTextFile::fileOperations()
{
    PutBytes(PathOf("a.csv"), "new\r\n");
    PutBytes(PathOf("B.CSV"), "old\r\n");
    PutBytes(PathOf(".hidden.csv"), "x");
    QVERIFY(MakeFolder(PathOf("Serie.csv")));
    QVERIFY(!MakeFolder(PathOf("Serie.csv")));
    QVERIFY(!FileExist(PathOf("Serie.csv")));
    QCOMPARE(ListFolderFiles(dir->path(), "*.csv"), (QStringList {"a.csv", "B.CSV"}));
    QVERIFY(!FileCopy(PathOf("missing.csv"), PathOf("B.CSV")));
    QCOMPARE(BytesOf(PathOf("B.CSV")), QByteArray("old\r\n"));
    QVERIFY(FileCopy(PathOf("a.csv"), PathOf("B.CSV")));
    QCOMPARE(BytesOf(PathOf("B.CSV")), QByteArray("new\r\n"));
    QVERIFY(FileDelete(PathOf("a.csv")));
    QCOMPARE(Contents(), (QStringList {".hidden.csv", "B.CSV", "Serie.csv"}));
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "test_text_file.moc"
