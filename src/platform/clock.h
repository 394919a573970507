#pragma once

#include <QDateTime>
#include <functional>

// The current local date and time; tests hand the window a fixed clock instead.
using Clock = std::function<QDateTime()>;

inline QDateTime SystemNow()
{
    return QDateTime::currentDateTime();
}
