#include "window/close_on_signal.h"

#include "platform/termination_signals.h"
#include "window/form1.h"

#include <QApplication>
#include <QWidget>

namespace {

void CloseModalDialogs()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* dialog : windows) {
        if (dialog->isModal() && dialog->isVisible())
            dialog->close();
    }
}

} // namespace

void CloseOnTerminationSignals(Form1* window)
{
    TerminationSignals::React(window, [window] {
        CloseModalDialogs();
        window->CloseWithoutAsking();
    });
}
