#pragma once

#include "platform/clock.h"
#include "platform/line_log.h"
#include "platform/message_box.h"
#include "platform/print_output.h"
#include "platform/serial_backend.h"

#include <QString>
#include <QStringList>
#include <memory>

// Everything the main window takes from its surroundings, so that tests can build it on a
// temporary folder with an in-memory serial line, a fixed clock and scripted message boxes.
struct FormEnvironment {
    // The folder of the executable; the settings file lies there.
    QString programFolder;
    // Where the settings are kept when the program folder cannot be written; empty: nowhere else.
    QString userConfigFolder;
    // False for an installed program: its folder belongs to the system, whoever may write it.
    bool settingsBesideProgram = true;
    // The command-line words after the program name.
    QStringList arguments;
    // The folder the folder list starts in before the settings are read.
    QString startFolder;
    std::unique_ptr<SerialBackend> serialBackend;
    Clock clock = SystemNow;
    // Empty: real message boxes are shown.
    MessageAnswerer answerer;
    // Empty: the system's printer-selection dialog is shown.
    PrintRunner print;
    // Where commands and replies are recorded; nothing: they are not.
    std::unique_ptr<LineLog> lineLog;
};
