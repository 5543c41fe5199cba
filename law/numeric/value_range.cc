#include <law/numeric/value_range.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {
// Each result is widened by this fraction of its ends, which covers the rounding of the
// operation and of the C library's functions.
constexpr double widening = 0x1p-48;

bool either_empty(value_range a, value_range b) { return a.is_empty() || b.is_empty(); }

// 0 times an infinite end is 0: the end is a bound, not a value.
double product(double x, double y) { return x == 0 || y == 0 ? 0 : x * y; }
}  // namespace

value_range value_range::everything() { return {-INFINITY, INFINITY}; }

value_range outward(value_range r) {
    if (r.is_empty()) return r;
    if (std::isnan(r.lo) || std::isnan(r.hi)) return value_range::everything();
    if (std::isfinite(r.lo)) r.lo -= std::fabs(r.lo) * widening + DBL_MIN;
    if (std::isfinite(r.hi)) r.hi += std::fabs(r.hi) * widening + DBL_MIN;
    return r;
}

value_range hull(std::initializer_list<double> values) {
    auto const [lo, hi] = std::minmax(values);
    return outward({lo, hi});
}

value_range operator+(value_range a, value_range b) {
    return either_empty(a, b) ? value_range::empty() : outward({a.lo + b.lo, a.hi + b.hi});
}

value_range operator-(value_range a, value_range b) {
    return either_empty(a, b) ? value_range::empty() : outward({a.lo - b.hi, a.hi - b.lo});
}

value_range operator*(value_range a, value_range b) {
    if (either_empty(a, b)) return value_range::empty();
    return hull(
        {product(a.lo, b.lo), product(a.lo, b.hi), product(a.hi, b.lo), product(a.hi, b.hi)});
}

value_range operator/(value_range a, value_range b) {
    if (either_empty(a, b)) return value_range::empty();
    if (b.holds(0)) return value_range::everything();
    return a * outward({1 / b.hi, 1 / b.lo});
}

value_range operator-(value_range a) { return a.is_empty() ? a : value_range{-a.hi, -a.lo}; }

value_range power(value_range a, long n) {
    if (a.is_empty()) return a;
    if (n == 0) return value_range::point(1);
    if (n < 0) return value_range::point(1) / power(a, -n);
    double const lo = std::pow(a.lo, static_cast<double>(n)),
                 hi = std::pow(a.hi, static_cast<double>(n));
    if (n % 2 == 1) return outward({lo, hi});
    if (a.holds(0)) return outward({0, std::max(lo, hi)});
    return hull({lo, hi});
}

value_range intersect(value_range a, value_range b) {
    if (either_empty(a, b)) return value_range::empty();
    return {std::max(a.lo, b.lo), std::min(a.hi, b.hi)};
}
