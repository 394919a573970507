#include "device_link.h"
#include "instrument.h"
#include "options.h"
#include "platform/termination_signals.h"
#include "pty_port.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>

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
    announceDevice(port.devicePath());
    instrument.start();
    TerminationSignals::React(&app, [] { QCoreApplication::quit(); });
    return app.exec();
}
