#include "options.h"

#include "traffic_log.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace {

const QCommandLineOption linkOption(
    "link", "Also make a symbolic link PATH to the device.", "PATH");
constexpr double maxSpeed = 1e7;
constexpr qint64 maxScriptBytes = 16 * 1024 * 1024;

const QCommandLineOption speedOption(
    "speed", "Run the clock N times faster (0 < N <= 10000000).", "N", "1");
const QCommandLineOption startAfterOption(
    "start-after", "Report \"*S11\" and start a test after S simulated seconds.", "S");
const QCommandLineOption scriptOption(
    "script", "Send the replies of a script FILE instead of measuring.", "FILE");

std::optional<double> positiveNumber(const QString& text, bool allowZero)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0.0 || (value == 0.0 && !allowZero))
        return std::nullopt;
    return value;
}

// The bytes of a script file. Devices, FIFOs and directories are refused before opening, as
// opening or reading them may never end; the read is bounded, so a file growing meanwhile cannot
// get past the limit either.
std::optional<QByteArray> readScriptFile(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        *error = QStringLiteral("script %1 is not a regular file").arg(TrafficLog::shown(path));
        return std::nullopt;
    }
    QFile file(path);
    QByteArray text;
    if (file.open(QIODevice::ReadOnly))
        text = file.read(maxScriptBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot read script %1: %2")
                     .arg(TrafficLog::shown(path), file.errorString());
        return std::nullopt;
    }
    if (text.size() > maxScriptBytes) {
        *error = QStringLiteral("script %1 is larger than %2 MiB")
                     .arg(TrafficLog::shown(path))
                     .arg(maxScriptBytes >> 20);
        return std::nullopt;
    }
    return text;
}

std::optional<QList<ScriptStep>> readScript(const QString& path, QString* error)
{
    const std::optional<QByteArray> text = readScriptFile(path, error);
    if (!text)
        return std::nullopt;
    QString parseError;
    std::optional<QList<ScriptStep>> steps = parseScript(*text, &parseError);
    if (!steps)
        *error = QStringLiteral("script %1, %2").arg(TrafficLog::shown(path), parseError);
    return steps;
}

bool readNumbers(const QCommandLineParser& parser, Options& options, QString* error)
{
    const std::optional<double> speed = positiveNumber(parser.value(speedOption), false);
    if (!speed || *speed > maxSpeed) {
        *error = QStringLiteral("--speed needs a number greater than 0 and at most %1")
                     .arg(maxSpeed, 0, 'f', 0);
        return false;
    }
    options.speed = *speed;
    if (parser.isSet(startAfterOption)) {
        options.startAfterSeconds = positiveNumber(parser.value(startAfterOption), true);
        if (!options.startAfterSeconds) {
            *error = QStringLiteral("--start-after needs a number of seconds, 0 or more");
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<Options> parseOptions(
    const QStringList& arguments, QString* error, bool* helpRequested)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Behaves like a viscosity instrument on a pseudo-terminal.");
    const QCommandLineOption helpOption = parser.addHelpOption();
    parser.addOptions({linkOption, speedOption, startAfterOption, scriptOption});
    *helpRequested = false;
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(helpOption)) {
        *helpRequested = true;
        *error = parser.helpText();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument: %1")
                     .arg(TrafficLog::shown(parser.positionalArguments().first()));
        return std::nullopt;
    }
    Options options;
    options.linkPath = parser.value(linkOption);
    if (parser.isSet(linkOption) && options.linkPath.isEmpty()) {
        *error = QStringLiteral("--link needs a path");
        return std::nullopt;
    }
    if (!readNumbers(parser, options, error))
        return std::nullopt;
    if (parser.isSet(scriptOption)) {
        if (options.startAfterSeconds) {
            *error = QStringLiteral("--script and --start-after cannot be combined");
            return std::nullopt;
        }
        options.script = readScript(parser.value(scriptOption), error);
        if (!options.script)
            return std::nullopt;
    }
    return options;
}
