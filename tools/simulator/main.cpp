#include "device_link.h"
#include "instrument.h"
#include "options.h"
#include "pty_port.h"
#include "signal_quit.h"

#include <QCoreApplication>
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
    QCoreApplication app(argc, argv);
    QString error;
    bool helpRequested = false;
    const std::optional<Options> options = parseOptions(app.arguments(), &error, &helpRequested);
    if (helpRequested) {
        std::printf("%s", qPrintable(error));
        return 0;
    }
    if (!options)
        return fail(error);

    SignalQuit signalQuit;
    PtyPort port;
    if (!signalQuit.install(&error) || !port.open(&error))
        return fail(error);
    DeviceLink link;
    if (!options->linkPath.isEmpty() && !link.create(options->linkPath, port.devicePath(), &error))
        return fail(error);

    Instrument instrument(port, *options);
    announceDevice(port.devicePath());
    instrument.start();
    return app.exec();
}
