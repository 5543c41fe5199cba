// Evaluation at a million points: the library's plain evaluate against muParser and native C++.
#include <muParser.h>
#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>

#include "bench_cases.h"
#include "bench_harness.h"
#include "bench_law.h"
#include "bench_suites.h"

namespace bench {
namespace {

constexpr std::size_t point_count = 1000000;
constexpr int max_dim = 4;

// A muParser parser bound to one variable x; Eval compiles the text on first use.
struct mu_expression {
    mu::Parser parser;
    double x = 0;
    explicit mu_expression(char const *text) {
        parser.DefineVar("x", &x);
        parser.SetExpr(text);
    }
    // The values at the current x into y; returns their sum.
    double values(int dim, double *y) {
        if (dim == 1) return y[0] = parser.Eval();
        int n = 0;
        double const *r = parser.Eval(n);
        double sum = 0;
        for (int d = 0; d < n && d < max_dim; ++d) sum += y[d] = r[d];
        return sum;
    }
};

// One way of computing the values of a case, with what went wrong and how far it is from native.
struct side {
    std::string name;
    std::string error;
    double deviation = 0;  // largest relative difference to native at the check points
    bool usable() const { return error.empty(); }
};

struct law_side : side {
    law_ptr l;
};

struct mu_side : side {
    std::unique_ptr<mu_expression> mu;
};

// Everything measured for one expression.
struct eval_row {
    expr_case const *c;
    law_side parsed, simplified;
    mu_side mu;
};

double relative_difference(double a, double b) {
    if (std::isnan(a) != std::isnan(b)) return INFINITY;
    return std::fabs(a - b) / std::max(1.0, std::fabs(b));
}

// Compares values(x, y) with native at nine points of the range.
template <class Values>
void check_against_native(side &s, expr_case const &c, Values values) {
    if (!s.usable()) return;
    try {
        for (int k = 0; k <= 8; ++k) {
            double const x = 0.1 + 0.225 * k;
            double want[max_dim] = {}, got[max_dim] = {};
            c.native(x, want);
            values(x, got);
            for (int d = 0; d < c.dim; ++d)
                s.deviation = std::max(s.deviation, relative_difference(got[d], want[d]));
        }
    } catch (std::exception const &e) {
        s.error = e.what();
    }
}

void prepare_law(law_side &s, expr_case const &c, law_ptr (*make)(expr_case const &)) {
    try {
        s.l = make(c);
        if (s.l->return_dim() != c.dim)
            s.error = "returns " + std::to_string(s.l->return_dim()) + " values";
    } catch (std::exception const &e) {
        s.error = e.what();
    }
    check_against_native(s, c, [&s](double x, double *y) { s.l->evaluate(&x, y); });
}

void prepare(eval_row &row) {
    expr_case const &c = *row.c;
    row.parsed.name = "library";
    prepare_law(row.parsed, c,
                [](expr_case const &e) { return case_law(e.law_text, e.differentiated); });
    row.simplified.name = "library, simplified";
    prepare_law(row.simplified, c, [](expr_case const &e) {
        return adopt(case_law(e.law_text, e.differentiated)->simplify(1, 0));
    });
    row.mu.name = "muParser";
    try {
        row.mu.mu = std::make_unique<mu_expression>(c.mu_text);
        double y[max_dim];
        row.mu.mu->values(c.dim, y);
    } catch (mu::Parser::exception_type const &e) {
        row.mu.error = e.GetMsg();
    }
    check_against_native(row.mu, c, [&row, &c](double x, double *y) {
        row.mu.mu->x = x;
        row.mu.mu->values(c.dim, y);
    });
}

timed_loop law_loop(std::string const &name, law const *l, int dim, std::vector<double> const &xs) {
    return {name, [&xs, l, dim](benchmark::State &state) {
                for (auto _ : state) {
                    double sum = 0, y[max_dim];
                    for (double const &x : xs) {
                        l->evaluate(&x, y);
                        for (int d = 0; d < dim; ++d) sum += y[d];
                    }
                    keep(sum);
                }
            }};
}

std::vector<timed_loop> loops_for(eval_row &row, std::vector<double> const &xs) {
    expr_case const &c = *row.c;
    std::vector<timed_loop> loops;
    loops.push_back({std::string("native/") + c.id, [&xs, &c](benchmark::State &state) {
                         for (auto _ : state) keep(c.native_sum(xs.data(), xs.size()));
                     }});
    if (row.parsed.usable())
        loops.push_back(law_loop(std::string("law/") + c.id, row.parsed.l.get(), c.dim, xs));
    if (row.simplified.usable())
        loops.push_back(
            law_loop(std::string("simplified/") + c.id, row.simplified.l.get(), c.dim, xs));
    if (row.mu.usable()) {
        mu_expression *mu = row.mu.mu.get();
        int const dim = c.dim;
        loops.push_back({std::string("mu/") + c.id, [&xs, mu, dim](benchmark::State &state) {
                             for (auto _ : state) {
                                 double sum = 0, y[max_dim];
                                 for (double x : xs) {
                                     mu->x = x;
                                     sum += mu->values(dim, y);
                                 }
                                 keep(sum);
                             }
                         }});
    }
    return loops;
}

// "ok", or what failed or differed.
std::string checks(eval_row const &row) {
    std::string out;
    for (side const *s :
         {static_cast<side const *>(&row.parsed), static_cast<side const *>(&row.simplified),
          static_cast<side const *>(&row.mu)}) {
        std::string problem;
        if (!s->usable())
            problem = "error";
        else if (s->deviation > 1e-9)
            problem = "differs by " + format_fixed(s->deviation, 12);
        if (!problem.empty()) out += (out.empty() ? "" : "; ") + s->name + " " + problem;
    }
    return out.empty() ? "ok" : out;
}

// A ratio cell, with the value kept for the geometric mean.
std::string ratio_cell(double num, double den, std::vector<double> &all) {
    if (!(num > 0) || !(den > 0)) return "n/a";
    all.push_back(num / den);
    return format_ratio(num / den);
}

}  // namespace

std::string evaluation_section() {
    std::vector<double> const xs = case_points(point_count);
    std::vector<eval_row> rows(expression_cases().size());
    std::vector<timed_loop> loops;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].c = &expression_cases()[i];
        prepare(rows[i]);
        for (timed_loop &loop : loops_for(rows[i], xs)) loops.push_back(std::move(loop));
    }
    auto const times = run_group("evaluation", std::move(loops));
    auto per_point = [&times](std::string const &key) {
        auto it = times.find(key);
        return it != times.end() && it->second.ok() ? it->second.seconds / point_count : -1.0;
    };

    markdown_table table({"expression", "native", "library", "library, simplified", "muParser",
                          "library/native", "simplified/native", "muParser/native",
                          "library/muParser", "checks"});
    std::vector<double> law_native, simplified_native, mu_native, law_mu;
    std::ostringstream notes;
    for (eval_row const &row : rows) {
        std::string const id = row.c->id;
        double const native = per_point("native/" + id), lib = per_point("law/" + id),
                     simp = per_point("simplified/" + id), mu = per_point("mu/" + id);
        table.add_row(
            {row.c->label, format_seconds(native), format_seconds(lib), format_seconds(simp),
             format_seconds(mu), ratio_cell(lib, native, law_native),
             ratio_cell(simp, native, simplified_native), ratio_cell(mu, native, mu_native),
             ratio_cell(lib, mu, law_mu), checks(row)});
        for (side const *s :
             {static_cast<side const *>(&row.parsed), static_cast<side const *>(&row.simplified),
              static_cast<side const *>(&row.mu)})
            if (!s->usable())
                notes << "- " << row.c->label << ": " << s->name << ": " << s->error << "\n";
    }
    auto bold_mean = [](std::vector<double> const &v) {
        return "**" + format_ratio(geometric_mean(v)) + "**";
    };
    table.add_row({"**geometric mean**", "", "", "", "", bold_mean(law_native),
                   bold_mean(simplified_native), bold_mean(mu_native), bold_mean(law_mu), ""});

    std::ostringstream out;
    out << "## Evaluation\n\n"
        << "Each expression evaluated at " << point_count
        << " points of [0.1, 1.9]; times are per point. The library goes through the plain "
           "virtual `evaluate` of the parsed law (of its `derivative(0)` for the derivative "
           "rows), and of that law's `simplify(1, 0)` in the simplified column; a law compiles "
           "itself into a tape of operations after its first evaluations, and the library keeps "
           "`pow` for every power but a square, as its laws are defined; muParser through "
           "`Eval` with the variable bound (when it compiles a text it folds constants and turns "
           "the square, cube and fourth power of the variable into multiplications); native "
           "through the same formula compiled inline, "
           "with `std::pow` for every `^` but a square. The checks compare every side with native "
           "at 9 points.\n\n"
        << table.str();
    if (!notes.str().empty()) out << "\nFailures:\n\n" << notes.str();
    return out.str();
}

}  // namespace bench
