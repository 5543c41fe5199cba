#include "bench_cases.h"

#include <algorithm>
#include <cmath>

namespace bench {
namespace {

#define EXPR_CASE(id, label, dim, differentiated, law_text, mu_text, ginac_text, body) \
    void native_##id(double x, double *y) { body }
#include "eval_cases.def"
#undef EXPR_CASE

// The formula is a template argument, so the compiler inlines it into the loop: this is the
// code a C++ programmer would write by hand for the same expression.
template <void (*F)(double, double *), int Dim>
double native_sum(double const *xs, std::size_t n) {
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double y[Dim];
        F(xs[i], y);
        for (int d = 0; d < Dim; ++d) sum += y[d];
    }
    return sum;
}

}  // namespace

std::vector<double> case_points(std::size_t n) {
    std::vector<double> xs(n);
    for (std::size_t i = 0; i < n; ++i)
        xs[i] = 0.1 + 1.8 * (static_cast<double>(i) + 0.5) / static_cast<double>(n);
    return xs;
}

namespace {

char const *const term_pool[] = {"sin(x)",    "x*2.5",  "cos(x/3)", "x^2",     "exp(-x)",
                                 "sqrt(x+1)", "1.25*x", "(x-0.5)",  "tanh(x)", "x^3"};
char const *const chain_ops[] = {"+", "*", "-"};

std::string join_chain(std::vector<std::string> const &parts, std::size_t first, std::size_t last) {
    std::string out;
    for (std::size_t i = first; i < last; ++i) {
        if (i > first) out += chain_ops[i % 3];
        out += parts[i];
    }
    return out;
}

// Groups terms eight at a time in brackets, level over level, and joins the top level.
std::string grouped_text(std::size_t terms) {
    std::vector<std::string> level;
    for (std::size_t i = 0; i < terms; ++i) level.emplace_back(term_pool[i % std::size(term_pool)]);
    constexpr std::size_t fan_out = 8;
    while (level.size() > fan_out) {
        std::vector<std::string> next;
        for (std::size_t i = 0; i < level.size(); i += fan_out) {
            std::string group = "(";
            group += join_chain(level, i, std::min(level.size(), i + fan_out));
            group += ')';
            next.push_back(std::move(group));
        }
        level.swap(next);
    }
    return join_chain(level, 0, level.size());
}

// Builds the balanced tree text node by node; a counter varies the leaves and operators.
class tree_writer {
  public:
    std::string write(long nodes) {
        std::string out;
        out.reserve(static_cast<std::size_t>(nodes) * 6);
        emit(nodes, out);
        return out;
    }

  private:
    void emit(long nodes, std::string &out) {
        unsigned const k = counter_++;
        if (nodes <= 1) {
            // Every constant differs, so that no two large sub-trees are alike: a compiled law
            // computes equal operations once, and a tree of repeats would measure only that.
            out += k % 2 ? std::string("x") : std::to_string(k);
        } else if (nodes == 2 || k % 4 == 0) {
            out += k % 8 == 0 ? "cos(" : "sin(";
            emit(nodes - 1, out);
            out += ')';
        } else {
            long const left = (nodes - 1) / 2;
            out += '(';
            emit(left, out);
            out += chain_ops[k % 3];
            emit(nodes - 1 - left, out);
            out += ')';
        }
    }
    unsigned counter_ = 0;
};

}  // namespace

std::vector<expr_case> const &expression_cases() {
    static std::vector<expr_case> const cases = {
#define EXPR_CASE(id, label, dim, differentiated, law_text, mu_text, ginac_text, body) \
    {#id,                                                                              \
     label,                                                                            \
     dim,                                                                              \
     differentiated,                                                                   \
     law_text,                                                                         \
     mu_text,                                                                          \
     ginac_text,                                                                       \
     &native_##id,                                                                     \
     &native_sum<&native_##id, dim>},
#include "eval_cases.def"
#undef EXPR_CASE
    };
    return cases;
}

std::vector<symbolic_case> derivative_stress_cases() {
    std::string composition = "x";
    for (int i = 0; i < 20; ++i) composition = (i % 2 ? "cos(" : "sin(") + composition + ")";
    std::string product;
    for (int k = 1; k <= 50; ++k) product += (k > 1 ? "*(x+" : "(x+") + std::to_string(k) + ")";
    std::string sum;
    for (int k = 1; k <= 200; ++k) {
        std::string const ks = std::to_string(k);
        sum += (k > 1 ? "+sin(" : "sin(") + ks + "*x)/" + ks;
    }
    return {{"20-fold composition sin(cos(...(x)))", composition},
            {"product of 50 factors (x+k)", product},
            {"sum of 200 terms sin(k*x)/k", sum}};
}

std::string long_text(std::size_t chars) {
    // The grouped length grows with the number of terms: search the least count that reaches it.
    std::size_t lo = 1, hi = 1;
    while (grouped_text(hi).size() < chars) hi *= 2;
    while (lo < hi) {
        std::size_t const mid = (lo + hi) / 2;
        if (grouped_text(mid).size() < chars)
            lo = mid + 1;
        else
            hi = mid;
    }
    return grouped_text(lo);
}

std::string balanced_tree_text(long nodes) { return tree_writer().write(nodes); }

std::vector<std::string> split_top_level(std::string const &text) {
    std::vector<std::string> parts(1);
    int depth = 0;
    for (char c : text) {
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

}  // namespace bench
