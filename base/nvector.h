#pragma once
// A point of n doubles.
#include <initializer_list>
#include <vector>

class nvector {
  public:
    nvector() = default;
    explicit nvector(int n) : c_(n > 0 ? n : 0, 0.0) {}
    nvector(double const *values, int n) : c_(values, values + (n > 0 ? n : 0)) {}
    nvector(std::initializer_list<double> values) : c_(values) {}
    int dimension() const { return static_cast<int>(c_.size()); }
    double const *coordinates() const { return c_.data(); }
    double &operator[](int i) { return c_[i]; }
    double operator[](int i) const { return c_[i]; }
    friend bool operator==(nvector const &, nvector const &) = default;

  private:
    std::vector<double> c_;
};
