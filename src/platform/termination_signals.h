#pragma once

#include <QString>
#include <functional>

class QObject;

// SIGTERM, SIGINT and SIGHUP as events of the event loop. The handler only writes a byte to a
// non-blocking self-pipe (keeping errno); the pipe is never closed, so any number of signals, at
// any moment of the process's life, is safe.
namespace TerminationSignals {

// Catches the three signals from now on; a signal that comes before anything reacts to it is kept
// until something does. Call it first thing in main(). Idempotent.
bool Catch(QString* error = nullptr);

// Calls action on the event loop of context's thread after one or more caught signals, also for
// signals caught before this call. The reaction ends with context. One reaction per process:
// two would share the signals between them.
void React(QObject* context, std::function<void()> action);

} // namespace TerminationSignals
