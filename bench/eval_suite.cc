// Evaluation at a million points: the library's plain evaluate against muParser and native C++.
#include <muParser.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>

#include "bench/bench_cases.h"
#include "bench/bench_harness.h"
#include "bench/bench_law.h"
#include "bench/bench_suites.h"

namespace bench {
namespace {

constexpr std::size_t point_count = 1000000;
constexpr int max_dim = 4;

std::vector<double> sample_points() {
    std::vector<double> xs(point_count);
    for (std::size_t i = 0; i < point_count; ++i)
        xs[i] = 0.1 + 1.8 * (static_cast<double>(i) + 0.5) / point_count;
    return xs;
}

// A muParser parser bound to one variable x; Eval compiles the text on first use.
struct mu_expression {
    mu::Parser parser;
    double x = 0;
    explicit mu_expression(char const *text) {
        parser.DefineVar("x", &x);
        parser.SetExpr(text);
    }
    // Sum of the values at the current x.
    double values_sum(int dim, double *y) {
        if (dim == 1) return y[0] = parser.Eval();
        int n = 0;
        double const *r = parser.Eval(n);
        double sum = 0;
        for (int d = 0; d < n && d < max_dim; ++d) sum += y[d] = r[d];
        return sum;
    }
};

// Everything measured for one expression.
struct eval_row {
    expr_case const *c;
    law_ptr l;
    std::unique_ptr<mu_expression> mu;
    std::string law_error, mu_error;
    double law_deviation = 0, mu_deviation = 0;  // largest relative difference to native
};

double relative_difference(double a, double b) {
    if (std::isnan(a) != std::isnan(b)) return INFINITY;
    return std::fabs(a - b) / std::max(1.0, std::fabs(b));
}

// Sets up the library and muParser sides and compares both with native at a few points.
void prepare(eval_row &row) {
    expr_case const &c = *row.c;
    try {
        row.l = case_law(c.law_text, c.differentiated);
        if (row.l->return_dim() != c.dim)
            row.law_error = "returns " + std::to_string(row.l->return_dim()) + " values";
    } catch (std::exception const &e) {
        row.law_error = e.what();
    }
    try {
        row.mu = std::make_unique<mu_expression>(c.mu_text);
        double y[max_dim];
        row.mu->values_sum(c.dim, y);
    } catch (mu::Parser::exception_type const &e) {
        row.mu_error = e.GetMsg();
        row.mu.reset();
    }
    for (int k = 0; k <= 8; ++k) {
        double const x = 0.1 + 0.225 * k;
        double want[max_dim] = {}, got[max_dim] = {};
        c.native(x, want);
        if (row.law_error.empty()) {
            try {
                row.l->evaluate(&x, got);
                for (int d = 0; d < c.dim; ++d)
                    row.law_deviation =
                        std::max(row.law_deviation, relative_difference(got[d], want[d]));
            } catch (std::exception const &e) {
                row.law_error = e.what();
            }
        }
        if (row.mu) {
            row.mu->x = x;
            row.mu->values_sum(c.dim, got);
            for (int d = 0; d < c.dim; ++d)
                row.mu_deviation = std::max(row.mu_deviation, relative_difference(got[d], want[d]));
        }
    }
}

std::vector<timed_loop> loops_for(eval_row &row, std::vector<double> const &xs) {
    expr_case const &c = *row.c;
    int const dim = c.dim;
    std::vector<timed_loop> loops;
    loops.push_back({std::string("native/") + c.id, [&xs, &c](benchmark::State &state) {
                         for (auto _ : state) keep(c.native_sum(xs.data(), xs.size()));
                     }});
    if (row.law_error.empty()) {
        law const *l = row.l.get();
        loops.push_back({std::string("law/") + c.id, [&xs, l, dim](benchmark::State &state) {
                             for (auto _ : state) {
                                 double sum = 0, y[max_dim];
                                 for (double const &x : xs) {
                                     l->evaluate(&x, y);
                                     for (int d = 0; d < dim; ++d) sum += y[d];
                                 }
                                 keep(sum);
                             }
                         }});
    }
    if (row.mu) {
        mu_expression *mu = row.mu.get();
        loops.push_back({std::string("mu/") + c.id, [&xs, mu, dim](benchmark::State &state) {
                             for (auto _ : state) {
                                 double sum = 0, y[max_dim];
                                 for (double x : xs) {
                                     mu->x = x;
                                     sum += mu->values_sum(dim, y);
                                 }
                                 keep(sum);
                             }
                         }});
    }
    return loops;
}

std::string check_mark(std::string const &error, double deviation) {
    if (!error.empty()) return "error";
    return deviation <= 1e-9 ? "ok" : "differs by " + format_fixed(deviation, 12);
}

}  // namespace

std::string evaluation_section() {
    std::vector<double> const xs = sample_points();
    std::vector<eval_row> rows;
    for (expr_case const &c : expression_cases()) rows.push_back({&c, {}, {}, {}, {}, 0, 0});
    std::vector<timed_loop> loops;
    for (eval_row &row : rows) {
        prepare(row);
        for (timed_loop &loop : loops_for(row, xs)) loops.push_back(std::move(loop));
    }
    auto const times = run_group("evaluation", std::move(loops));
    auto seconds = [&times](std::string const &key) {
        auto it = times.find(key);
        return it != times.end() && it->second.ok() ? it->second.seconds : -1.0;
    };

    markdown_table table({"expression", "native", "library", "muParser", "library/native",
                          "muParser/native", "library/muParser", "library check",
                          "muParser check"});
    std::vector<double> law_ratios, mu_ratios, law_mu_ratios;
    std::ostringstream notes;
    for (eval_row const &row : rows) {
        double const native = seconds(std::string("native/") + row.c->id);
        double const lib = seconds(std::string("law/") + row.c->id);
        double const mu = seconds(std::string("mu/") + row.c->id);
        double const law_ratio = native > 0 && lib > 0 ? lib / native : -1;
        double const mu_ratio = native > 0 && mu > 0 ? mu / native : -1;
        double const law_mu = lib > 0 && mu > 0 ? lib / mu : -1;
        if (law_ratio > 0) law_ratios.push_back(law_ratio);
        if (mu_ratio > 0) mu_ratios.push_back(mu_ratio);
        if (law_mu > 0) law_mu_ratios.push_back(law_mu);
        table.add_row({row.c->label, format_seconds(native / point_count),
                       format_seconds(lib / point_count), format_seconds(mu / point_count),
                       format_ratio(law_ratio), format_ratio(mu_ratio), format_ratio(law_mu),
                       check_mark(row.law_error, row.law_deviation),
                       check_mark(row.mu_error, row.mu_deviation)});
        if (!row.law_error.empty())
            notes << "- " << row.c->label << ": library: " << row.law_error << "\n";
        if (!row.mu_error.empty())
            notes << "- " << row.c->label << ": muParser: " << row.mu_error << "\n";
    }
    table.add_row({"**geometric mean**", "", "", "",
                   "**" + format_ratio(geometric_mean(law_ratios)) + "**",
                   "**" + format_ratio(geometric_mean(mu_ratios)) + "**",
                   "**" + format_ratio(geometric_mean(law_mu_ratios)) + "**", "", ""});

    std::ostringstream out;
    out << "## Evaluation\n\n"
        << "Each expression evaluated at " << point_count
        << " points of [0.1, 1.9]; times are per point. The library goes through the plain "
           "virtual `evaluate` of the parsed law (of its `derivative(0)` for the derivative rows), "
           "muParser through `Eval` with the variable bound, native through the same formula "
           "compiled inline. The checks compare values with native at 9 points.\n\n"
        << table.str();
    if (!notes.str().empty()) out << "\nFailures:\n\n" << notes.str();
    return out.str();
}

}  // namespace bench
