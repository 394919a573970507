#pragma once

#include <QLabel>
#include <QLineEdit>

// Small builders shared by the tabs of the window.

inline QLabel* WrappedLabel(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

inline QLineEdit* ReadOnlyField()
{
    auto* field = new QLineEdit;
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignCenter);
    return field;
}
