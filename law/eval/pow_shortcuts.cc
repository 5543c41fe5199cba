#include <law/eval/pow_shortcuts.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <type_traits>

namespace {

// The correctly rounded value is taken where its error is at most this many units.
constexpr double taken_within = 0.44;

// Values whose unit in the last place, and the units of their errors, are normal doubles.
// Without a branch, so that the loops over many values vectorise.
inline bool well_inside(double v) {
    double const m = std::fabs(v);
    return (m >= 0x1p-900) & (m <= 0x1p+900);
}

// The smaller spacing of doubles next to v (normal, not zero): below a power of two the spacing
// halves. Adding or taking 0.6 of a spacing's worth of v rounds to the neighbour on that side
// (0.6 to 1.2 spacings), which gives each spacing exactly; no branch, so that it vectorises.
inline double unit_at(double v) {
    double const m = std::fabs(v), step = m * 0x1.3333333333333p-53;
    return std::min((m + step) - m, m - (m - step));
}

// Whether arithmetic rounds to nearest: 1 + 0.75 units rounds up only then and upward, and
// -(1 + 0.75 units) rounds down only then and downward.
bool rounding_to_nearest() {
    volatile double const step = 0x1.8p-53;
    return 1.0 + step == 1.0 + 0x1p-52 && -1.0 - step == -1.0 - 0x1p-52;
}

// The C library's pow itself: the compiler must not see the exponent, or it writes pow(a, -1.0)
// as 1 / a.
double library_pow(double a, double b) {
    asm("" : "+x"(b));
    return std::pow(a, b);
}

// A product carried as hi + lo, hi the nearest double to it.
struct two_doubles {
    double hi, lo;
};

// x * (y + y_lo), to about 2^-104 of its size when no part leaves the normal range.
[[gnu::always_inline]] inline two_doubles times(two_doubles x, double y, double y_lo) {
    double const p = x.hi * y;
    double const e = std::fma(x.hi, y, -p) + (x.hi * y_lo + x.lo * y);
    double const hi = p + e;
    return {hi, e - (hi - p)};
}

// Whether hi is pow's value of the power hi + lo: both inside the normal range and hi within
// taken_within units of it (the product's own error is below 2^-90 of a unit).
[[gnu::always_inline]] inline bool is_pows(two_doubles r, double a) {
    return well_inside(a) & well_inside(r.hi) & (std::fabs(r.lo) <= taken_within * unit_at(r.hi));
}

// The place of the highest bit of n > 0.
inline int top_bit(int n) { return 31 - __builtin_clz(static_cast<unsigned>(n)); }

}  // namespace

// With the processor's fused multiply-add where it has one: the C library's fma is a call. fma is
// exact, so both versions give the same bits. One version under ThreadSanitizer, whose runtime is
// not up when the loader runs the clones' chooser, and under clang, which wants the clones on every
// declaration.
#if defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define LAW_WITH_FMA __attribute__((target_clones("fma", "default")))
#else
#define LAW_WITH_FMA
#endif

LAW_WITH_FMA double root_as_pow(double a) {
    if (a > 0 && well_inside(a) && rounding_to_nearest()) {
        double const s = std::sqrt(a);
        // s * s - a exactly; the exact root is s - residual / (2 s) to far more than the units
        // compared here.
        double const residual = std::fma(s, s, -a);
        if (std::fabs(residual) <= 2 * s * taken_within * unit_at(s)) return s;
    }
    return library_pow(a, 0.5);
}

LAW_WITH_FMA double reciprocal_as_pow(double a) {
    if (well_inside(a) && rounding_to_nearest()) {
        double const q = 1.0 / a;
        // q * a - 1 exactly; the exact reciprocal is q - residual / a.
        double const residual = std::fma(q, a, -1.0);
        if (std::fabs(residual) <= std::fabs(a) * taken_within * unit_at(q)) return q;
    }
    return library_pow(a, -1.0);
}

LAW_WITH_FMA double whole_power_as_pow(double a, double n) {
    int const whole = static_cast<int>(n);
    if (rounding_to_nearest()) {
        two_doubles r{a, 0};
        for (int bit = top_bit(whole) - 1; bit >= 0; --bit) {
            r = times(r, r.hi, r.lo);
            if (whole >> bit & 1) r = times(r, a, 0);
        }
        if (is_pows(r, a)) return r.hi;
    }
    return library_pow(a, n);
}

// Each step over a run of values at a time, so that the steps vectorise; pow then for the values
// whose power lies too near halfway between two doubles (about one in eight). The widest vector
// unit does the most here.
#if defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define LAW_VECTOR_FMA __attribute__((target_clones("avx512f", "fma", "default")))
#else
#define LAW_VECTOR_FMA
#endif
LAW_VECTOR_FMA void whole_powers_as_pow(double const *a, double n, double *out, int m) {
    if (!rounding_to_nearest()) {
        for (int i = 0; i < m; ++i) out[i] = library_pow(a[i], n);
        return;
    }
    int const whole = static_cast<int>(n);
    constexpr int run = 256;
    double hi[run], lo[run];
    bool taken[run];
    for (int first = 0; first < m; first += run) {
        int const count = std::min(run, m - first);
        double const *const x = a + first;
        // The first step squares the values themselves.
        auto const step = [&](auto odd, auto first_step) {
            for (int i = 0; i < count; ++i) {
                two_doubles r = first_step ? two_doubles{x[i], 0} : two_doubles{hi[i], lo[i]};
                r = times(r, r.hi, r.lo);
                if constexpr (odd) r = times(r, x[i], 0);
                hi[i] = r.hi;
                lo[i] = r.lo;
            }
        };
        int const top = top_bit(whole);
        if (whole >> (top - 1) & 1)
            step(std::true_type{}, std::true_type{});
        else
            step(std::false_type{}, std::true_type{});
        for (int bit = top - 2; bit >= 0; --bit) {
            if (whole >> bit & 1)
                step(std::true_type{}, std::false_type{});
            else
                step(std::false_type{}, std::false_type{});
        }
        for (int i = 0; i < count; ++i) taken[i] = is_pows({hi[i], lo[i]}, x[i]);
        // Value by value, so that out may be a.
        for (int i = 0; i < count; ++i) out[first + i] = taken[i] ? hi[i] : library_pow(x[i], n);
    }
}
