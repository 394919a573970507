#pragma once
// The built programs as child processes of a test: the instrument simulator and taliv01. Each is
// ended with SIGTERM at the latest when the test leaves.
#include "records/protocol_file.h"
#include "test_support.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The instrument simulator as a child process; its log on standard error is collected as it is
// waited for. It is ended with SIGTERM at the latest when the test leaves.
class Simulator {
public:
    explicit Simulator(const QStringList& arguments)
    {
        process.start(QTM_SIMULATOR_EXE, arguments);
    }
    ~Simulator() { stop(); }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The device from the first line on standard output; empty when none comes in time.
    QString device()
    {
        QDeadlineTimer deadline(5000);
        while (!process.canReadLine() && process.waitForReadyRead(deadline.remainingTime())) { }
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    // Reads the log until it holds the text at or after `from`: its index, or -1 when the
    // deadline passes first.
    qsizetype waitForLog(const QByteArray& text, int milliseconds, qsizetype from = 0)
    {
        QDeadlineTimer deadline(milliseconds);
        while (log.indexOf(text, from) < 0 && !deadline.hasExpired()) {
            process.waitForReadyRead(100);
            log += process.readAllStandardError();
        }
        return log.indexOf(text, from);
    }

    bool stop()
    {
        if (process.state() == QProcess::NotRunning)
            return true;
        process.terminate();
        return process.waitForFinished(5000);
    }

    QProcess process;
    QByteArray log;
};

// The program as a child process, its first port on `device`. It is ended with
// SIGTERM at the latest when the test leaves, and killed when that does not end it.
class Program {
public:
    Program(const QTemporaryDir& folder, const QString& device)
        : Program(folder.path(), folder.path(), device)
    {
    }
    // A copy in `programFolder`, started in `storageFolder`, its first storage folder.
    Program(const QString& programFolder, const QString& storageFolder, const QString& device)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        // Every port of the search is the instrument: a probe lost while the line settles is
        // answered at the next tick instead of ending the search at a message box.
        for (int port = 1; port <= InstrumentLink::LastSearchPort; ++port)
            environment.insert(QStringLiteral("TALIV_COM%1").arg(port), device);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(storageFolder);
        process.start(ProgramCopyIn(programFolder, TALIV01_EXE), {});
    }
    ~Program()
    {
        if (!stop() && process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // SIGTERM closes the window as the user's close does: true for a normal end with exit code 0.
    bool stop()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            process.waitForFinished(10000);
        }
        return process.state() == QProcess::NotRunning
            && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QProcess process;
};

// A test series "Serie" in the folder: its protocol file with the header only, and its measurement
// folder.
inline void MakeSeries(const QTemporaryDir& folder)
{
    QFile protocol(folder.filePath("Serie.CSV"));
    QVERIFY(protocol.open(QIODevice::WriteOnly));
    protocol.write(CreatedHeaderLine().toLatin1() + "\r\n");
    QVERIFY(QDir(folder.path()).mkdir("Serie"));
}
