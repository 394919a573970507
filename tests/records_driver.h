#pragma once

// A storage folder with the protocol file "Serie7.CSV" and its measurement folder, and the bytes
// they hold, for the suites of the records, the stored tests and the settings.
#include "records/protocol_file.h"
#include "test_support.h"

#include <QByteArrayList>
#include <QMap>

// The texts of test `number` as its start takes them, and its record as the file holds it.
MeasurementHeader TestTexts(int number, const QString& remark = "Probe");
QByteArray RecordLine(
    int number, int position = 1, const QString& remark = "Probe", QChar sep = ';');
// The header of a protocol file, then the lines, each ended by `end`, the last one unless told.
QByteArray Protocol(
    const QByteArrayList& lines, const QByteArray& end = "\r\n", bool lastEnd = true);
// A measurement file: its header lines, then data lines at 1:30, 12.3 % and 23.5 °C.
QByteArray MeasurementBytes(const MeasurementHeader& header = {}, int dataLines = 3);
// Every file below `root` with its bytes.
QMap<QString, QByteArray> FilesBelow(const QString& root);
// The cells of a grid's column, below its heading row.
QStringList Column(const FlexGrid& grid, int column);

struct SeriesFolder {
    SeriesFolder();
    QTemporaryDir root;
    QString folder; // with its trailing separator, as the window names it
    QString protocol; // folder + "Serie7.CSV"
    QString measurements; // folder + "Serie7/"
    QString path(const QString& name) const { return folder + name; }
    void put(const QString& name, const QByteArray& bytes) const;
    QMap<QString, QByteArray> files() const { return FilesBelow(root.path()); }
};
