#pragma once

#include "graph/plot_frame.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>

class PictureBox;

// What both graphs are drawn to: the duration tables and the chosen duration, the temperature
// scale, and whether temperature is measured.
struct GraphScale {
    static constexpr int DurationCount = Plot::DurationCount;

    GraphScale();

    // The row of the duration tables for DurationIndex; the empty row 0 for an unknown duration.
    int CurrentDurationRow() const;
    qint32 CurrentDurationMinutes() const { return DurationMinutes[CurrentDurationRow()]; }
    // The entries of the duration list, " 15 Minuten  " to "100 Stunden  ".
    QStringList DurationEntries() const;

    // The duration tables, indexed 1 to 9 by DurationIndex; index 0 stays empty.
    std::array<QString, DurationCount + 1> DurationText {};
    std::array<qint32, DurationCount + 1> DurationMinutes {};
    std::array<qint16, DurationCount + 1> MinorTickStep {};
    std::array<qint16, DurationCount + 1> MajorTickStep {};
    std::array<qint16, DurationCount + 1> TimeLabelDivisor {};
    qint16 DurationIndex = 1;
    float TempScaleFactor = 0.5F;
    // The temperature axis is left out only while temperature measurement is off.
    bool temperatureAxis = true;
};

// The factor of a temperature scale option 1 to 3 (0-50, 0-100, 0-150 °C); 0 for another.
float TempScaleFactorOf(int scaleIndex);

// A graph as both are drawn: plot coordinates, solid lines of width 1, Arial 8 pt on light yellow.
void SetUpGraph(PictureBox& graph);
// Clears the graph and draws its viscosity, time and temperature axes.
void DrawPlotAxes(PictureBox& graph, const GraphScale& scale);
void DrawViscosityAxis(PictureBox& graph);
void DrawTimeAxis(PictureBox& graph, const GraphScale& scale);
void DrawTemperatureAxis(PictureBox& graph, const GraphScale& scale);
