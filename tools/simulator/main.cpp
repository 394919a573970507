#include "device_link.h"
#include "instrument.h"
#include "options.h"
#include "platform/termination_signals.h"
#include "pty_port.h"
#include "traffic_log.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "qtm-simulator: %s\n", qPrintable(message));
    return 2;
}

void announceDevice(const QString& path)
{
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
}

constexpr qsizetype MaxCommandLength = 256;

// "unplug" and "plug" lines on standard input take the device away and bring a new one, as a USB
// adapter pulled and put back; the link follows the new device. The instrument goes on measuring.
class AdapterControl : public QObject {
public:
    AdapterControl(PtyPort& port, DeviceLink& link, const QString& linkPath)
        : port(port)
        , link(link)
        , linkPath(linkPath)
        , input(STDIN_FILENO, QSocketNotifier::Read)
    {
        connect(&input, &QSocketNotifier::activated, this, &AdapterControl::readInput);
    }

private:
    void readInput()
    {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            return;
        }
        pending += QByteArray(buffer, n);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            handle(pending.left(end).trimmed());
            pending.remove(0, end + 1);
        }
        // No command is this long: a stream without line ends is dropped.
        if (pending.size() > MaxCommandLength)
            pending.clear();
    }

    void handle(const QByteArray& command)
    {
        if (command == "unplug" && !port.devicePath().isEmpty()) {
            port.close();
            link.remove();
            TrafficLog::note("device unplugged");
        } else if (command == "plug" && port.devicePath().isEmpty()) {
            plug();
        }
    }

    void plug()
    {
        QString error;
        if (!port.open(&error)
            || (!linkPath.isEmpty() && !link.create(linkPath, port.devicePath(), &error))) {
            TrafficLog::note("plug failed: " + error.toLocal8Bit());
            return;
        }
        TrafficLog::note("device plugged in");
        announceDevice(port.devicePath());
    }

    PtyPort& port;
    DeviceLink& link;
    QString linkPath;
    QSocketNotifier input;
    QByteArray pending;
};

} // namespace

int main(int argc, char* argv[])
{
    QString error;
    // A log write blocked on a pipe nobody drains returns at a signal, so the simulator still ends.
    if (!TerminationSignals::Catch(&error, TerminationSignals::BlockedCalls::Interrupt))
        return fail(error);
    // A reader of the log that goes away must not end the instrument.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    bool helpRequested = false;
    const std::optional<Options> options = parseOptions(app.arguments(), &error, &helpRequested);
    if (helpRequested) {
        std::printf("%s", qPrintable(error));
        return 0;
    }
    if (!options)
        return fail(error);

    PtyPort port;
    if (!port.open(&error))
        return fail(error);
    DeviceLink link;
    if (!options->linkPath.isEmpty() && !link.create(options->linkPath, port.devicePath(), &error))
        return fail(error);

    Instrument instrument(port, *options);
    AdapterControl adapter(port, link, options->linkPath);
    announceDevice(port.devicePath());
    instrument.start();
    TerminationSignals::React(&app, [] { QCoreApplication::quit(); });
    return app.exec();
}
