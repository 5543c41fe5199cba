#include <law/ops/function_rows.h>

#include <math.h>
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <numbers>
#include <utility>

#include <law/base/tolerance.h>
#include <law/eval/log_shortcut.h>
#include <law/lang/list_utils.h>
#include <law/ops/elementary_laws.h>
#include <law/ops/law_builders.h>

using build::apply;
using build::constant;
using build::divide;
using build::minus;
using build::negate;
using build::plus;
using build::times;

namespace {
constexpr double pi = std::numbers::pi;
// Beyond this argument sech and csch are 0 and sinh and cosh leave their domain.
constexpr double hyperbolic_limit = 200;
// The whole numbers the integer tests read (those of a 32-bit int).
constexpr double int32_low = INT_MIN, int32_high = INT_MAX;

// The names the values use besides a; plain code writes their literals.
constexpr std::pair<std::string_view, double> named_constants[] = {
    {"pi", pi},
    {"hyperbolic_limit", hyperbolic_limit},
    {"int32_low", int32_low},
    {"int32_high", int32_high},
};

// An argument of the inverse sine or cosine moved onto [-1, 1] (a NaN stays).
LAW_PLAIN_HELPER(unit_clamped, v < -1 ? -1.0 : 1 < v ? 1.0 : v);
constexpr plain_helper helpers[] = {unit_clamped_helper};

// Nearest whole multiple of pi to t, as k with |t - k pi| smallest.
double nearest_multiple_of_pi(double t) { return std::floor(t / pi + 0.5); }

bool near_multiple_of_pi(double t) {
    return std::fabs(t - nearest_multiple_of_pi(t) * pi) < resmch;
}

// a reduced by steps of pi into (-pi/2, pi/2] is not pi/2: away from the poles of tan and sec.
bool off_tan_poles(double a) {
    double r = std::fmod(a, pi);
    if (r > pi / 2)
        r -= pi;
    else if (r <= -pi / 2)
        r += pi;
    return !is_equal(r, pi / 2) && !is_equal(r, -pi / 2);
}

// a reduced by steps of pi into [0, pi) is not 0: away from the poles of cot and csc.
bool off_cot_poles(double a) {
    double r = std::fmod(a, pi);
    if (r < 0) r += pi;
    return !is_equal(r, 0) && !is_equal(r, pi);
}

bool unit_domain(double a) { return a >= -1 && a <= 1; }
bool outside_unit(double a) { return a <= -1 || a >= 1; }
bool below_hyperbolic_limit(double a) { return std::fabs(a) < hyperbolic_limit; }
bool off_zero(double a) { return !is_equal(a, 0); }

int unit_interval(law const *, int, ZEM::interval &out) {
    out = ZEM::interval(-1, 1);
    return 1;
}

// Whether the interval holds a point phase + k period (k whole).
bool holds_phase(ZEM::interval const &a, double phase, double period) {
    if (!a.finite()) return true;
    double const k = std::ceil((a.low() - phase) / period);
    return phase + k * period <= a.high();
}

ZEM::interval failed_bounds(int &failed, lawutil_error code) {
    failed = lawutil_code(code);
    return {1, 0};
}

ZEM::interval increasing(ZEM::interval const &a, double (*f)(double)) {
    return {f(a.low()), f(a.high())};
}

ZEM::interval decreasing(ZEM::interval const &a, double (*f)(double)) {
    return {f(a.high()), f(a.low())};
}

// A periodic function of period 2 pi between its values at the ends, widened to 1 at its maxima
// and to -1 at its minima.
ZEM::interval periodic_bounds(ZEM::interval const &a, double (*f)(double), double max_phase,
                              double min_phase) {
    if (!a.finite()) return {-1, 1};
    double lo = std::min(f(a.low()), f(a.high())), hi = std::max(f(a.low()), f(a.high()));
    if (holds_phase(a, max_phase, 2 * pi)) hi = 1;
    if (holds_phase(a, min_phase, 2 * pi)) lo = -1;
    return {lo, hi};
}

// 1 - A*A, A*A - 1 and 1 + A*A, the radicands of the inverse circular and hyperbolic
// derivatives.
law_ptr one_minus_square(law_ptr const &a) { return minus(constant(1), times(a, a)); }
law_ptr square_minus_one(law_ptr const &a) { return minus(times(a, a), constant(1)); }
law_ptr one_plus_square(law_ptr const &a) { return plus(constant(1), times(a, a)); }

// f(c1 * ... * (-k) * ... * cn): the first negative constant factor of a product argument made
// positive, or null when the argument has none.
law_ptr without_negative_factor(law const *a) {
    auto const *product = law_cast<times_law>(a);
    if (!product) return {};
    int n = 0;
    vorn_ptr<law *> const factors(get_asso_list(product, &n));
    for (int i = 0; i < n; ++i) {
        auto const *c = law_cast<constant_law>(factors.get()[i]);
        if (!c || !(c->value() < 0)) continue;
        law_ptr const positive = constant(-c->value());
        factors.get()[i] = positive.get();
        return adopt(make_list_law(factors.get(), n, product));
    }
    return {};
}

template <class Function>
law_ptr function_of(law_ptr const &a) {
    return apply<Function>(a);
}

law_ptr flat(law_ptr const &, int) { return constant(0); }

law_ptr inverse_tanh_factor(law_ptr const &a) { return divide(constant(1), one_minus_square(a)); }

// The values that bounds and other rows read again.
constexpr plain_value1 arcsinh_value = LAW_VALUE(std::log(std::sqrt(a * a + 1) + a));
constexpr plain_value1 arccosh_value = LAW_CHECKED_VALUE(
    a <= 1 - resmch, LAW_ARCCOSH, a <= 1 ? 0 : std::log(std::sqrt(a * a - 1) + a));
constexpr plain_value1 arctanh_value =
    LAW_CHECKED_VALUE(std::fabs(a) > 1 - resmch, LAW_ARCTANH, 0.5 * std::log((1 + a) / (1 - a)));

// The truth and integer tests.
constexpr function_row logic_rows[] = {
    {.id = law_id::not_law, .value = LAW_VALUE(a == 0 ? 1.0 : 0.0), .date_floor = 30100},
    {.id = law_id::set_law, .value = LAW_VALUE(a > 0 ? 1.0 : 0.0), .derivative = flat},
    {.id = law_id::even_law,
     .value = LAW_VALUE(a >= int32_low && a <= int32_high && static_cast<int>(a) == a &&
                                static_cast<int>(a) % 2 == 0
                            ? 1.0
                            : 0.0),
     .date_floor = 50000},
    {.id = law_id::odd_law,
     .value = LAW_VALUE(a >= int32_low && a <= int32_high && static_cast<int>(a) == a &&
                                static_cast<int>(a) % 2 != 0
                            ? 1.0
                            : 0.0),
     .date_floor = 50000},
    {.id = law_id::int_law,
     .value = LAW_VALUE(a >= int32_low && a <= int32_high && static_cast<int>(a) == a ? 1.0 : 0.0),
     .date_floor = 50000},
    {.id = law_id::prime_law,
     // Past the 32-bit range a whole number is tested exactly (every double from 2^53 up is
     // even): Miller-Rabin with the first twelve primes as bases, which no composite below
     // 3.3e24 passes, over 128-bit products. Written out whole so that plain code needs nothing.
     .value = LAW_BODY_VALUE({
         if (a > int32_high && a < 0x1p64 && a == std::floor(a)) {
             using u64 = unsigned long long;
             u64 const n = static_cast<u64>(a);
             auto times_mod = [n](u64 p, u64 q) {
                 return static_cast<u64>(static_cast<unsigned __int128>(p) * q % n);
             };
             u64 const bases[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
             for (u64 p : bases)
                 if (n % p == 0) return n == p ? 1 : 0;
             u64 d = n - 1;
             int s = 0;
             for (; d % 2 == 0; d /= 2) ++s;
             for (u64 base : bases) {
                 u64 w = 1;
                 for (u64 b = base, e = d; e; e >>= 1, b = times_mod(b, b))
                     if (e & 1) w = times_mod(w, b);
                 bool passes = w == 1 || w == n - 1;
                 for (int r = 1; r < s && !passes; ++r) passes = (w = times_mod(w, w)) == n - 1;
                 if (!passes) return 0;
             }
             return 1;
         }
         if (!(a >= int32_low && a <= int32_high) || static_cast<int>(a) != a) return 0;
         int const n = static_cast<int>(a);
         if (n <= 0 || n % 2 == 0) return 0;
         if (n < 4) return 1;
         int const r = static_cast<int>(std::sqrt(static_cast<float>(n)));
         for (int c = 3; c <= r; ++c)
             if (n % c == 0) return 0;
         return 1;
     }),
     .date_floor = 50000},
};

// Logarithm, exponential, rounding and the pseudo-random value.
constexpr function_row exponential_rows[] = {
    {.id = law_id::natural_log_law,
     .value = {&checked_log, "std::log(a)"},
     .domain = [](double a) { return a > 0; },
     .derivative = [](law_ptr const &a, int which) { return divide(build::d(a.get(), which), a); },
     .bounds =
         [](ZEM::interval const &a, int &failed) {
             if (a.low() <= 0) return failed_bounds(failed, LAW_LN);
             return increasing(a, [](double v) { return std::log(v); });
         }},
    {.id = law_id::exp_law,
     .value = LAW_LIBRARY_VALUE(exp),
     .domain = [](double a) { return a < 100; },
     .factor = function_of<exp_law>,
     .bounds = [](ZEM::interval const &a,
                  int &) { return increasing(a, [](double v) { return std::exp(v); }); }},
    {.id = law_id::floor_law,
     .value = LAW_VALUE(std::floor(a)),
     .derivative = flat,
     .date_floor = 70000},
    {.id = law_id::ceil_law,
     .value = LAW_VALUE(std::ceil(a)),
     .derivative = flat,
     .date_floor = 70000},
    {.id = law_id::rand_law,
     .value = LAW_BODY_VALUE({
         double const c = 100 * std::cos(a);
         return c - std::floor(c);
     }),
     .date_floor = 70000},
    {.id = law_id::abs_law,
     .value = LAW_VALUE(std::fabs(a)),
     // set(A) A' - (1 - set(A)) A': A' where A > 0 and -A' elsewhere.
     .derivative =
         [](law_ptr const &a, int which) {
             law_ptr const da = build::d(a.get(), which);
             law_ptr const positive = apply<set_law>(a);
             return minus(times(positive, da), times(minus(constant(1), positive), da));
         },
     .code = tape_code::abs},
    // As the tape's square root: 0 just below 0.
    {.id = law_id::sqrt_law,
     .value = LAW_CHECKED_VALUE(a <= -resmch, LAW_SQRT, a < 0 ? 0 : std::sqrt(a)),
     .domain = [](double a) { return a >= 0; },
     .factor =
         [](law_ptr const &a) {
             return divide(constant(1), times(constant(2), apply<sqrt_law>(a)));
         },
     .bounds =
         [](ZEM::interval const &a, int &failed) {
             if (a.high() <= -resmch) return failed_bounds(failed, LAW_SQRT);
             return ZEM::interval(std::sqrt(std::max(a.low(), 0.0)),
                                  std::sqrt(std::max(a.high(), 0.0)));
         },
     .simplify =
         [](law const *a, char const *&rule_name) {
             note_rule(rule_name, "sqrt(x)=x^.5");
             return build::power(share(a), constant(0.5));
         },
     .code = tape_code::sqrt},
};

// The circular functions.
constexpr function_row circular_rows[] = {
    {.id = law_id::sin_law,
     .value = LAW_LIBRARY_VALUE(sin),
     .factor = function_of<cos_law>,
     .bounds = [](ZEM::interval const &a,
                  int &) { return periodic_bounds(a, &::sin, pi / 2, 3 * pi / 2); },
     .simplify =
         [](law const *a, char const *&rule_name) {
             law_ptr const positive = without_negative_factor(a);
             if (!positive) return law_ptr();
             note_rule(rule_name, "sin(-CA)=-sin(CA)");
             return times(constant(-1), apply<sin_law>(positive));
         }},
    {.id = law_id::cos_law,
     .value = LAW_LIBRARY_VALUE(cos),
     .factor = [](law_ptr const &a) { return negate(apply<sin_law>(a)); },
     .bounds = [](ZEM::interval const &a, int &) { return periodic_bounds(a, &::cos, 0, pi); },
     .simplify =
         [](law const *a, char const *&rule_name) {
             law_ptr const positive = without_negative_factor(a);
             if (!positive) return law_ptr();
             note_rule(rule_name, "cos(-CA)=cos(CA)");
             return apply<cos_law>(positive);
         }},
    {.id = law_id::tan_law,
     .value = LAW_CHECKED_VALUE(near_multiple_of_pi(a - pi / 2), LAW_TAN, std::tan(a)),
     .domain = off_tan_poles,
     .factor = [](law_ptr const &a) { return times(apply<sec_law>(a), apply<sec_law>(a)); },
     .bounds =
         [](ZEM::interval const &a, int &failed) {
             if (holds_phase(a, pi / 2, pi)) return failed_bounds(failed, LAW_TAN);
             return increasing(a, [](double v) { return std::tan(v); });
         }},
    {.id = law_id::cot_law,
     .value = LAW_CHECKED_VALUE(near_multiple_of_pi(a), LAW_COT, std::tan(pi / 2 - a)),
     .domain = off_cot_poles,
     .factor =
         [](law_ptr const &a) { return negate(times(apply<csc_law>(a), apply<csc_law>(a))); }},
    {.id = law_id::sec_law,
     .value = LAW_CHECKED_VALUE(std::fabs(std::cos(a)) < resmch, LAW_SEC, 1 / std::cos(a)),
     .domain = off_tan_poles,
     .factor = [](law_ptr const &a) { return times(apply<sec_law>(a), apply<tan_law>(a)); }},
    {.id = law_id::csc_law,
     .value = LAW_CHECKED_VALUE(std::fabs(std::sin(a)) < resmch, LAW_CSC, 1 / std::sin(a)),
     .domain = off_cot_poles,
     .factor =
         [](law_ptr const &a) { return negate(times(apply<csc_law>(a), apply<cot_law>(a))); }},
};

// The inverse circular functions. An argument of ARCSIN or ARCCOS within resmch of [-1, 1] is
// moved onto it. ARCSEC and ARCCSC take acos(1/a) and asin(1/a) for a >= 1 and -acos(1/a) and
// -pi - asin(1/a) for a <= -1: the branches on which their derivatives are 1/(a sqrt(a^2-1))
// and -1/(a sqrt(a^2-1)) on both sides.
constexpr function_row inverse_circular_rows[] = {
    {.id = law_id::arcsin_law,
     .value = LAW_CHECKED_VALUE(std::fabs(a) > 1 + resmch, LAW_ARCSIN, std::asin(unit_clamped(a))),
     .domain = unit_domain,
     .factor =
         [](law_ptr const &a) { return divide(constant(1), apply<sqrt_law>(one_minus_square(a))); },
     .term_domain = unit_interval,
     .bounds =
         [](ZEM::interval const &a, int &) {
             return increasing(a, [](double v) { return std::asin(unit_clamped(v)); });
         }},
    {.id = law_id::arccos_law,
     .value = LAW_CHECKED_VALUE(std::fabs(a) > 1 + resmch, LAW_ARCCOS, std::acos(unit_clamped(a))),
     .domain = unit_domain,
     .factor =
         [](law_ptr const &a) {
             return negate(divide(constant(1), apply<sqrt_law>(one_minus_square(a))));
         },
     // The inputs that A maps onto [-1, 1], when A can be undone.
     .term_domain =
         [](law const *a, int, ZEM::interval &out) {
             law_ptr const undo = adopt(a->inverse());
             if (!undo) return 0;
             double const lo = undo->eval(-1), hi = undo->eval(1);
             out = ZEM::interval(std::min(lo, hi), std::max(lo, hi));
             return 1;
         },
     .bounds =
         [](ZEM::interval const &a, int &) {
             return decreasing(a, [](double v) { return std::acos(unit_clamped(v)); });
         }},
    // atan(1/a) + pi on both sides of 0, so the branch is continuous through negative a.
    {.id = law_id::arccot_law,
     .value = LAW_VALUE(a == 0 ? pi / 2 : std::atan(1 / a) + pi),
     .factor = [](law_ptr const &a) { return negate(divide(constant(1), one_plus_square(a))); }},
    {.id = law_id::arcsec_law,
     .value = LAW_CHECKED_VALUE(a > -1 && a < 1, LAW_ARCSEC,
                                (a < 0 ? -1.0 : 1.0) * std::acos(unit_clamped(1 / a))),
     .domain = outside_unit,
     .factor =
         [](law_ptr const &a) {
             return divide(constant(1), times(a, apply<sqrt_law>(square_minus_one(a))));
         },
     .term_domain = [](law const *a, int which,
                       ZEM::interval &out) { return a->law::term_domain(which, out); }},
    {.id = law_id::arccsc_law,
     .value = LAW_CHECKED_VALUE(
         a > -1 && a < 1, LAW_ARCCSC,
         a < 0 ? -pi - std::asin(unit_clamped(1 / a)) : std::asin(unit_clamped(1 / a))),
     .domain = outside_unit,
     .factor =
         [](law_ptr const &a) {
             return negate(divide(constant(1), times(a, apply<sqrt_law>(square_minus_one(a)))));
         }},
};

// The hyperbolic functions.
constexpr function_row hyperbolic_rows[] = {
    {.id = law_id::sinh_law,
     .value = LAW_LIBRARY_VALUE(sinh),
     .domain = below_hyperbolic_limit,
     .factor = function_of<cosh_law>,
     .bounds = [](ZEM::interval const &a,
                  int &) { return increasing(a, [](double v) { return std::sinh(v); }); }},
    {.id = law_id::cosh_law,
     .value = LAW_LIBRARY_VALUE(cosh),
     .domain = below_hyperbolic_limit,
     .factor = function_of<sinh_law>,
     .bounds =
         [](ZEM::interval const &a, int &) {
             double const lo = std::cosh(a.low()), hi = std::cosh(a.high());
             double const least = a.contains(0) ? 1.0 : std::min(lo, hi);
             return ZEM::interval(least, std::max(lo, hi));
         }},
    {.id = law_id::tanh_law,
     .value = LAW_LIBRARY_VALUE(tanh),
     .factor = [](law_ptr const &a) { return times(apply<sech_law>(a), apply<sech_law>(a)); },
     .bounds = [](ZEM::interval const &a,
                  int &) { return increasing(a, [](double v) { return std::tanh(v); }); }},
    {.id = law_id::coth_law,
     .value = LAW_CHECKED_VALUE(std::fabs(std::tanh(a)) < resmch, LAW_COTH, 1 / std::tanh(a)),
     .domain = off_zero,
     .factor =
         [](law_ptr const &a) { return negate(times(apply<csch_law>(a), apply<csch_law>(a))); }},
    {.id = law_id::sech_law,
     .value = LAW_VALUE(std::fabs(a) > hyperbolic_limit ? 0 : 1 / std::cosh(a)),
     .factor =
         [](law_ptr const &a) { return negate(times(apply<sech_law>(a), apply<tanh_law>(a))); }},
    {.id = law_id::csch_law,
     .value =
         LAW_CHECKED_VALUE(std::fabs(a) <= hyperbolic_limit && std::fabs(std::sinh(a)) < resmch,
                           LAW_CSCH, std::fabs(a) > hyperbolic_limit ? 0 : 1 / std::sinh(a)),
     .domain = off_zero,
     .factor =
         [](law_ptr const &a) { return negate(times(apply<csch_law>(a), apply<coth_law>(a))); }},
};

// The inverse hyperbolic functions.
constexpr function_row inverse_hyperbolic_rows[] = {
    {.id = law_id::arcsinh_law,
     .value = arcsinh_value,
     .factor =
         [](law_ptr const &a) { return divide(constant(1), apply<sqrt_law>(one_plus_square(a))); },
     .bounds = [](ZEM::interval const &a, int &) { return increasing(a, arcsinh_value.fn); }},
    {.id = law_id::arccosh_law,
     .value = arccosh_value,
     .factor =
         [](law_ptr const &a) { return divide(constant(1), apply<sqrt_law>(square_minus_one(a))); },
     .term_domain =
         [](law const *, int, ZEM::interval &out) {
             out = ZEM::interval::below(1);
             return 1;
         },
     .bounds =
         [](ZEM::interval const &a, int &failed) {
             if (a.high() <= 1 - resmch) return failed_bounds(failed, LAW_ARCCOSH);
             return ZEM::interval(arccosh_value.fn(std::max(a.low(), 1.0)),
                                  arccosh_value.fn(a.high()));
         }},
    {.id = law_id::arctanh_law,
     .value = arctanh_value,
     .domain = [](double a) { return a > -1 && a < 1; },
     .factor = inverse_tanh_factor,
     .term_domain = unit_interval,
     .bounds =
         [](ZEM::interval const &a, int &failed) {
             if (a.low() < -1 + resmch || a.high() > 1 - resmch)
                 return failed_bounds(failed, LAW_ARCTANH);
             return increasing(a, arctanh_value.fn);
         }},
    {.id = law_id::arccoth_law,
     .value = LAW_CHECKED_VALUE(a >= -1 && a <= 1, LAW_ARCCOTH, 0.5 * std::log((a + 1) / (a - 1))),
     .domain = [](double a) { return a > 1 || a < -1; },
     .factor = inverse_tanh_factor},
    {.id = law_id::arcsech_law,
     .value =
         LAW_CHECKED_VALUE(a <= 0 || a > 1, LAW_ARCSECH, std::log((1 + std::sqrt(1 - a * a)) / a)),
     .domain = [](double a) { return a > 0 && a <= 1; },
     .factor =
         [](law_ptr const &a) {
             return divide(constant(-1), times(a, apply<sqrt_law>(one_minus_square(a))));
         },
     .term_domain =
         [](law const *, int, ZEM::interval &out) {
             out = ZEM::interval(0, 1);
             return 1;
         }},
    {.id = law_id::arccsch_law,
     .value = LAW_CHECKED_VALUE(
         std::fabs(a) < 1e-10, LAW_ARCCSCH,
         std::log((a > 0 ? 1 + std::sqrt(a * a + 1) : 1 - std::sqrt(a * a + 1)) / a)),
     .domain = off_zero,
     .factor =
         [](law_ptr const &a) {
             return divide(constant(-1),
                           times(apply<abs_law>(a), apply<sqrt_law>(one_plus_square(a))));
         }},
};

}  // namespace

function_row const &function_row_of(int id) {
    static std::array<function_row const *, law_class_count> const rows = [] {
        std::array<function_row const *, law_class_count> index{};
        for (auto const &group : {std::span<function_row const>(logic_rows),
                                  std::span<function_row const>(exponential_rows),
                                  std::span<function_row const>(circular_rows),
                                  std::span<function_row const>(inverse_circular_rows),
                                  std::span<function_row const>(hyperbolic_rows),
                                  std::span<function_row const>(inverse_hyperbolic_rows)})
            for (function_row const &row : group) index[static_cast<std::size_t>(row.id)] = &row;
        return index;
    }();
    if (id < 0 || id >= law_class_count || !rows[static_cast<std::size_t>(id)]) law_error(LAW_EVAL);
    return *rows[static_cast<std::size_t>(id)];
}

std::string function_text(function_row const &row) {
    return plain_text_of(row.value, named_constants);
}

std::span<plain_helper const> function_helpers() { return helpers; }
