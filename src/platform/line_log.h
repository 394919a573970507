#pragma once

#include "platform/clock.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

// A record of the serial line for support: every command written and every reply received, one
// line each, appended to a file:
//
//   2026-12-06 10:30:00.123 COM1 -> RUN\r
//   2026-12-06 10:30:00.456 COM1 <- *OK! RUN
//
// Local date and time with milliseconds, the port, "->" written or "<-" received, then the bytes
// with control and non-ASCII bytes escaped (visible_text.h). A log that cannot be written never
// disturbs the measurement: no call here blocks or throws, and a failure only shows when asked
// for. The log stops at its first failure and costs nothing after that; a log file removed while
// in use is made anew. One thread only.
class LineLog {
public:
    // A forgotten log stops here, with a last line saying so, instead of filling the disk.
    static constexpr qint64 DefaultSizeLimit = qint64(256) * 1024 * 1024;
    // Bytes of one entry beyond this are left out; the entry then ends in "... (N bytes)".
    static constexpr qsizetype MaxEntryBytes = 4096;

    // The log named by the environment variable TALIV_LOG; nothing when it is unset or empty.
    static std::unique_ptr<LineLog> FromEnvironment(Clock clock = SystemNow);

    // Opens path for appending, making the file if need be. Only a regular file or a new name is
    // taken: a folder, a pipe or a device leaves the log stopped.
    explicit LineLog(
        const QString& path, Clock clock = SystemNow, qint64 sizeLimit = DefaultSizeLimit);
    ~LineLog();
    LineLog(const LineLog&) = delete;
    LineLog& operator=(const LineLog&) = delete;

    // Bytes written to COM port, as they go out.
    void Sent(int port, const QByteArray& bytes);
    // Bytes received from COM port: a reply line or whatever arrived.
    void Received(int port, const QByteArray& bytes);

    // False once the log has stopped; Failure() then says why.
    bool IsWriting() const { return handle >= 0; }
    QString Failure() const { return failure; }

private:
    void Add(int port, const char* direction, const QByteArray& bytes);
    void Open();
    std::optional<qint64> CurrentSize();
    bool Append(const QByteArray& entry, qint64 sizeBefore);
    void Stop(const QString& reason);

    QString path;
    Clock clock;
    qint64 sizeLimit;
    int handle = -1;
    QString failure;
};
