#pragma once
// The built programs as child processes of a test: the instrument simulator and taliv01. Each is
// ended with SIGTERM at the latest when the test leaves.
#include "records/measurement_file.h"
#include "records/protocol_file.h"
#include "test_support.h"

#include <QDeadlineTimer>
#include <QProcess>

// The instrument simulator; its log on standard error is collected as it is waited for.
class Simulator {
public:
    explicit Simulator(const QStringList& arguments)
    {
        process.start(QTM_SIMULATOR_EXE, arguments);
    }
    ~Simulator()
    {
        process.terminate();
        process.waitForFinished(20000);
    }

    // The device from the first line on standard output; empty when none comes in time.
    QString device()
    {
        QDeadlineTimer deadline(20000);
        while (!process.canReadLine() && process.waitForReadyRead(deadline.remainingTime())) { }
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    // Reads the log until it holds the text at or after `from`: its index, or -1 when the
    // deadline passes first. A deadline of 0 reads what has come so far.
    qsizetype waitForLog(const QByteArray& text, int milliseconds, qsizetype from = 0)
    {
        const QDeadlineTimer deadline(milliseconds);
        for (;;) {
            log += process.readAllStandardError();
            if (log.indexOf(text, from) >= 0 || deadline.hasExpired())
                return log.indexOf(text, from);
            process.waitForReadyRead(100);
        }
    }

    QProcess process;
    QByteArray log;
};

// The simulator's arguments to play the script, kept in the folder under the name.
inline QStringList ScriptArguments(
    const QTemporaryDir& folder, const QString& name, const QByteArray& script)
{
    PutBytes(folder.filePath(name), script);
    return {"--script", folder.filePath(name)};
}

// The program, copied into `programFolder` and started in `storageFolder`, its first storage
// folder. COM1 to COM`missingPorts` lead nowhere, every later port of the search to `device`: a
// probe lost while the line settles is answered at the next tick instead of ending the search at
// a message box.
class Program {
public:
    Program(const QString& programFolder, const QString& storageFolder, const QString& device,
        int missingPorts = 0)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        for (int port = 1; port <= InstrumentLink::LastSearchPort; ++port)
            environment.insert(QStringLiteral("TALIV_COM%1").arg(port),
                port <= missingPorts ? programFolder + "/no-such-device" : device);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(storageFolder);
        process.start(ProgramCopyIn(programFolder, TALIV01_EXE), {});
    }
    ~Program()
    {
        if (!stop())
            process.kill();
    }

    // SIGTERM closes the window as the user's close does: true for a normal end with exit code 0.
    bool stop()
    {
        process.terminate();
        process.waitForFinished(30000);
        return process.state() == QProcess::NotRunning
            && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QProcess process;
};

// A test series "Serie" in the folder: its protocol file with the header only, and its
// measurement folder.
inline void MakeSeries(const QTemporaryDir& folder)
{
    PutBytes(folder.filePath("Serie.CSV"), CreatedHeaderLine().toLatin1() + "\r\n");
    QVERIFY(QDir(folder.path()).mkdir("Serie"));
}

// The data lines of a measurement file, after its header.
inline QStringList DataLines(const QString& path)
{
    const QByteArray bytes = BytesOf(path);
    if (!bytes.endsWith("\r\n") || bytes.count('\n') != bytes.count("\r\n"))
        return {"<not a measurement file>"};
    return QString::fromLatin1(bytes.chopped(2))
        .split(QStringLiteral("\r\n"))
        .mid(MeasurementFile::HeaderLineCount);
}

// The records of the series "Serie" in the folder.
inline QStringList Records(const QTemporaryDir& folder)
{
    return QString::fromLatin1(BytesOf(folder.filePath("Serie.CSV")))
        .split("\r\n", Qt::SkipEmptyParts)
        .mid(1);
}
