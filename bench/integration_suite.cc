// Integration: the library's adaptive integrator (and its Romberg integrator) against GSL's
// QAGS and QAGI and Boost.Math's double-exponential rules, on integrals with known values that
// oscillate, bend, blow up at an end or run to infinity. Accuracy and evaluations of each.
#include <gsl/gsl_errno.h>
#include <gsl/gsl_integration.h>
#include <algorithm>
#include <boost/math/quadrature/exp_sinh.hpp>
#include <boost/math/quadrature/sinh_sinh.hpp>
#include <boost/math/quadrature/tanh_sinh.hpp>
#include <cmath>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "bench_harness.h"
#include "bench_law.h"
#include "bench_suites.h"

namespace bench {
namespace {

constexpr double pi = std::numbers::pi;
constexpr double inf = std::numeric_limits<double>::infinity();
// What every method is asked: this absolute and relative error.
constexpr double tolerance = 1e-10;

struct integral_case {
    char const *kind;
    char const *text;
    double a, b;
    double exact;
};

std::vector<integral_case> integral_cases() {
    double const euler_gamma = 0.57721566490153286061;
    return {
        {"oscillatory", "SIN(X)^2", 0, 8 * pi, 4 * pi},
        {"oscillatory", "X*SIN(40*X)", 0, pi, -pi / 40},
        {"oscillatory", "COS(100*X)", 0, 1, std::sin(100.0) / 100},
        {"oscillatory", "SIN(X)/X", 0, 10, 1.6583475942188740493},
        {"oscillatory", "EXP(-X)*COS(10*X)", 0, inf, 1.0 / 101},
        {"kinked", "ABS(SIN(X))", 0, 10 * pi, 20},
        {"kinked", "ABS(X-0.3)", 0, 1, 0.29},
        {"kinked", "MAX(X,1-X)", 0, 1, 0.75},
        {"kinked", "FLOOR(X)", 0, 3.5, 4.5},
        {"kinked", "ABS(COS(3*X))", 0, 2, 1 + (1 + std::sin(6.0)) / 3},
        {"end-point singular", "1/SQRT(X)", 0, 1, 2},
        {"end-point singular", "LN(X)", 0, 1, -1},
        {"end-point singular", "LN(X)*LN(1-X)", 0, 1, 2 - pi * pi / 6},
        {"end-point singular", "SQRT(X)", 0, 1, 2.0 / 3},
        {"end-point singular", "LN(X)/SQRT(X)", 0, 1, -4},
        {"end-point singular", "1/SQRT(ABS(X-0.3))", 0, 1, 2 * (std::sqrt(0.3) + std::sqrt(0.7))},
        {"infinite", "EXP(-X)", 0, inf, 1},
        {"infinite", "EXP(-(X^2))", -inf, inf, std::sqrt(pi)},
        {"infinite", "1/(1+X^2)", -inf, inf, pi},
        {"infinite", "1/X^2", 1, inf, 1},
        {"infinite", "X^2*EXP(-X)", 0, inf, 2},
        {"infinite", "LN(X)*EXP(-X)", 0, inf, -euler_gamma},
        {"smooth", "EXP(X)", 0, 1, std::numbers::e - 1},
        {"smooth", "1/(1+25*X^2)", -1, 1, 0.4 * std::atan(5.0)},
    };
}

// One method's answer on one case: the value, the evaluations, or the failure.
struct outcome {
    double value = std::numeric_limits<double>::quiet_NaN();
    long evaluations = 0;
    std::string failure;
};

// A law's value that never raises into C code: NaN where the law has no value.
double safe_value(law const *f, double x, long *count) {
    ++*count;
    try {
        return value_at(f, x);
    } catch (vorn_exception const &) {
        return std::numeric_limits<double>::quiet_NaN();
    }
}

outcome library_adaptive(law const *f, integral_case const &c) {
    outcome o;
    try {
        integral_report const r = Nintegrate_adaptive(f, c.a, c.b, tolerance, tolerance);
        o.value = r.value;
        o.evaluations = r.evaluations;
    } catch (vorn_exception const &e) {
        o.failure = e.code_name();
    }
    return o;
}

// Romberg's integrator (finite limits only); its evaluations are those of its levels.
outcome library_romberg(law const *f, integral_case const &c) {
    outcome o;
    if (!std::isfinite(c.a) || !std::isfinite(c.b)) {
        o.failure = "infinite limit";
        return o;
    }
    try {
        int const levels = Nintegrate(f, c.a, c.b, &o.value, tolerance);
        o.evaluations = levels ? (1L << (levels - 2)) + 1 : (1L << 18) + 1;
        if (!levels) o.failure = "levels";
    } catch (vorn_exception const &e) {
        o.failure = e.code_name();
    }
    return o;
}

struct gsl_law {
    law const *f;
    long count = 0;
};

double gsl_law_value(double x, void *params) {
    auto *g = static_cast<gsl_law *>(params);
    return safe_value(g->f, x, &g->count);
}

outcome gsl_quadpack(law const *f, integral_case const &c) {
    gsl_law g{f};
    gsl_function fn{gsl_law_value, &g};
    gsl_integration_workspace *w = gsl_integration_workspace_alloc(2000);
    outcome o;
    double error = 0;
    int status;
    if (std::isfinite(c.a) && std::isfinite(c.b))
        status =
            gsl_integration_qags(&fn, c.a, c.b, tolerance, tolerance, 2000, w, &o.value, &error);
    else if (std::isfinite(c.a))
        status = gsl_integration_qagiu(&fn, c.a, tolerance, tolerance, 2000, w, &o.value, &error);
    else if (std::isfinite(c.b))
        status = gsl_integration_qagil(&fn, c.b, tolerance, tolerance, 2000, w, &o.value, &error);
    else
        status = gsl_integration_qagi(&fn, tolerance, tolerance, 2000, w, &o.value, &error);
    gsl_integration_workspace_free(w);
    o.evaluations = g.count;
    if (status) o.failure = gsl_strerror(status);
    return o;
}

outcome boost_double_exponential(law const *f, integral_case const &c) {
    outcome o;
    long count = 0;
    auto value = [&](double x) { return safe_value(f, x, &count); };
    try {
        double error = 0, l1 = 0;
        if (std::isfinite(c.a) && std::isfinite(c.b)) {
            boost::math::quadrature::tanh_sinh<double> rule;
            o.value = rule.integrate(value, c.a, c.b, tolerance, &error, &l1);
        } else if (std::isfinite(c.a)) {
            boost::math::quadrature::exp_sinh<double> rule;
            o.value = rule.integrate([&](double x) { return value(c.a + x); }, 0.0, inf, tolerance,
                                     &error, &l1);
        } else {
            boost::math::quadrature::sinh_sinh<double> rule;
            o.value = rule.integrate(value, tolerance, &error, &l1);
        }
        if (error > std::max(tolerance, tolerance * std::fabs(o.value))) o.failure = "tolerance";
    } catch (std::exception const &e) {
        o.failure = "raised";
    }
    o.evaluations = count;
    return o;
}

struct integral_row {
    outcome adaptive, romberg, gsl, boost;
};

double relative_error(outcome const &o, double exact) {
    return std::fabs(o.value - exact) / std::max(1.0, std::fabs(exact));
}

// Met: within ten times the tolerance of the known value.
bool met(outcome const &o, double exact) {
    return !std::isnan(o.value) && relative_error(o, exact) <= 10 * tolerance;
}

std::string error_cell(outcome const &o, double exact) {
    if (std::isnan(o.value)) return o.failure.empty() ? "-" : "failed: " + o.failure;
    std::ostringstream out;
    out.precision(1);
    out << std::scientific << relative_error(o, exact);
    if (!o.failure.empty()) out << " (" << o.failure << ")";
    return out.str();
}

std::string evaluations_cell(outcome const &o) {
    return o.evaluations ? std::to_string(o.evaluations) : "-";
}

std::string limits_text(integral_case const &c) {
    auto end = [](double v) {
        if (v == inf) return std::string("inf");
        if (v == -inf) return std::string("-inf");
        return format_fixed(v, 3);
    };
    return "[" + end(c.a) + ", " + end(c.b) + "]";
}

}  // namespace

std::string integration_section() {
    std::vector<integral_case> const cases = integral_cases();
    gsl_set_error_handler_off();
    std::vector<integral_row> rows;
    std::vector<timed_loop> loops;
    for (integral_case const &c : cases) {
        law_ptr const f = parse_law(c.text);
        rows.push_back({library_adaptive(f.get(), c), library_romberg(f.get(), c),
                        gsl_quadpack(f.get(), c), boost_double_exponential(f.get(), c)});
        std::string const name = c.text + std::string(" ") + limits_text(c);
        loops.push_back({"adaptive/" + name, [c](benchmark::State &state) {
                             law_ptr const g = parse_law(c.text);
                             for (auto _ : state) keep(library_adaptive(g.get(), c).value);
                         }});
        loops.push_back({"gsl/" + name, [c](benchmark::State &state) {
                             law_ptr const g = parse_law(c.text);
                             for (auto _ : state) keep(gsl_quadpack(g.get(), c).value);
                         }});
    }
    std::map<std::string, timing> const times = run_group("integration", std::move(loops));
    auto time_of = [&](std::string const &name) {
        auto const it = times.find(name);
        if (it == times.end() || !it->second.ok()) return std::string("-");
        return format_seconds(it->second.seconds);
    };

    markdown_table table({"kind", "integral", "limits", "adaptive error", "adaptive evaluations",
                          "adaptive time", "GSL QAGS/QAGI error", "GSL evaluations", "GSL time",
                          "Boost tanh-sinh error", "Boost evaluations", "Romberg error",
                          "Romberg evaluations"});
    int adaptive_met = 0, gsl_met = 0, boost_met = 0, romberg_met = 0;
    std::vector<double> versus_gsl, versus_boost;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        integral_case const &c = cases[i];
        integral_row const &r = rows[i];
        adaptive_met += met(r.adaptive, c.exact);
        gsl_met += met(r.gsl, c.exact);
        boost_met += met(r.boost, c.exact);
        romberg_met += met(r.romberg, c.exact);
        if (met(r.adaptive, c.exact) && met(r.gsl, c.exact))
            versus_gsl.push_back(static_cast<double>(r.adaptive.evaluations) / r.gsl.evaluations);
        if (met(r.adaptive, c.exact) && met(r.boost, c.exact))
            versus_boost.push_back(static_cast<double>(r.adaptive.evaluations) /
                                   r.boost.evaluations);
        std::string const name = c.text + std::string(" ") + limits_text(c);
        table.add_row({c.kind, std::string("`") + c.text + "`", limits_text(c),
                       error_cell(r.adaptive, c.exact), evaluations_cell(r.adaptive),
                       time_of("adaptive/" + name), error_cell(r.gsl, c.exact),
                       evaluations_cell(r.gsl), time_of("gsl/" + name),
                       error_cell(r.boost, c.exact), evaluations_cell(r.boost),
                       error_cell(r.romberg, c.exact), evaluations_cell(r.romberg)});
    }
    std::ostringstream out;
    int const n = static_cast<int>(cases.size());
    out << "## Integration\n\n"
        << "Each integral asked of every method with an absolute and a relative tolerance of "
        << tolerance
        << ": the library's `Nintegrate_adaptive` (Gauss-Kronrod 10/21 on pieces cut at the "
           "law's singular points, QAGS's bisection and epsilon extrapolation, QAGI's map of an "
           "infinite range), GSL's `gsl_integration_qags` (`qagiu`, `qagil`, `qagi` for infinite "
           "limits; at most 2000 subintervals), Boost.Math's double-exponential rules "
           "(`tanh_sinh`, `exp_sinh`, `sinh_sinh`) and the library's Romberg `Nintegrate` "
           "(finite limits; its evaluations are those of the levels it ran). The error is "
           "|value - exact| / max(1, |exact|); a method that reported a failure says so beside "
           "its value. Every method evaluates the same parsed law (a law error is a NaN to the "
           "peers). Times are per integral.\n\n"
        << table.str() << "\n"
        << "Within 10 times the tolerance of the known value: adaptive " << adaptive_met << " of "
        << n << ", GSL " << gsl_met << ", Boost " << boost_met << ", Romberg " << romberg_met
        << ". On the integrals both got right, the adaptive integrator used "
        << format_ratio(geometric_mean(versus_gsl)) << " GSL's evaluations and "
        << format_ratio(geometric_mean(versus_boost))
        << " Boost's (geometric means of the ratios).\n";
    return out.str();
}

}  // namespace bench
