#pragma once
// A range of doubles: finite, bounded below, bounded above, or unbounded.
#include <algorithm>
#include <limits>

enum interval_type {
    interval_finite = 1,
    interval_finite_below = 2,
    interval_finite_above = 3,
    interval_infinite = 4
};

namespace ZEM {

class interval {
  public:
    // The default interval is unbounded.
    constexpr interval() = default;
    constexpr interval(double lo, double hi) : lo_(lo), hi_(hi), type_(interval_finite) {}
    constexpr explicit interval(double v) : interval(v, v) {}
    constexpr interval(interval_type t, double lo, double hi) : lo_(lo), hi_(hi), type_(t) {}
    static constexpr interval below(double lo) { return {interval_finite_below, lo, 0}; }
    static constexpr interval above(double hi) { return {interval_finite_above, 0, hi}; }

    constexpr interval_type type() const { return type_; }
    constexpr bool finite() const { return type_ == interval_finite; }
    constexpr bool infinite() const { return type_ == interval_infinite; }
    constexpr bool bounded_below() const {
        return type_ == interval_finite || type_ == interval_finite_below;
    }
    constexpr bool bounded_above() const {
        return type_ == interval_finite || type_ == interval_finite_above;
    }
    constexpr bool empty() const { return type_ == interval_finite && lo_ > hi_; }
    // The ends; an open end reads as -inf or +inf.
    constexpr double start_pt() const {
        return bounded_below() ? lo_ : -std::numeric_limits<double>::infinity();
    }
    constexpr double end_pt() const {
        return bounded_above() ? hi_ : std::numeric_limits<double>::infinity();
    }
    constexpr double low() const { return start_pt(); }
    constexpr double high() const { return end_pt(); }
    // Middle of a finite interval; the bounded end (or 0) otherwise.
    constexpr double mid_pt() const {
        switch (type_) {
            case interval_finite:
                return 0.5 * (lo_ + hi_);
            case interval_finite_below:
                return lo_;
            case interval_finite_above:
                return hi_;
            default:
                return 0;
        }
    }
    constexpr double length() const {
        return finite() ? hi_ - lo_ : std::numeric_limits<double>::infinity();
    }
    constexpr double interpolate(double t) const { return (1 - t) * lo_ + t * hi_; }
    constexpr bool contains(double v, double tol = 0) const {
        return (!bounded_below() || v >= lo_ - tol) && (!bounded_above() || v <= hi_ + tol);
    }
    // Containment of a value.
    constexpr bool operator>>(double v) const { return contains(v); }
    constexpr bool operator<<(interval const &outer) const;  // this lies within outer

    interval &operator&=(interval const &o);  // intersection
    interval &operator|=(interval const &o);  // smallest interval holding both
    friend interval operator&(interval a, interval const &b) { return a &= b; }
    friend interval operator|(interval a, interval const &b) { return a |= b; }
    friend bool operator==(interval const &a, interval const &b);
    friend bool operator!=(interval const &a, interval const &b) { return !(a == b); }

  private:
    double lo_ = 0, hi_ = 0;
    interval_type type_ = interval_infinite;
};

constexpr bool interval::operator<<(interval const &outer) const {
    return (!outer.bounded_below() || (bounded_below() && lo_ >= outer.lo_)) &&
           (!outer.bounded_above() || (bounded_above() && hi_ <= outer.hi_));
}

}  // namespace ZEM

// Maps a parameter of a periodic range into the range (by whole periods).
void map_param_into_interval(ZEM::interval const &range, double &param);
