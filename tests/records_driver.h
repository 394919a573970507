#pragma once

// A storage folder with the protocol file "Serie7.CSV" and its measurement folder, for the
// suites of the records and the stored tests.
#include "records/protocol_file.h"

#include <QByteArrayList>
#include <QMap>
#include <QTemporaryDir>

class FlexGrid;

// The texts of test `number` as its start takes them.
MeasurementHeader TestTexts(int number, const QString& remark = "Probe");
// The record of test `number` at `position` as the file holds it, without its line end.
QByteArray RecordLine(
    int number, int position = 1, const QString& remark = "Probe", QChar sep = ';');
// The protocol file made by the user: its header, then the lines, each ended by `end`; the last
// one too unless told otherwise.
QByteArray Protocol(
    const QByteArrayList& lines, const QByteArray& end = "\r\n", bool lastEnd = true);
// A measurement file: its header lines, then data lines at 12.3 % and 23.5 °C.
QByteArray MeasurementBytes(const MeasurementHeader& header = {}, int dataLines = 3);

// The cells of a column of a grid, below its heading row.
QStringList Column(const FlexGrid& grid, int column);

struct SeriesFolder {
    SeriesFolder();
    QTemporaryDir root;
    // The storage folder with its trailing separator, as the window names it.
    QString folder;
    QString protocol; // .../Serie7.CSV
    QString measurements; // .../Serie7/
    // A file below the storage folder, by its relative name.
    QString path(const QString& name) const { return folder + name; }
    void put(const QString& name, const QByteArray& bytes) const;
    // Every file below the storage folder with its bytes.
    QMap<QString, QByteArray> files() const;
};
