#include "platform/ansi_codec.h"
#include "platform/text_file.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray BytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void PutBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

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
    void appendOrCreate();
    void openWriterSavesEachLine();
    void writeFailures();
    void replaceLeavesOnlyTarget();
    void readLines_data();
    void readLines();
    void readCutsLongLine();
    void readMissingOrFolder();
    void copy_data();
    void copy();
    void existAndDelete();
    void listByPattern_data();
    void listByPattern();
    void makeFolder();

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
    QTest::newRow("controls") << QStringLiteral("\t\x1A") + QChar(0) << QByteArray("\t\x1A\0", 3);
}

void TestTextFile::encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodeAnsi(text), bytes);
    QCOMPARE(EncodeAnsi(text.repeated(10000)), bytes.repeated(10000));
}

void TestTextFile::codePageKeepsEveryByte()
{
    QByteArray bytes;
    for (int byte = 0; byte < 256; ++byte) {
        bytes.append(static_cast<char>(byte));
    }
    const QString text = DecodeAnsi(bytes);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.mid(0x80, 1) + text.mid(0xE4, 1), QStringLiteral("€ä"));
    QCOMPARE(EncodeAnsi(text), bytes);
}

void TestTextFile::writtenBytes_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("no lines") << QStringList() << QByteArray();
    QTest::newRow("one empty line") << QStringList {QString()} << QByteArray("\r\n");
    QTest::newRow("CR LF after each") << QStringList {"a", "b"} << QByteArray("a\r\nb\r\n");
    QTest::newRow("code page") << QStringList {QStringLiteral("Viskosität € Ω")}
                               << QByteArray("Viskosit\xE4t \x80 ?\r\n");
    QTest::newRow("line break inside")
        << QStringList {"a\r\nb", "c\rd\ne"} << QByteArray("a  b\r\nc d e\r\n");
}

void TestTextFile::writtenBytes()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, bytes);
    QVERIFY(WriteTextLines(PathOf("a.csv"), lines, WriteMode::Create));
    QCOMPARE(BytesOf(PathOf("a.csv")), bytes);
    QVERIFY(ReplaceTextFile(PathOf("b.csv"), lines));
    QCOMPARE(BytesOf(PathOf("b.csv")), bytes);
}

void TestTextFile::appendOrCreate()
{
    const QString path = PathOf("f.csv");
    QVERIFY(WriteTextLines(path, {"old"}, WriteMode::Append));
    QVERIFY(WriteTextLines(path, {"new"}, WriteMode::Append));
    QCOMPARE(BytesOf(path), QByteArray("old\r\nnew\r\n"));
    QVERIFY(WriteTextLines(path, {"only"}, WriteMode::Create));
    QCOMPARE(BytesOf(path), QByteArray("only\r\n"));
}

void TestTextFile::openWriterSavesEachLine()
{
    const QString path = PathOf("No-00001-1.CSV");
    TextFileWriter writer;
    QVERIFY(writer.Open(path, WriteMode::Create));
    QVERIFY(writer.WriteLine(QStringLiteral("Messzeit;Viskosität")));
    QCOMPARE(BytesOf(path), QByteArray("Messzeit;Viskosit\xE4t\r\n"));
    QVERIFY(writer.WriteLine(QStringLiteral("00:01:30 ; 12.3")));
    QCOMPARE(BytesOf(path), QByteArray("Messzeit;Viskosit\xE4t\r\n00:01:30 ; 12.3\r\n"));
    QVERIFY(writer.Close());
    QVERIFY(!writer.WriteLine(QStringLiteral("after close")));
}

void TestTextFile::writeFailures()
{
    TextFileWriter writer;
    QVERIFY(!writer.Open(dir->path(), WriteMode::Create));
    QVERIFY(!writer.WriteLine(QStringLiteral("not open")));
    QVERIFY(!WriteTextLines(PathOf("missing/f.csv"), {"x"}, WriteMode::Append));
    QVERIFY(!ReplaceTextFile(PathOf("missing/f.csv"), {"x"}));
    QVERIFY(!ReplaceTextFile(dir->path(), {"x"}));
    QCOMPARE(Contents(), QStringList());
}

void TestTextFile::replaceLeavesOnlyTarget()
{
    PutBytes(PathOf("TALIV01.INI"), "old\r\nlonger old content\r\n");
    QVERIFY(ReplaceTextFile(PathOf("TALIV01.INI"), {"1", QStringLiteral("Zähler")}));
    QCOMPARE(BytesOf(PathOf("TALIV01.INI")), QByteArray("1\r\nZ\xE4hler\r\n"));
    QCOMPARE(Contents(), QStringList {"TALIV01.INI"});
}

void TestTextFile::readLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("each line end")
        << QByteArray("a\r\nb\nc\rd\r\n") << QStringList {"a", "b", "c", "d"};
    QTest::newRow("last line without end") << QByteArray("a\nlast") << QStringList {"a", "last"};
    QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList {""};
    QTest::newRow("empty lines") << QByteArray("\r\n\nx\r\r\n") << QStringList {"", "", "x", ""};
    QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QStringList {"a", "", "b"};
    QTest::newRow("code page") << QByteArray("Viskosit\xE4t;\x80\r\n\x81\x9D")
                               << QStringList {QStringLiteral("Viskosität;€"), "\u0081\u009D"};
    for (const qsizetype length : {65534, 65535, 65536}) {
        QTest::addRow("CR LF after %d bytes", int(length))
            << (QByteArray(length, 'x') + "\r\nb") << QStringList {QString(length, u'x'), "b"};
    }
}

void TestTextFile::readLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    PutBytes(PathOf("in.csv"), bytes);
    QCOMPARE(ReadTextLines(PathOf("in.csv")).value_or(QStringList {"<none>"}), lines);
    QCOMPARE(ReadWithEndTest(PathOf("in.csv")), lines);
}

void TestTextFile::readCutsLongLine()
{
    const qsizetype max = TextFileReader::kMaxLineLength;
    PutBytes(PathOf("binary.bin"), QByteArray(3 * max, 'z') + "\r\nnext");
    const QStringList expected {QString(max, u'z'), "next"};
    QCOMPARE(ReadTextLines(PathOf("binary.bin")).value_or(QStringList()), expected);
}

void TestTextFile::readMissingOrFolder()
{
    QVERIFY(!ReadTextLines(PathOf("missing.csv")).has_value());
    QVERIFY(!ReadTextLines(dir->path()).has_value());
    QCOMPARE(ReadWithEndTest(PathOf("missing.csv")), QStringList());
}

void TestTextFile::copy_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("targetBytes");

    const QByteArray old("old target\r\n");
    QTest::newRow("replaces target")
        << u"source.CSV"_s << u"target.TMP"_s << QByteArray("source\r\n");
    QTest::newRow("missing source") << u"missing.CSV"_s << u"target.TMP"_s << old;
    QTest::newRow("folder as source") << u"folder"_s << u"target.TMP"_s << old;
    QTest::newRow("folder as target") << u"source.CSV"_s << u"folder"_s << old;
    QTest::newRow("target in missing folder") << u"source.CSV"_s << u"missing/target.TMP"_s << old;
}

void TestTextFile::copy()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QByteArray, targetBytes);
    PutBytes(PathOf("source.CSV"), "source\r\n");
    PutBytes(PathOf("target.TMP"), "old target\r\n");
    QVERIFY(QDir(dir->path()).mkdir("folder"));
    QCOMPARE(FileCopy(PathOf(source), PathOf(target)), targetBytes != "old target\r\n");
    QCOMPARE(BytesOf(PathOf("target.TMP")), targetBytes);
    QCOMPARE(Contents(), (QStringList {"folder", "source.CSV", "target.TMP"}));
}

void TestTextFile::existAndDelete()
{
    PutBytes(PathOf(".hidden.CSV"), "x");
    QVERIFY(QDir(dir->path()).mkdir("folder"));
    QVERIFY(FileExist(PathOf(".hidden.CSV")));
    QVERIFY(!FileExist(PathOf("*.CSV")));
    QVERIFY(!FileExist(PathOf("folder")));
    QVERIFY(FileDelete(PathOf(".hidden.CSV")));
    QVERIFY(!FileDelete(PathOf(".hidden.CSV")));
    QVERIFY(!FileDelete(PathOf("folder")));
    QCOMPARE(Contents(), QStringList {"folder"});
}

void TestTextFile::listByPattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("names");

    const QStringList csv {"a.csv", "B.CSV", "c.Csv", "No-00001-1.CSV"};
    QTest::newRow("*.CSV") << "*.CSV" << csv;
    QTest::newRow("*.csv") << "*.csv" << csv;
    QTest::newRow("?.CSV") << "?.CSV" << csv.mid(0, 3);
    QTest::newRow("no-*") << "no-*" << csv.mid(3);
    QTest::newRow("no match") << "*.INI" << QStringList();
}

void TestTextFile::listByPattern()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, names);
    for (const char* name :
        {"c.Csv", "No-00001-1.CSV", "B.CSV", "a.csv", "x.txt", "d.CSV.bak", ".hidden.CSV"}) {
        PutBytes(PathOf(name), "x");
    }
    QVERIFY(QDir(dir->path()).mkdir("folder.CSV"));
    QCOMPARE(ListFolderFiles(dir->path(), pattern), names);
    QCOMPARE(ListFolderFiles(PathOf("missing"), pattern), QStringList());
}

void TestTextFile::makeFolder()
{
    QVERIFY(MakeFolder(PathOf("Serie7")));
    QVERIFY(!MakeFolder(PathOf("Serie7")));
    QVERIFY(!MakeFolder(PathOf("missing/Serie7")));
    QCOMPARE(Contents(), QStringList {"Serie7"});
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "test_text_file.moc"
