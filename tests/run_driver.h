#pragma once

#include "test_support.h"

// Signals written down as "name value", one event each.
struct EventLog {
    // The events of that name, and the value of the last one ("<none>" without one).
    QStringList named(const QString& name) const;
    QString last(const QString& name) const;
    qsizetype count(const QString& name) const { return named(name).size(); }

    QStringList events;
};

// A TestRun without a window: its link on an in-memory line with COM 1 open, the order and choices
// a test sets, a clock the test moves on, and every signal of the run written down as "name value".
// The protocol file is <folder>/Serie7.CSV; the first start makes its measurement folder Serie7/.
struct RunDriver : RunContext, EventLog {
    RunDriver();

    TestOrder Order() const override { return order; }
    RunChoices Choices() const override { return choices; }

    // Received characters, as the instrument sends them.
    void receive(const QByteArray& bytes) { line->deliver(bytes); }
    QByteArray sent() const { return line->writtenTo(1); }
    // A file in the measurement folder; the measurement file of a test, its lines, and its lines
    // after the header.
    QString path(const QString& name) const { return order.measurementFolder + name; }
    QString file(qint32 number = 1) const
    {
        return path(QStringLiteral("No-%1-1.CSV").arg(number, 5, 10, QChar(u'0')));
    }
    QStringList lines(qint32 number) const;
    QStringList dataLines(qint32 number = 1) const;

    QTemporaryDir folder;
    QDateTime now {QDate(2026, 12, 6), QTime(10, 30)};
    TestOrder order;
    RunChoices choices;
    MemorySerialLine* line = nullptr;
    std::unique_ptr<InstrumentLink> link;
    std::unique_ptr<TestRun> run;
};

// A data reply with five characters of viscosity tenths and of temperature.
QByteArray Sample(const QByteArray& tenths, const QByteArray& temperature = "023.5");
// A time reply: the seconds since the start of the test.
QByteArray Elapsed(int seconds);
