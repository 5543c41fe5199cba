// Zeros of plane systems: plane_zeros and the quadtree search of Nroot2D against what a user
// would write instead, GSL's hybrid solver (hybrids, no derivatives) from a grid of start points,
// on systems whose zeros are known in closed form.
#include <gsl/gsl_multiroots.h>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

#include "bench_harness.h"
#include "bench_law.h"
#include "bench_suites.h"

namespace bench {
namespace {

using point = complex_number;

struct plane_case {
    char const *name;
    char const *text;
    rec2d box;
    std::vector<point> zeros;
};

std::vector<plane_case> plane_cases() {
    double const big = std::sqrt(2 + std::sqrt(3.0)), small = std::sqrt(2 - std::sqrt(3.0));
    double const h = std::sqrt(3.0) / 2;
    std::vector<point> grid;
    double const step = std::numbers::pi / 5;
    for (int i = -4; i <= 4; ++i)
        for (int k = -4; k <= 4; ++k) grid.push_back({i * step, k * step});
    return {
        {"circle and hyperbola",
         "VEC(X^2+Y^2-4,X*Y-1)",
         {-3, -3, 3, 3},
         {{big, 1 / big}, {small, 1 / small}, {-big, -1 / big}, {-small, -1 / small}}},
        {"two circles", "VEC(X^2+Y^2-1,(X-1)^2+Y^2-1)", {-2, -2, 2, 2}, {{0.5, h}, {0.5, -h}}},
        {"circle and tangent", "VEC(X^2+Y^2-1,Y-1)", {-2, -2, 2, 2}, {{0, 1}}},
        {"cube roots of one",
         "VEC(X^3-3*X*Y^2-1,3*X^2*Y-Y^3)",
         {-2, -2, 2, 2},
         {{1, 0}, {-0.5, h}, {-0.5, -h}}},
        {"cubics", "VEC(X^3-Y,Y^3-X)", {-2, -2, 2, 2}, {{-1, -1}, {0, 0}, {1, 1}}},
        {"a micron apart", "VEC((X-1)*(X-1.000001),Y)", {0, -1, 2, 1}, {{1, 0}, {1.000001, 0}}},
        {"81 zeros", "VEC(SIN(5*X),SIN(5*Y))", {-3, -3, 3, 3}, grid},
        {"none", "VEC(X^2+Y^2-1,X^2+Y^2-4)", {-3, -3, 3, 3}, {}},
    };
}

struct plane_score {
    int found = 0, missed = 0, spurious = 0;
    double worst = 0;
};

plane_score score(std::vector<point> const &want, std::vector<point> const &got, double reach) {
    plane_score s;
    std::vector<bool> used(got.size(), false);
    for (point const &w : want) {
        int best = -1;
        for (std::size_t i = 0; i < got.size(); ++i)
            if (!used[i] && (got[i] - w).abs() <= reach &&
                (best < 0 || (got[i] - w).abs() < (got[best] - w).abs()))
                best = static_cast<int>(i);
        if (best < 0) {
            ++s.missed;
            continue;
        }
        used[static_cast<std::size_t>(best)] = true;
        ++s.found;
        s.worst = std::max(s.worst, (got[static_cast<std::size_t>(best)] - w).abs());
    }
    s.spurious = static_cast<int>(std::count(used.begin(), used.end(), false));
    return s;
}

std::vector<point> library_zeros(law const *f, rec2d const &box) {
    std::vector<point> out;
    for (plane_zero const &z : plane_zeros(f, box).zeros) out.push_back(z.point);
    return out;
}

// The sum of squares of the outputs, and a divide law for cells wider than an eighth of the
// box's diagonal: what law roots2d --quadtree hands Nroot2D.
std::vector<point> quadtree_zeros(std::string const &text, rec2d const &box) {
    law_ptr const f = parse_law(text);
    std::string squares;
    for (int k = 1; k <= f->return_dim(); ++k)
        squares +=
            (k > 1 ? "+" : "") + std::string("TERM(") + text + "," + std::to_string(k) + ")^2";
    law_ptr const sum = parse_law(squares);
    law_ptr const divide = parse_law("Z>" + std::to_string(box.diagonal() / 8));
    int n = 0;
    complex_number *r = Nroot2D(sum.get(), nullptr, divide.get(), box, &n);
    vorn_ptr<complex_number> const held(r);
    return std::vector<point>(r, r + n);
}

struct gsl_system {
    law const *f;
    long evaluations = 0;
};

int gsl_values(gsl_vector const *x, void *params, gsl_vector *y) {
    auto *s = static_cast<gsl_system *>(params);
    ++s->evaluations;
    double const p[2] = {gsl_vector_get(x, 0), gsl_vector_get(x, 1)};
    double v[2];
    try {
        s->f->evaluate(p, v);
    } catch (vorn_exception const &) {
        return GSL_EDOM;
    }
    gsl_vector_set(y, 0, v[0]);
    gsl_vector_set(y, 1, v[1]);
    return std::isfinite(v[0]) && std::isfinite(v[1]) ? GSL_SUCCESS : GSL_EDOM;
}

// GSL's hybrid solver from an n x n grid of starts in the box; converged points inside the box,
// one per zero (points closer than 1e-8 of the box's size are one).
std::vector<point> grid_zeros(law const *f, rec2d const &box, int n, long *evaluations) {
    gsl_system sys{f};
    gsl_multiroot_function fn{gsl_values, 2, &sys};
    gsl_multiroot_fsolver *s = gsl_multiroot_fsolver_alloc(gsl_multiroot_fsolver_hybrids, 2);
    gsl_vector *x = gsl_vector_alloc(2);
    std::vector<point> out;
    double const merge = 1e-8 * box.diagonal();
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < n; ++k) {
            gsl_vector_set(x, 0, box.x0 + (box.x1 - box.x0) * (i + 0.5) / n);
            gsl_vector_set(x, 1, box.y0 + (box.y1 - box.y0) * (k + 0.5) / n);
            if (gsl_multiroot_fsolver_set(s, &fn, x) != GSL_SUCCESS) continue;
            int status = GSL_CONTINUE;
            for (int it = 0; it < 100 && status == GSL_CONTINUE; ++it) {
                if (gsl_multiroot_fsolver_iterate(s) != GSL_SUCCESS) break;
                status = gsl_multiroot_test_residual(s->f, 1e-13);
            }
            if (status != GSL_SUCCESS) continue;
            point const p{gsl_vector_get(s->x, 0), gsl_vector_get(s->x, 1)};
            if (!box.inside(p)) continue;
            if (std::none_of(out.begin(), out.end(),
                             [&](point q) { return (q - p).abs() <= merge; }))
                out.push_back(p);
        }
    gsl_vector_free(x);
    gsl_multiroot_fsolver_free(s);
    *evaluations = sys.evaluations;
    return out;
}

std::string sci(double v) {
    std::ostringstream out;
    out.precision(1);
    out << std::scientific << v;
    return out.str();
}

struct plane_row {
    plane_score lib, quadtree, grid;
    int cells = 0, grid_n = 0;
    long grid_evaluations = 0;
};

}  // namespace

std::string plane_zeros_section() {
    std::vector<plane_case> const cases = plane_cases();
    std::vector<plane_row> rows;
    std::vector<timed_loop> loops;
    for (plane_case const &c : cases) {
        plane_row r;
        law_ptr const f = parse_law(c.text);
        double const reach = 1e-6 * c.box.diagonal();
        r.lib = score(c.zeros, library_zeros(f.get(), c.box), reach);
        r.cells = plane_zeros(f.get(), c.box).cells;
        r.quadtree = score(c.zeros, quadtree_zeros(c.text, c.box), 1e-3 * c.box.diagonal());
        // The smallest grid (doubling) from which GSL finds as many zeros as the library.
        for (int n = 2; n <= 256; n *= 2) {
            r.grid_n = n;
            r.grid = score(c.zeros, grid_zeros(f.get(), c.box, n, &r.grid_evaluations), reach);
            if (r.grid.found >= r.lib.found) break;
        }
        rows.push_back(r);
        loops.push_back({std::string("lib/") + c.name, [c](benchmark::State &state) {
                             law_ptr const g = parse_law(c.text);
                             for (auto _ : state) keep(plane_zeros(g.get(), c.box).cells);
                         }});
        loops.push_back({std::string("gsl/") + c.name, [c, n = r.grid_n](benchmark::State &state) {
                             law_ptr const g = parse_law(c.text);
                             long evaluations = 0;
                             for (auto _ : state)
                                 keep(grid_zeros(g.get(), c.box, n, &evaluations).size());
                         }});
    }
    std::map<std::string, timing> const times = run_group("plane zeros", std::move(loops));
    auto time_of = [&](std::string const &name) {
        auto const it = times.find(name);
        return it != times.end() && it->second.ok() ? format_seconds(it->second.seconds)
                                                    : std::string("-");
    };
    markdown_table table({"system", "zeros", "found", "spurious", "largest error", "cells", "time",
                          "quadtree found", "GSL grid", "GSL found", "GSL spurious",
                          "GSL largest error", "GSL evaluations", "GSL time"});
    for (std::size_t i = 0; i < cases.size(); ++i) {
        plane_case const &c = cases[i];
        plane_row const &r = rows[i];
        auto worst = [](plane_score const &s) { return s.found ? sci(s.worst) : std::string("-"); };
        table.add_row({c.name, std::to_string(c.zeros.size()), std::to_string(r.lib.found),
                       std::to_string(r.lib.spurious), worst(r.lib), std::to_string(r.cells),
                       time_of(std::string("lib/") + c.name), std::to_string(r.quadtree.found),
                       std::to_string(r.grid_n) + " x " + std::to_string(r.grid_n),
                       std::to_string(r.grid.found), std::to_string(r.grid.spurious), worst(r.grid),
                       std::to_string(r.grid_evaluations), time_of(std::string("gsl/") + c.name)});
    }
    std::ostringstream out;
    out << "## Zeros of plane systems\n\n"
        << "`plane_zeros` (what `law roots2d` uses) on systems whose zeros are known in closed "
           "form, with the cells it examined, against the quadtree search of `Nroot2D` on the sum "
           "of squares (`roots2d --quadtree`, a zero found within 1e-3 of the box's diagonal) and "
           "what a user would write instead: GSL's hybrid solver (`hybrids`, no derivatives) from "
           "each point of an n x n grid of starts, n the smallest of 2, 4, 8, ... that finds as "
           "many zeros as the library, the converged points inside the box merged within 1e-8. A "
           "zero is found within 1e-6 of the box's diagonal; times are per call.\n\n"
        << table.str();
    return out.str();
}

}  // namespace bench
