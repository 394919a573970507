#include "records_driver.h"

#include "platform/ansi_codec.h"
#include "platform/flex_grid.h"
#include "test_support.h"

#include <QDirIterator>

MeasurementHeader TestTexts(int number, const QString& remark)
{
    return {"Öl Nr. " + QString::number(number), "A-77", "CH 5", remark, "", "Ende", "06.12.2026",
        "10:30", " 10 Sekunden"};
}

QByteArray RecordLine(int number, int position, const QString& remark, QChar sep)
{
    return EncodeAnsi(TestRecord({number, position, TestTexts(number, remark)}, sep));
}

QStringList Column(const FlexGrid& grid, int column)
{
    QStringList cells;
    for (int row = 1; row < grid.Rows(); ++row)
        cells << grid.TextMatrix(row, column);
    return cells;
}

QByteArray Protocol(const QByteArrayList& lines, const QByteArray& end, bool lastEnd)
{
    const QByteArray bytes = (QByteArrayList {CreatedHeaderLine().toLatin1()} + lines).join(end);
    return lastEnd ? bytes + end : bytes;
}

QByteArray MeasurementBytes(const MeasurementHeader& header, int dataLines)
{
    return EncodeAnsi(HeaderLines(header, ";").join("\r\n") + "\r\n")
        + QByteArray("00:01:30 ; 12.3; 23.5\r\n").repeated(dataLines);
}

SeriesFolder::SeriesFolder()
    : folder(root.path() + "/")
    , protocol(folder + "Serie7.CSV")
    , measurements(folder + "Serie7/")
{
    QDir(root.path()).mkdir("Serie7");
}

void SeriesFolder::put(const QString& name, const QByteArray& bytes) const
{
    PutBytes(path(name), bytes);
}

QMap<QString, QByteArray> FilesBelow(const QString& root)
{
    QMap<QString, QByteArray> all;
    QDirIterator entries(
        root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString file = entries.next();
        all.insert(QDir(root).relativeFilePath(file), BytesOf(file));
    }
    return all;
}
