#include "platform/comm_control.h"

#include "platform/ansi_codec.h"

#include <QStringList>

namespace {
constexpr int HighestPortNumber = 255;
}

CommControl::CommControl(std::unique_ptr<SerialBackend> serialBackend, QObject* parent)
    : QObject(parent)
    , backend(std::move(serialBackend))
{
    connect(backend.get(), &SerialBackend::received, this, [this] {
        if (rThreshold > 0)
            emit OnComm();
    });
    connect(backend.get(), &SerialBackend::lost, this, &CommControl::PortLost);
}

bool CommControl::setCommPort(int portNumber)
{
    if (PortOpen() || portNumber < 1 || portNumber > HighestPortNumber)
        return false;
    commPort = portNumber;
    return true;
}

bool CommControl::setSettings(const QString& text)
{
    if (!ParseLineSettings(text))
        return false;
    settings = text;
    return true;
}

bool CommControl::PortOpen() const
{
    return backend->isOpen();
}

bool CommControl::setPortOpen(bool open)
{
    if (open == PortOpen())
        return false;
    if (!open) {
        backend->close();
        return true;
    }
    return backend->open(commPort, *ParseLineSettings(settings));
}

QString CommControl::Input()
{
    if (!PortOpen())
        return {};
    return DecodeAnsi(backend->readAll());
}

bool CommControl::setOutput(const QString& text)
{
    return PortOpen() && backend->write(EncodeAnsi(text));
}

std::optional<LineSettings> ParseLineSettings(const QString& text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    bool baudOk = false;
    bool dataOk = false;
    bool stopOk = false;
    LineSettings line;
    line.baudRate = parts[0].trimmed().toInt(&baudOk);
    line.dataBits = parts[2].trimmed().toInt(&dataOk);
    line.stopBits = parts[3].trimmed().toInt(&stopOk);
    const QString parity = parts[1].trimmed().toLower();
    if (!baudOk || !dataOk || !stopOk || parity.size() != 1 || !QString("neoms").contains(parity))
        return std::nullopt;
    line.parity = parity[0].toLatin1();
    if (line.baudRate <= 0 || line.dataBits < 5 || line.dataBits > 8 || line.stopBits < 1
        || line.stopBits > 2)
        return std::nullopt;
    return line;
}
