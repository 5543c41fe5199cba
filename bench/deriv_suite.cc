// Symbolic derivatives: the library's derivative(0) (with its simplification) and one evaluation
// of the result, against GiNaC's diff and evaluation, with the sizes of the results.
#include <ginac/ginac.h>
#include <cmath>
#include <sstream>

#include "bench_cases.h"
#include "bench_harness.h"
#include "bench_law.h"
#include "bench_suites.h"

namespace bench {
namespace {

constexpr double probe_x = 0.7;
constexpr long node_cap = 100000000;

// GiNaC side of one case: the symbol x and a reader of the case's text, one ex per value.
class ginac_side {
  public:
    ginac_side() : reader_(make_table()) {}
    std::vector<GiNaC::ex> read(std::string const &text) {
        std::vector<GiNaC::ex> values;
        for (std::string const &part : split_top_level(text)) values.push_back(reader_(part));
        return values;
    }
    // Differentiates each value and evaluates the derivatives at probe_x; returns their sum.
    double derivative_value(std::vector<GiNaC::ex> const &values, std::vector<GiNaC::ex> *out) {
        double sum = 0;
        for (GiNaC::ex const &e : values) {
            GiNaC::ex const d = e.diff(x_);
            GiNaC::ex const v = GiNaC::evalf(d.subs(x_ == probe_x));
            if (!GiNaC::is_a<GiNaC::numeric>(v)) throw std::runtime_error("GiNaC gave no number");
            sum += GiNaC::ex_to<GiNaC::numeric>(v).to_double();
            if (out) out->push_back(d);
        }
        return sum;
    }

  private:
    GiNaC::symtab make_table() {
        GiNaC::symtab table;
        table["x"] = x_;
        table["Pi"] = GiNaC::Pi;
        return table;
    }
    GiNaC::symbol x_{"x"};
    GiNaC::parser reader_;
};

long ginac_nodes(GiNaC::ex const &e, long cap) {
    long count = 1;
    for (std::size_t i = 0; i < e.nops() && count < cap; ++i) count += ginac_nodes(e.op(i), cap);
    return count;
}

// The library's derivative of a fresh law, evaluated once; returns the sum of its values.
double law_derivative_value(law const *l, law_ptr *keep_derivative) {
    law_ptr d = adopt(l->derivative(0));
    std::vector<double> y(std::max(d->return_dim(), 1));
    double const x = probe_x;
    d->evaluate(&x, y.data());
    double sum = 0;
    for (double v : y) sum += v;
    if (keep_derivative) *keep_derivative = d;
    return sum;
}

struct deriv_row {
    std::string label, law_text, ginac_text;  // ginac_text empty when GiNaC has no notation
    int batch = 16;
    long input_nodes = 0, law_tree = 0, law_distinct = 0, ginac_tree = 0;
    double law_value = NAN, ginac_value = NAN;
    std::string law_error, ginac_error;
};

// Measures the sizes and values once, outside the timed loops.
void prepare(deriv_row &row, ginac_side &ginac) {
    try {
        law_ptr const l = parse_law(row.law_text);
        row.input_nodes = tree_nodes(l.get());
        law_ptr d;
        row.law_value = law_derivative_value(l.get(), &d);
        row.law_tree = tree_nodes(d.get(), node_cap);
        row.law_distinct = distinct_nodes(d.get());
    } catch (std::exception const &e) {
        row.law_error = e.what();
    }
    if (row.ginac_text.empty()) return;
    try {
        std::vector<GiNaC::ex> derivatives;
        row.ginac_value = ginac.derivative_value(ginac.read(row.ginac_text), &derivatives);
        for (auto const &d : derivatives) row.ginac_tree += ginac_nodes(d, node_cap);
    } catch (std::exception const &e) {
        row.ginac_error = e.what();
    }
}

timed_loop library_loop(deriv_row const &row) {
    return {"law/" + row.label, [&row](benchmark::State &state) {
                std::vector<law_ptr> fresh(row.batch);
                for (auto _ : state) {
                    state.PauseTiming();
                    for (law_ptr &l : fresh) l = parse_law(row.law_text);
                    state.ResumeTiming();
                    for (law_ptr const &l : fresh) keep(law_derivative_value(l.get(), nullptr));
                    state.PauseTiming();
                    for (law_ptr &l : fresh) l.reset();
                    state.ResumeTiming();
                }
            }};
}

timed_loop ginac_loop(deriv_row const &row, ginac_side &ginac) {
    return {"ginac/" + row.label, [&row, &ginac](benchmark::State &state) {
                std::vector<std::vector<GiNaC::ex>> fresh(row.batch);
                for (auto _ : state) {
                    state.PauseTiming();
                    for (auto &e : fresh) e = ginac.read(row.ginac_text);
                    state.ResumeTiming();
                    for (auto const &e : fresh) keep(ginac.derivative_value(e, nullptr));
                    state.PauseTiming();
                    for (auto &e : fresh) e.clear();
                    state.ResumeTiming();
                }
            }};
}

std::string nodes_text(long tree, long distinct) {
    if (tree <= 0) return "n/a";
    std::string t = tree >= node_cap ? std::string(">") : std::string();
    t += std::to_string(tree);
    if (distinct > 0) t += " / " + std::to_string(distinct);
    return t;
}

std::string agreement(deriv_row const &row) {
    if (!row.law_error.empty()) return "library error";
    if (row.ginac_text.empty() || !row.ginac_error.empty()) return "n/a";
    double const diff =
        std::fabs(row.law_value - row.ginac_value) / std::max(1.0, std::fabs(row.ginac_value));
    return diff <= 1e-9 ? "ok" : "differs by " + format_fixed(diff, 12);
}

}  // namespace

std::string derivative_section() {
    std::vector<deriv_row> rows;
    for (expr_case const &c : expression_cases()) {
        if (c.differentiated) continue;
        deriv_row row;
        row.label = c.label;
        row.law_text = c.law_text;
        row.ginac_text = c.ginac_text ? c.ginac_text : "";
        rows.push_back(row);
    }
    for (symbolic_case const &s : derivative_stress_cases()) {
        deriv_row row;
        row.label = s.label;
        row.law_text = row.ginac_text = s.text;
        row.batch = 2;
        rows.push_back(row);
    }
    ginac_side ginac;
    std::vector<timed_loop> loops;
    for (deriv_row &row : rows) {
        prepare(row, ginac);
        if (row.law_error.empty()) loops.push_back(library_loop(row));
        if (!row.ginac_text.empty() && row.ginac_error.empty())
            loops.push_back(ginac_loop(row, ginac));
    }
    auto const times = run_group("derivative", std::move(loops));

    markdown_table table({"expression", "input nodes", "library", "GiNaC", "library/GiNaC",
                          "library result nodes (tree / distinct)", "GiNaC result nodes",
                          "values agree"});
    std::vector<double> ratios;
    std::ostringstream notes;
    for (deriv_row const &row : rows) {
        auto per_case = [&](std::string const &key) {
            auto it = times.find(key);
            return it != times.end() && it->second.ok() ? it->second.seconds / row.batch : -1.0;
        };
        double const lib = per_case("law/" + row.label);
        double const gin = per_case("ginac/" + row.label);
        double const ratio = lib > 0 && gin > 0 ? lib / gin : -1;
        if (ratio > 0) ratios.push_back(ratio);
        table.add_row({row.label, std::to_string(row.input_nodes), format_seconds(lib),
                       row.ginac_text.empty() ? "n/a" : format_seconds(gin), format_ratio(ratio),
                       nodes_text(row.law_tree, row.law_distinct), nodes_text(row.ginac_tree, 0),
                       agreement(row)});
        if (!row.law_error.empty())
            notes << "- " << row.label << ": library: " << row.law_error << "\n";
        if (!row.ginac_error.empty())
            notes << "- " << row.label << ": GiNaC: " << row.ginac_error << "\n";
    }
    table.add_row({"**geometric mean**", "", "", "",
                   "**" + format_ratio(geometric_mean(ratios)) + "**", "", "", ""});

    std::ostringstream out;
    out << "## Derivative and simplification\n\n"
        << "`derivative(0)` of a freshly parsed law (the library simplifies the derivative it "
           "builds) and one evaluation of the result at x = "
        << probe_x
        << ", against GiNaC's `diff` of a freshly parsed expression and its evaluation by "
           "`subs` and `evalf`. Parsing is outside the timed region. Result sizes count the "
           "nodes of the printed tree (a shared sub-tree at each use) and, for the library, "
           "the distinct law objects. GiNaC has no notation for comparisons, piecewise laws, "
           "max and min.\n\n"
        << table.str();
    if (!notes.str().empty()) out << "\nFailures:\n\n" << notes.str();
    return out.str();
}

}  // namespace bench
