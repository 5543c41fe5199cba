#include <law/eval/sine_shortcut.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include <law/eval/library_rounding.h>

namespace {

// x = k pi/2 + r with |r| <= pi/4, and r = i/64 + d with |d| <= 1/128: sin and cos of x are
// those of r, turned by the quarter k, and those of r come from sin and cos of i/64 in a table
// and short series in d.
constexpr int steps_per_unit = 64, table_size = 52;  // i/64 up to past pi/4
// pi/2 in three parts; a whole multiple of the first up to 2^20 leaves x - k p1 exact.
constexpr double half_pi_1 = 0x1.921fb54442d18p+0, half_pi_2 = 0x1.1a62633145c07p-54,
                 half_pi_3 = -0x1.f1976b7ed8fbcp-110, two_over_pi = 0x1.45f306dc9c883p-1;
// Arguments whose reduction above is exact enough, and whose values (at least 2^-61 of them, the
// nearest any double comes to a multiple of pi/2) have normal units.
constexpr double largest_argument = 0x1p20, smallest_argument = 0x1p-900;
// Within this of pi/2 the library's cosine errs by more than its bound (see taken below).
constexpr double near_half_pi = 0x1p-30;
// Units from the correctly rounded double within which it is the library's: 1 - 0.55, less the
// reduction's, the table's and the series' errors (below 2^-62 of the value, 0.001 units).
constexpr double taken_within = 0.445;

// sin and cos of i/64 in two doubles each, from long double's.
struct sine_table {
    two_doubles sin[table_size], cos[table_size];
};

sine_table const &table() {
    static sine_table const t = [] {
        sine_table t{};
        for (int i = 0; i < table_size; ++i) {
            long double const a = static_cast<long double>(i) / steps_per_unit;
            t.sin[i] = split(std::sin(a));
            t.cos[i] = split(std::cos(a));
        }
        return t;
    }();
    return t;
}

// sin and cos of x to about 2^-62 of themselves, for smallest_argument <= |x| <=
// largest_argument; without a branch, so that it vectorises (other x give values that are not
// used, and no table place outside it).
struct sine_and_cosine {
    two_doubles sin, cos;
};
[[gnu::always_inline]] inline sine_and_cosine sin_cos_of(double x, sine_table const &t) {
    double const shifted = x * two_over_pi + round_shift;
    double const kd = shifted - round_shift;
    std::int64_t const quarter = whole_in(shifted) & 3;
    // r = x - kd pi/2 as rh + rl: the first step is exact, the second's product exact, their sum
    // exact, the third below 2^-140.
    double const r1 = std::fma(-kd, half_pi_1, x);
    double const p = kd * half_pi_2, p_lo = std::fma(kd, half_pi_2, -p);
    double const rh = r1 - p, back = rh - r1;
    double const rl = ((r1 - (rh - back)) + (-p - back)) - p_lo - kd * half_pi_3;
    // On |r|: sin(-r) = -sin r.
    double const sign = rh < 0 ? -1.0 : 1.0, ar = std::fabs(rh), al = sign * rl;
    double const shifted_i = ar * steps_per_unit + round_shift;
    std::int64_t const i = std::clamp<std::int64_t>(whole_in(shifted_i), 0, table_size - 1);
    double const dh = ar - (shifted_i - round_shift) * (1.0 / steps_per_unit);  // exact
    double const d2 = dh * dh;
    // sin d - dh and cos d - 1, to far below 2^-62 for |d| <= 1/128.
    double const sin_rest =
        al + dh * d2 * std::fma(d2, std::fma(d2, -1.0 / 5040, 1.0 / 120), -1.0 / 6);
    double const cos_less_1 = d2 * std::fma(d2, std::fma(d2, -1.0 / 720, 1.0 / 24), -0.5) - dh * al;
    double const sh = t.sin[i].hi, sl = t.sin[i].lo, ch = t.cos[i].hi, cl = t.cos[i].lo;
    // sin(a + d) = S + C dh + (S (cos d - 1) + C (sin d - dh) + lows); cos(a + d) likewise.
    double const c_d = ch * dh, c_d_lo = std::fma(ch, dh, -c_d);
    double const s_d = sh * dh, s_d_lo = std::fma(sh, dh, -s_d);
    double const sin_first = sh + c_d, sin_first_lo = c_d - (sin_first - sh);
    double const cos_first = ch - s_d, cos_first_lo = (ch - cos_first) - s_d;
    double const sin_low =
        sin_first_lo + (c_d_lo + (sl + (sh * cos_less_1 + (ch * sin_rest + cl * dh))));
    double const cos_low =
        cos_first_lo - (s_d_lo - (cl + (ch * cos_less_1 - (sh * sin_rest + sl * dh))));
    two_doubles const s = settled(sin_first, sin_low), c = settled(cos_first, cos_low);
    // Turned by the quarter: sin x = sin r, cos r, -sin r, -cos r; cos x one quarter on.
    two_doubles const sin_r{sign * s.hi, sign * s.lo};
    bool const odd = quarter & 1, turned = quarter & 2, cos_turned = (quarter + 1) & 2;
    two_doubles const sin_x = odd ? c : sin_r, cos_x = odd ? sin_r : c;
    double const sin_sign = turned ? -1.0 : 1.0, cos_sign = cos_turned ? -1.0 : 1.0;
    return {{sin_sign * sin_x.hi, sin_sign * sin_x.lo}, {cos_sign * cos_x.hi, cos_sign * cos_x.lo}};
}

// The library's sine and cosine of x into place `at` of the outputs asked for (the other is
// null): one call of sincos for both.
template <bool sines, bool cosines>
[[gnu::always_inline]] inline void library_values(double x, double *sin_out, double *cos_out,
                                                  int at) {
    if constexpr (sines && cosines)
        ::sincos(x, sin_out + at, cos_out + at);
    else if constexpr (sines)
        sin_out[at] = std::sin(x);
    else
        cos_out[at] = std::cos(x);
}

// Whether x is an argument sin_cos_of takes, and one where the library keeps its bound. Its
// cosine reduces x near pi/2 to 106 bits only, which near pi/2 itself leaves too few for a
// result that small: at the double just past pi/2 its error is 0.56 units.
[[gnu::always_inline]] inline bool taken(double x) {
    double const m = std::fabs(x);
    return (m >= smallest_argument) & (m <= largest_argument) &
           (std::fabs(m - half_pi_1) >= near_half_pi);
}

// The values over runs of values at a time, so that the loop vectorises; the library then for the
// values too near halfway between two doubles, outside the arguments taken, or not numbers (one
// call of sincos for a pair).
template <bool sines, bool cosines>
[[gnu::always_inline]] inline void run(double const *a, double *sin_out, double *cos_out, int m) {
    if (!precise_long_double || !rounding_to_nearest()) {
        for (int i = 0; i < m; ++i) library_values<sines, cosines>(a[i], sin_out, cos_out, i);
        return;
    }
    sine_table const &t = table();
    constexpr int run = 256;
    double sin_value[run], cos_value[run], off[run];
    for (int first = 0; first < m; first += run) {
        int const count = std::min(run, m - first);
        double const *const x = a + first;
        for (int i = 0; i < count; ++i) {
            sine_and_cosine const v = sin_cos_of(x[i], t);
            sin_value[i] = v.sin.hi;
            cos_value[i] = v.cos.hi;
            double const sin_off = sines ? beyond(v.sin, taken_within) : 0.0,
                         cos_off = cosines ? beyond(v.cos, taken_within) : 0.0;
            off[i] = taken(x[i]) ? std::max(sin_off, cos_off) : 1.0;
        }
        // The values taken first, the others after: about one in five of a pair goes to the
        // library, and a branch at each value would often go the wrong way. Their arguments are
        // kept first, as an output may be a.
        int others[run], count_others = 0;
        for (int i = 0; i < count; ++i) {
            others[count_others] = i;
            count_others += off[i] > 0;
        }
        double other_x[run];
        for (int k = 0; k < count_others; ++k) other_x[k] = x[others[k]];
        if constexpr (sines) std::copy(sin_value, sin_value + count, sin_out + first);
        if constexpr (cosines) std::copy(cos_value, cos_value + count, cos_out + first);
        for (int k = 0; k < count_others; ++k) {
            library_values<sines, cosines>(other_x[k], sin_out, cos_out, first + others[k]);
        }
    }
}

}  // namespace

LAW_VECTOR_FMA void sines_as_sin(double const *a, double *out, int m) {
    run<true, false>(a, out, nullptr, m);
}

LAW_VECTOR_FMA void cosines_as_cos(double const *a, double *out, int m) {
    run<false, true>(a, nullptr, out, m);
}

LAW_VECTOR_FMA void sines_and_cosines(double const *a, double *sines, double *cosines, int m) {
    run<true, true>(a, sines, cosines, m);
}
