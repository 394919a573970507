#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

// Paces the updates of one display (a status panel, a value) to about 30 a second: an update
// that comes sooner after the last one shown waits, and gives way to any later one, so the
// latest is always shown and never later than a pace after it came.
class DisplayPacer : public QObject {
    Q_OBJECT

public:
    static constexpr int PaceMilliseconds = 33;

    explicit DisplayPacer(QObject* parent = nullptr);

    void Show(std::function<void()> update);

private:
    void ShowWaiting();

    std::function<void()> waiting;
    QElapsedTimer sinceShown;
    QTimer nextShow;
};
