#include "bezier_pending.h"

#include <law/base/tolerance.h>
#include <law/core/lawutil_errors.h>

double bezier_segment_eval(int n, ZEM::position const *points, double const *weights, double u,
                           ZEM::position &out) {
    if (n < 1) law_error(SW_BAD_ORDER);
    if (weights) {
        for (int i = 0; i < n; ++i)
            if (weights[i] < get_resabs()) law_error(SW_BAD_WEIGHTS);
    }
    // de Casteljau on the weighted points.
    double x[64][4];
    for (int i = 0; i < n && i < 64; ++i) {
        double const w = weights ? weights[i] : 1.0;
        for (int k = 0; k < 3; ++k) x[i][k] = points[i][k] * w;
        x[i][3] = w;
    }
    for (int r = 1; r < n; ++r)
        for (int i = 0; i < n - r; ++i)
            for (int k = 0; k < 4; ++k) x[i][k] = (1 - u) * x[i][k] + u * x[i + 1][k];
    out = {x[0][0] / x[0][3], x[0][1] / x[0][3], x[0][2] / x[0][3]};
    return x[0][3];
}

void bspline_span_to_bezier(int degree, double const *knots, ZEM::position *points,
                            double *weights) {
    // Bezier point k is the blossom at (start x (degree - k), end x k), by de Boor steps.
    int const n = degree + 1;
    double in[64][4], out[64][4];
    for (int i = 0; i < n; ++i) {
        double const w = weights ? weights[i] : 1.0;
        for (int k = 0; k < 3; ++k) in[i][k] = points[i][k] * w;
        in[i][3] = w;
    }
    double const a = knots[degree], b = knots[degree + 1];
    for (int k = 0; k < n; ++k) {
        double p[64][4];
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < 4; ++c) p[i][c] = in[i][c];
        for (int r = 1; r <= degree; ++r) {
            double const arg = r <= degree - k ? a : b;
            for (int j = degree; j >= r; --j) {
                double const den = knots[j + degree + 1 - r] - knots[j];
                double const al = den < resmch ? 0 : (arg - knots[j]) / den;
                for (int c = 0; c < 4; ++c) p[j][c] = (1 - al) * p[j - 1][c] + al * p[j][c];
            }
        }
        for (int c = 0; c < 4; ++c) out[k][c] = p[degree][c];
    }
    for (int i = 0; i < n; ++i) {
        points[i] = {out[i][0] / out[i][3], out[i][1] / out[i][3], out[i][2] / out[i][3]};
        if (weights) weights[i] = out[i][3];
    }
}
