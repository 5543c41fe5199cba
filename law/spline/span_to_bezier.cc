#include <vector>

#include <law/base/tolerance.h>
#include <law/spline/span_to_bezier.h>

namespace {

// The blossom of the span at the arguments x[0..degree-1], evaluated in place on q (degree + 1
// points of dim doubles) by the affine steps of knot insertion; the result is the last point.
void blossom(int degree, double const *knots, int dim, double const *x, double *q) {
    for (int r = 1; r <= degree; ++r) {
        for (int k = degree; k >= r; --k) {
            double const lo = knots[k], hi = knots[k + degree + 1 - r];
            if (hi - lo < resmch) continue;
            double const a = (x[r - 1] - lo) / (hi - lo);
            for (int c = 0; c < dim; ++c) {
                double const before = q[(k - 1) * dim + c];
                double &point = q[k * dim + c];
                point = before + (point - before) * a;
            }
        }
    }
}

}  // namespace

void span_to_bezier(int degree, double const *knots, int dim, double const *in, double *out) {
    int const n = (degree + 1) * dim;
    std::vector<double> work(static_cast<std::size_t>(n));
    std::vector<double> x(static_cast<std::size_t>(degree));
    double const a = knots[degree], b = knots[degree + 1];
    // Bezier point j is the blossom at (a, ..., a, b, ..., b) with j arguments b.
    for (int j = 0; j <= degree; ++j) {
        for (int r = 0; r < degree; ++r) x[r] = r < degree - j ? a : b;
        work.assign(in, in + n);
        blossom(degree, knots, dim, x.data(), work.data());
        for (int c = 0; c < dim; ++c) out[j * dim + c] = work[degree * dim + c];
    }
}

void span_to_bezier(int degree, double const *knots, ZEM::position const *in, ZEM::position *out) {
    int const n = degree + 1;
    std::vector<double> flat(static_cast<std::size_t>(3 * n)), bez(flat.size());
    for (int j = 0; j < n; ++j) {
        for (int c = 0; c < 3; ++c) flat[3 * j + c] = in[j][c];
    }
    span_to_bezier(degree, knots, 3, flat.data(), bez.data());
    for (int j = 0; j < n; ++j) out[j] = ZEM::position(bez[3 * j], bez[3 * j + 1], bez[3 * j + 2]);
}

void rational_span_to_bezier(int degree, double const *knots, ZEM::position const *in,
                             double const *weights_in, ZEM::position *out, double *weights_out) {
    int const n = degree + 1;
    std::vector<double> flat(static_cast<std::size_t>(4 * n)), bez(flat.size());
    for (int j = 0; j < n; ++j) {
        for (int c = 0; c < 3; ++c) flat[4 * j + c] = in[j][c] * weights_in[j];
        flat[4 * j + 3] = weights_in[j];
    }
    span_to_bezier(degree, knots, 4, flat.data(), bez.data());
    for (int j = 0; j < n; ++j) {
        double const w = bez[4 * j + 3];
        weights_out[j] = w;
        out[j] = ZEM::position(bez[4 * j] / w, bez[4 * j + 1] / w, bez[4 * j + 2] / w);
    }
}
