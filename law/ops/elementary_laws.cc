#include <law/ops/elementary_laws.h>

#include <math.h>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include <law/base/tolerance.h>
#include <law/core/deep_tree.h>
#include <law/eval/tape_builder.h>
#include <law/lang/law_list.h>
#include <law/lang/list_utils.h>
#include <law/ops/law_builders.h>
#include <law/ops/whole_primes.h>

using build::apply;
using build::constant;
using build::divide;
using build::minus;
using build::negate;
using build::plus;
using build::times;

// What sets one function class apart from the others. A null entry takes the family behaviour.
struct function_rules {
    // The value at a; raises the class's domain error.
    double (*value)(double a) = nullptr;
    // Whether a lies in the domain (the sub-law's own domain is checked first).
    bool (*domain)(double a) = nullptr;
    // f' in the chain rule f(A)' = f'(A) * A'.
    law_ptr (*factor)(law_ptr const &a) = nullptr;
    // A derivative that is not a plain chain rule.
    law_ptr (*derivative)(law_ptr const &a, int which) = nullptr;
    int (*term_domain)(law const *a, int which, ZEM::interval &out) = nullptr;
    // Bounds of the value from bounds of the argument; a failure sets `failed`.
    ZEM::interval (*bounds)(ZEM::interval const &a, int &failed) = nullptr;
    law_ptr (*simplify)(law const *a, char const *&rule_name) = nullptr;
    // The first version that can save the class.
    int date_floor = 0;
    // The tape's own operation when the value is one instruction.
    tape_code code = tape_code::call1;
};

namespace {
constexpr double pi = std::numbers::pi;

// Beyond this argument sech and csch are 0 and sinh and cosh leave their domain.
constexpr double hyperbolic_limit = 200;

[[noreturn]] void domain_error(lawutil_error code) { law_error(code); }

// a truncated to a 32-bit integer, when a is exactly that integer.
bool whole_int32(double a, int &n) {
    if (!(a >= INT_MIN && a <= INT_MAX)) return false;
    n = static_cast<int>(a);
    return n == a;
}

double prime_test(double a) {
    int n = 0;
    // A whole number past the 32-bit range is tested exactly; every double from 2^53 up is even.
    if (a > INT_MAX && a < 0x1p64 && a == std::floor(a))
        return is_prime(static_cast<std::uint64_t>(a)) ? 1 : 0;
    if (!whole_int32(a, n) || n <= 0 || n % 2 == 0) return 0;
    if (n < 4) return 1;
    int const r = static_cast<int>(std::sqrt(static_cast<float>(n)));
    for (int c = 3; c <= r; ++c)
        if (n % c == 0) return 0;
    return 1;
}

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

// An argument of the inverse sine or cosine, within resmch of [-1, 1], moved onto it.
double unit_argument(double a, lawutil_error code) {
    if (std::fabs(a) > 1 + resmch) domain_error(code);
    return std::clamp(a, -1.0, 1.0);
}

// 1/a for the inverse secant and cosecant, defined for |a| >= 1.
double reciprocal_argument(double a, lawutil_error code) {
    if (a > -1 && a < 1) domain_error(code);
    return std::clamp(1 / a, -1.0, 1.0);
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

// Where a value is the C library's function and nothing more, the table holds that function
// itself: a compiled law then calls it with no call in between.
double (*const sin_value)(double) = &::sin;
double (*const cos_value)(double) = &::cos;
double arcsinh_value(double a) { return std::log(std::sqrt(a * a + 1) + a); }
double arccosh_value(double a) {
    if (a <= 1 - resmch) domain_error(LAW_ARCCOSH);
    return a <= 1 ? 0 : std::log(std::sqrt(a * a - 1) + a);
}
double arctanh_value(double a) {
    if (std::fabs(a) > 1 - resmch) domain_error(LAW_ARCTANH);
    return 0.5 * std::log((1 + a) / (1 - a));
}

// 1 - A*A and A*A - 1, the radicands of the inverse circular and hyperbolic derivatives.
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

std::vector<function_rules> make_rules() {
    std::vector<function_rules> rows(law_class_count);
    namespace id = law_id;
    rows[id::not_law] = {.value = [](double a) { return a == 0 ? 1.0 : 0.0; }, .date_floor = 30100};
    rows[id::even_law] = {.value =
                              [](double a) {
                                  int n = 0;
                                  return whole_int32(a, n) && n % 2 == 0 ? 1.0 : 0.0;
                              },
                          .date_floor = 50000};
    rows[id::odd_law] = {.value =
                             [](double a) {
                                 int n = 0;
                                 return whole_int32(a, n) && n % 2 != 0 ? 1.0 : 0.0;
                             },
                         .date_floor = 50000};
    rows[id::int_law] = {.value =
                             [](double a) {
                                 int n = 0;
                                 return whole_int32(a, n) ? 1.0 : 0.0;
                             },
                         .date_floor = 50000};
    rows[id::prime_law] = {.value = prime_test, .date_floor = 50000};
    rows[id::set_law] = {
        .value = [](double a) { return a > 0 ? 1.0 : 0.0; },
        .derivative = [](law_ptr const &, int) { return constant(0); },
    };
    rows[id::natural_log_law] = {
        .value =
            [](double a) {
                if (a <= 0) domain_error(LAW_LN);
                return std::log(a);
            },
        .domain = [](double a) { return a > 0; },
        .derivative = [](law_ptr const &a,
                         int which) { return divide(build::d(a.get(), which), a); },
        .bounds =
            [](ZEM::interval const &a, int &failed) {
                if (a.low() <= 0) return failed_bounds(failed, LAW_LN);
                return increasing(a, [](double v) { return std::log(v); });
            },
    };
    rows[id::exp_law] = {
        .value = &::exp,
        .domain = [](double a) { return a < 100; },
        .factor = function_of<exp_law>,
        .bounds = [](ZEM::interval const &a,
                     int &) { return increasing(a, [](double v) { return std::exp(v); }); },
    };
    auto const flat = [](law_ptr const &, int) { return constant(0); };
    rows[id::floor_law] = {
        .value = [](double a) { return std::floor(a); }, .derivative = flat, .date_floor = 70000};
    rows[id::ceil_law] = {
        .value = [](double a) { return std::ceil(a); }, .derivative = flat, .date_floor = 70000};
    rows[id::rand_law] = {.value =
                              [](double a) {
                                  double const c = 100 * std::cos(a);
                                  return c - std::floor(c);
                              },
                          .date_floor = 70000};
    rows[id::sin_law] = {
        .value = sin_value,
        .factor = function_of<cos_law>,
        .bounds = [](ZEM::interval const &a,
                     int &) { return periodic_bounds(a, sin_value, pi / 2, 3 * pi / 2); },
        .simplify =
            [](law const *a, char const *&rule_name) {
                law_ptr const positive = without_negative_factor(a);
                if (!positive) return law_ptr();
                note_rule(rule_name, "sin(-CA)=-sin(CA)");
                return times(constant(-1), apply<sin_law>(positive));
            },
    };
    rows[id::cos_law] = {
        .value = cos_value,
        .factor = [](law_ptr const &a) { return negate(apply<sin_law>(a)); },
        .bounds = [](ZEM::interval const &a,
                     int &) { return periodic_bounds(a, cos_value, 0, pi); },
        .simplify =
            [](law const *a, char const *&rule_name) {
                law_ptr const positive = without_negative_factor(a);
                if (!positive) return law_ptr();
                note_rule(rule_name, "cos(-CA)=cos(CA)");
                return apply<cos_law>(positive);
            },
    };
    rows[id::tan_law] = {
        .value =
            [](double a) {
                if (near_multiple_of_pi(a - pi / 2)) domain_error(LAW_TAN);
                return std::tan(a);
            },
        .domain = off_tan_poles,
        .factor = [](law_ptr const &a) { return times(apply<sec_law>(a), apply<sec_law>(a)); },
        .bounds =
            [](ZEM::interval const &a, int &failed) {
                if (holds_phase(a, pi / 2, pi)) return failed_bounds(failed, LAW_TAN);
                return increasing(a, [](double v) { return std::tan(v); });
            },
    };
    rows[id::cot_law] = {
        .value =
            [](double a) {
                if (near_multiple_of_pi(a)) domain_error(LAW_COT);
                return std::tan(pi / 2 - a);
            },
        .domain = off_cot_poles,
        .factor =
            [](law_ptr const &a) { return negate(times(apply<csc_law>(a), apply<csc_law>(a))); },
    };
    rows[id::sec_law] = {
        .value =
            [](double a) {
                if (std::fabs(std::cos(a)) < resmch) domain_error(LAW_SEC);
                return 1 / std::cos(a);
            },
        .domain = off_tan_poles,
        .factor = [](law_ptr const &a) { return times(apply<sec_law>(a), apply<tan_law>(a)); },
    };
    rows[id::csc_law] = {
        .value =
            [](double a) {
                if (std::fabs(std::sin(a)) < resmch) domain_error(LAW_CSC);
                return 1 / std::sin(a);
            },
        .domain = off_cot_poles,
        .factor =
            [](law_ptr const &a) { return negate(times(apply<csc_law>(a), apply<cot_law>(a))); },
    };
    auto const unit_domain = [](double a) { return a >= -1 && a <= 1; };
    auto const unit_interval = [](law const *, int, ZEM::interval &out) {
        out = ZEM::interval(-1, 1);
        return 1;
    };
    rows[id::arcsin_law] = {
        .value = [](double a) { return std::asin(unit_argument(a, LAW_ARCSIN)); },
        .domain = unit_domain,
        .factor =
            [](law_ptr const &a) {
                return divide(constant(1), apply<sqrt_law>(one_minus_square(a)));
            },
        .term_domain = unit_interval,
        .bounds =
            [](ZEM::interval const &a, int &) {
                return increasing(a, [](double v) { return std::asin(std::clamp(v, -1.0, 1.0)); });
            },
    };
    rows[id::arccos_law] = {
        .value = [](double a) { return std::acos(unit_argument(a, LAW_ARCCOS)); },
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
                return decreasing(a, [](double v) { return std::acos(std::clamp(v, -1.0, 1.0)); });
            },
    };
    rows[id::arccot_law] = {
        // atan(1/a) + pi on both sides of 0, so the branch is continuous through negative a.
        .value = [](double a) { return a == 0 ? pi / 2 : std::atan(1 / a) + pi; },
        .factor = [](law_ptr const &a) { return negate(divide(constant(1), one_plus_square(a))); },
    };
    // ARCSEC and ARCCSC take acos(1/a) and asin(1/a) for a >= 1 and -acos(1/a) and
    // -pi - asin(1/a) for a <= -1: the branches on which their derivatives are
    // 1/(a sqrt(a^2-1)) and -1/(a sqrt(a^2-1)) on both sides.
    auto const outside_unit = [](double a) { return a <= -1 || a >= 1; };
    auto const secant_radical = [](law_ptr const &a) {
        return divide(constant(1), times(a, apply<sqrt_law>(square_minus_one(a))));
    };
    rows[id::arcsec_law] = {
        .value =
            [](double a) {
                double const r = std::acos(reciprocal_argument(a, LAW_ARCSEC));
                return a < 0 ? -r : r;
            },
        .domain = outside_unit,
        .factor = secant_radical,
        .term_domain = [](law const *a, int which,
                          ZEM::interval &out) { return a->law::term_domain(which, out); },
    };
    rows[id::arccsc_law] = {
        .value =
            [](double a) {
                double const r = std::asin(reciprocal_argument(a, LAW_ARCCSC));
                return a < 0 ? -pi - r : r;
            },
        .domain = outside_unit,
        .factor =
            [](law_ptr const &a) {
                return negate(divide(constant(1), times(a, apply<sqrt_law>(square_minus_one(a)))));
            },
    };
    auto const below_hyperbolic_limit = [](double a) { return std::fabs(a) < hyperbolic_limit; };
    rows[id::sinh_law] = {
        .value = &::sinh,
        .domain = below_hyperbolic_limit,
        .factor = function_of<cosh_law>,
        .bounds = [](ZEM::interval const &a,
                     int &) { return increasing(a, [](double v) { return std::sinh(v); }); },
    };
    rows[id::cosh_law] = {
        .value = &::cosh,
        .domain = below_hyperbolic_limit,
        .factor = function_of<sinh_law>,
        .bounds =
            [](ZEM::interval const &a, int &) {
                double const lo = std::cosh(a.low()), hi = std::cosh(a.high());
                double const least = a.contains(0) ? 1.0 : std::min(lo, hi);
                return ZEM::interval(least, std::max(lo, hi));
            },
    };
    rows[id::tanh_law] = {
        .value = &::tanh,
        .factor = [](law_ptr const &a) { return times(apply<sech_law>(a), apply<sech_law>(a)); },
        .bounds = [](ZEM::interval const &a,
                     int &) { return increasing(a, [](double v) { return std::tanh(v); }); },
    };
    auto const off_zero = [](double a) { return !is_equal(a, 0); };
    rows[id::coth_law] = {
        .value =
            [](double a) {
                if (std::fabs(std::tanh(a)) < resmch) domain_error(LAW_COTH);
                return 1 / std::tanh(a);
            },
        .domain = off_zero,
        .factor =
            [](law_ptr const &a) { return negate(times(apply<csch_law>(a), apply<csch_law>(a))); },
    };
    rows[id::sech_law] = {
        .value = [](double a) { return std::fabs(a) > hyperbolic_limit ? 0 : 1 / std::cosh(a); },
        .factor =
            [](law_ptr const &a) { return negate(times(apply<sech_law>(a), apply<tanh_law>(a))); },
    };
    rows[id::csch_law] = {
        .value =
            [](double a) {
                if (std::fabs(a) > hyperbolic_limit) return 0.0;
                if (std::fabs(std::sinh(a)) < resmch) domain_error(LAW_CSCH);
                return 1 / std::sinh(a);
            },
        .domain = off_zero,
        .factor =
            [](law_ptr const &a) { return negate(times(apply<csch_law>(a), apply<coth_law>(a))); },
    };
    rows[id::arcsinh_law] = {
        .value = arcsinh_value,
        .factor =
            [](law_ptr const &a) {
                return divide(constant(1), apply<sqrt_law>(one_plus_square(a)));
            },
        .bounds = [](ZEM::interval const &a, int &) { return increasing(a, arcsinh_value); },
    };
    rows[id::arccosh_law] = {
        .value = arccosh_value,
        .factor =
            [](law_ptr const &a) {
                return divide(constant(1), apply<sqrt_law>(square_minus_one(a)));
            },
        .term_domain =
            [](law const *, int, ZEM::interval &out) {
                out = ZEM::interval::below(1);
                return 1;
            },
        .bounds =
            [](ZEM::interval const &a, int &failed) {
                if (a.high() <= 1 - resmch) return failed_bounds(failed, LAW_ARCCOSH);
                return ZEM::interval(arccosh_value(std::max(a.low(), 1.0)),
                                     arccosh_value(a.high()));
            },
    };
    auto const inverse_tanh_factor = [](law_ptr const &a) {
        return divide(constant(1), one_minus_square(a));
    };
    rows[id::arctanh_law] = {
        .value = arctanh_value,
        .domain = [](double a) { return a > -1 && a < 1; },
        .factor = inverse_tanh_factor,
        .term_domain = unit_interval,
        .bounds =
            [](ZEM::interval const &a, int &failed) {
                if (a.low() < -1 + resmch || a.high() > 1 - resmch)
                    return failed_bounds(failed, LAW_ARCTANH);
                return increasing(a, arctanh_value);
            },
    };
    rows[id::arccoth_law] = {
        .value =
            [](double a) {
                if (a >= -1 && a <= 1) domain_error(LAW_ARCCOTH);
                return 0.5 * std::log((a + 1) / (a - 1));
            },
        .domain = [](double a) { return a > 1 || a < -1; },
        .factor = inverse_tanh_factor,
    };
    rows[id::arcsech_law] = {
        .value =
            [](double a) {
                if (a <= 0 || a > 1) domain_error(LAW_ARCSECH);
                return std::log((1 + std::sqrt(1 - a * a)) / a);
            },
        .domain = [](double a) { return a > 0 && a <= 1; },
        .factor =
            [](law_ptr const &a) {
                return divide(constant(-1), times(a, apply<sqrt_law>(one_minus_square(a))));
            },
        .term_domain =
            [](law const *, int, ZEM::interval &out) {
                out = ZEM::interval(0, 1);
                return 1;
            },
    };
    rows[id::arccsch_law] = {
        .value =
            [](double a) {
                if (std::fabs(a) < 1e-10) domain_error(LAW_ARCCSCH);
                double const root = std::sqrt(a * a + 1);
                return std::log((a > 0 ? 1 + root : 1 - root) / a);
            },
        .domain = off_zero,
        .factor =
            [](law_ptr const &a) {
                return divide(constant(-1),
                              times(apply<abs_law>(a), apply<sqrt_law>(one_plus_square(a))));
            },
    };
    rows[id::abs_law] = {
        .value = [](double a) { return std::fabs(a); },
        // set(A) A' - (1 - set(A)) A': A' where A > 0 and -A' elsewhere.
        .derivative =
            [](law_ptr const &a, int which) {
                law_ptr const da = build::d(a.get(), which);
                law_ptr const positive = apply<set_law>(a);
                return minus(times(positive, da), times(minus(constant(1), positive), da));
            },
        .code = tape_code::abs,
    };
    rows[id::sqrt_law] = {
        .value = tape_sqrt,
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
        .code = tape_code::sqrt,
    };
    return rows;
}

template <class... Function>
struct registrations {
    law_list entries[sizeof...(Function)] = {law_list(new Function(nullptr))...};
};

registrations<not_law, even_law, odd_law, int_law, prime_law, set_law, natural_log_law, exp_law,
              floor_law, ceil_law, rand_law, sin_law, cos_law, tan_law, cot_law, sec_law, csc_law,
              arcsin_law, arccos_law, arccot_law, arcsec_law, arccsc_law, sinh_law, cosh_law,
              tanh_law, coth_law, sech_law, csch_law, arcsinh_law, arccosh_law, arctanh_law,
              arccoth_law, arcsech_law, arccsch_law, abs_law, sqrt_law>
    function_registrations;
}  // namespace

function_rules const &function_rules_of(int id) {
    static std::vector<function_rules> const rows = make_rules();
    if (id < 0 || id >= law_class_count || !rows[id].value) law_error(LAW_EVAL);
    return rows[id];
}

double function_law::value_at(double a) const { return rules_->value(a); }

void function_law::evaluate(double const *x, double *y) const {
    if (taped_evaluate(x, y)) return;
    if (!fsub()) law_error(LAW_EVAL);
    y[0] = rules_->value(sub_value(x));
}

// Only the first value of the sub-law counts, as in evaluate.
bool function_law::compiles_as_operation(side_operation &f) const {
    if (!fsub()) return false;
    f.sides[0] = fsub();
    f.count = 1;
    f.emit = [](tape_builder &t, law const *self, int a, int) {
        function_rules const &rules = *static_cast<function_law const *>(self)->rules_;
        if (rules.code != tape_code::call1) return t.op(rules.code, a);
        return t.call1(rules.value, a);
    };
    return true;
}

int function_law::in_domain(double const *x) const {
    if (!fsub() || !unary_law::in_domain(x)) return 0;
    if (!rules_->domain) return 1;
    try {
        return rules_->domain(sub_value(x)) ? 1 : 0;
    } catch (vorn_exception const &) {
        return 0;
    }
}

int function_law::term_domain(int which, ZEM::interval &out) const {
    if (!rules_->term_domain || !fsub()) return unary_law::term_domain(which, out);
    return rules_->term_domain(fsub(), which, out);
}

ZEM::interval function_law::estimate_bounds(ZEM::interval const &domain, int &failed) const {
    if (!rules_->bounds || !fsub()) return law::estimate_bounds(domain, failed);
    bounds_scope const scope(this, domain);
    failed = 0;
    ZEM::interval const a = bounds_scope::sub_bounds(fsub(), domain, failed);
    if (failed) return a;
    return rules_->bounds(a, failed);
}

law *function_law::sub_simplify(int, char const *&rule_name) const {
    if (!rules_->simplify || !fsub()) return nullptr;
    return rules_->simplify(fsub(), rule_name).release();
}

int function_law::date() const { return std::max(unary_law::date(), rules_->date_floor); }

law *function_law::deriv(int which) const {
    if (!fsub()) return nullptr;
    law_ptr const a = share(fsub());
    if (rules_->derivative) return rules_->derivative(a, which).release();
    if (!rules_->factor) return nullptr;
    return times(rules_->factor(a), build::d(a.get(), which)).release();
}
