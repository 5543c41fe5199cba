#pragma once
// Taking a C library function's own double without calling it. The library's functions err by up
// to a documented bound B (a little over half a unit in the last place). A value known to far
// better than a unit, whose nearest double lies within 1 - B units of it, leaves the library no
// other double to give: that double is the library's. The rest go to the library.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

// A value carried as hi + lo, hi the nearest double to it.
struct two_doubles {
    double hi, lo;
};

// hi + lo with hi the nearest double, from p and a correction e no larger than p.
[[gnu::always_inline]] inline two_doubles settled(double p, double e) {
    double const hi = p + e;
    return {hi, e - (hi - p)};
}

// The smaller spacing of doubles next to v (normal, not zero): below a power of two the spacing
// halves. Adding or taking 0.6 of a spacing's worth of v rounds to the neighbour on that side
// (0.6 to 1.2 spacings), which gives each spacing exactly; no branch, so that it vectorises.
[[gnu::always_inline]] inline double unit_at(double v) {
    double const m = std::fabs(v), step = m * 0x1.3333333333333p-53;
    return std::min((m + step) - m, m - (m - step));
}

// How far hi, the nearest double, lies from hi + lo, less `within` units in the last place: at
// most 0 where hi is the library's double, for a library that errs by at most 1 - within units
// (less the error of hi + lo). Without a branch, so that it vectorises.
[[gnu::always_inline]] inline double beyond(two_doubles r, double within) {
    return std::fabs(r.lo) - within * unit_at(r.hi);
}

// Adding it to a double below 2^51 in size rounds that to a whole number, held in the low bits.
constexpr double round_shift = 0x1.8p52;

// The whole number that adding round_shift left in `shifted` (for a value that was below 2^51 in
// size; something else, without overflow, for any other).
[[gnu::always_inline]] inline std::int64_t whole_in(double shifted) {
    return static_cast<std::int64_t>(std::bit_cast<std::uint64_t>(shifted) -
                                     std::bit_cast<std::uint64_t>(round_shift));
}

// The double of a whole number k below 2^51 in size, without a conversion instruction (the
// vector units of some processors have none for 64-bit numbers).
[[gnu::always_inline]] inline double as_double(std::int64_t k) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(round_shift) +
                                 static_cast<std::uint64_t>(k)) -
           round_shift;
}

// ln 2 in two parts: the first of 32 bits, so that a whole multiple of it below 2^18 is exact,
// and so is one below 2^11 plus a number on the grid of 2^-32 below 1.
constexpr double ln2_hi = 0x1.62e42feep-1, ln2_lo = 0x1.a39ef35793c76p-33;

// Whether long double carries 64 bits, so that tables of values in two doubles made from it are
// good to 2^-63; elsewhere the shortcuts are not used and the library is called.
constexpr bool precise_long_double = std::numeric_limits<long double>::digits >= 64;

// v as hi + lo, hi the nearest double.
inline two_doubles split(long double v) {
    double const hi = static_cast<double>(v);
    return {hi, static_cast<double>(v - hi)};
}

// Whether arithmetic rounds to nearest: 1 + 0.75 units rounds up only then and upward, and
// -(1 + 0.75 units) rounds down only then and downward.
inline bool rounding_to_nearest() {
    volatile double const step = 0x1.8p-53;
    return 1.0 + step == 1.0 + 0x1p-52 && -1.0 - step == -1.0 - 0x1p-52;
}

// A value, and how far it is from being the library's for sure: at most 0 where it is.
struct estimate {
    double value, off;
};

// out[i] = library(a[i]) for i < m: the estimate(a[i]) where that is sure, over runs of values at
// a time so that the estimates vectorise, and library(a[i]) elsewhere, value by value so that out
// may be a. Without usable estimates (tables that are not precise) or outside rounding to
// nearest, library alone.
template <class Estimate, class Library>
[[gnu::always_inline]] inline void values_as_library(double const *a, double *out, int m,
                                                     bool usable, Estimate estimate_of,
                                                     Library library) {
    if (!usable || !rounding_to_nearest()) {
        for (int i = 0; i < m; ++i) out[i] = library(a[i]);
        return;
    }
    constexpr int run = 256;
    double value[run], off[run];
    for (int first = 0; first < m; first += run) {
        int const count = std::min(run, m - first);
        double const *const x = a + first;
        for (int i = 0; i < count; ++i) {
            estimate const e = estimate_of(x[i]);
            value[i] = e.value;
            off[i] = e.off;
        }
        for (int i = 0; i < count; ++i) out[first + i] = off[i] <= 0 ? value[i] : library(x[i]);
    }
}

// With the processor's fused multiply-add where it has one: the C library's fma is a call. fma is
// exact, so every version gives the same bits. LAW_VECTOR_FMA also has a version for the widest
// vector unit, for loops over many values. One version under ThreadSanitizer, whose runtime is
// not up when the loader runs the clones' chooser, and under clang, which wants the clones on
// every declaration.
#if defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define LAW_WITH_FMA __attribute__((target_clones("fma", "default")))
#define LAW_VECTOR_FMA __attribute__((target_clones("avx512f", "fma", "default")))
#else
#define LAW_WITH_FMA
#define LAW_VECTOR_FMA
#endif
