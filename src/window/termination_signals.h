#pragma once

class QWidget;

// SIGTERM, SIGINT and SIGHUP close the window as the user's close does, so that its unload runs.
void CloseOnTerminationSignals(QWidget* window);
