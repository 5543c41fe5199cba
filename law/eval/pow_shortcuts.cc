#include <law/eval/pow_shortcuts.h>

#include <algorithm>
#include <cmath>

#include <law/eval/library_rounding.h>

namespace {

// The correctly rounded value v is taken where its error is at most this many units. pow's
// documented bound, 0.54 units, is that of its exp (0.511 units without a fused multiply-add)
// plus the relative error of its log (1.5 * 2^-68 without one) times |ln v| * 2^53, at the edge
// of the range (|ln v| = 1024 ln 2). Between 2^-64 and 2^64, |ln v| is at most 64 ln 2 and pow
// errs by at most 0.514 units. Without a branch, so that the loops over many values vectorise.
inline double taken_within(double v) {
    double const m = std::fabs(v);
    return (m >= 0x1p-64) & (m <= 0x1p+64) ? 0.48 : 0.44;
}

// Values whose unit in the last place, and the units of their errors, are normal doubles.
// Without a branch, so that the loops over many values vectorise.
inline bool well_inside(double v) {
    double const m = std::fabs(v);
    return (m >= 0x1p-900) & (m <= 0x1p+900);
}

// The C library's pow itself: the compiler must not see the exponent, or it writes pow(a, -1.0)
// as 1 / a.
double library_pow(double a, double b) {
    asm("" : "+x"(b));
    return std::pow(a, b);
}

// x * (y + y_lo), to about 2^-104 of its size when no part leaves the normal range.
[[gnu::always_inline]] inline two_doubles times(two_doubles x, double y, double y_lo) {
    double const p = x.hi * y;
    return settled(p, std::fma(x.hi, y, -p) + (x.hi * y_lo + x.lo * y));
}

// sqrt(a) to about 2^-104: the root's residual a - s * s is exact.
[[gnu::always_inline]] inline two_doubles root_of(double a) {
    double const s = std::sqrt(a);
    return settled(s, std::fma(-s, s, a) / (2 * s));
}

// 1 / x to about 2^-104: with q = 1 / hi, 1 - q * hi is exact, and 1 / x is q times
// (1 + that - q * lo) to second order.
[[gnu::always_inline]] inline two_doubles reciprocal_of(two_doubles x) {
    double const q = 1 / x.hi;
    return settled(q, q * (std::fma(-q, x.hi, 1.0) - q * x.lo));
}

// Whether a and the power hi + lo of it lie inside the normal range, so that the power's every
// step did.
[[gnu::always_inline]] inline bool inside(two_doubles r, double a) {
    return well_inside(a) & well_inside(r.hi);
}

// Whether hi is pow's value of a power hi + lo of a: inside the normal range, and hi within
// taken_within(hi) units of it (the power's own error is below 2^-90 of a unit).
[[gnu::always_inline]] inline bool is_pows(two_doubles r, double a) {
    return inside(r, a) & (beyond(r, taken_within(r.hi)) <= 0);
}

// A short exponent e as |e| = whole + (half ? 1/2 : 0), and its sign.
struct exponent_parts {
    int whole;
    bool half, negative;
    explicit exponent_parts(double e)
        : whole(static_cast<int>(std::fabs(e))), half(std::fabs(e) != whole), negative(e < 0) {}
};

// The place of the highest bit of n > 0.
inline int top_bit(int n) { return 31 - __builtin_clz(static_cast<unsigned>(n)); }

// a^e for a short exponent e, carried in two doubles: the whole power by squaring, times the
// root for a half, inverted for a negative exponent.
[[gnu::always_inline]] inline two_doubles power_of(double a, exponent_parts const &e) {
    two_doubles r{a, 0};
    if (e.whole > 0) {
        for (int bit = top_bit(e.whole) - 1; bit >= 0; --bit) {
            r = times(r, r.hi, r.lo);
            if (e.whole >> bit & 1) r = times(r, a, 0);
        }
    }
    if (e.half) {
        two_doubles const root = root_of(a);
        r = e.whole > 0 ? times(r, root.hi, root.lo) : root;
    }
    return e.negative ? reciprocal_of(r) : r;
}

}  // namespace

LAW_WITH_FMA double root_as_pow(double a) {
    if (a > 0 && well_inside(a) && rounding_to_nearest()) {
        double const s = std::sqrt(a);
        // s * s - a exactly; the exact root is s - residual / (2 s) to far more than the units
        // compared here.
        double const residual = std::fma(s, s, -a);
        if (std::fabs(residual) <= 2 * s * taken_within(s) * unit_at(s)) return s;
    }
    return library_pow(a, 0.5);
}

LAW_WITH_FMA double reciprocal_as_pow(double a) {
    if (well_inside(a) && rounding_to_nearest()) {
        double const q = 1.0 / a;
        // q * a - 1 exactly; the exact reciprocal is q - residual / a.
        double const residual = std::fma(q, a, -1.0);
        if (std::fabs(residual) <= std::fabs(a) * taken_within(q) * unit_at(q)) return q;
    }
    return library_pow(a, -1.0);
}

LAW_WITH_FMA double power_as_pow(double a, double e) {
    if (rounding_to_nearest()) {
        two_doubles const r = power_of(a, exponent_parts(e));
        if (is_pows(r, a)) return r.hi;
    }
    return library_pow(a, e);
}

// Each step over a run of values at a time, so that the steps vectorise; pow then for the values
// whose power lies too near halfway between two doubles (one in 25 between 2^-64 and 2^64, one
// in eight outside), and `other` for
// those outside the normal range or under a root of a value below 0, where it may raise. The
// widest vector unit does the most here.
LAW_VECTOR_FMA void powers_as_pow(double const *a, double e, double *out, int m,
                                  double (*other)(double, double)) {
    if (!rounding_to_nearest()) {
        for (int i = 0; i < m; ++i) out[i] = other(a[i], e);
        return;
    }
    exponent_parts const parts(e);
    constexpr int run = 256;
    double hi[run], lo[run];
    unsigned char how[run];  // 0: hi; 1: pow; 2: other
    for (int first = 0; first < m; first += run) {
        int const count = std::min(run, m - first);
        double const *const x = a + first;
        // Each step takes the power so far at value i (x itself before the first) to the next.
        bool fresh = true;
        auto const step = [&](auto next) {
            auto const each = [&](auto so_far) {
                for (int i = 0; i < count; ++i) {
                    two_doubles const r = next(so_far(i), i);
                    hi[i] = r.hi;
                    lo[i] = r.lo;
                }
            };
            if (fresh)
                each([x](int i) { return two_doubles{x[i], 0}; });
            else
                each([&](int i) { return two_doubles{hi[i], lo[i]}; });
            fresh = false;
        };
        for (int bit = parts.whole > 0 ? top_bit(parts.whole) - 1 : -1; bit >= 0; --bit) {
            if (parts.whole >> bit & 1)
                step([x](two_doubles r, int i) { return times(times(r, r.hi, r.lo), x[i], 0); });
            else
                step([](two_doubles r, int) { return times(r, r.hi, r.lo); });
        }
        if (parts.half) {
            step([x, &parts](two_doubles r, int i) {
                two_doubles const root = root_of(x[i]);
                return parts.whole > 0 ? times(r, root.hi, root.lo) : root;
            });
        }
        if (parts.negative) step([](two_doubles r, int) { return reciprocal_of(r); });
        if (fresh) step([](two_doubles r, int) { return r; });
        for (int i = 0; i < count; ++i) {
            two_doubles const r{hi[i], lo[i]};
            how[i] = is_pows(r, x[i]) ? 0 : inside(r, x[i]) ? 1 : 2;
        }
        // Value by value, so that out may be a.
        for (int i = 0; i < count; ++i)
            out[first + i] = how[i] == 0   ? hi[i]
                             : how[i] == 1 ? library_pow(x[i], e)
                                           : other(x[i], e);
    }
}
