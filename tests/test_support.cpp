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

#include "platform/environment.h"
#include "platform/status_bar.h"

WindowFixture::WindowFixture(const QSet<int>& presentPorts, const QStringList& arguments)
{
    auto serial = std::make_unique<MemorySerialLine>();
    line = serial.get();
    line->setPresentPorts(presentPorts);
    FormEnvironment environment;
    environment.programFolder = folder.path();
    environment.startFolder = folder.path();
    environment.arguments = arguments;
    environment.serialBackend = std::move(serial);
    environment.clock = [] { return QDateTime(QDate(2026, 12, 6), QTime(10, 30)); };
    environment.answerer = [this](int style, const QString& title, const QString& text) {
        questions.append({style, title, text});
        if (whileAsking)
            whileAsking();
        return answers.isEmpty() ? MsgResult::Cancel : answers.takeFirst();
    };
    window = std::make_unique<Form1>(std::move(environment));
}

QString WindowFixture::panel(int number) const
{
    return window->StBar1->panelText(number);
}
