#pragma once
// One Bezier segment of a spline's cache: its points and, for a rational segment, their weights.
// Plain storage: whoever holds segments calls release (the caches of the splines do).
#include <law/base/vector.h>

struct bezier_segment {
    int count = 0;                    // order: number of points
    ZEM::position *points = nullptr;  // count points
    double *weights = nullptr;        // count weights, or null for a polynomial segment

    // Room for n points (and n weights when rational); n may be 0, which holds nothing.
    void init(int n, bool rational);
    void release();
    bool rational() const { return weights != nullptr; }
};
