#pragma once

#include <QtGlobal>

// The rounded previous and current viscosity points of a live sample, for the automatic end of
// a test below the limit.
struct ViscosityPoints {
    qint16 PrevViscInt = 0;
    qint16 CurViscInt = 0;
};

// The automatic end of a test: the viscosity fell and is below the limit (plot units).
inline bool FallsBelowLimit(const ViscosityPoints& points, float limit)
{
    return points.CurViscInt < points.PrevViscInt && points.CurViscInt < limit;
}
