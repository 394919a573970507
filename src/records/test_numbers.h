#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

// Test numbers are never given twice: not one recorded in the protocol file, not one whose
// measurement file (or a kept older copy of it) exists, not one of a running test.

// The numbers used by the files of a measurement folder: "No-nnnnn-p.CSV", the kept copies
// "Alt-No-...", "Alt2-No-..." and the lock files "No-nnnnn-p.CSV.lock" (a lock left without its
// file would keep every start of that number from making it), letters of any case.
QSet<qint32> NumbersOfMeasurementFiles(const QStringList& fileNames);
// The same for the files of a folder.
QSet<qint32> NumbersOfFilesIn(const QString& folder);

// The test name "nnnnn-p" of a measurement file "No-nnnnn-p.CSV"; nothing for any other name.
std::optional<QString> TestNameOfMeasurementFile(const QString& fileName);

// The number of a new test: the one wanted, but at least one above the highest recorded, and the
// next one that is not taken; nothing beyond 99999.
std::optional<qint32> NewTestNumber(
    qint32 wanted, qint32 highestRecorded, const QSet<qint32>& taken);

// The highest test number recorded in a protocol file (0 when none, or the file cannot be read).
qint32 HighestRecordedNumber(const QString& protocolPath);

// The tests that the records of a protocol file name, by their test keys.
QSet<qint32> RecordedTestKeys(const QString& protocolPath);
