#include "test_support.h"

ScopedLocale::ScopedLocale(const QLocale& locale)
    : previous(QLocale())
{
    QLocale::setDefault(locale);
}

ScopedLocale::~ScopedLocale()
{
    QLocale::setDefault(previous);
}
