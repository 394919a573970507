#include "memory_serial_line.h"

bool MemorySerialLine::open(int portNumber, const LineSettings&)
{
    if (isOpen() || !presentPorts.contains(portNumber))
        return false;
    openPort = portNumber;
    ++opens;
    return true;
}

void MemorySerialLine::close()
{
    openPort = 0;
    waiting.clear();
}

QByteArray MemorySerialLine::readAll()
{
    return std::exchange(waiting, {});
}

bool MemorySerialLine::write(const QByteArray& bytes)
{
    if (!isOpen() || writesFail)
        return false;
    written.append({openPort, bytes});
    return true;
}

void MemorySerialLine::deliver(const QByteArray& bytes)
{
    if (!isOpen())
        return;
    waiting += bytes;
    emit received();
}

void MemorySerialLine::unplug()
{
    if (!isOpen())
        return;
    presentPorts.remove(openPort);
    close();
    emit lost();
}

QByteArray MemorySerialLine::writtenTo(int port) const
{
    QByteArray bytes;
    for (const Write& entry : written) {
        if (entry.port == port)
            bytes += entry.bytes;
    }
    return bytes;
}
