#pragma once

#include <QByteArray>
#include <QString>

// A symbolic link to the simulator's device, so that clients can use a fixed name. An existing
// symbolic link is replaced; any other file in the way is left alone and reported. The link is
// removed again on destruction if it still points to the device.
class DeviceLink {
public:
    DeviceLink() = default;
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    bool create(const QString& linkPath, const QString& targetPath, QString* error);
    // Removes the link if it still points to the device.
    void remove();

private:
    QByteArray link;
    QByteArray target;
};
