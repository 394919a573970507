// The program's text files and the locks on shared files.
#include "platform/file_lock.h"
#include "platform/text_file.h"
#include "test_support.h"

#include <QDir>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>
#include <utime.h>

class TestTextFile : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    void writtenBytes_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("no lines") << QStringList() << QByteArray();
        QTest::newRow("code page") << QStringList {QStringLiteral("Viskosität € Ω 😀")}
                                   << QByteArray("Viskosit\xE4t \x80 ? ?\r\n");
        QTest::newRow("line break inside")
            << QStringList {"a\r\nb", "c\rd\ne"} << QByteArray("a  b\r\nc d e\r\n");
    }

    // Each way of writing, over files that hold a line already.
    void writtenBytes()
    {
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, bytes);
        PutBytes(PathOf("create.csv"), "old\r\n");
        PutBytes(PathOf("replace.csv"), "old\r\n");
        // Appended lines follow a whole last line; one without its line end is ended first.
        const QList<std::pair<QByteArray, QByteArray>> appends {
            {"old\r\n", "old\r\n"}, {"old\r", "old\r"}, {"old", "old\r\n"}};
        for (qsizetype file = 0; file < appends.size(); ++file) {
            PutBytes(PathOf(QString("append%1.csv").arg(file)), appends[file].first);
            QVERIFY(WriteTextLines(
                PathOf(QString("append%1.csv").arg(file)), lines, WriteMode::Append));
            QCOMPARE(
                BytesOf(PathOf(QString("append%1.csv").arg(file))), appends[file].second + bytes);
        }
        QFile replaced(PathOf("replace.csv"));
        QVERIFY(replaced.open(QIODevice::ReadOnly));
        QVERIFY(ReplaceTextFile(PathOf("replace.csv"), lines));
        TextFileWriter writer;
        QVERIFY(writer.Open(PathOf("create.csv"), WriteMode::Create));
        for (const QString& line : lines)
            QVERIFY(writer.WriteLine(line));
        // Every line is in the file before the writer closes it, and on the disk once it is closed.
        QCOMPARE(BytesOf(PathOf("create.csv")), bytes);
        QCOMPARE(writer.UnsyncedLines(), lines.size());
        QVERIFY(writer.Close());
        QCOMPARE(writer.UnsyncedLines(), 0);
        QVERIFY(!writer.WriteLine("after close"));
        QCOMPARE(BytesOf(PathOf("replace.csv")), bytes);
        // The new file was written beside the old one and renamed over it; the old one, still open
        // here, is whole, and no other file is left.
        QCOMPARE(replaced.readAll(), QByteArray("old\r\n"));
        QCOMPARE(Contents().size(), 5);
    }

    // A line written after the file's folder entry is gone would be lost without a word. A full
    // disk that takes only part of a line: the part is taken back, so the next line starts a line
    // of its own.
    void failedWrites()
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
        QVERIFY(QFile::remove(PathOf("full.csv")));
        QVERIFY(!writer.WriteLine("00:00:04 ; 12.2; 23.5"));
    }

    // A replacement that does not fit on the disk leaves the old file and no saving file.
    void failedReplaceKeepsTheOldFile()
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

    void readLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");

        const qsizetype max = TextFileReader::kMaxLineLength;
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("mixed, empty lines, last without end")
            << QByteArray("\r\n\nx\r\r\nlast") << QStringList {"", "", "x", "", "last"};
        QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QStringList {"a", "", "b"};
        QTest::newRow("code page") << QByteArray("Viskosit\xE4t;\x80\r\n\x81\x9D")
                                   << QStringList {QStringLiteral("Viskosität;€"), "\u0081\u009D"};
        // The reader takes 64 KiB at a time; here the LF of a CR LF opens the second read.
        QTest::newRow("CR LF split between reads")
            << (QByteArray(65535, 'x') + "\r\nb") << QStringList {QString(65535, u'x'), "b"};
        QTest::newRow("lone CR that ends the first read")
            << (QByteArray(65535, 'x') + "\r") << QStringList {QString(65535, u'x')};
        QTest::newRow("long line cut")
            << (QByteArray(3 * max, 'z') + "\r\nnext") << QStringList {QString(max, u'z'), "next"};
    }

    // Read whole, in part, and a line at a time until the end-of-file test says so.
    void readLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        PutBytes(PathOf("in.csv"), bytes);
        QCOMPARE(ReadTextLines(PathOf("in.csv")).value_or(QStringList {"<none>"}), lines);
        QCOMPARE(
            ReadTextLines(PathOf("in.csv"), 1).value_or(QStringList {"<none>"}), lines.mid(0, 1));
        QStringList read;
        TextFileReader reader;
        QVERIFY(reader.Open(PathOf("in.csv")));
        while (!reader.AtEnd() && read.size() <= lines.size())
            read.append(reader.ReadLine().value_or("<none>"));
        QCOMPARE(read, lines);
        QVERIFY(!reader.ReadLine().has_value());
        QVERIFY(!ReadTextLines(PathOf("missing.csv")).has_value());
        QVERIFY(!reader.Open(PathOf("missing.csv")) && reader.AtEnd());
    }

    void locks_data()
    {
        // The lock file found: "running" held by this program, "other computer" written by a
        // program elsewhere, "" none, "no folder" where none can be made.
        QTest::addColumn<QString>("found");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<FileLock::Hold>("hold");
        QTest::addColumn<bool>("held");
        QTest::addColumn<bool>("heldByOther");

        using Hold = FileLock::Hold;
        QTest::newRow("free") << "" << 0 << Hold::Briefly << true << false;
        QTest::newRow("a running test's lock, an hour old")
            << "running" << 3600 << Hold::WhileRunning << false << true;
        QTest::newRow("a brief lock elsewhere, 10 s old")
            << "other computer" << 10 << Hold::Briefly << false << true;
        QTest::newRow("a brief lock elsewhere, a minute old, is left behind")
            << "other computer" << 60 << Hold::Briefly << true << false;
        QTest::newRow("a lock that cannot be made blocks nobody")
            << "no folder" << 0 << Hold::Briefly << false << false;
    }

    void locks()
    {
        QFETCH(QString, found);
        QFETCH(int, ageSeconds);
        QFETCH(FileLock::Hold, hold);
        QFETCH(bool, held);
        QFETCH(bool, heldByOther);
        const QString guarded = PathOf(found == "no folder" ? "fehlt/Serie.CSV" : "Serie.CSV");
        const QString lockPath = LockFileOf(guarded);
        QLockFile running(lockPath);
        if (found == "running")
            QVERIFY(running.tryLock(0));
        else if (found == "other computer")
            PutBytes(lockPath, "4242\ntaliv01\nanderer-rechner\n");
        if (!found.isEmpty() && found != "no folder") {
            const time_t then = time(nullptr) - ageSeconds;
            const utimbuf times {then, then};
            QCOMPARE(utime(QFile::encodeName(lockPath).constData(), &times), 0);
        }

        const FileLock lock(guarded, 0, hold);

        QCOMPARE(lock.IsHeld(), held);
        QCOMPARE(lock.HeldByOther(), heldByOther);
        if (found == "running")
            QVERIFY(IsLockedByOther(guarded));
    }

private:
    QString PathOf(const QString& name) const { return dir->filePath(name); }
    QStringList Contents() const
    {
        return QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    std::unique_ptr<QTemporaryDir> dir;
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "test_text_file.moc"
