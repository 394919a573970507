#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// A reply script: the lines of a text file, see README.md for the format.
struct ScriptStep {
    enum class Kind { Send, Wait, Expect };
    Kind kind = Kind::Send;
    QByteArray bytes; // Send: the exact bytes to write; Expect: the command awaited
    double seconds = 0.0; // Wait: simulated seconds
};

// Parses a whole script; CR, LF and CR LF each end a line. On a malformed line returns nothing and
// sets *error to a message naming the line and quoting its start.
std::optional<QList<ScriptStep>> parseScript(const QByteArray& text, QString* error);

// Decodes one reply line with its escapes and appends CR LF unless it ends with "\c".
// Returns nothing for a malformed escape.
std::optional<QByteArray> decodeReplyLine(const QByteArray& line);
