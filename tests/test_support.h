#pragma once

#include <QLocale>

// Pins the default locale for the lifetime of the object, so that number formatting is tested
// under a known locale whatever the machine's own is.
class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale);
    ~ScopedLocale();
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    QLocale previous;
};
