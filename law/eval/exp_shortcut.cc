#include <law/eval/exp_shortcut.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>

#include <law/eval/library_rounding.h>

namespace {

// exp(x) = 2^k * 2^(j/n) * exp(r), with x = (k n + j) ln2 / n + r and |r| <= ln2 / 2n.
constexpr int table_bits = 8, table_size = 1 << table_bits;
// Values that exp takes to normal doubles, with room for the reduction's whole numbers.
constexpr double largest_argument = 708;
// Units from the correctly rounded double within which it is exp's: 1 - 0.511, less the
// reduction's and the series' errors (below 2^-62 of the value, 0.001 units).
constexpr double taken_within = 0.487;

// 2^(j/n) in two doubles, to far below the 2^-62 the whole needs (from long double's exp2).
struct powers_of_two {
    two_doubles at[table_size];
};

powers_of_two const &table() {
    static powers_of_two const t = [] {
        powers_of_two t{};
        for (int j = 0; j < table_size; ++j)
            t.at[j] = split(std::exp2(static_cast<long double>(j) / table_size));
        return t;
    }();
    return t;
}

// exp(x) / 2^k as hi + lo, to about 2^-62 of itself, and 2^k, for |x| <= largest_argument;
// without a branch, so that it vectorises (other x give values that are not used).
struct scaled_value {
    two_doubles value;
    double scale;
};
[[gnu::always_inline]] inline scaled_value exp_of(double x, powers_of_two const &t) {
    double const shifted = x * (table_size / std::numbers::ln2) + round_shift;
    double const kd = shifted - round_shift;
    std::int64_t const ki = whole_in(shifted);
    std::int64_t const j = ki & (table_size - 1), k = ki >> table_bits;
    // x - kd ln2_hi / n is exact; the second part's product is rounded once into rh and once into
    // rl, both at most 2^-76 from the whole.
    double const r0 = std::fma(-kd, ln2_hi / table_size, x);
    double const rh = std::fma(-kd, ln2_lo / table_size, r0);
    double const rl = std::fma(-kd, ln2_lo / table_size, r0 - rh);
    // exp(r) - 1 - rh: the series to r^5 (the next term is below 2^-66).
    double const series =
        rl + rh * rh * std::fma(rh, std::fma(rh, std::fma(rh, 1.0 / 120, 1.0 / 24), 1.0 / 6), 0.5);
    // 2^(j/n) * exp(r) = th + th rh + (th series + tl (1 + rh)), th rh exactly.
    double const th = t.at[j].hi, tl = t.at[j].lo;
    double const product = th * rh, product_lo = std::fma(th, rh, -product);
    double const rest = std::fma(th, series, product_lo + std::fma(tl, rh, tl));
    double const first = th + product, first_lo = product - (first - th);
    double const second = first + rest, second_lo = rest - (second - first);
    double const scale = std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52);
    return {settled(second, first_lo + second_lo), scale};
}

}  // namespace

// exp for the values too near halfway between two doubles, too large, or not numbers.
LAW_VECTOR_FMA void exps_as_exp(double const *a, double *out, int m) {
    powers_of_two const &t = table();
    values_as_library(
        a, out, m, precise_long_double,
        [&t](double x) {
            scaled_value const v = exp_of(x, t);
            return estimate{v.value.hi * v.scale,
                            std::fabs(x) <= largest_argument ? beyond(v.value, taken_within) : 1.0};
        },
        [](double x) { return std::exp(x); });
}
