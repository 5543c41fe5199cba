// Many points at once: law::evaluate_many against a vectorised native loop, muParser's bulk mode
// and the library's own single-point evaluate, for blocks of several sizes.
#include <muParser.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>

#include "bench_cases.h"
#include "bench_harness.h"
#include "bench_law.h"
#include "bench_suites.h"
#include "native_batch.h"

namespace bench {
namespace {

// Points per timed iteration, taken in blocks of each size.
constexpr std::size_t total_points = 65536;
constexpr std::size_t block_sizes[] = {1, 16, 256, 65536};

// muParser in bulk mode: the variable bound to an array of the block's size.
struct mu_bulk {
    mu::Parser parser;
    std::vector<double> x;
    explicit mu_bulk(char const *text, std::size_t block) : x(block) {
        parser.DefineVar("x", x.data());
        parser.SetExpr(text);
    }
};

std::string key(char const *what, expr_case const &c, std::size_t block) {
    return std::string(what) + "/" + c.id + "/" + std::to_string(block);
}

// The blocks of xs, each handed to run(first, n, out).
template <class Run>
void over_blocks(std::vector<double> const &xs, std::size_t block, std::vector<double> &ys,
                 Run run) {
    for (std::size_t first = 0; first < xs.size(); first += block)
        run(xs.data() + first, block, ys.data() + first);
}

struct batch_row {
    expr_case const *c;
    law_ptr l;
    std::vector<std::unique_ptr<mu_bulk>> mu;  // one per block size
    bool equal = true;                         // evaluate_many gave evaluate's values
};

void add_loops(batch_row &row, std::vector<double> const &xs, std::vector<timed_loop> &loops) {
    expr_case const &c = *row.c;
    native_batch_fn const native = native_batch(c.id);
    law const *l = row.l.get();
    auto ys = std::make_shared<std::vector<double>>(total_points);
    loops.push_back({key("single", c, 0), [&xs, l, ys](benchmark::State &state) {
                         for (auto _ : state) {
                             for (std::size_t i = 0; i < xs.size(); ++i)
                                 l->evaluate(&xs[i], &(*ys)[i]);
                             keep((*ys)[0]);
                         }
                     }});
    for (std::size_t b = 0; b < std::size(block_sizes); ++b) {
        std::size_t const block = block_sizes[b];
        loops.push_back({key("native", c, block), [&xs, native, block, ys](benchmark::State &s) {
                             for (auto _ : s) {
                                 over_blocks(xs, block, *ys,
                                             [native](double const *x, std::size_t n, double *y) {
                                                 native(x, y, n);
                                             });
                                 keep((*ys)[0]);
                             }
                         }});
        loops.push_back({key("many", c, block), [&xs, l, block, ys](benchmark::State &s) {
                             for (auto _ : s) {
                                 over_blocks(xs, block, *ys,
                                             [l](double const *x, std::size_t n, double *y) {
                                                 l->evaluate_many(x, y, static_cast<int>(n));
                                             });
                                 keep((*ys)[0]);
                             }
                         }});
        if (!row.mu[b]) continue;
        mu_bulk *mu = row.mu[b].get();
        loops.push_back({key("mu", c, block), [&xs, mu, block, ys](benchmark::State &s) {
                             for (auto _ : s) {
                                 over_blocks(xs, block, *ys,
                                             [mu](double const *x, std::size_t n, double *y) {
                                                 std::copy(x, x + n, mu->x.begin());
                                                 mu->parser.Eval(y, static_cast<int>(n));
                                             });
                                 keep((*ys)[0]);
                             }
                         }});
    }
}

void prepare(batch_row &row, std::vector<double> const &xs) {
    row.l = case_law(row.c->law_text, row.c->differentiated);
    std::vector<double> many(xs.size());
    row.l->evaluate_many(xs.data(), many.data(), static_cast<int>(xs.size()));
    for (std::size_t i = 0; i < xs.size(); ++i) {
        double one = 0;
        row.l->evaluate(&xs[i], &one);
        if (std::memcmp(&one, &many[i], sizeof one) != 0) row.equal = false;
    }
    for (std::size_t block : block_sizes) {
        try {
            row.mu.push_back(std::make_unique<mu_bulk>(row.c->mu_text, block));
            std::vector<double> y(block);
            row.mu.back()->parser.Eval(y.data(), static_cast<int>(block));
        } catch (mu::Parser::exception_type const &) {
            row.mu.back().reset();
        }
    }
}

std::string ratio(double num, double den, std::vector<double> &all) {
    if (!(num > 0) || !(den > 0)) return "n/a";
    all.push_back(num / den);
    return format_ratio(num / den);
}

}  // namespace

std::string batch_section() {
    std::vector<double> const xs = case_points(total_points);
    std::vector<batch_row> rows;
    for (expr_case const &c : expression_cases())
        if (c.dim == 1 && native_batch(c.id)) rows.push_back({&c, nullptr, {}, true});
    std::vector<timed_loop> loops;
    for (batch_row &row : rows) {
        prepare(row, xs);
        add_loops(row, xs, loops);
    }
    auto const times = run_group("batch", std::move(loops));
    auto per_point = [&times](std::string const &k) {
        auto it = times.find(k);
        return it != times.end() && it->second.ok() ? it->second.seconds / total_points : -1.0;
    };

    std::vector<std::string> header{"expression", "native, 65536", "single point"};
    for (std::size_t b : block_sizes) header.push_back("batch " + std::to_string(b));
    for (std::size_t b : block_sizes) header.push_back("batch/native " + std::to_string(b));
    header.push_back("muParser bulk/native 65536");
    header.push_back("batch/muParser bulk 65536");
    header.push_back("same bits");
    markdown_table table(header);
    std::vector<std::vector<double>> to_native(std::size(block_sizes));
    std::vector<double> mu_native, batch_mu, single_native;
    constexpr std::size_t largest = std::size(block_sizes) - 1;
    for (batch_row const &row : rows) {
        expr_case const &c = *row.c;
        double const native = per_point(key("native", c, block_sizes[largest]));
        double const single = per_point(key("single", c, 0));
        std::vector<std::string> cells{c.label, format_seconds(native), format_seconds(single)};
        for (std::size_t b : block_sizes)
            cells.push_back(format_seconds(per_point(key("many", c, b))));
        for (std::size_t b = 0; b < std::size(block_sizes); ++b)
            cells.push_back(ratio(per_point(key("many", c, block_sizes[b])),
                                  per_point(key("native", c, block_sizes[b])), to_native[b]));
        double const mu = per_point(key("mu", c, block_sizes[largest]));
        cells.push_back(ratio(mu, native, mu_native));
        cells.push_back(ratio(per_point(key("many", c, block_sizes[largest])), mu, batch_mu));
        cells.push_back(row.equal ? "yes" : "NO");
        ratio(single, native, single_native);
        table.add_row(cells);
    }
    std::vector<std::string> mean{"**geometric mean**", "", ""};
    for (std::size_t b = 0; b < std::size(block_sizes); ++b) mean.push_back("");
    for (auto const &v : to_native) mean.push_back("**" + format_ratio(geometric_mean(v)) + "**");
    mean.push_back("**" + format_ratio(geometric_mean(mu_native)) + "**");
    mean.push_back("**" + format_ratio(geometric_mean(batch_mu)) + "**");
    mean.push_back("");
    table.add_row(mean);

    std::ostringstream out;
    out << "## Batch evaluation\n\n"
        << "The scalar expressions at " << total_points
        << " points of [0.1, 1.9], taken in blocks of 1, 16, 256 and 65536 points; times are per "
           "point. The library goes through `evaluate_many` (its tape run over the block, one "
           "operation over the whole block at a time), and through one `evaluate` per point in "
           "the single-point column; native through the formula in a loop over the block, in a "
           "translation unit compiled with `-O3 -march=native` so that the compiler vectorises "
           "it; muParser through its bulk mode (`Eval(results, n)` with the variable bound to "
           "the block), on one thread as every other side (`make bench` sets `OMP_NUM_THREADS=1` "
           "for muParser's OpenMP loop). \"Same bits\" compares `evaluate_many` with `evaluate` at "
           "every point. "
           "Single point against native, 65536: geometric mean **"
        << format_ratio(geometric_mean(single_native)) << "**.\n\n"
        << table.str();
    return out.str();
}

}  // namespace bench
