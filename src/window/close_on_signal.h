#pragma once

class Form1;

// SIGTERM, SIGINT and SIGHUP close the window so that its unload runs; running tests are ended
// without asking (the system may be shutting down). An open message box is closed first
// (answering as Escape does), so that the window's close is not left waiting behind it.
void CloseOnTerminationSignals(Form1* window);
