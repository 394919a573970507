#pragma once

#include "script.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The simulator's command line, checked.
struct Options {
    QString linkPath;
    double speed = 1.0;
    std::optional<double> startAfterSeconds;
    std::optional<QList<ScriptStep>> script;
};

// Reads the command line. On a mistake returns nothing and sets *error; with --help returns
// nothing and sets *error to the usage text and *helpRequested.
std::optional<Options> parseOptions(
    const QStringList& arguments, QString* error, bool* helpRequested);
