#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// The instrument's end of a pseudo-terminal. The slave side is put in raw mode and one descriptor
// of it stays open for the port's whole life, so that a client closing and re-opening the device
// never causes a hang-up on the master. Output is queued (bounded) and written as the terminal
// accepts it; a read error pauses reading for a moment instead of spinning.
class PtyPort : public QObject {
    Q_OBJECT

public:
    explicit PtyPort(QObject* parent = nullptr);
    ~PtyPort() override;
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // Makes a new terminal; also after close(), which then gives a new device path.
    bool open(QString* error);
    // The device goes away as a pulled adapter does: the terminal ends and its client sees a
    // hang-up. Output meanwhile is dropped.
    void close();
    QString devicePath() const { return slavePath; }
    void write(const QByteArray& bytes);

signals:
    void received(const QByteArray& bytes);

private:
    bool openMaster(QString* error);
    bool openSlave(QString* error);
    void watchMaster();
    void readAvailable();
    void flushPending();
    void pauseReading(const QByteArray& reason);
    void resumeReading();

    int masterFd = -1;
    int slaveFd = -1;
    QString slavePath;
    QSocketNotifier* readNotifier = nullptr;
    QSocketNotifier* writeNotifier = nullptr;
    QByteArray pending;
    QTimer readRetry;
    bool readFailing = false;
};
