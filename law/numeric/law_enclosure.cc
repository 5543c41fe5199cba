#include <law/numeric/law_enclosure.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numbers>

#include <law/base/tolerance.h>
#include <law/core/binary_law.h>
#include <law/core/constant_law.h>
#include <law/core/law.h>
#include <law/core/multiple_law.h>
#include <law/core/unary_law.h>

namespace {
constexpr double pi = std::numbers::pi;
// Trees deeper than this are bounded from samples below it: the walk keeps to the call stack.
constexpr int deepest_rule = 400;
// Sampled ranges are widened by this fraction of their spread.
constexpr double sample_margin = 0.5;

using range = value_range;
using ranges = std::vector<value_range>;

template <class F>
range increasing(range a, F f) {
    return a.is_empty() ? a : outward({f(a.lo), f(a.hi)});
}

// The part of a within [lo, hi], widened by resmch as the domain checks are.
range within(range a, double lo, double hi) {
    if (a.is_empty() || a.hi < lo - resmch || a.lo > hi + resmch) return range::empty();
    return {std::clamp(a.lo, lo, hi), std::clamp(a.hi, lo, hi)};
}

// Whether some x = offset + k * period lies in a (counted in when rounding leaves it in doubt).
bool meets(range a, double offset, double period) {
    double const k = std::ceil((a.lo - offset) / period - 1e-9);
    return offset + k * period <= a.hi + 1e-9 * std::max(1.0, std::fabs(a.hi));
}

range cosine(range a) {
    if (a.is_empty()) return a;
    if (!(a.width() < 2 * pi)) return {-1, 1};
    range r = hull({std::cos(a.lo), std::cos(a.hi)});
    if (meets(a, 0, 2 * pi)) r.hi = 1;
    if (meets(a, pi, 2 * pi)) r.lo = -1;
    return {std::max(r.lo, -1.0), std::min(r.hi, 1.0)};
}

range sine(range a) {
    if (a.is_empty()) return a;
    if (!(a.width() < 2 * pi)) return {-1, 1};
    range r = hull({std::sin(a.lo), std::sin(a.hi)});
    if (meets(a, pi / 2, 2 * pi)) r.hi = 1;
    if (meets(a, -pi / 2, 2 * pi)) r.lo = -1;
    return {std::max(r.lo, -1.0), std::min(r.hi, 1.0)};
}

range tangent(range a) {
    if (a.is_empty()) return a;
    if (!(a.width() < pi) || meets(a, pi / 2, pi)) return range::everything();
    return increasing(a, [](double v) { return std::tan(v); });
}

// |a| and the like: even, least at 0.
template <class F>
range even(range a, F f) {
    if (a.is_empty()) return a;
    if (a.holds(0)) return outward({f(0.0), std::max(f(a.lo), f(a.hi))});
    return hull({f(a.lo), f(a.hi)});
}

// The rule of a function of one argument, by class; false when the class has none.
bool function_rule(int type, range a, range &out) {
    switch (type) {
        case law_id::negate_law:
            out = -a;
            return true;
        case law_id::exp_law:
            out = increasing(a, [](double v) { return std::exp(v); });
            return true;
        case law_id::sqrt_law:
            out = increasing(within(a, 0, INFINITY), [](double v) { return std::sqrt(v); });
            return true;
        case law_id::natural_log_law:
            out = a.hi <= 0 ? range::empty()
                            : increasing({std::max(a.lo, 0.0), a.hi},
                                         [](double v) { return v > 0 ? std::log(v) : -INFINITY; });
            return true;
        case law_id::sin_law:
            out = sine(a);
            return true;
        case law_id::cos_law:
            out = cosine(a);
            return true;
        case law_id::tan_law:
            out = tangent(a);
            return true;
        case law_id::abs_law:
            out = even(a, [](double v) { return std::fabs(v); });
            return true;
        case law_id::cosh_law:
            out = even(a, [](double v) { return std::cosh(v); });
            return true;
        case law_id::sinh_law:
            out = increasing(a, [](double v) { return std::sinh(v); });
            return true;
        case law_id::tanh_law:
            out = increasing(a, [](double v) { return std::tanh(v); });
            return true;
        case law_id::arcsin_law:
            out = increasing(within(a, -1, 1), [](double v) { return std::asin(v); });
            return true;
        case law_id::arccos_law:
            out = -(increasing(within(a, -1, 1), [](double v) { return -std::acos(v); }));
            return true;
        case law_id::floor_law:
            out = increasing(a, [](double v) { return std::floor(v); });
            return true;
        case law_id::ceil_law:
            out = increasing(a, [](double v) { return std::ceil(v); });
            return true;
        default:
            return false;
    }
}

range first(ranges const &r) { return r.empty() ? range::everything() : r[0]; }

// a ^ b: whole constant exponents exactly; other exponents through exp(b ln a), where a negative
// base raises under a constant exponent that is not whole.
bool power_rule(range a, range b, range &out) {
    if (a.is_empty() || b.is_empty()) {
        out = range::empty();
        return true;
    }
    if (b.lo == b.hi && b.lo == std::trunc(b.lo) && std::fabs(b.lo) < 1e9) {
        out = power(a, static_cast<long>(b.lo));
        return true;
    }
    if (a.lo < 0) {
        if (b.lo != b.hi) return false;
        a = within(a, 0, INFINITY);
    }
    range const logs = increasing(a, [](double v) { return v > 0 ? std::log(v) : -INFINITY; });
    out = increasing(b * logs, [](double v) { return std::exp(v); });
    return true;
}

// Member-wise sums and differences of equal sizes; products and quotients by a scalar.
bool arithmetic_rule(int type, ranges const &a, ranges const &b, ranges &out) {
    bool const same = a.size() == b.size();
    out.clear();
    switch (type) {
        case law_id::plus_law:
        case law_id::minus_law:
            if (!same) return false;
            for (std::size_t i = 0; i < a.size(); ++i)
                out.push_back(type == law_id::plus_law ? a[i] + b[i] : a[i] - b[i]);
            return true;
        case law_id::times_law:
            if (a.size() == 1)
                for (range const &r : b) out.push_back(a[0] * r);
            else if (b.size() == 1)
                for (range const &r : a) out.push_back(r * b[0]);
            return !out.empty();
        case law_id::division_law:
            if (b.size() != 1) return false;
            for (range const &r : a) out.push_back(r / b[0]);
            return true;
        case law_id::exponent_law:
            if (a.size() != 1 || b.size() != 1) return false;
            out.resize(1);
            return power_rule(a[0], b[0], out[0]);
        default:
            return false;
    }
}

bool all_finite(std::span<value_range const> box) {
    return std::all_of(box.begin(), box.end(), [](range const &r) {
        return !r.is_empty() && std::isfinite(r.lo) && std::isfinite(r.hi);
    });
}
}  // namespace

std::vector<value_range> law_enclosure::operator()(law const *l, std::span<value_range const> box) {
    return enclose(l, box, 0);
}

std::vector<value_range> law_enclosure::enclose(law const *l, std::span<value_range const> box,
                                                int depth) {
    if (l->take_dim() == 0) {
        // A law of no input is its one value; one that raises is defined nowhere.
        std::vector<double> y(static_cast<std::size_t>(std::max(1, l->return_dim())));
        double const none = 0;
        try {
            l->evaluate(&none, y.data());
        } catch (vorn_exception const &) {
            return ranges(y.size(), range::empty());
        }
        ranges out;
        for (double v : y) out.push_back(std::isnan(v) ? range::everything() : range::point(v));
        return out;
    }
    if (std::any_of(box.begin(), box.end(), [](range const &r) { return r.is_empty(); }))
        return ranges(static_cast<std::size_t>(l->return_dim()), range::empty());
    bool known = false;
    if (depth < deepest_rule) {
        ranges out = by_rule(l, box, depth + 1, known);
        if (known) return out;
    }
    return sampled(l, box);
}

std::vector<value_range> law_enclosure::by_rule(law const *l, std::span<value_range const> box,
                                                int depth, bool &known) {
    known = true;
    int const type = l->type();
    if (type == law_id::identity_law) {
        auto const index = static_cast<std::size_t>(static_cast<identity_law const *>(l)->index());
        return {index < box.size() ? box[index] : range::everything()};
    }
    if (auto const *u = law_cast<unary_law>(l); u && u->fsub()) {
        ranges const a = enclose(u->fsub(), box, depth);
        ranges out;
        if (type == law_id::negate_law) {
            for (range const &r : a) out.push_back(-(r));
            return out;
        }
        out.resize(1);
        known = u->return_dim() == 1 && function_rule(type, first(a), out[0]);
        return out;
    }
    if (auto const *b = law_cast<binary_law>(l); b && b->fleft() && b->fright()) {
        // The outer law of a composition takes the inner law's values as its inputs.
        if (type == law_id::composite_law)
            return enclose(b->fleft(), enclose(b->fright(), box, depth), depth);
        ranges const a = enclose(b->fleft(), box, depth);
        ranges out;
        known = arithmetic_rule(type, a, enclose(b->fright(), box, depth), out);
        return out;
    }
    if (auto const *m = law_cast<multiple_law>(l)) {
        std::span<law *const> const members(m->fsub(), static_cast<std::size_t>(m->fsub_num()));
        ranges out;
        switch (type) {
            case law_id::vector_law:
                for (law const *s : members) out.push_back(first(enclose(s, box, depth)));
                return out;
            case law_id::max_law:
            case law_id::min_law: {
                bool const most = type == law_id::max_law;
                for (law const *s : members) {
                    known = known && s->return_dim() == 1;
                    range const r = first(enclose(s, box, depth));
                    if (out.empty())
                        out.push_back(r);
                    else if (r.is_empty() || out[0].is_empty())
                        out[0] = range::empty();
                    else
                        out[0] = most ? range{std::max(out[0].lo, r.lo), std::max(out[0].hi, r.hi)}
                                      : range{std::min(out[0].lo, r.lo), std::min(out[0].hi, r.hi)};
                }
                known = known && !out.empty();
                return out;
            }
            default:
                break;
        }
    }
    known = false;
    return {};
}

std::vector<value_range> law_enclosure::sampled(law const *l, std::span<value_range const> box) {
    estimated_ = true;
    int const inputs = l->take_dim(), outputs = std::max(1, l->return_dim());
    ranges out(static_cast<std::size_t>(outputs), range::everything());
    if (inputs > 3 || static_cast<int>(box.size()) < inputs || !all_finite(box)) return out;
    // Each input at its ends and its middle, every combination.
    int combinations = 1;
    for (int i = 0; i < inputs; ++i) combinations *= 3;
    std::vector<double> x(static_cast<std::size_t>(inputs)), y(static_cast<std::size_t>(outputs));
    std::vector<double> lo(y.size(), INFINITY), hi(y.size(), -INFINITY);
    bool any = false;
    for (int c = 0; c < combinations; ++c) {
        for (int i = 0, k = c; i < inputs; ++i, k /= 3) {
            range const &r = box[static_cast<std::size_t>(i)];
            x[static_cast<std::size_t>(i)] = k % 3 == 0 ? r.lo : k % 3 == 1 ? r.middle() : r.hi;
        }
        try {
            l->evaluate(x.data(), y.data());
        } catch (vorn_exception const &) {
            continue;
        }
        for (std::size_t j = 0; j < y.size(); ++j) {
            if (!std::isfinite(y[j])) return out;
            lo[j] = std::min(lo[j], y[j]);
            hi[j] = std::max(hi[j], y[j]);
        }
        any = true;
    }
    if (!any) return out;
    for (std::size_t j = 0; j < y.size(); ++j) {
        double const margin = sample_margin * (hi[j] - lo[j]) + 1e-12 * std::fabs(hi[j]);
        out[j] = outward({lo[j] - margin, hi[j] + margin});
    }
    return out;
}
