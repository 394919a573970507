#include "window/messages.h"

Messages::Messages(QWidget* parentWidget, MessageAnswerer answering)
    : parent(parentWidget)
    , answerer(std::move(answering))
{
}

int Messages::MsgBox(const QString& text, int style, const QString& title) const
{
    if (answerer)
        return answerer(style, title, text);
    return ShowMessageBox(parent, style, title, text);
}

void Messages::MsgBoxLater(const QString& text, int style, const QString& title) const
{
    if (answerer)
        answerer(style, title, text);
    else
        ShowMessageBoxLater(parent, style, title, text);
}

void Messages::MsgBoxAsk(const QString& text, int style, const QString& title,
    const std::function<void(int)>& answered) const
{
    if (answerer)
        answered(answerer(style, title, text));
    else
        AskLater(parent, style, title, text, answered);
}

std::function<void(const QString&, int, const QString&)> Messages::Teller() const
{
    return [this](const QString& text, int style, const QString& title) {
        MsgBox(text, style, title);
    };
}
