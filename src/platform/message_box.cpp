#include "platform/message_box.h"

#include <QMessageBox>
#include <QPushButton>
#include <memory>
#include <utility>
#include <vector>

namespace {

using ButtonList = std::vector<std::pair<int, QString>>;

ButtonList ButtonsOf(int style)
{
    switch (style & 15) {
    case MsgStyle::OkCancel:
        return {{MsgResult::Ok, "OK"}, {MsgResult::Cancel, "Abbrechen"}};
    case MsgStyle::AbortRetryIgnore:
        return {{MsgResult::Abort, "Abbrechen"}, {MsgResult::Retry, "Wiederholen"},
            {MsgResult::Ignore, "Ignorieren"}};
    case MsgStyle::YesNoCancel:
        return {{MsgResult::Yes, "Ja"}, {MsgResult::No, "Nein"}, {MsgResult::Cancel, "Abbrechen"}};
    case MsgStyle::YesNo:
        return {{MsgResult::Yes, "Ja"}, {MsgResult::No, "Nein"}};
    case MsgStyle::RetryCancel:
        return {{MsgResult::Retry, "Wiederholen"}, {MsgResult::Cancel, "Abbrechen"}};
    default:
        return {{MsgResult::Ok, "OK"}};
    }
}

QMessageBox::Icon IconOf(int style)
{
    switch (style & 112) {
    case MsgStyle::Critical:
        return QMessageBox::Critical;
    case MsgStyle::Question:
        return QMessageBox::Question;
    case MsgStyle::Exclamation:
        return QMessageBox::Warning;
    case MsgStyle::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Escape and the title bar's close answer Cancel where there is one, else the last button.
int EscapeResult(const ButtonList& buttons)
{
    for (const auto& [result, caption] : buttons) {
        if (result == MsgResult::Cancel)
            return result;
    }
    return buttons.back().first;
}

} // namespace

namespace {

// A message box with the style's icon and German buttons; resultOf pairs each button with its
// result.
std::unique_ptr<QMessageBox> BuildBox(QWidget* parent, int style, const QString& title,
    const QString& text, std::vector<std::pair<QAbstractButton*, int>>& resultOf)
{
    auto box
        = std::make_unique<QMessageBox>(IconOf(style), title, text, QMessageBox::NoButton, parent);
    const ButtonList buttons = ButtonsOf(style);
    for (const auto& [result, caption] : buttons)
        resultOf.emplace_back(box->addButton(caption, QMessageBox::AcceptRole), result);
    const bool second = (style & MsgStyle::DefaultButton2) != 0 && resultOf.size() > 1;
    box->setDefaultButton(qobject_cast<QPushButton*>(resultOf.at(second ? 1 : 0).first));
    const int escapeResult = EscapeResult(buttons);
    for (const auto& [button, result] : resultOf) {
        if (result == escapeResult)
            box->setEscapeButton(button);
    }
    return box;
}

} // namespace

int ShowMessageBox(QWidget* parent, int style, const QString& title, const QString& text)
{
    std::vector<std::pair<QAbstractButton*, int>> resultOf;
    const std::unique_ptr<QMessageBox> box = BuildBox(parent, style, title, text, resultOf);
    box->exec();
    for (const auto& [button, result] : resultOf) {
        if (box->clickedButton() == button)
            return result;
    }
    return EscapeResult(ButtonsOf(style));
}

void ShowMessageBoxLater(QWidget* parent, int style, const QString& title, const QString& text)
{
    const QString name = QStringLiteral("later:") + title;
    if (parent) {
        if (auto* open = parent->findChild<QMessageBox*>(name, Qt::FindDirectChildrenOnly)) {
            open->setText(text);
            open->raise();
            return;
        }
    }
    std::vector<std::pair<QAbstractButton*, int>> resultOf;
    QMessageBox* box = BuildBox(parent, style, title, text, resultOf).release();
    box->setObjectName(name);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void AskLater(QWidget* parent, int style, const QString& title, const QString& text,
    const std::function<void(int)>& answered)
{
    std::vector<std::pair<QAbstractButton*, int>> resultOf;
    QMessageBox* box = BuildBox(parent, style, title, text, resultOf).release();
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    const int escapeResult = EscapeResult(ButtonsOf(style));
    QObject::connect(box, &QMessageBox::finished, box, [box, resultOf, escapeResult, answered] {
        int result = escapeResult;
        for (const auto& [button, buttonResult] : resultOf) {
            if (box->clickedButton() == button)
                result = buttonResult;
        }
        answered(result);
    });
    box->show();
}
