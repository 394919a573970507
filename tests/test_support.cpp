#include "test_support.h"

#include "platform/environment.h"

#include <QFileInfo>

WindowFixture::WindowFixture(
    const QSet<int>& presentPorts, const QStringList& arguments, const WindowPlaces& places)
{
    auto serial = std::make_unique<MemorySerialLine>();
    line = serial.get();
    line->setPresentPorts(presentPorts);
    FormEnvironment environment;
    environment.programFolder
        = places.programFolder.isEmpty() ? folder.path() : places.programFolder;
    environment.startFolder = places.startFolder.isEmpty() ? folder.path() : places.startFolder;
    environment.arguments = arguments;
    environment.serialBackend = std::move(serial);
    environment.clock = [this] { return now; };
    environment.answerer = [this](int style, const QString& title, const QString& text) {
        questions.append({style, title, text});
        if (whileAsking)
            whileAsking();
        return answers.isEmpty() ? MsgResult::Cancel : answers.takeFirst();
    };
    environment.print = [this](const QString& documentName, const PrintJob& job) {
        if (printOutcome != PrintOutcome::Printed)
            return printOutcome;
        printedDocuments.append(documentName);
        job(printer);
        return printer.EndDoc() ? PrintOutcome::Printed : PrintOutcome::Failed;
    };
    window = std::make_unique<Form1>(std::move(environment));
}

QByteArray BytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void PutBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

int PdfPageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("%PDF"))
        return -1;
    static const QRegularExpression pages(
        QStringLiteral(R"(/Type\s*/Pages\b[^>]*?/Count\s+(\d+))"));
    const QRegularExpressionMatch match = pages.match(QString::fromLatin1(bytes));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString ProgramCopyIn(const QString& folder, const QString& executable)
{
    const QString copy = QDir(folder).filePath(QFileInfo(executable).fileName());
    if (!QFile::exists(copy))
        QFile::copy(executable, copy);
    return copy;
}
