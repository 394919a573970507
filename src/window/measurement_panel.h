#pragma once

#include "records/measurement_file.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>

class QLineEdit;
class QProgressBar;
class QPushButton;

// The tab "Messung / Grafik": the test data the user types, the running test's number, date,
// time, values and elapsed time, the limit value, the Start button of position 1 and, beside
// them, the live graph the window gives it.
class MeasurementPanel : public QWidget {
    Q_OBJECT

public:
    explicit MeasurementPanel(QWidget* liveGraph, QWidget* parent = nullptr);

    // The typed texts of the next test; date, time and cycle are the run's.
    MeasurementHeader TypedTexts() const;
    void ClearTestData();
    void ShowTestStart(qint32 testNumber, const QDateTime& at);
    void ShowValues(const QString& viscosity, const QString& temperature);
    // The elapsed time "hh:mm:ss", and how far it has come of the duration chosen; no duration:
    // no progress is shown.
    void ShowElapsed(const QString& text, std::optional<qint32> durationSeconds);
    void ShowLimit(const QString& text);
    // The Start button is a red "Stop" while the test runs.
    void ShowRunning(bool running);
    // No instrument: nothing can be started.
    void HideStart();

    QString ShownViscosity() const;
    QString ShownTemperature() const;
    QString TestNumberText() const;
    // Test number, product, date and time, those that are filled in.
    QStringList TestDescription() const;

signals:
    void startClicked();

private:
    QLineEdit* TestNr;
    QLineEdit* TestDatum;
    QLineEdit* TestZeit;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Bem1;
    QLineEdit* Bem2;
    QLineEdit* Bem3;
    QPushButton* Start1;
    // MessWert(1) viscosity, MessWert(0) temperature; MessDauer(1) the elapsed time.
    QLineEdit* MessWert1;
    QLineEdit* MessWert0;
    QLineEdit* MessDauer1;
    QProgressBar* Fortschritt1;
    QLineEdit* GWert1;
};
