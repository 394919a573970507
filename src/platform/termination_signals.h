#pragma once

#include <QString>
#include <functional>

class QObject;

// SIGTERM, SIGINT and SIGHUP as events of the event loop. The handler only writes a byte to a
// non-blocking self-pipe (keeping errno); the pipe is never closed, so any number of signals, at
// any moment of the process's life, is safe.
namespace TerminationSignals {

// What a signal does to a call that blocks at that moment. Resume: the call goes on (the window's
// file writes must not be cut short). Interrupt: the call returns, so that a process blocked on a
// full pipe still reaches its event loop and ends.
enum class BlockedCalls { Resume, Interrupt };

// Catches the three signals from now on; a signal that comes before anything reacts to it is kept
// until something does. Call it first thing in main(). Idempotent.
bool Catch(QString* error = nullptr, BlockedCalls blockedCalls = BlockedCalls::Resume);

// True once a termination signal has been caught: work that could block (a log write) is
// better left undone then.
bool Requested();

// Calls action on the event loop of context's thread after one or more caught signals, also for
// signals caught before this call. The reaction ends with context. One reaction per process:
// two would share the signals between them.
void React(QObject* context, std::function<void()> action);

} // namespace TerminationSignals
