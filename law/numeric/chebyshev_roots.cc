#include <law/numeric/chebyshev_roots.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <complex>

#include <law/numeric/chebyshev_series.h>
#include <law/numeric/hessenberg_eigenvalues.h>

namespace {
// Above this degree the series is split rather than handed to the eigenvalue solver.
constexpr int largest_matrix = 24;
// An eigenvalue this close to the real axis, or this far past an end, is a candidate: a zero of
// multiplicity m comes out as a ring of eigenvalues of radius about the rounding to the power
// 1/m, which for m = 4 can miss the axis by 1e-4.
constexpr double imaginary_reach = 1e-3;
constexpr double end_reach = 1e-8;
// Where a series is split: off the middle, so that a zero at 0 is not on the cut.
constexpr double split_point = -0.004849834917525;

int degree_of(std::span<double const> c, double negligible) {
    int d = static_cast<int>(c.size()) - 1;
    while (d > 0 && std::fabs(c[d]) <= negligible) --d;
    return d;
}

// The colleague matrix of the series of degree d (transposed: upper Hessenberg), whose
// eigenvalues are the zeros of the series.
std::vector<double> colleague(std::span<double const> c, int d) {
    std::vector<double> a(static_cast<std::size_t>(d) * d, 0.0);
    auto at = [&](int i, int j) -> double & { return a[static_cast<std::size_t>(i) * d + j]; };
    // t T_0 = T_1, t T_k = (T_{k-1} + T_{k+1}) / 2, and T_d from the series being zero.
    at(1, 0) = 1;
    for (int k = 1; k + 1 < d; ++k) {
        at(k - 1, k) = 0.5;
        at(k + 1, k) = 0.5;
    }
    for (int j = 0; j < d; ++j) at(j, d - 1) = -c[j] / (2 * c[d]);
    at(d - 2, d - 1) += 0.5;
    return a;
}

void zeros_of_small(std::span<double const> c, int d, double lo, double hi,
                    std::vector<double> &out) {
    auto keep = [&](double t) {
        if (t < -1 - end_reach || t > 1 + end_reach) return;
        t = std::clamp(t, -1.0, 1.0);
        out.push_back(lo + (hi - lo) * (t + 1) / 2);
    };
    if (d == 1) {
        keep(-c[0] / c[1]);
        return;
    }
    std::vector<double> a = colleague(c, d);
    std::vector<std::complex<double>> eigen;
    hessenberg_eigenvalues(a, d, eigen);
    for (std::complex<double> e : eigen)
        if (std::fabs(e.imag()) <= imaginary_reach) keep(e.real());
}

// The series restricted to [s0, s1] within [-1, 1], through its values at a grid of the next
// size of the form 2^k + 1, whose transform is a fast one.
std::vector<double> restricted(std::span<double const> c, double s0, double s1) {
    int size = 1;
    while (size + 1 < static_cast<int>(c.size())) size *= 2;
    std::vector<double> t = chebyshev::lobatto_points(size + 1);
    for (double &tj : t) tj = s0 + (s1 - s0) * (tj + 1) / 2;
    return chebyshev::lobatto_coefficients(chebyshev::values(c, t));
}

// Splits of one series past this depth are not worth their cost: the matrix is solved as it is.
constexpr int split_depth_cap = 30;
// Zeros of the series over [lo, hi] (its own [-1, 1]), appended to out.
void zeros_on(std::span<double const> c, double negligible, double lo, double hi, int depth,
              std::vector<double> &out) {
    int const d = degree_of(c, negligible);
    if (d == 0) return;
    // No zero where the first term outweighs all the others together.
    double rest = 0;
    for (int k = 1; k <= d; ++k) rest += std::fabs(c[k]);
    if (std::fabs(c[0]) > rest) return;
    if (d <= largest_matrix || depth >= split_depth_cap) {
        zeros_of_small(c, d, lo, hi, out);
        return;
    }
    double const cut = lo + (hi - lo) * (split_point + 1) / 2;
    std::span<double const> const kept = c.first(d + 1);
    // The halves' values carry the rounding of summing this series; coefficients of that size
    // are noise, and a half where the series is that small holds no zero it can place. Without
    // this floor such a half (the flat side of EXP(X) over a long interval) splits to the cap.
    double const noise = std::max(negligible, (d + 1) * DBL_EPSILON * (std::fabs(c[0]) + rest));
    zeros_on(restricted(kept, -1, split_point), noise, lo, cut, depth + 1, out);
    zeros_on(restricted(kept, split_point, 1), noise, cut, hi, depth + 1, out);
}
}  // namespace

std::vector<double> chebyshev_zeros(std::span<double const> c, double negligible) {
    std::vector<double> out;
    zeros_on(c, negligible, -1, 1, 0, out);
    std::sort(out.begin(), out.end());
    return out;
}
