#pragma once
// Closed intervals of values and their arithmetic, each result widened outward so that it holds
// every value the operation can give on doubles.
#include <initializer_list>

// The closed interval [lo, hi]; lo > hi is the empty range of a law defined nowhere in the box.
struct value_range {
    double lo, hi;

    static value_range empty() { return {1, -1}; }
    static value_range everything();
    static value_range point(double v) { return {v, v}; }
    bool is_empty() const { return lo > hi; }
    bool holds(double v) const { return lo <= v && v <= hi; }
    double width() const { return hi - lo; }
    double middle() const { return lo + (hi - lo) / 2; }
};

// r widened by a few units in the last place at each end (NaN ends: everything).
value_range outward(value_range r);
// The smallest range holding the values, widened.
value_range hull(std::initializer_list<double> values);

value_range operator+(value_range a, value_range b);
value_range operator-(value_range a, value_range b);
value_range operator*(value_range a, value_range b);
// Everything when b holds 0.
value_range operator/(value_range a, value_range b);
value_range operator-(value_range a);
// a^n for a whole n.
value_range power(value_range a, long n);
// The values both ranges hold (empty when they do not meet).
value_range intersect(value_range a, value_range b);
