// The serial line: the real backend on a pseudo-terminal, the naming of COM ports, and the log of
// the traffic.
#include "platform/line_log.h"
#include "platform/port_names.h"
#include "platform/serial_port_backend.h"
#include "pty_port.h"
#include "test_support.h"

#include <QThread>
#include <sys/stat.h>

using Device = std::optional<QString>;

namespace {

QDateTime FixedNow()
{
    return {QDate(2026, 12, 6), QTime(10, 30, 0, 123)};
}

QByteArray Line(const QByteArray& afterStamp)
{
    return "2026-12-06 10:30:00.123 " + afterStamp + '\n';
}

} // namespace

class SerialLineTest : public QObject {
    Q_OBJECT

private slots:
    // A command written just before the port closes still reaches the line; a device that goes away
    // closes the port.
    void receivesWritesAndLosesTheDevice()
    {
        PtyPort terminal;
        QString error;
        QVERIFY2(terminal.open(&error), qPrintable(error));
        QByteArray sent;
        connect(
            &terminal, &PtyPort::received, this, [&](const QByteArray& bytes) { sent += bytes; });
        SerialPortBackend backend;
        QVERIFY(backend.openDevice(terminal.devicePath(), LineSettings {}));
        QSignalSpy received(&backend, &SerialBackend::received);
        terminal.write("*OK! RUN\r\n");
        QByteArray bytes;
        QTRY_VERIFY((bytes += backend.readAll()).contains("\r\n"));
        QCOMPARE(bytes, QByteArray("*OK! RUN\r\n"));
        QVERIFY(!received.isEmpty());
        QVERIFY(backend.write("RUN\n\r"));
        backend.close();
        QTRY_COMPARE(sent, QByteArray("RUN\n\r"));
        QVERIFY(backend.openDevice(terminal.devicePath(), LineSettings {}));
        QSignalSpy lost(&backend, &SerialBackend::lost);
        terminal.close();
        QTRY_COMPARE(lost.size(), 1);
        QVERIFY(!backend.isOpen());
        QVERIFY(!backend.write("RUN\n\r"));
    }

    // A write's wait may take characters that the event loop has already seen arrive: the read
    // notification then finds nothing, which must not count as a lost device.
    void readNotificationFindingNothingKeepsThePort()
    {
        PtyPort terminal;
        QString error;
        QVERIFY2(terminal.open(&error), qPrintable(error));
        SerialPortBackend backend;
        QVERIFY(backend.openDevice(terminal.devicePath(), LineSettings {}));
        QSignalSpy lost(&backend, &SerialBackend::lost);
        QByteArray received;
        connect(&backend, &SerialBackend::received, this, [&] { received += backend.readAll(); });
        for (int round = 0; round < 50; ++round) {
            terminal.write("*A00000000123023.5\r\n");
            QThread::msleep(2);
            QMetaObject::invokeMethod(
                this, [&] { backend.write("S\n\r"); }, Qt::QueuedConnection);
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(received.count('\r'), 50);
        QCOMPARE(lost.size(), 0);
        QVERIFY(backend.isOpen());
    }

    void portDeviceName_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<Device>("configured");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("device");

        const QStringList present
            = {"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB2"};
        const Device unset;
        QTest::newRow("configured wins") << 3 << Device("/tmp/sim") << present << "/tmp/sim";
        QTest::newRow("set but empty: no device") << 1 << Device("") << present << "";
        QTest::newRow("first USB adapter") << 1 << unset << present << "/dev/ttyUSB2";
        QTest::newRow("USB in numeric order") << 2 << unset << present << "/dev/ttyUSB10";
        QTest::newRow("then ACM") << 3 << unset << present << "/dev/ttyACM0";
        QTest::newRow("last") << 5 << unset << present << "/dev/ttyS1";
        QTest::newRow("beyond the devices") << 6 << unset << present << "";
    }

    void portDeviceName()
    {
        QFETCH(int, port);
        QFETCH(Device, configured);
        QFETCH(QStringList, present);
        QFETCH(QString, device);

        const auto environment = [&](const QString& name) {
            return name == QString("TALIV_COM%1").arg(port) ? configured : std::nullopt;
        };
        QCOMPARE(PortDeviceName(port, environment, InComPortOrder(present)), device);
    }

    void init() { dir = std::make_unique<QTemporaryDir>(); }

    void entry_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("shown");

        const qsizetype most = LineLog::MaxEntryBytes;
        QTest::newRow("control and non-ASCII bytes, a backslash") << QByteArray(
            "\x00\r\x7f\\x41 \xc3\xa4~", 11) << QByteArray("\\x00\\r\\x7f\\\\x41 \\xc3\\xa4~");
        QTest::newRow("escape at the cut kept whole") << QByteArray(most - 1, 'A')
                + "\xe4\xe4" << QByteArray(most - 1, 'A') + "\\xe4... (4097 bytes)";
    }

    void entry()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, shown);
        LineLog log(PathOf("serial.log"), FixedNow);
        log.Sent(1, bytes);
        log.Received(2, bytes);
        QCOMPARE(
            BytesOf(PathOf("serial.log")), Line("COM1 -> " + shown) + Line("COM2 <- " + shown));
    }

    // A place that takes no log, or a failure while it is written, stops the log at once and for
    // good; a call that blocked would show as the suite's time-out. A log file removed to start
    // afresh is made anew.
    void stops_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("failure"); // after the first entry: "voll", "entfernt"

        QTest::newRow("pipe without a reader") << "pipe" << QByteArray() << "";
        QTest::newRow("full disk, part of a line taken back")
            << "serial.log" << Line("COM1 -> RUN\\r") << "voll";
        QTest::newRow("file removed: made anew")
            << "serial.log" << Line("COM1 <- *OK! RUN") + Line("COM1 -> STOP\\r") << "entfernt";
    }

    void stops()
    {
        QFETCH(QString, place);
        QFETCH(QByteArray, written);
        QFETCH(QString, failure);
        const QString path = PathOf(place);
        if (place == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        LineLog log(path, FixedNow);
        log.Sent(1, "RUN\r");
        {
            const FileSizeLimit full(failure == "voll" ? BytesOf(path).size() + 10 : NoLimit);
            if (failure == "entfernt")
                QVERIFY(QFile::remove(path));
            log.Received(1, "*OK! RUN");
        }
        log.Sent(1, "STOP\r");
        QCOMPARE(log.IsWriting(), failure == "entfernt");
        if (place != "pipe")
            QCOMPARE(BytesOf(path), written);
    }

    // The log named by TALIV_LOG is appended to, never replaced; at its size limit it writes a last
    // line saying so and stops.
    void placeAndSizeLimit()
    {
        const QString path = PathOf("Prüfung.log");
        PutBytes(path, "an earlier session\n");
        qputenv("TALIV_LOG", QFile::encodeName(path));
        QVERIFY(LineLog::FromEnvironment(FixedNow));
        qunsetenv("TALIV_LOG");
        QVERIFY(!LineLog::FromEnvironment(FixedNow));
        const QByteArray entry = Line("COM1 -> RUN\\r");
        const qint64 limit = 19 + 2 * entry.size() + 5;
        LineLog log(path, FixedNow, limit);
        for (int line = 0; line < 4; ++line)
            log.Sent(1, "RUN\r");
        QVERIFY(!log.IsWriting());
        QCOMPARE(BytesOf(path),
            "an earlier session\n" + entry + entry
                + Line("-- log stopped: it reached its limit of " + QByteArray::number(limit)
                    + " bytes"));
    }

private:
    QString PathOf(const QString& name) const { return dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir;
};

QTEST_MAIN(SerialLineTest)
#include "test_serial_line.moc"
