// Root finding and minimisation: Nroot_all and Nroot on laws with known roots, against what a
// user would write instead (a uniform sign-change scan with Boost.Math's TOMS748 on each
// bracket); NminND against GSL's Nelder-Mead simplex on standard test functions.
#include <gsl/gsl_multimin.h>
#include <algorithm>
#include <boost/math/tools/toms748_solve.hpp>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <sstream>
#include <vector>

#include "bench_harness.h"
#include "bench_law.h"
#include "bench_suites.h"

namespace bench {
namespace {

constexpr double pi = std::numbers::pi;

// A law that counts the evaluations of itself and of every derivative taken from it.
class counting_law : public law {
  public:
    counting_law(law const *inner, long *counter) : inner_(share(inner)), counter_(counter) {}
    char const *class_name() const override { return "counting_law"; }
    void evaluate(double const *x, double *y) const override {
        ++*counter_;
        inner_->evaluate(x, y);
    }
    int in_domain(double const *x) const override { return inner_->in_domain(x); }
    // What the law tells of itself without being evaluated passes through: its domain, its
    // singular points (the zero searches on its members that they come from are not counted)
    // and its bounds.
    int term_domain(int which, ZEM::interval &out) const override {
        return inner_->term_domain(which, out);
    }
    int singularities(double **where, int **type, double start, double end,
                      double **period) const override {
        return inner_->singularities(where, type, start, end, period);
    }
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override {
        return inner_->estimate_bounds(domain, failed);
    }

  protected:
    law *deriv(int which) const override {
        law_ptr const d = adopt(inner_->derivative(which));
        return new counting_law(d.get(), counter_);
    }
    int take_size() const override { return inner_->take_dim(); }
    int return_size() const override { return inner_->return_dim(); }

  private:
    law_ptr inner_;
    long *counter_;
};

struct root_case {
    char const *text;
    double a, b;
    std::vector<double> roots;
};

std::vector<double> multiples(double step, double lo, double hi) {
    std::vector<double> out;
    for (int k = static_cast<int>(std::ceil(lo / step)); k * step <= hi; ++k)
        if (k * step >= lo) out.push_back(k * step);
    return out;
}

std::vector<root_case> root_cases() {
    std::vector<double> inverse_sine, inverse_sine_31;
    for (int k = 6; k >= 1; --k) inverse_sine.push_back(1 / (k * pi));
    for (int k = 31; k >= 1; --k) inverse_sine_31.push_back(1 / (k * pi));
    double const r2 = std::sqrt(2.0);
    return {
        {"(X-1)*(X-2)*(X-3)", 0, 4, {1, 2, 3}},
        {"X^5-5*X^3+4*X", -3, 3, {-2, -1, 0, 1, 2}},
        {"X^3-2*X", -2, 2, {-r2, 0, r2}},
        {"(X-1)^2*(X-3)", 0, 4, {1, 3}},
        {"(X-1)^2", 0, 3, {1}},
        {"X^3", -1, 1, {0}},
        {"SIN(X)*SIN(2*X)", 0.1, 6, {pi / 2, pi, 3 * pi / 2}},
        {"SIN(X)*COS(3*X)", 0.1, 3, {pi / 6, pi / 2, 5 * pi / 6}},
        {"SIN(50*X)", 0.01, 1, multiples(pi / 50, 0.01, 1)},
        {"SIN(200*X)", 0.001, 1, multiples(pi / 200, 0.001, 1)},
        {"X-1", 1, 2, {1}},
        {"X*(X-2)", 0, 2, {0, 2}},
        {"X-0.999999", 0, 1, {0.999999}},
        {"SIN(1/X)", 0.05, 1, inverse_sine},
        {"TAN(X)", 0.5, 7, {pi, 2 * pi}},
        {"(X-1)*(X-3)*(X-5)/((X-2.2)*(X-4.3))", 0.5, 5.5, {1, 3, 5}},
        {"COS(X)-X", 0, 1, {0.7390851332151607}},
        {"EXP(X)-1000", 0, 10, {std::log(1000.0)}},
        {"0.001*(X-0.3)", 0, 1, {0.3}},
        {"1E-8*(X-0.5)", 0, 1, {0.5}},
        {"1+1E-9*X", 0, 1, {}},
        {"SIN(100*X)", 0, 10, multiples(pi / 100, 0, 10)},
        {"SIN(1/X)", 0.01, 1, inverse_sine_31},
        {"X^2-1E-10", -1, 1, {-1e-5, 1e-5}},
        {"(X-1)*(X-1.000001)", 0, 3, {1, 1.000001}},
        {"(X-0.5)/(X-1)", 0, 2, {0.5}},
        {"SQRT(X)-0.5", 0, 1, {0.25}},
        {"ABS(X-0.3)-0.2", -1, 1, {0.1, 0.5}},
        {"X-0.5", 0, 1, {0.5}},
    };
}

// Found roots against the expected ones: each expected root takes the nearest found root within
// reach; found roots matched by none are spurious.
struct root_score {
    int found = 0, missed = 0, spurious = 0;
    double worst = 0;
};

root_score score(std::vector<double> const &expected, std::vector<double> const &found,
                 double reach) {
    root_score s;
    std::vector<bool> used(found.size(), false);
    for (double r : expected) {
        int best = -1;
        for (std::size_t i = 0; i < found.size(); ++i)
            if (!used[i] && std::fabs(found[i] - r) <= reach &&
                (best < 0 || std::fabs(found[i] - r) < std::fabs(found[best] - r)))
                best = static_cast<int>(i);
        if (best < 0) {
            ++s.missed;
            continue;
        }
        used[best] = true;
        ++s.found;
        s.worst = std::max(s.worst, std::fabs(found[best] - r));
    }
    s.spurious = static_cast<int>(std::count(used.begin(), used.end(), false));
    return s;
}

std::vector<double> library_roots(law *f, double a, double b) {
    int n = 0;
    double *r = Nroot(f, a, b, &n);
    vorn_ptr<double> const held(r);
    return r ? std::vector<double>(r, r + n) : std::vector<double>();
}

std::vector<double> every_root(law *f, double a, double b) {
    int n = 0;
    double *r = Nroot_all(f, a, b, &n);
    vorn_ptr<double> const held(r);
    return r ? std::vector<double>(r, r + n) : std::vector<double>();
}

// A uniform scan of n samples, and TOMS748 on every bracket of a sign change.
std::vector<double> scan_roots(law const *f, double a, double b, int n) {
    std::vector<double> out;
    auto value = [f](double x) { return value_at(f, x); };
    double x0 = a, f0 = value(a);
    if (f0 == 0) out.push_back(a);
    for (int i = 1; i < n; ++i) {
        double const x1 = a + (b - a) * i / (n - 1), f1 = value(x1);
        if (f1 == 0) {
            out.push_back(x1);
        } else if (f0 * f1 < 0) {
            std::uintmax_t iterations = 100;
            auto const bracket = boost::math::tools::toms748_solve(
                value, x0, x1, f0, f1, boost::math::tools::eps_tolerance<double>(52), iterations);
            out.push_back((bracket.first + bracket.second) / 2);
        }
        x0 = x1;
        f0 = f1;
    }
    return out;
}

std::string error_cell(std::string const &what) { return "error: " + what; }

struct root_row {
    root_score all;
    long all_evals = 0;
    std::string all_error;
    root_score lib;
    long lib_evals = 0;
    std::string lib_error;
    int scan_n = 0;
    root_score scan;
    long scan_evals = 0;
    std::string scan_error;  // of the last sample count tried
};

root_row measure_case(root_case const &c) {
    root_row row;
    law_ptr const plain = parse_law(c.text);
    double const reach = 1e-3 * std::max(1.0, c.b - c.a);
    law_ptr const counted_all = make_law<counting_law>(plain.get(), &row.all_evals);
    try {
        row.all = score(c.roots, every_root(counted_all.get(), c.a, c.b), reach);
    } catch (vorn_exception const &e) {
        row.all_error = e.what();
        row.all.missed = static_cast<int>(c.roots.size());
    }
    law_ptr const counted = make_law<counting_law>(plain.get(), &row.lib_evals);
    try {
        row.lib = score(c.roots, library_roots(counted.get(), c.a, c.b), reach);
    } catch (vorn_exception const &e) {
        row.lib_error = e.what();
        row.lib.missed = static_cast<int>(c.roots.size());
    }
    // The smallest sample count (doubling) at which the scan finds as many as Nroot_all; a
    // count at which the law raises (TOMS748 closing in on a pole) is passed over.
    for (int n = 8; n <= (1 << 20); n *= 2) {
        long evals = 0;
        law_ptr const scanned = make_law<counting_law>(plain.get(), &evals);
        row.scan_n = n;
        try {
            row.scan = score(c.roots, scan_roots(scanned.get(), c.a, c.b, n), reach);
            row.scan_error.clear();
        } catch (vorn_exception const &e) {
            row.scan_error = e.what();
            continue;
        }
        row.scan_evals = evals;
        if (row.scan.found >= row.all.found) break;
    }
    return row;
}

// The scan's sample count, and whether even the largest fell short of the library.
std::string scan_count_text(root_row const &r) {
    std::string const n = std::to_string(r.scan_n);
    return r.scan_error.empty() && r.scan.found >= r.all.found ? n : n + " (fell short)";
}

std::string worst_text(root_score const &s) {
    if (s.found == 0) return "-";
    std::ostringstream out;
    out.precision(1);
    out << std::scientific << s.worst;
    return out.str();
}

}  // namespace

std::string roots_section() {
    std::vector<root_case> const cases = root_cases();
    std::vector<root_row> rows;
    std::vector<timed_loop> loops;
    for (root_case const &c : cases) {
        rows.push_back(measure_case(c));
        root_row const &r = rows.back();
        if (r.all_error.empty())
            loops.push_back({std::string("all/") + c.text, [c](benchmark::State &state) {
                                 law_ptr const f = parse_law(c.text);
                                 for (auto _ : state) keep(every_root(f.get(), c.a, c.b));
                             }});
        if (r.lib_error.empty())
            loops.push_back({std::string("lib/") + c.text, [c](benchmark::State &state) {
                                 law_ptr const f = parse_law(c.text);
                                 for (auto _ : state) keep(library_roots(f.get(), c.a, c.b));
                             }});
        loops.push_back({std::string("scan/") + c.text, [c, n = r.scan_n](benchmark::State &state) {
                             law_ptr const f = parse_law(c.text);
                             for (auto _ : state) keep(scan_roots(f.get(), c.a, c.b, n));
                         }});
    }
    std::map<std::string, timing> const times = run_group("roots", std::move(loops));
    auto time_of = [&](std::string const &name) {
        auto const it = times.find(name);
        if (it == times.end()) return std::string("-");
        return it->second.ok() ? format_seconds(it->second.seconds) : error_cell(it->second.error);
    };
    auto found_cell = [](root_score const &s, std::string const &error) {
        return error.empty() ? std::to_string(s.found) : error_cell(error);
    };

    markdown_table table({"law", "interval", "roots", "Nroot_all found", "spurious",
                          "largest error", "evaluations", "time", "Nroot found", "spurious",
                          "evaluations", "time", "scan N", "scan found", "scan spurious",
                          "scan evaluations", "scan time"});
    root_score all_total, lib_total;
    int expected = 0;
    std::vector<double> all_versus_scan, lib_versus_scan;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        root_case const &c = cases[i];
        root_row const &r = rows[i];
        expected += static_cast<int>(c.roots.size());
        all_total.found += r.all.found;
        all_total.spurious += r.all.spurious;
        lib_total.found += r.lib.found;
        lib_total.spurious += r.lib.spurious;
        // At equal recall: the scan found as many as Nroot_all.
        if (r.scan_error.empty() && r.scan.found >= r.all.found && r.scan_evals > 0) {
            all_versus_scan.push_back(static_cast<double>(r.all_evals) / r.scan_evals);
            if (r.lib_error.empty() && r.lib.found >= r.scan.found)
                lib_versus_scan.push_back(static_cast<double>(r.lib_evals) / r.scan_evals);
        }
        std::string const name = std::string("`") + c.text + "`";
        std::string const span = "[" + format_fixed(c.a, 3) + ", " + format_fixed(c.b, 3) + "]";
        table.add_row({name, span, std::to_string(c.roots.size()), found_cell(r.all, r.all_error),
                       std::to_string(r.all.spurious), worst_text(r.all),
                       std::to_string(r.all_evals), time_of(std::string("all/") + c.text),
                       found_cell(r.lib, r.lib_error), std::to_string(r.lib.spurious),
                       std::to_string(r.lib_evals), time_of(std::string("lib/") + c.text),
                       scan_count_text(r), found_cell(r.scan, r.scan_error),
                       std::to_string(r.scan.spurious), std::to_string(r.scan_evals),
                       time_of(std::string("scan/") + c.text)});
    }
    std::ostringstream out;
    out << "## Roots in one variable\n\n"
        << "`Nroot_all` (Chebyshev interpolants on pieces cut at the law's singular points, "
           "zeros from colleague matrices, checked and polished on the law) and `Nroot` on laws "
           "with known roots, each wrapped in a law that counts the evaluations of itself and "
           "of its derivatives (`Nroot` probes f, f', f'' and f'''); the wrapper passes on the "
           "law's domain, singular points and bounds, and the zero searches on its members that "
           "the singular points come from are not counted (the times hold them). A found root "
           "matches the nearest expected root within 1e-3 of the interval's length (at least "
           "1e-3); the largest error is over the matched roots. The scan is what a user would "
           "write instead: N evenly spaced samples and Boost.Math's TOMS748 (to 52 bits) on each "
           "bracket of a sign change, with N the smallest of 8, 16, 32, ... that finds as many "
           "of the expected roots as `Nroot_all` (up to 2^20); it counts poles and tangent roots "
           "the way a sign change does. Times are per call.\n\n"
        << table.str() << "\n"
        << "Of " << expected << " roots, `Nroot_all` found " << all_total.found << " (spurious "
        << all_total.spurious << ") and `Nroot` " << lib_total.found << " (spurious "
        << lib_total.spurious << "). Where the scan found as many, `Nroot_all` used "
        << format_ratio(geometric_mean(all_versus_scan))
        << " the scan's evaluations (geometric mean of the ratios over " << all_versus_scan.size()
        << " laws), and `Nroot`, where it found as many too, "
        << format_ratio(geometric_mean(lib_versus_scan)) << " (over " << lib_versus_scan.size()
        << ").\n";
    return out.str();
}

namespace {

struct min_case {
    char const *name;
    char const *text;
    std::vector<double> start;
    std::vector<std::vector<double>> minima;  // the distance is to the nearest
};

std::vector<min_case> min_cases() {
    double const r = 3.584428340330, s = -1.848126526964;  // Himmelblau's fourth minimum
    return {
        {"Rosenbrock", "100*(Y-X^2)^2+(1-X)^2", {-1.2, 1}, {{1, 1}}},
        {"Beale", "(1.5-X+X*Y)^2+(2.25-X+X*Y^2)^2+(2.625-X+X*Y^3)^2", {1, 1}, {{3, 0.5}}},
        {"Booth", "(X+2*Y-7)^2+(2*X+Y-5)^2", {0, 0}, {{1, 3}}},
        {"Rosenbrock, far", "100*(Y-X^2)^2+(1-X)^2", {-3, -4}, {{1, 1}}},
        {"Himmelblau",
         "(X^2+Y-11)^2+(X+Y^2-7)^2",
         {0, 0},
         {{3, 2}, {-2.805118086953, 3.131312518250}, {-3.779310253378, -3.283185991286}, {r, s}}},
        {"Rosenbrock in 4",
         "100*(X2-X1^2)^2+(1-X1)^2+100*(X3-X2^2)^2+(1-X2)^2+100*(X4-X3^2)^2+(1-X3)^2",
         {-1.2, 1, -1.2, 1},
         {{1, 1, 1, 1}}},
        {"Powell, singular",
         "(X1+10*X2)^2+5*(X3-X4)^2+(X2-2*X3)^4+10*(X1-X4)^4",
         {3, -1, 0, 1},
         {{0, 0, 0, 0}}},
    };
}

constexpr double min_target = 1e-8;
constexpr long eval_cap = 1000000;

struct min_result {
    long evaluations = 0;
    double value = 0;
    double distance = 0;  // from the known minimum
};

double distance(double const *x, std::vector<std::vector<double>> const &minima) {
    double nearest = INFINITY;
    for (std::vector<double> const &to : minima) {
        double s = 0;
        for (std::size_t i = 0; i < to.size(); ++i) s += (x[i] - to[i]) * (x[i] - to[i]);
        nearest = std::min(nearest, std::sqrt(s));
    }
    return nearest;
}

min_result library_minimum(min_case const &c) {
    min_result r;
    law_ptr const plain = parse_law(c.text);
    law_ptr const counted = make_law<counting_law>(plain.get(), &r.evaluations);
    root_tols().root_iter_max = eval_cap;
    nvector start(c.start.data(), static_cast<int>(c.start.size()));
    nvector step(static_cast<int>(c.start.size()));
    for (int i = 0; i < step.dimension(); ++i) step[i] = 0.1;
    nvector const x =
        NminND(counted.get(), nullptr, start, step, &r.value, nullptr, min_target, nullptr);
    set_root_tol_default();
    r.distance = distance(x.coordinates(), c.minima);
    return r;
}

struct gsl_objective {
    law const *f;
    std::size_t n;
    long evaluations = 0;
};

double gsl_value(gsl_vector const *v, void *params) {
    auto *o = static_cast<gsl_objective *>(params);
    ++o->evaluations;
    std::vector<double> x(o->n);
    for (std::size_t i = 0; i < o->n; ++i) x[i] = gsl_vector_get(v, i);
    double y;
    o->f->evaluate(x.data(), &y);
    return y;
}

min_result simplex_minimum(min_case const &c) {
    law_ptr const f = parse_law(c.text);
    std::size_t const n = c.start.size();
    gsl_objective o{f.get(), n};
    gsl_multimin_function fn{gsl_value, n, &o};
    gsl_vector *x = gsl_vector_alloc(n), *step = gsl_vector_alloc(n);
    for (std::size_t i = 0; i < n; ++i) {
        gsl_vector_set(x, i, c.start[i]);
        gsl_vector_set(step, i, 0.1);
    }
    gsl_multimin_fminimizer *s =
        gsl_multimin_fminimizer_alloc(gsl_multimin_fminimizer_nmsimplex2, n);
    gsl_multimin_fminimizer_set(s, &fn, x, step);
    // The simplex has a value only after its first iteration.
    int status = GSL_SUCCESS;
    do {
        status = gsl_multimin_fminimizer_iterate(s);
    } while (status == GSL_SUCCESS && s->fval >= min_target && o.evaluations < eval_cap);
    min_result r{o.evaluations, s->fval, 0};
    std::vector<double> best(n);
    for (std::size_t i = 0; i < n; ++i) best[i] = gsl_vector_get(s->x, i);
    r.distance = distance(best.data(), c.minima);
    gsl_multimin_fminimizer_free(s);
    gsl_vector_free(x);
    gsl_vector_free(step);
    return r;
}

std::string sci(double v) {
    std::ostringstream out;
    out.precision(1);
    out << std::scientific << v;
    return out.str();
}

}  // namespace

std::string minimisation_section() {
    markdown_table table({"function", "start", "NminND evaluations", "NminND value",
                          "NminND distance", "simplex evaluations", "simplex value",
                          "simplex distance"});
    for (min_case const &c : min_cases()) {
        min_result const lib = library_minimum(c), gsl = simplex_minimum(c);
        std::string start;
        for (double v : c.start) start += (start.empty() ? "(" : ", ") + format_fixed(v, 1);
        table.add_row({c.name, start + ")", std::to_string(lib.evaluations), sci(lib.value),
                       sci(lib.distance), std::to_string(gsl.evaluations), sci(gsl.value),
                       sci(gsl.distance)});
    }
    std::ostringstream out;
    out << "## Minimisation in many variables\n\n"
        << "`NminND` (compass search with a quasi-Newton line search each iteration, first steps "
           "0.1, no constraint, stopping at a value below "
        << sci(min_target) << ", evaluation limit raised to " << eval_cap
        << ") against GSL's Nelder-Mead simplex (`nmsimplex2`, first steps 0.1, iterated until "
           "the value is below the same target). Evaluations of the function until the search "
           "stopped; the value there and its distance from the known minimum.\n\n"
        << table.str();
    return out.str();
}

}  // namespace bench
