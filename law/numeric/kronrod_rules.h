#pragma once
// Gauss-Kronrod pairs on [-1, 1]: the Kronrod rule's value, and the difference from the Gauss
// rule on the same points as the measure of its error.
#include <span>

struct kronrod_rule {
    // The nodes at and above 0, largest first (the last is 0); the Kronrod weights of the same
    // nodes; the Gauss weights of the same nodes, 0 on the nodes the Gauss rule does not use.
    std::span<double const> nodes, kronrod_weights, gauss_weights;
    int points() const { return 2 * static_cast<int>(nodes.size()) - 1; }
};

// 10-point Gauss, 21-point Kronrod, for finite intervals.
kronrod_rule const &gauss_kronrod_21();
// 7-point Gauss, 15-point Kronrod, for intervals mapped from infinite ones.
kronrod_rule const &gauss_kronrod_15();

// What a rule makes of one interval.
struct rule_estimate {
    double result = 0;    // the Kronrod rule
    double error = 0;     // the error estimate, scaled as QUADPACK does
    double absolute = 0;  // the rule applied to |f|
    double spread = 0;    // the rule applied to |f - mean|
};

// The abscissae of a rule on [a, b], in the order `estimate` takes their values: the centre,
// then for each node below it on the left and on the right.
void rule_abscissae(kronrod_rule const &rule, double a, double b, std::span<double> out);
rule_estimate estimate(kronrod_rule const &rule, double a, double b,
                       std::span<double const> values);
