#pragma once

#include "platform/message_box.h"

#include <QString>
#include <functional>

class QWidget;

// The window's message boxes: shown over the window, or answered by the given answerer where
// one is given (tests, scripted runs).
class Messages {
public:
    Messages(QWidget* parent, MessageAnswerer answerer);

    // Shows the box and waits for the answer.
    int MsgBox(const QString& text, int style, const QString& title) const;
    // Shows the box without holding up the caller.
    void MsgBoxLater(const QString& text, int style, const QString& title) const;
    // Asks without waiting: the answer reaches `answered` once the user has given it.
    void MsgBoxAsk(const QString& text, int style, const QString& title,
        const std::function<void(int)>& answered) const;
    // MsgBox as a function for the panels.
    std::function<void(const QString&, int, const QString&)> Teller() const;

private:
    QWidget* parent;
    MessageAnswerer answerer;
};
