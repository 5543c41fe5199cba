#pragma once
// The expressions the suite measures, with their muParser, GiNaC and native C++ forms, and the
// generators of long texts and large trees.
#include <cstddef>
#include <string>
#include <vector>

namespace bench {

// One expression of the evaluation and derivative workloads (see eval_cases.def).
struct expr_case {
    char const *id;
    char const *label;
    int dim;              // number of values
    bool differentiated;  // the law measured is derivative(0) of law_text
    char const *law_text;
    char const *mu_text;     // muParser; comma-separated values
    char const *ginac_text;  // GiNaC; comma-separated values; null when it has no notation
    void (*native)(double x, double *y);
    // Sum of all values over n points, with the native formula inlined in the loop.
    double (*native_sum)(double const *xs, std::size_t n);
};

std::vector<expr_case> const &expression_cases();

// n points spread evenly over [0.1, 1.9], where every expression is defined.
std::vector<double> case_points(std::size_t n);

// A text read both by the library and by GiNaC (lower case reads alike in both).
struct symbolic_case {
    std::string label;
    std::string text;
};

// Derivative stress cases: a 20-fold composition, a product of 50 factors, a sum of 200 terms.
std::vector<symbolic_case> derivative_stress_cases();

// A text of about the given number of characters, read alike by the library and by muParser:
// terms grouped in brackets eight at a time, so that nesting grows with the logarithm of the size.
std::string long_text(std::size_t chars);

// The text of a balanced tree of about the given number of nodes (sums, products, differences,
// sines and cosines of X and constants); its nesting grows with the logarithm of the size.
std::string balanced_tree_text(long nodes);

// Splits a text at commas outside brackets.
std::vector<std::string> split_top_level(std::string const &text);

}  // namespace bench
