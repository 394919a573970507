#include "script_player.h"

namespace {

constexpr qsizetype maxUnclaimedCommands = 1000;
// Steps played in one turn of the event loop; a long run of replies goes out in portions so that
// signals and received commands are handled in between.
constexpr int stepsPerTurn = 500;

} // namespace

ScriptPlayer::ScriptPlayer(QList<ScriptStep> steps, const SimClock& clock, QObject* parent)
    : QObject(parent)
    , steps(std::move(steps))
    , clock(clock)
{
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &ScriptPlayer::advance);
}

void ScriptPlayer::start()
{
    advance();
}

void ScriptPlayer::commandReceived(const QByteArray& command)
{
    if (nextStep >= steps.size())
        return;
    unclaimedCommands.append(command);
    if (unclaimedCommands.size() > maxUnclaimedCommands)
        unclaimedCommands.removeFirst();
    if (steps[nextStep].kind == ScriptStep::Kind::Expect)
        advance();
}

void ScriptPlayer::advance()
{
    timer.stop();
    for (int played = 0; nextStep < steps.size(); ++played) {
        if (played == stepsPerTurn) {
            timer.start(0);
            return;
        }
        if (!stepDone(steps[nextStep]))
            return;
        ++nextStep;
    }
    emit finished();
}

bool ScriptPlayer::stepDone(const ScriptStep& step)
{
    switch (step.kind) {
    case ScriptStep::Kind::Send:
        emit send(step.bytes);
        return true;
    case ScriptStep::Kind::Wait:
        return waitDone(step.seconds);
    case ScriptStep::Kind::Expect:
        return takeCommand(step.bytes);
    }
    return true;
}

bool ScriptPlayer::waitDone(double seconds)
{
    if (!waitingUntil)
        waitingUntil = clock.now() + seconds;
    if (clock.now() >= *waitingUntil) {
        waitingUntil.reset();
        return true;
    }
    timer.start(clock.wallMsUntil(*waitingUntil));
    return false;
}

bool ScriptPlayer::takeCommand(const QByteArray& expected)
{
    const qsizetype found = unclaimedCommands.indexOf(expected);
    if (found < 0)
        return false;
    unclaimedCommands.remove(0, found + 1);
    return true;
}
