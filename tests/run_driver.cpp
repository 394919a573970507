#include "run_driver.h"

RunDriver::RunDriver()
{
    order.texts.product = QStringLiteral("Lack A");
    order.wantedNumber = QStringLiteral("1");
    order.protocolChosen = true;
    order.protocolPath = folder.filePath(QStringLiteral("Serie7.CSV"));
    order.measurementFolder = folder.filePath(QStringLiteral("Serie7/"));
    choices.cycleIndex = 1;
    auto serial = std::make_unique<MemorySerialLine>();
    line = serial.get();
    line->setPresentPorts({1});
    link = std::make_unique<InstrumentLink>(std::move(serial), nullptr);
    link->OpenFirstPort();
    line->deliver("*OK! RUN\r");
    line->clearWrites();
    run = std::make_unique<TestRun>(*link, *this, [this] { return now; });

    TestRun* r = run.get();

    const auto note = [this](const char* name, const QString& value) {
        events << QString::fromLatin1(name) + u' ' + value;
    };
    QObject::connect(r, &TestRun::notice, [=](const QString& text) { note("notice", text); });
    QObject::connect(r, &TestRun::noticeCleared, [=] { note("notice", {}); });
    QObject::connect(
        r, &TestRun::message, [=](const QString& text, int, const QString& title, bool waitForIt) {
            note("message", title + (waitForIt ? "|waited|" : "|") + text);
        });
    QObject::connect(
        r, &TestRun::valuesShown, [=](const QString& viscosity, const QString& temperature) {
            note("values", viscosity + u'|' + temperature);
        });
    QObject::connect(
        r, &TestRun::elapsedShown, [=](int, const QString& text) { note("elapsed", text); });
    QObject::connect(r, &TestRun::testStarted,
        [=](int, qint32 number, const QDateTime&) { note("started", QString::number(number)); });
    QObject::connect(r, &TestRun::samplePlotted,
        [=](int, double viscosity, double, bool, qint32 seconds, bool continues) {
            note("plotted",
                QStringLiteral("%1 %2 %3").arg(viscosity).arg(seconds).arg(int(continues)));
        });
    QObject::connect(r, &TestRun::testFinished,
        [=](int, const RunningTest& test) { note("finished", QString::number(test.testNumber)); });
}

QStringList RunDriver::lines(qint32 number) const
{
    return QString::fromLatin1(BytesOf(file(number)))
        .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

QStringList RunDriver::dataLines(qint32 number) const
{
    return lines(number).mid(MeasurementFile::HeaderLineCount);
}

QStringList EventLog::named(const QString& name) const
{
    return events.filter(QRegularExpression(u'^' + name + u' '));
}

QString EventLog::last(const QString& name) const
{
    const QStringList all = named(name);
    return all.isEmpty() ? QStringLiteral("<none>") : all.last().mid(name.size() + 1);
}

QByteArray Sample(const QByteArray& tenths, const QByteArray& temperature)
{
    return "*A000000" + tenths + temperature + "\r";
}

QByteArray Elapsed(int seconds)
{
    return QStringLiteral("*I%1\r").arg(seconds, 8, 10, QChar(u'0')).toLatin1();
}
