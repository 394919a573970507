#pragma once

#include <QByteArray>
#include <QString>

// The 8-bit code page of all files and of the serial line: Windows-1252.

// One byte per character; a character the code page lacks is written as "?" (a character outside
// the Basic Multilingual Plane, stored as a surrogate pair, gives one "?").
QByteArray EncodeAnsi(const QString& text);

// One character per byte; the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) read as the control characters of the same number, so nothing is lost.
QString DecodeAnsi(const QByteArray& bytes);
