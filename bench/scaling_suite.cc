// Time against tree size for the main operations, with the exponent of a log-log fit.
#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

#include "bench_cases.h"
#include "bench_harness.h"
#include "bench_law.h"
#include "bench_suites.h"

namespace bench {
namespace {

constexpr long tree_sizes[] = {10, 30, 100, 300, 1000, 3000, 10000, 30000, 100000};
constexpr long shown_sizes[] = {10, 100, 1000, 10000, 100000};
// An operation whose predicted time at the next size passes its budget is not run there: the
// prediction takes the time as growing with the size to the power 1.5. Derivatives and
// simplification are measured up to the largest size, where their exponent is decided.
constexpr double size_budget_seconds = 0.5;
constexpr double symbolic_budget_seconds = 30;
constexpr double predicted_growth = 1.5;

// Fresh trees per timed iteration for operations that consume or change a tree.
int batch_for(long nodes) { return static_cast<int>(std::clamp(20000 / nodes, 1L, 2000L)); }

using operation_loop = std::function<void(benchmark::State &, std::string const &text, int batch)>;

// Times op on batch fresh trees per iteration; building and freeing them is not timed.
operation_loop on_fresh_trees(std::function<law *(law const *)> op) {
    return [op](benchmark::State &state, std::string const &text, int batch) {
        std::vector<law_ptr> trees(batch), results(batch);
        for (auto _ : state) {
            state.PauseTiming();
            for (law_ptr &t : trees) t = parse_law(text);
            state.ResumeTiming();
            for (int i = 0; i < batch; ++i) results[i] = adopt(op(trees[i].get()));
            state.PauseTiming();
            for (int i = 0; i < batch; ++i) results[i].reset(), trees[i].reset();
            state.ResumeTiming();
        }
    };
}

struct operation {
    char const *name;
    bool per_batch;  // timed in batches of batch_for(nodes)
    operation_loop loop;
    double budget_seconds = size_budget_seconds;
};

std::vector<operation> operations() {
    return {
        {"evaluate", false,
         [](benchmark::State &state, std::string const &text, int) {
             law_ptr const l = parse_law(text);
             double const x = 0.7;
             double y = 0;
             // A law compiles itself after its first evaluations: the loop times the
             // compiled law that a caller evaluating it many times gets.
             for (int i = 0; i < 20; ++i) l->evaluate(&x, &y);
             for (auto _ : state) {
                 l->evaluate(&x, &y);
                 keep(y);
             }
         }},
        {"print", false,
         [](benchmark::State &state, std::string const &text, int) {
             law_ptr const l = parse_law(text);
             for (auto _ : state) keep(l->text());
         }},
        {"parse", true,
         [](benchmark::State &state, std::string const &text, int batch) {
             std::vector<law_ptr> trees(batch);
             for (auto _ : state) {
                 for (law_ptr &t : trees) t = adopt(str_to_law(text.c_str()));
                 state.PauseTiming();
                 for (law_ptr &t : trees) t.reset();
                 state.ResumeTiming();
             }
         }},
        {"derivative", true, on_fresh_trees([](law const *l) { return l->derivative(0); }),
         symbolic_budget_seconds},
        {"simplify", true, on_fresh_trees([](law const *l) { return l->simplify(1, 0); }),
         symbolic_budget_seconds},
        {"destroy", true,
         [](benchmark::State &state, std::string const &text, int batch) {
             std::vector<law_ptr> trees(batch);
             for (auto _ : state) {
                 state.PauseTiming();
                 for (law_ptr &t : trees) t = parse_law(text);
                 state.ResumeTiming();
                 for (law_ptr &t : trees) t.reset();
             }
         }},
    };
}

struct size_point {
    long target;
    long nodes;
    std::string text;
};

}  // namespace

std::string scaling_section() {
    std::vector<size_point> points;
    for (long n : tree_sizes) {
        size_point p{n, 0, balanced_tree_text(n)};
        p.nodes = tree_nodes(parse_law(p.text).get());
        points.push_back(std::move(p));
    }

    std::vector<std::string> header = {"operation"};
    for (long n : shown_sizes) header.push_back(std::to_string(n) + " nodes");
    header.insert(header.end(), {"per node, largest", "exponent a (time ~ nodes^a)"});
    markdown_table table(header);
    std::ostringstream notes;

    for (operation const &op : operations()) {
        std::vector<double> xs, ys;
        std::vector<std::string> row = {op.name};
        std::vector<double> shown(std::size(shown_sizes), -1.0);
        double largest_per_node = -1;
        for (size_point const &p : points) {
            int const batch = op.per_batch ? batch_for(p.nodes) : 1;
            auto const loop = op.loop;
            std::string const &text = p.text;
            auto const times = run_group(
                std::string("scaling ") + op.name + " " + std::to_string(p.nodes),
                {{"t", [loop, &text, batch](benchmark::State &s) { loop(s, text, batch); }, 0.05}});
            timing const &t = times.at("t");
            if (!t.ok()) {
                notes << "- " << op.name << " at " << p.nodes << " nodes: " << t.error << "\n";
                break;
            }
            double const seconds = t.seconds / batch;
            xs.push_back(static_cast<double>(p.nodes));
            ys.push_back(seconds);
            largest_per_node = seconds / p.nodes;
            auto shown_it = std::find(std::begin(shown_sizes), std::end(shown_sizes), p.target);
            if (shown_it != std::end(shown_sizes))
                shown[shown_it - std::begin(shown_sizes)] = seconds;
            std::size_t const next = static_cast<std::size_t>(&p - points.data()) + 1;
            if (next < points.size() &&
                seconds * std::pow(static_cast<double>(points[next].nodes) / p.nodes,
                                   predicted_growth) >
                    op.budget_seconds) {
                notes << "- " << op.name << " took " << format_seconds(seconds) << " at " << p.nodes
                      << " nodes; larger trees not measured, to keep the run short.\n";
                break;
            }
        }
        for (double s : shown) row.push_back(format_seconds(s));
        power_fit const fit = fit_power(xs, ys);
        row.push_back(format_seconds(largest_per_node));
        row.push_back(fit.valid ? format_fixed(fit.exponent, 2) : "n/a");
        table.add_row(row);
    }

    std::ostringstream sizes;
    for (size_point const &p : points) sizes << (&p == &points.front() ? "" : ", ") << p.nodes;
    std::ostringstream out;
    out << "## Scaling with tree size\n\n"
        << "Balanced trees of sums, products, differences, sines and cosines of x and constants "
           "(nesting grows with the logarithm of the size). Measured at "
        << sizes.str()
        << " nodes; the table shows one call at the decade sizes, and the exponent is fitted "
           "over every measured size on a log-log scale (1 is linear). `derivative` and "
           "`simplify` act on a freshly parsed tree; `evaluate` times the law after 20 "
           "evaluations, when it has compiled itself; `destroy` is the last `remove`.\n\n"
        << table.str();
    if (!notes.str().empty()) out << "\nNotes:\n\n" << notes.str();
    return out.str();
}

}  // namespace bench
