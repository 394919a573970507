#include "script.h"

#include "traffic_log.h"

#include <cmath>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<char> hexByte(const QByteArray& line, qsizetype at)
{
    if (at + 2 > line.size())
        return std::nullopt;
    const int high = hexDigit(line[at]);
    const int low = hexDigit(line[at + 1]);
    if (high < 0 || low < 0)
        return std::nullopt;
    return static_cast<char>(high * 16 + low);
}

std::optional<ScriptStep> parseWait(const QByteArray& argument)
{
    bool ok = false;
    const double seconds = argument.toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds < 0.0)
        return std::nullopt;
    return ScriptStep {ScriptStep::Kind::Wait, {}, seconds};
}

std::optional<ScriptStep> parseExpect(const QByteArray& argument)
{
    if (argument.isEmpty())
        return std::nullopt;
    return ScriptStep {ScriptStep::Kind::Expect, argument, 0.0};
}

std::optional<ScriptStep> parseSend(const QByteArray& line)
{
    const std::optional<QByteArray> bytes = decodeReplyLine(line);
    if (!bytes)
        return std::nullopt;
    return ScriptStep {ScriptStep::Kind::Send, *bytes, 0.0};
}

std::optional<ScriptStep> parseStep(const QByteArray& line)
{
    const QByteArray keyword = line.simplified().split(' ').value(0);
    const QByteArray argument = line.trimmed().mid(keyword.size()).trimmed();
    if (keyword == "wait")
        return parseWait(argument);
    if (keyword == "expect")
        return parseExpect(argument);
    return parseSend(line);
}

bool isIgnored(const QByteArray& line)
{
    return line.isEmpty() || line.startsWith('#');
}

// The text with each line end, CR LF, CR or LF, as a single LF.
QByteArray withLfLineEnds(QByteArray text)
{
    return text.replace("\r\n", "\n").replace('\r', '\n');
}

} // namespace

std::optional<QByteArray> decodeReplyLine(const QByteArray& line)
{
    QByteArray out;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != '\\') {
            out += line[i];
            continue;
        }
        const char escape = i + 1 < line.size() ? line[i + 1] : '\0';
        ++i;
        if (escape == 'r') {
            out += '\r';
        } else if (escape == 'n') {
            out += '\n';
        } else if (escape == '\\') {
            out += '\\';
        } else if (escape == 'c' && i == line.size() - 1) {
            return out;
        } else if (escape == 'x') {
            const std::optional<char> byte = hexByte(line, i + 1);
            if (!byte)
                return std::nullopt;
            out += *byte;
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return out + "\r\n";
}

std::optional<QList<ScriptStep>> parseScript(const QByteArray& text, QString* error)
{
    const QByteArray lines = withLfLineEnds(text);
    QList<ScriptStep> steps;
    qsizetype start = 0;
    for (qsizetype number = 1; start <= lines.size(); ++number) {
        const qsizetype lineEnd = lines.indexOf('\n', start);
        const qsizetype end = lineEnd < 0 ? lines.size() : lineEnd;
        const QByteArray line = lines.sliced(start, end - start);
        start = end + 1;
        if (isIgnored(line))
            continue;
        const std::optional<ScriptStep> step = parseStep(line);
        if (!step) {
            *error = QStringLiteral("line %1: cannot read \"%2\"")
                         .arg(number)
                         .arg(QString::fromLatin1(TrafficLog::excerpt(line)));
            return std::nullopt;
        }
        steps.append(*step);
    }
    return steps;
}
