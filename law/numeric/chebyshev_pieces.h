#pragma once
// A function of one variable over an interval as Chebyshev interpolants on pieces, each resolved
// to the level of rounding (Chebfun's way): a piece whose interpolant does not settle is split,
// at the point where it misbehaves, or graded towards an end where the function is singular; a
// pole at an end is divided out by a power of the distance to it; where the function cannot be
// evaluated there is no piece. The given break points are ends of pieces from the start.
#include <functional>
#include <limits>
#include <span>
#include <utility>
#include <vector>

class line_sampler;

struct chebyshev_piece {
    double lo = 0, hi = 0;
    // The interpolant of g(x) = f(x) |x - lo|^pole_lo |hi - x|^pole_hi as a series in
    // t = (2 x - lo - hi) / (hi - lo); empty when the piece could not be resolved (it is then
    // too narrow to split, or the evaluations ran out).
    std::vector<double> coefficients;
    // The series of its derivative by t.
    std::vector<double> slope;
    double pole_lo = 0, pole_hi = 0;
    // The sign of f towards an end where it grows without bound (at a pole, or like a
    // logarithm), else 0.
    double blows_lo = 0, blows_hi = 0;
    // The largest |g| sampled, and the level below which the interpolant's terms were noise.
    double scale = 0, noise = 0;
    // f at the ends as sampled (a hair inside at a break, x_lo and x_hi); NaN where it has no
    // value or was not sampled there.
    double f_lo = std::numeric_limits<double>::quiet_NaN();
    double f_hi = std::numeric_limits<double>::quiet_NaN();
    double x_lo = 0, x_hi = 0;

    bool resolved() const { return !coefficients.empty(); }
    bool weighted() const { return pole_lo > 0 || pole_hi > 0; }
    double t_of(double x) const { return (2 * x - lo - hi) / (hi - lo); }
    double x_of(double t) const;
    // The weight |x - lo|^pole_lo |hi - x|^pole_hi (1 without poles).
    double weight(double x) const;
    // The interpolant at x, and its derivative by x.
    double g(double x) const;
    double dg(double x) const;

    using stretch = std::pair<double, double>;
    // The two halves of the piece.
    std::vector<stretch> halves() const;
    // The interpolant on a Lobatto grid finer than its terms.
    std::vector<double> fine_grid() const;
    // Appends to `out` the stretches over runs of two or more points of fine_grid() (whose values
    // are `v`) where `in` holds of the value, each reaching to the grid points beside its run;
    // true, appending nothing, when one run covers the whole piece.
    bool fine_grid_runs(std::vector<double> const &v, std::function<bool(double)> const &in,
                        std::vector<stretch> &out) const;
};

struct piece_cover {
    // Ascending and disjoint; a gap between two pieces is where the function has no value.
    std::vector<chebyshev_piece> pieces;
    // False when the evaluations ran out before every piece was resolved.
    bool complete = true;
};

// What a caller can tell of a stretch before it is sampled: true when it has no need of it (a
// root search, for one, of a stretch whose values provably keep one sign). An end at a break is
// handed over a hair inside, as it is sampled: the value at the break itself is the caller's.
using piece_filter = std::function<bool(double lo, double hi)>;

// The pieces of the function that f samples over [a, b] (a < b, both finite), with the points of
// `breaks` inside (a, b) as ends of pieces, using at most about `budget` evaluations. At a break
// a piece is sampled from its own side, so that a jump there belongs to neither piece. Stretches
// that `unneeded` (when given) turns down are left out.
piece_cover chebyshev_pieces(line_sampler &f, double a, double b, std::span<double const> breaks,
                             long budget, piece_filter const &unneeded = {});
