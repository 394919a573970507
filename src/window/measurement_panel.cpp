#include "window/measurement_panel.h"

#include "numbers/value_format.h"
#include "window/layout_helpers.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

const QString StartCaption = QStringLiteral("Start");
const QString StopCaption = QStringLiteral("Stop");
const QColor RunningColour(255, 0, 0);

QLineEdit* NamedField(QLineEdit* field, const QString& name)
{
    field->setObjectName(name);
    return field;
}

} // namespace

MeasurementPanel::MeasurementPanel(QWidget* liveGraph, QWidget* parent)
    : QWidget(parent)
    , TestNr(NamedField(ReadOnlyField(), "TestNr"))
    , TestDatum(NamedField(ReadOnlyField(), "TestDatum"))
    , TestZeit(NamedField(ReadOnlyField(), "TestZeit"))
    , Text1(NamedField(new QLineEdit, "Text1"))
    , Text2(NamedField(new QLineEdit, "Text2"))
    , Text3(NamedField(new QLineEdit, "Text3"))
    , Bem1(NamedField(new QLineEdit, "Bem1"))
    , Bem2(NamedField(new QLineEdit, "Bem2"))
    , Bem3(NamedField(new QLineEdit, "Bem3"))
    , Start1(new QPushButton(StartCaption))
    , MessWert1(NamedField(ReadOnlyField(), "MessWert1"))
    , MessWert0(NamedField(ReadOnlyField(), "MessWert0"))
    , MessDauer1(NamedField(ReadOnlyField(), "MessDauer1"))
    , Fortschritt1(new QProgressBar)
    , GWert1(NamedField(ReadOnlyField(), "GWert1"))
{
    Fortschritt1->setObjectName("Fortschritt1");
    Fortschritt1->setTextVisible(true);
    Fortschritt1->setFormat(QString());
    Fortschritt1->setValue(0);
    Start1->setObjectName("Start1");
    // Wide enough for a product name or a remark of about 40 characters.
    Text1->setMinimumWidth(Text1->fontMetrics().averageCharWidth() * 40);
    // The readings of the running test stand out from the test data.
    for (QLineEdit* reading : {MessWert1, MessWert0, MessDauer1}) {
        QFont bold = reading->font();
        bold.setBold(true);
        reading->setFont(bold);
    }
    Start1->setMinimumHeight(Start1->sizeHint().height() * 3 / 2);

    auto* frame = new QGroupBox("Messung ");
    auto* form = new QFormLayout;
    // Right-aligned, so that the remark numbers "2" and "3" stand under the "1".
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow("Test-Nummer :", TestNr);
    form->addRow("Test-Datum :", TestDatum);
    form->addRow("Test-Zeit :", TestZeit);
    form->addRow(SeparatorLine());
    form->addRow("Produkt-Bezeichnung:", Text1);
    form->addRow("Auftragsnummer :", Text2);
    form->addRow("Chargennummer :", Text3);
    form->addRow("Bemerkungen  1  :", Bem1);
    form->addRow("2  :", Bem2);
    form->addRow("3  :", Bem3);
    form->addRow(SeparatorLine());
    form->addRow("Aktuelle  Viskosität:", MessWert1);
    form->addRow("Aktuelle Temperatur:", MessWert0);
    form->addRow("Messzeit:", MessDauer1);
    form->addRow("Fortschritt:", Fortschritt1);
    form->addRow("Grenzwert:", GWert1);

    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addLayout(form);
    frameLayout->addSpacing(12);
    frameLayout->addWidget(Start1);
    frameLayout->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(liveGraph, 1);
    // Only the entries take the Tab key; after the last remark it reaches Start (or Stop).
    ChainTabOrder({Text1, Text2, Text3, Bem1, Bem2, Bem3, Start1});
    connect(Start1, &QPushButton::clicked, this, &MeasurementPanel::startClicked);
}

MeasurementHeader MeasurementPanel::TypedTexts() const
{
    return {Text1->text(), Text2->text(), Text3->text(), Bem1->text(), Bem2->text(), Bem3->text(),
        {}, {}, {}};
}

void MeasurementPanel::ClearTestData()
{
    for (QLineEdit* field : {Text1, Text2, Text3, Bem1, Bem2, Bem3, TestNr, TestDatum, TestZeit})
        field->clear();
}

void MeasurementPanel::ShowTestStart(qint32 testNumber, const QDateTime& at)
{
    TestDatum->setText(at.toString(QStringLiteral("dd.MM.yyyy")));
    TestZeit->setText(at.toString(QStringLiteral("hh:mm")));
    TestNr->setText(FFix0(testNumber, 5, 0));
}

void MeasurementPanel::ShowValues(const QString& viscosity, const QString& temperature)
{
    MessWert1->setText(viscosity);
    MessWert0->setText(temperature);
}

namespace {

// Seconds of "hh:mm:ss" (hours may have more digits); nothing when it is not such a time.
std::optional<qint32> SecondsOfTime(const QString& text)
{
    static const QRegularExpression time(QStringLiteral(R"(^(\d{1,5}):([0-5]\d):([0-5]\d)$)"));
    const QRegularExpressionMatch match = time.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt() * 3600 + match.captured(2).toInt() * 60
        + match.captured(3).toInt();
}

QString TimeOfSeconds(qint32 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QChar(u'0'))
        .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
        .arg(seconds % 60, 2, 10, QChar(u'0'));
}

} // namespace

void MeasurementPanel::ShowElapsed(const QString& text, std::optional<qint32> durationSeconds)
{
    MessDauer1->setText(text);
    const std::optional<qint32> elapsed = SecondsOfTime(text);
    if (!elapsed || !durationSeconds || *durationSeconds <= 0) {
        Fortschritt1->setRange(0, 1);
        Fortschritt1->setValue(0);
        Fortschritt1->setFormat(QString());
        return;
    }
    Fortschritt1->setRange(0, *durationSeconds);
    Fortschritt1->setValue(std::min(*elapsed, *durationSeconds));
    Fortschritt1->setFormat(
        text.trimmed() + QStringLiteral(" von ") + TimeOfSeconds(*durationSeconds));
}

void MeasurementPanel::ShowLimit(const QString& text)
{
    GWert1->setText(text);
}

void MeasurementPanel::ShowRunning(bool running)
{
    Start1->setText(running ? StopCaption : StartCaption);
    QPalette palette;
    if (running)
        palette.setColor(QPalette::Button, RunningColour);
    Start1->setPalette(palette);
}

void MeasurementPanel::HideStart()
{
    Start1->hide();
}

QString MeasurementPanel::ShownViscosity() const
{
    return MessWert1->text();
}

QString MeasurementPanel::ShownTemperature() const
{
    return MessWert0->text();
}

QString MeasurementPanel::TestNumberText() const
{
    return TestNr->text();
}

QStringList MeasurementPanel::TestDescription() const
{
    QStringList parts;
    for (const QLineEdit* field : {TestNr, Text1, TestDatum, TestZeit}) {
        if (!field->text().trimmed().isEmpty())
            parts.append(field->text().trimmed());
    }
    return parts;
}
