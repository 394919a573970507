// The real serial backend on a pseudo-terminal, and the naming of COM ports.
#include "platform/comm_control.h"
#include "platform/port_names.h"
#include "platform/serial_port_backend.h"

#include <QSignalSpy>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The controlling side of a pseudo-terminal; the backend opens its device.
class PseudoTerminal {
public:
    PseudoTerminal()
        : master(posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            device = QString::fromLocal8Bit(ptsname(master));
    }
    ~PseudoTerminal() { hangUp(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool send(const QByteArray& bytes) { return ::write(master, bytes.data(), bytes.size()) > 0; }
    void hangUp()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }

    int master;
    QString device;
};

} // namespace

class SerialPortTest : public QObject {
    Q_OBJECT

private slots:
    void receivesFromAPseudoTerminal();
    void deviceThatGoesAwayIsClosed();
    void controlRefusesWhatWouldFail();
    void portDeviceName_data();
    void portDeviceName();
};

void SerialPortTest::receivesFromAPseudoTerminal()
{
    PseudoTerminal terminal;
    QVERIFY(!terminal.device.isEmpty());
    auto backend = std::make_unique<SerialPortBackend>();
    QVERIFY(backend->openDevice(terminal.device, LineSettings {}));
    QSignalSpy received(backend.get(), &SerialBackend::received);
    QVERIFY(terminal.send("*OK! RUN\r\n"));
    QByteArray bytes;
    QTRY_VERIFY((bytes += backend->readAll()).contains("\r\n"));
    QCOMPARE(bytes, QByteArray("*OK! RUN\r\n"));
    QVERIFY(!received.isEmpty());
    QVERIFY(backend->write("RUN\n\r"));
}

void SerialPortTest::deviceThatGoesAwayIsClosed()
{
    PseudoTerminal terminal;
    SerialPortBackend backend;
    QVERIFY(backend.openDevice(terminal.device, LineSettings {}));
    QSignalSpy lost(&backend, &SerialBackend::lost);
    terminal.hangUp();
    QTRY_COMPARE(lost.size(), 1);
    QVERIFY(!backend.isOpen());
    QVERIFY(!backend.write("RUN\n\r"));
}

void SerialPortTest::controlRefusesWhatWouldFail()
{
    PseudoTerminal terminal;
    qputenv("TALIV_COM9", terminal.device.toLocal8Bit());
    qputenv("TALIV_COM8", "/nonexistent/tty");
    CommControl control(std::make_unique<SerialPortBackend>());
    QVERIFY(!control.setOutput("RUN\n\r"));
    QVERIFY(!control.setPortOpen(false));
    QVERIFY(control.setCommPort(8));
    QVERIFY(!control.setPortOpen(true));
    QVERIFY(control.setCommPort(9));
    QVERIFY(control.setPortOpen(true));
    QVERIFY(!control.setCommPort(8));
    QVERIFY(!control.setPortOpen(true));
    QVERIFY(control.setOutput("RUN\n\r"));
    QVERIFY(!control.setSettings("9600,x,8,1"));
    QCOMPARE(control.Settings(), QString("9600,n,8,1"));
    QVERIFY(control.setPortOpen(false));
    QCOMPARE(control.Input(), QString());
    qunsetenv("TALIV_COM9");
    qunsetenv("TALIV_COM8");
}

void SerialPortTest::portDeviceName_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("device");

    const QStringList present
        = {"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB2"};
    QTest::newRow("configured wins") << 3 << "/tmp/sim" << present << "/tmp/sim";
    QTest::newRow("first USB adapter") << 1 << "" << present << "/dev/ttyUSB2";
    QTest::newRow("USB in numeric order") << 2 << "" << present << "/dev/ttyUSB10";
    QTest::newRow("then ACM") << 3 << "" << present << "/dev/ttyACM0";
    QTest::newRow("then built-in") << 4 << "" << present << "/dev/ttyS0";
    QTest::newRow("last") << 5 << "" << present << "/dev/ttyS1";
    QTest::newRow("beyond the devices") << 6 << "" << present << "";
    QTest::newRow("none present") << 1 << "" << QStringList {} << "";
}

void SerialPortTest::portDeviceName()
{
    QFETCH(int, port);
    QFETCH(QString, configured);
    QFETCH(QStringList, present);
    QFETCH(QString, device);

    const auto environment = [&](const QString& name) {
        return name == QString("TALIV_COM%1").arg(port) ? configured : QString();
    };
    QCOMPARE(PortDeviceName(port, environment, InComPortOrder(present)), device);
}

QTEST_MAIN(SerialPortTest)
#include "test_serial_port.moc"
