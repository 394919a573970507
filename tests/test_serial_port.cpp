// The real serial backend on a pseudo-terminal, and the naming of COM ports.
#include "platform/port_names.h"
#include "platform/serial_port_backend.h"
#include "test_support.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

using Device = std::optional<QString>;

class SerialPortTest : public QObject {
    Q_OBJECT

private slots:
    // A command written just before the port closes still reaches the line; a device that goes away
    // closes the port.
    void receivesWritesAndLosesTheDevice()
    {
        PseudoTerminal terminal;
        SerialPortBackend backend;
        QVERIFY(backend.openDevice(terminal.device, LineSettings {}));
        QSignalSpy received(&backend, &SerialBackend::received);
        QVERIFY(terminal.send("*OK! RUN\r\n"));
        QByteArray bytes;
        QTRY_VERIFY((bytes += backend.readAll()).contains("\r\n"));
        QCOMPARE(bytes, QByteArray("*OK! RUN\r\n"));
        QVERIFY(!received.isEmpty());
        QVERIFY(backend.write("RUN\n\r"));
        backend.close();
        QCOMPARE(terminal.receive(5), QByteArray("RUN\n\r"));
        QVERIFY(backend.openDevice(terminal.device, LineSettings {}));
        QSignalSpy lost(&backend, &SerialBackend::lost);
        terminal.hangUp();
        QTRY_COMPARE(lost.size(), 1);
        QVERIFY(!backend.isOpen());
        QVERIFY(!backend.write("RUN\n\r"));
    }

    // A write's wait may take characters that the event loop has already seen arrive: the read
    // notification then finds nothing, which must not count as a lost device.
    void readNotificationFindingNothingKeepsThePort()
    {
        PseudoTerminal terminal;
        SerialPortBackend backend;
        QVERIFY(backend.openDevice(terminal.device, LineSettings {}));
        QSignalSpy lost(&backend, &SerialBackend::lost);
        QByteArray received;
        connect(&backend, &SerialBackend::received, this, [&] { received += backend.readAll(); });
        for (int round = 0; round < 50; ++round) {
            QVERIFY(terminal.send("*A00000000123023.5\r\n"));
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
};

QTEST_MAIN(SerialPortTest)
#include "test_serial_port.moc"
