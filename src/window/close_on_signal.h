#pragma once

class QWidget;

// SIGTERM, SIGINT and SIGHUP close the window as the user's close does, so that its unload runs.
// An open message box is closed first (answering as Escape does), so that the window's close is
// not left waiting behind it.
void CloseOnTerminationSignals(QWidget* window);
