#include <law/eval/log_shortcut.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include <law/core/lawutil_errors.h>
#include <law/eval/library_rounding.h>

double checked_log(double a) {
    if (a <= 0) law_error(LAW_LN);
    return std::log(a);
}

namespace {

// x = 2^k z with sqrt(1/2) <= z < sqrt(2); with j = round(256 / z), r = z j/256 - 1 is exact
// (below 2^-8 in size, on the grid of z's last bit over 256), and
// log x = k ln2 + log(256 / j) + log(1 + r).
constexpr std::uint64_t root_half_bits = 0x3fe6a09e667f3bcd;
constexpr int first_j = 181, last_j = 362;
// Units from the correctly rounded double within which it is log's: 1 - 0.52, less the table's
// and the series' errors (below 2^-62 of the value, 0.001 units).
constexpr double taken_within = 0.477;

// log(256 / j) in two parts, the first on the grid of 2^-32, from long double's log.
struct log_table {
    double hi[last_j - first_j + 1], lo[last_j - first_j + 1];
};

log_table const &table() {
    static log_table const t = [] {
        log_table t{};
        for (int j = first_j; j <= last_j; ++j) {
            long double const v = -std::log(j / 256.0L);  // j/256 is exact, 256/j is not
            double const hi = std::round(static_cast<double>(v) * 0x1p32) * 0x1p-32;
            t.hi[j - first_j] = hi;
            t.lo[j - first_j] = static_cast<double>(v - hi);
        }
        return t;
    }();
    return t;
}

// log x as hi + lo to about 2^-62 of itself, for a positive normal x; without a branch, so that
// it vectorises (other x give values that are not used, and no table place outside it).
[[gnu::always_inline]] inline two_doubles log_of(double x, log_table const &t) {
    std::uint64_t const ix = std::bit_cast<std::uint64_t>(x);
    std::int64_t const k = static_cast<std::int64_t>(ix - root_half_bits) >> 52;
    double const z = std::bit_cast<double>(ix - (static_cast<std::uint64_t>(k) << 52));
    double const kd = as_double(k);
    double const shifted = 256 / z + round_shift;
    std::int64_t const at = std::clamp<std::int64_t>(whole_in(shifted), first_j, last_j) - first_j;
    double const r = std::fma(z, (shifted - round_shift) * (1.0 / 256), -1.0);  // exact
    // log(1 + r) = r - r^2/2 + r^3 (1/3 - r/4 + ...), the head exactly.
    double const square = r * r, square_lo = std::fma(r, r, -square);
    double const head = r - 0.5 * square, head_lo = (r - head) - 0.5 * square;
    double const series =
        r * square *
        std::fma(
            r,
            std::fma(r, std::fma(r, std::fma(r, std::fma(r, -1.0 / 8, 1.0 / 7), -1.0 / 6), 1.0 / 5),
                     -1.0 / 4),
            1.0 / 3);
    // k ln2_hi + log(256/j)'s first part is exact, and no smaller than the head unless 0.
    double const whole = std::fma(kd, ln2_hi, t.hi[at]);
    double const sum = whole + head, sum_lo = head - (sum - whole);
    return settled(
        sum, sum_lo + (head_lo + (series - 0.5 * square_lo) + std::fma(kd, ln2_lo, t.lo[at])));
}

}  // namespace

// log for the values too near halfway between two doubles, and checked_log for those that are not
// positive normal doubles.
LAW_VECTOR_FMA void logs_as_log(double const *a, double *out, int m) {
    log_table const &t = table();
    values_as_library(
        a, out, m, precise_long_double,
        [&t](double x) {
            bool const normal = (x >= std::numeric_limits<double>::min()) &
                                (x <= std::numeric_limits<double>::max());
            two_doubles const v = log_of(x, t);
            return estimate{v.hi, normal ? beyond(v, taken_within) : 1.0};
        },
        &checked_log);
}
