#pragma once
// One output of a law along its first input, sampled in batches, with a count of the points.
#include <limits>
#include <span>
#include <vector>

class law;

class line_sampler {
  public:
    // Output `output` of f, with 0 for every input past the first.
    explicit line_sampler(law const *f, int output = 0);

    // The values at xs; NaN where the law raises an error or gives no finite value.
    void values(std::span<double const> xs, std::span<double> ys);
    std::vector<double> values(std::span<double const> xs);
    // The value at x, NaN as above.
    double value(double x);

    long evaluations() const { return evaluations_; }
    // The first point sampled where the value overflowed to +inf (sign 1) or -inf (sign -1):
    // a value past the largest double, which no search can report. NaN when there was none.
    double overflow_at(int sign) const { return sign > 0 ? overflow_high_ : overflow_low_; }

  private:
    law const *f_;
    int output_, inputs_, outputs_;
    long evaluations_ = 0;
    double overflow_high_ = std::numeric_limits<double>::quiet_NaN();
    double overflow_low_ = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> points_, results_;
    std::vector<int> errors_;
};
