#pragma once

// The main window driven as a user drives it, through the established names of its controls: for
// the tests and the screenshots.
#include <QComboBox>
#include <QWidget>

// The window's control of that established name ("LaufNr", "Start1" for Start(1)); a missing
// or differently typed control ends the program with its name.
template <class Control> Control& Find(const QWidget& window, const QString& name)
{
    auto* control = window.findChild<Control*>(name);
    if (!control)
        qFatal("no control %s of the expected type", qPrintable(name));
    return *control;
}

// Chooses an entry of a list as the user does, so that its handler runs.
inline void Choose(QComboBox* list, int index)
{
    list->setCurrentIndex(index);
    emit list->activated(index);
}
