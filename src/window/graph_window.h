#pragma once

#include "graph/plot_frame.h"

#include <QString>
#include <QtGlobal>
#include <array>

class FlexGrid;
class PictureBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The graphs' controls and window-level variables, a part of the main window.
struct GraphWindow {
    // Per-position arrays run from 0 to 32; index 0 belongs to no position.
    static constexpr int GraphPositionCount = 33;
    static constexpr int DurationCount = Plot::DurationCount;

    // Grafik(0): the comparison graph; Grafik(1): the live graph of position 1.
    std::array<PictureBox*, 2> Grafik {};
    // TempSkal(1) to (3): the temperature scales 0-50, 0-100 and 0-150 °C.
    std::array<QRadioButton*, 4> TempSkal {};
    // GWert(1): the limit value of the live graph in percent.
    std::array<QLineEdit*, 2> GWert {};
    // The curve list of the stored tests: test number, position, shown flag ("-1"/"0").
    FlexGrid* WahlTab = nullptr;
    static constexpr int ShownColumn = 2;
    // ButDel(0): "Alle Kurven löschen".
    std::array<QPushButton*, 1> ButDel {};

    // The duration tables, indexed 1 to 9 by DurationIndex; index 0 stays empty.
    std::array<QString, DurationCount + 1> DurationText {};
    std::array<qint32, DurationCount + 1> DurationMinutes {};
    std::array<qint16, DurationCount + 1> MinorTickStep {};
    std::array<qint16, DurationCount + 1> MajorTickStep {};
    std::array<qint16, DurationCount + 1> TimeLabelDivisor {};
    qint16 DurationIndex = 1;
    float TempScaleFactor = 0.5F;

    // The live curves' previous points per position.
    std::array<float, GraphPositionCount> PrevX {};
    std::array<float, GraphPositionCount> PrevY {};
    std::array<float, GraphPositionCount> PrevTempX {};
    std::array<float, GraphPositionCount> PrevTempY {};

    // The limit per graph in plot units (viscosity % × 10); 0: no limit.
    std::array<float, GraphPositionCount> LimitValue {};
    bool LimitDragActive = false;
    // The draw mode in which the limit figure is drawn: InvertingDrawMode once initialised.
    static constexpr qint16 InvertingDrawMode = 6;
    qint16 LimitDrawMode = 0;
};
