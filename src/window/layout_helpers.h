#pragma once

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <initializer_list>

// Small builders shared by the tabs of the window.

inline QLabel* WrappedLabel(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

// A field that shows a value. It is skipped by the Tab key, as there is nothing to enter, but a
// click still selects its text for copying.
inline QLineEdit* ReadOnlyField()
{
    auto* field = new QLineEdit;
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignCenter);
    field->setFocusPolicy(Qt::ClickFocus);
    return field;
}

// A thin sunken line between groups of controls.
inline QFrame* SeparatorLine()
{
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// A list wide enough for `characters` characters whatever it holds, so that lists in one column
// line up and keep their width when they are filled.
inline void SetListWidth(QComboBox* list, int characters)
{
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(characters);
}

// The Tab key visits the widgets in the order given; all of them must be in one window.
inline void ChainTabOrder(std::initializer_list<QWidget*> widgets)
{
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}
