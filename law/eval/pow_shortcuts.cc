#include <law/eval/pow_shortcuts.h>

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

// The correctly rounded value is taken where its error is at most this many units.
constexpr double taken_within = 0.44;

// Values whose unit in the last place, and the units of their errors, are normal doubles.
bool well_inside(double v) {
    double const m = std::fabs(v);
    return m >= 0x1p-900 && m <= 0x1p+900;
}

// The smaller spacing of doubles next to v (normal, not zero): below a power of two the spacing
// halves.
double unit_at(double v) {
    std::uint64_t const bits = std::bit_cast<std::uint64_t>(v);
    double const unit = std::bit_cast<double>(bits & 0x7ff0000000000000ULL) * 0x1p-52;
    return (bits & 0x000fffffffffffffULL) == 0 ? unit / 2 : unit;
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
