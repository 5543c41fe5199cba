#include <law/base/interval.h>

#include <cmath>

#include <law/base/tolerance.h>

namespace ZEM {

namespace {
interval make(bool has_lo, double lo, bool has_hi, double hi) {
    if (has_lo && has_hi) return {lo, hi};
    if (has_lo) return interval::below(lo);
    if (has_hi) return interval::above(hi);
    return {};
}
}  // namespace

interval &interval::operator&=(interval const &o) {
    bool const has_lo = bounded_below() || o.bounded_below();
    bool const has_hi = bounded_above() || o.bounded_above();
    double const lo = std::max(start_pt(), o.start_pt());
    double const hi = std::min(end_pt(), o.end_pt());
    return *this = make(has_lo, lo, has_hi, hi);
}

interval &interval::operator|=(interval const &o) {
    if (empty()) return *this = o;
    if (o.empty()) return *this;
    bool const has_lo = bounded_below() && o.bounded_below();
    bool const has_hi = bounded_above() && o.bounded_above();
    return *this = make(has_lo, std::min(start_pt(), o.start_pt()), has_hi,
                        std::max(end_pt(), o.end_pt()));
}

bool operator==(interval const &a, interval const &b) {
    if (a.type_ != b.type_) return false;
    double const tol = get_resabs();
    if (a.bounded_below() && std::fabs(a.lo_ - b.lo_) > tol) return false;
    if (a.bounded_above() && std::fabs(a.hi_ - b.hi_) > tol) return false;
    return true;
}

}  // namespace ZEM

void map_param_into_interval(ZEM::interval const &range, double &param) {
    if (!range.finite()) return;
    double const period = range.length();
    if (period <= 0) return;
    double const lo = range.start_pt();
    param -= period * std::floor((param - lo) / period);
    if (param > range.end_pt()) param = range.end_pt();
}
