#include "platform/display_pacer.h"

DisplayPacer::DisplayPacer(QObject* parent)
    : QObject(parent)
{
    nextShow.setSingleShot(true);
    connect(&nextShow, &QTimer::timeout, this, &DisplayPacer::ShowWaiting);
}

void DisplayPacer::Show(std::function<void()> update)
{
    waiting = std::move(update);
    if (nextShow.isActive())
        return;
    const qint64 since = sinceShown.isValid() ? sinceShown.elapsed() : PaceMilliseconds;
    if (since >= PaceMilliseconds)
        ShowWaiting();
    else
        nextShow.start(int(PaceMilliseconds - since));
}

void DisplayPacer::ShowWaiting()
{
    if (!waiting)
        return;
    const std::function<void()> update = std::move(waiting);
    waiting = nullptr;
    sinceShown.start();
    update();
}
