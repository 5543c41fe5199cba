#pragma once
// Wynn's epsilon algorithm on a sequence of approximations, as QUADPACK's extrapolating
// integrators run it: each new term gives a new extrapolated limit and an estimate of its error.
#include <array>

class epsilon_table {
  public:
    // Takes a term without extrapolating (the first terms of the sequence).
    void seed(double term) { table_[n_++] = term; }
    // Adds the next term and extrapolates: `limit` and `error` then hold the new limit.
    void add(double term);
    double limit() const { return limit_; }
    double error() const { return error_; }
    int terms() const { return n_; }

  private:
    static constexpr int depth = 50;
    std::array<double, depth + 3> table_{};
    std::array<double, 3> last_three_{};
    int n_ = 0;        // terms held in the table
    int results_ = 0;  // extrapolations made
    double limit_ = 0, error_ = 0;
};
