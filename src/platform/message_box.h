#pragma once

#include <QString>
#include <functional>

class QWidget;

// Message-box styles: buttons plus icon, as the classic style numbers (53 = RetryCancel +
// Exclamation).
namespace MsgStyle {
constexpr int OkOnly = 0;
constexpr int OkCancel = 1;
constexpr int AbortRetryIgnore = 2;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int RetryCancel = 5;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
// The second button is the one Enter presses (the first without it).
constexpr int DefaultButton2 = 256;
} // namespace MsgStyle

// The button that closed a message box.
namespace MsgResult {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Abort = 3;
constexpr int Retry = 4;
constexpr int Ignore = 5;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgResult

// Answers a message box instead of the user; tests install one.
using MessageAnswerer = std::function<int(int style, const QString& title, const QString& text)>;

// Shows a modal message box with German buttons and returns the button pressed.
int ShowMessageBox(QWidget* parent, int style, const QString& title, const QString& text);

// Shows a message box that does not wait for its answer: the caller goes on at once and no nested
// event loop runs, so it may be shown from inside the receive handler. The box deletes itself.
// While a box of the same title is open on the parent, that box takes the new text instead, so a
// flood of reports never opens a flood of windows.
void ShowMessageBoxLater(QWidget* parent, int style, const QString& title, const QString& text);

// Asks without waiting for the answer: the box stays open beside the window, everything else goes
// on, and `answered` gets the button pressed once the user has chosen.
void AskLater(QWidget* parent, int style, const QString& title, const QString& text,
    const std::function<void(int)>& answered);
