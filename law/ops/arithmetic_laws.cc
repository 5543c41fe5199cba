#include <law/ops/arithmetic_laws.h>

#include <math.h>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include <law/base/tolerance.h>
#include <law/base/version.h>
#include <law/core/deep_tree.h>
#include <law/core/eval_buffer.h>
#include <law/core/law_polynomial.h>
#include <law/core/thread_context.h>
#include <law/eval/pow_shortcuts.h>
#include <law/eval/tape_emit.h>
#include <law/lang/law_list.h>
#include <law/lang/plain_code.h>
#include <law/ops/elementary_laws.h>
#include <law/ops/law_builders.h>
#include <law/ops/number_multiples.h>
#include <law/ops/rule_support.h>

namespace {
law_list plus_registration(new plus_law(nullptr, nullptr));
law_list minus_registration(new minus_law(nullptr, nullptr));
law_list times_registration(new times_law(nullptr, nullptr));
law_list division_registration(new division_law(nullptr, nullptr));
law_list exponent_registration(new exponent_law(nullptr, nullptr));

// Powers beyond e^100 count as overflowing.
constexpr double exponent_limit = 100;
constexpr int rounded_exponent_version = 2180000;

// The value of a law whose value does not depend on its inputs (it takes none, or is a whole
// number throughout): zeros for whatever inputs it reads.
double value_without_input(law const *l) {
    int const n = std::max(1, l->take_dim());
    eval_buffer zeros(n);
    std::fill_n(zeros.data(), n, 0.0);
    return first_value(l, zeros.data());
}

void require_sides(binary_law const *l) {
    if (!l->fleft() || !l->fright()) law_error(LAW_EVAL);
}

// Evaluates both sides of a sum or difference into y: missing components count as 0, so a scalar
// meets only the first component of a vector.
template <class Op>
[[gnu::noinline]] void combine_componentwise(binary_law const *l, double const *x, double *y,
                                             Op op) {
    require_sides(l);
    law const *a = l->fleft(), *b = l->fright();
    int const na = a->return_dim(), nb = b->return_dim(), n = std::max(na, nb);
    if (a == b) {
        a->evaluate(x, y);
        for (int i = 0; i < n; ++i) y[i] = op(y[i], y[i]);
        return;
    }
    if (na == 1 && nb == 1) {
        double const left = l->left_value(x);  // the left side first, for the first error
        y[0] = op(left, l->right_value(x));
        return;
    }
    eval_buffer ya(na), yb(nb);
    a->evaluate(x, ya);
    b->evaluate(x, yb);
    for (int i = 0; i < n; ++i) y[i] = op(i < na ? ya[i] : 0.0, i < nb ? yb[i] : 0.0);
}

// Polynomial of a sum, difference or product of two sides; the base form when they do not combine.
template <class Op>
law_polynomial *combine_polynomials(binary_law const *l, law *in, Op op) {
    require_sides(l);
    polynomial_scope const scope(l, in);
    std::unique_ptr<law_polynomial> const p(polynomial_scope::sub_polynomial(l->fleft(), in));
    std::unique_ptr<law_polynomial> const q(polynomial_scope::sub_polynomial(l->fright(), in));
    if (p && q) {
        law_polynomial r = op(*p, *q);
        if (r.degree() >= 0) return new law_polynomial(r);
    }
    return l->law::polynomial(in);
}

// Bounds of both sides. When one fails, its interval is what the caller returns.
bool both_bounds(binary_law const *l, ZEM::interval const &domain, int &failed, ZEM::interval &a,
                 ZEM::interval &b) {
    require_sides(l);
    bounds_scope const scope(l, domain);
    failed = 0;
    a = bounds_scope::sub_bounds(l->fleft(), domain, failed);
    if (failed) return false;
    b = bounds_scope::sub_bounds(l->fright(), domain, failed);
    if (failed) {
        a = b;
        return false;
    }
    return true;
}

ZEM::interval span(std::initializer_list<double> values) {
    auto const [lo, hi] = std::minmax(values);
    return {lo, hi};
}

// A failed estimate that names no parameter: lower end above the upper end.
ZEM::interval no_bounds(int &failed, lawutil_error code) {
    failed = lawutil_code(code);
    return {1, 0};
}

// The parameter where a scalar law of the domain is estimated to pass `level`, by interpolating
// its values at the two ends; the middle of the domain when they do not straddle it.
ZEM::interval crossing_parameter(law const *f, ZEM::interval const &domain, double level) {
    // The domain is that of the first input; any other input the law takes is 0.
    std::vector<double> x(static_cast<std::size_t>(std::max(f->take_dim(), 1)), 0.0);
    auto const at = [&](double t) {
        x[0] = t;
        return first_value(f, x.data()) - level;
    };
    double b0 = at(domain.start_pt()), b1 = at(domain.end_pt());
    if ((b0 > 0) == (b1 > 0)) {
        double const towards_zero = b0 > 0 ? -resmch : resmch;
        b0 += towards_zero;
        b1 += towards_zero;
    }
    double const sum = std::fabs(b0) + std::fabs(b1);
    bool const straddle = (b0 > 0) != (b1 > 0) && sum >= resmch;
    double const t = straddle ? domain.interpolate(std::fabs(b0) / sum) : domain.mid_pt();
    return ZEM::interval(t, t);
}
}  // namespace

// ---------------------------------------------------------------- plain C++

namespace {
// The operators' plain C++ over their sides' values. A quotient is taken where the law raises
// no error: 0/0 takes the L'Hopital rule, which plain code leaves out. A negative base takes
// the exponent rounded to a whole number, as power does where it raises nothing (power(a, 2)
// is a * a, which pow also gives).
constexpr std::pair<int, char const *> operator_texts[] = {
    {law_id::plus_law, "@1 + @2"},
    {law_id::minus_law, "@1 - @2"},
    {law_id::times_law, "@1 * @2"},
    {law_id::division_law, "@1 / @2"},
    {law_id::exponent_law, "std::pow(@1, @1 < 0 ? std::floor(@2 + 0.5) : @2)"},
};
}  // namespace

template <class Self, law *(*Rules)(Self const *, char const *&)>
bool arithmetic_law<Self, Rules>::plain_form_of(plain_form &f) const {
    auto const row = std::find_if(std::begin(operator_texts), std::end(operator_texts),
                                  [](auto const &r) { return r.first == Self::id(); });
    return scalar_binary_plain_form(static_cast<Self const *>(this), f, row->second);
}

template class arithmetic_law<plus_law, plus_rules>;
template class arithmetic_law<minus_law, minus_rules>;
template class arithmetic_law<times_law, times_rules>;
template class arithmetic_law<division_law, division_rules>;
template class arithmetic_law<exponent_law, exponent_rules>;

// ---------------------------------------------------------------- plus

void plus_law::evaluate(double const *x, double *y) const {
    if (taped_evaluate(x, y)) return;
    combine_componentwise(this, x, y, [](double a, double b) { return a + b; });
}

bool plus_law::compiles_as_operation(side_operation &f) const {
    return binary_side_operation(this, f, [](tape_builder &t, law const *, int l, int r) {
        return t.op(tape_code::add, l, r);
    });
}

law *plus_law::deriv(int which) const {
    return build::plus(build::d(fleft(), which), build::d(fright(), which)).release();
}

law *plus_law::sub_inverse() const {
    if (take_dim() != 1 || return_dim() != 1 || !linear() || constant()) return nullptr;
    double const origin = 0;
    double const slope = build::d(this, 0)->eval(origin);
    if (std::fabs(slope) < get_resnor()) return nullptr;
    double const offset = eval(origin);
    law_ptr const x = make_law<identity_law>(0, 'X');
    return build::plus(build::times(build::constant(1 / slope), x),
                       build::constant(-offset / slope))
        .release();
}

law_polynomial *plus_law::polynomial(law *in) const {
    return combine_polynomials(this, in, [](auto const &p, auto const &q) { return p + q; });
}

ZEM::interval plus_law::estimate_bounds(ZEM::interval const &domain, int &failed) const {
    ZEM::interval a, b;
    if (!both_bounds(this, domain, failed, a, b)) return a;
    return {a.low() + b.low(), a.high() + b.high()};
}

// ---------------------------------------------------------------- minus

void minus_law::evaluate(double const *x, double *y) const {
    if (taped_evaluate(x, y)) return;
    combine_componentwise(this, x, y, [](double a, double b) { return a - b; });
}

bool minus_law::compiles_as_operation(side_operation &f) const {
    return binary_side_operation(this, f, [](tape_builder &t, law const *, int l, int r) {
        return t.op(tape_code::sub, l, r);
    });
}

law *minus_law::deriv(int which) const {
    return build::minus(build::d(fleft(), which), build::d(fright(), which)).release();
}

law_polynomial *minus_law::polynomial(law *in) const {
    return combine_polynomials(this, in, [](auto const &p, auto const &q) { return p - q; });
}

ZEM::interval minus_law::estimate_bounds(ZEM::interval const &domain, int &failed) const {
    ZEM::interval a, b;
    if (!both_bounds(this, domain, failed, a, b)) return a;
    return {a.low() - b.high(), a.high() - b.low()};
}

// ---------------------------------------------------------------- times

namespace {
// The tree walk, out of line so that evaluating through the tape stays short.
[[gnu::noinline]] void walk_times_law(times_law const *self, double const *x, double *y) {
    require_sides(self);
    law const *a = self->fleft(), *b = self->fright();
    int const na = a->return_dim(), nb = b->return_dim();
    if (na > 1 && nb > 1) law_error(LAW_TIMES);
    if (a == b) {
        a->evaluate(x, y);
        y[0] *= y[0];
        return;
    }
    if (na == 1 && nb == 1) {
        double const left = self->left_value(x);
        y[0] = left * self->right_value(x);
        return;
    }
    // The vector side (or either scalar) goes straight into y and is scaled by the other.
    law const *vec = na >= nb ? a : b;
    law const *scalar = na >= nb ? b : a;
    double const s = first_value(scalar, x);
    vec->evaluate(x, y);
    for (int i = 0, n = vec->return_dim(); i < n; ++i) y[i] *= s;
}
}  // namespace

void times_law::evaluate(double const *x, double *y) const {
    if (taped_evaluate(x, y)) return;
    walk_times_law(this, x, y);
}

bool times_law::compiles_as_operation(side_operation &f) const {
    return binary_side_operation(this, f, [](tape_builder &t, law const *, int l, int r) {
        return t.op(tape_code::mul, l, r);
    });
}

law *times_law::short_deriv(int which) const {
    return number_multiple_derivative(this, which).release();
}

law *times_law::deriv(int which) const {
    law_ptr const a = share(fleft()), b = share(fright());
    return build::plus(build::times(build::d(a.get(), which), b),
                       build::times(build::d(b.get(), which), a))
        .release();
}

law_polynomial *times_law::polynomial(law *in) const {
    return combine_polynomials(this, in, [](auto const &p, auto const &q) { return p * q; });
}

ZEM::interval times_law::estimate_bounds(ZEM::interval const &domain, int &failed) const {
    ZEM::interval a, b;
    if (!both_bounds(this, domain, failed, a, b)) return a;
    return span({a.low() * b.low(), a.low() * b.high(), a.high() * b.low(), a.high() * b.high()});
}

// ---------------------------------------------------------------- division

division_law::division_law(law *left, law *right) : arithmetic_law(left, right) {
    if (right && right->return_dim() >= 2) {
        // The base releases the sides; this law is never handed out.
        law_error(LAW_DIVISION);
    }
}

namespace {
// Below this both sides of a division count as zero and the L'Hopital rule decides.
constexpr double lhospital_zero = 1e-15;
// The tape gives back every point whose divisor is below resmch in size, for this law to decide.
static_assert(lhospital_zero < resmch, "0/0 is a case of a divisor near zero");

// a / b as the law takes it: false for 0/0, which the law resolves by the L'Hopital rule; a
// divisor below resmch raises LAW_ZERODIVIDE.
bool checked_quotient(double a, double b, double &y) {
    if (std::fabs(a) < lhospital_zero && std::fabs(b) < lhospital_zero) return false;
    if (std::fabs(b) < resmch) law_error(LAW_ZERODIVIDE);
    y = a / b;
    return true;
}

// 0/0: the quotient of the first derivatives (with respect to the first input) at x.
double lhospital(law const *num, law const *den, double const *x) {
    lawutil_thread_ctx *const ctx = lawutil_context();
    ctx->lhospital_depth = 0;
    if (++ctx->lhospital_depth > 3) law_error(LAW_LHOSPITAL);
    double const dn = first_value(build::d(num, 0).get(), x);
    double const dd = first_value(build::d(den, 0).get(), x);
    if (std::fabs(dn) < lhospital_zero && std::fabs(dd) < lhospital_zero) law_error(LAW_LHOSPITAL);
    return dn / dd;
}
}  // namespace

namespace {
// The tree walk, out of line so that evaluating through the tape stays short.
[[gnu::noinline]] void walk_division_law(division_law const *self, double const *x, double *y) {
    require_sides(self);
    law const *num = self->fleft(), *den = self->fright();
    double b = self->right_value(x);
    if (num->return_dim() == 1) {
        double const a = num == den ? b : self->left_value(x);
        if (!checked_quotient(a, b, y[0])) y[0] = lhospital(num, den, x);
        return;
    }
    // A vector numerator never fails: the denominator is kept off zero.
    if (b >= 0 && b < lhospital_zero)
        b = lhospital_zero;
    else if (b < 0 && b > -lhospital_zero)
        b = -lhospital_zero;
    num->evaluate(x, y);
    int const n = num->return_dim();
    for (int i = 0; i < n; ++i) y[i] /= b;
    // A numerator of no values (an empty VEC) reads as 0, as the other operators read it.
    std::fill(y + n, y + self->return_dim(), 0.0);
}
}  // namespace

void division_law::evaluate(double const *x, double *y) const {
    if (taped_evaluate(x, y)) return;
    walk_division_law(this, x, y);
}

bool division_law::compiles_as_operation(side_operation &f) const {
    return binary_side_operation(
        this, f,
        [](tape_builder &t, law const *, int l, int r) { return t.op(tape_code::div, l, r); },
        side_order::right_first);
}

int division_law::in_domain(double const *x) const {
    if (!fleft() || !fright() || !binary_law::in_domain(x)) return 0;
    return first_value(fright(), x) != 0.0;
}

law *division_law::short_deriv(int which) const {
    return number_quotient_derivative(this, which).release();
}

law *division_law::deriv(int which) const {
    law_ptr const a = share(fleft()), b = share(fright());
    law_ptr const top = build::minus(build::times(b, build::d(a.get(), which)),
                                     build::times(a, build::d(b.get(), which)));
    return build::divide(top, build::power(b, build::constant(2))).release();
}

ZEM::interval division_law::estimate_bounds(ZEM::interval const &domain, int &failed) const {
    ZEM::interval a, b;
    if (!both_bounds(this, domain, failed, a, b)) return a;
    if (-resmch <= b.low() && b.high() <= resmch) return no_bounds(failed, LAW_ZERODIVIDE);
    if (b.low() < resmch && b.high() > -resmch) {
        failed = lawutil_code(LAW_ZERODIVIDE);
        return crossing_parameter(fright(), domain, 0.0);
    }
    return span({a.low() / b.low(), a.low() / b.high(), a.high() / b.low(), a.high() / b.high()});
}

// ---------------------------------------------------------------- exponent

namespace {
// The exponent actually used for a negative base: whole, or the error.
double whole_exponent(double b) {
    if (get_global_version() < rounded_exponent_version) {
        if (b != std::trunc(b)) law_error(LAW_EXPONENT);
        return b;
    }
    double const rounded = std::floor(b + 0.5);
    if (std::fabs(b - rounded) > resmch) law_error(LAW_EXPONENT);
    return rounded;
}
}  // namespace

double exponent_law::power(double a, double b) {
    if (a == 0 && b <= 0) law_error(LAW_EXPONENT);
    if (a < 0) b = whole_exponent(b);
    // Squares are the common case, a * a as the compiler writes pow(a, 2.0). The powers the
    // rules write for a square root and a divisor, and other short powers, keep pow's bits,
    // mostly without calling pow.
    if (b == 2) return a * a;
    if (b == 0.5) return root_as_pow(a);
    if (b == -1) return reciprocal_as_pow(a);
    if (short_exponent(b)) return power_as_pow(a, b);
    return std::pow(a, b);
}

namespace {
// The tree walk, out of line so that evaluating through the tape stays short.
[[gnu::noinline]] void walk_exponent_law(exponent_law const *self, double const *x, double *y) {
    require_sides(self);
    double const a = self->left_value(x);
    y[0] = exponent_law::power(a, self->fleft() == self->fright() ? a : self->right_value(x));
}
}  // namespace

void exponent_law::evaluate(double const *x, double *y) const {
    if (taped_evaluate(x, y)) return;
    walk_exponent_law(this, x, y);
}

bool exponent_law::compiles_as_operation(side_operation &f) const {
    return binary_side_operation(this, f, [](tape_builder &t, law const *, int l, int r) {
        // power(a, 2) is a * a whatever a is; under a square root and a power of -1 the tape
        // calls what power calls for them; under any other whole positive constant exponent n,
        // no check can fail and power(a, n) is pow(a, n). A short exponent is a power operation,
        // whose points of a block mostly skip pow. The exponent is any side that compiles to a
        // constant (-1.5 is a negation of 1.5).
        double n = 0;
        bool const c = t.constant_at(r, n);
        if (c && n == 2) return t.op(tape_code::mul, l, l);
        if (c && n == 0.5) return t.op(tape_code::pow_half, l);
        if (c && n == -1) return t.op(tape_code::pow_minus_one, l);
        bool const plain = c && n > 0 && n == std::trunc(n) && n < 1e15;
        if (c && short_exponent(n))
            return t.power(plain ? &power_as_pow : &exponent_law::power, l, r);
        return t.call2(plain ? static_cast<tape_fn2>(&::pow) : &exponent_law::power, l, r);
    });
}

int exponent_law::in_domain(double const *x) const {
    in_domain_scope const scope(this, x);
    if (!fleft() || !fright() || !in_domain_scope::sub_in_domain(fleft(), x)) return 0;
    double const a = first_value(fleft(), x);
    if (!in_domain_scope::sub_in_domain(fright(), x)) return 0;
    double const b = first_value(fright(), x);
    if (a == 0 && b <= 0) return 0;
    if (a < 0 && b - std::floor(b) > resmch) return 0;
    if (a > 1 && b * std::log(a) > exponent_limit) return 0;
    return 1;
}

law *exponent_law::deriv(int which) const {
    law_ptr const a = share(fleft()), b = share(fright());
    law_ptr da = build::d(a.get(), which);
    if (b->take_dim() == 0) {
        double const value = value_without_input(b.get());
        if (value == 1) return da.release();
        return build::times(build::times(b, da), build::power(a, build::constant(value - 1)))
            .release();
    }
    law_ptr const base_part =
        build::times(build::times(b, da), build::power(a, build::minus(b, build::constant(1))));
    law_ptr const exponent_part =
        build::times(make_law<natural_log_law>(a.get()),
                     build::times(build::power(a, b), build::d(b.get(), which)));
    return build::plus(base_part, exponent_part).release();
}

// Of a base whose derivative is 1, b * 1 is the b that "A * 1 = A" leaves (unless b is 0, which
// "0 * A = 0" takes first).
law *exponent_law::short_deriv(int which) const {
    auto const *b = rules::as_constant(fright());
    if (!b || b->value() == 0 || b->value() == 1) return nullptr;
    law_ptr const da = build::d(fleft(), which);
    if (!rules::is_constant_value(da.get(), 1)) return nullptr;
    return build::times(share(fright()),
                        build::power(share(fleft()), build::constant(b->value() - 1)))
        .release();
}

law_polynomial *exponent_law::polynomial(law *in) const {
    require_sides(this);
    // An exponent below 1 or of a degree past the largest is no power to multiply out.
    double const exponent = fright()->integer() ? value_without_input(fright()) : 0;
    if (exponent >= 1 && exponent <= law_polynomial::largest_degree) {
        int const n = static_cast<int>(exponent);
        polynomial_scope const scope(this, in);
        std::unique_ptr<law_polynomial> p(polynomial_scope::sub_polynomial(fleft(), in));
        if (p && n == 1) return p.release();
        if (p && n > 1) {
            law_polynomial r = *p ^ n;
            if (r.degree() >= 0) return new law_polynomial(r);
        }
    }
    return law::polynomial(in);
}

ZEM::interval exponent_law::estimate_bounds(ZEM::interval const &domain, int &failed) const {
    ZEM::interval a, b;
    if (!both_bounds(this, domain, failed, a, b)) return a;
    if (b.low() >= exponent_limit || b.high() <= -exponent_limit)
        return no_bounds(failed, LAW_EXPONENT);
    if (b.high() > exponent_limit || b.low() < -exponent_limit) {
        failed = lawutil_code(LAW_EXPONENT);
        double const limit = b.high() > exponent_limit ? exponent_limit : -exponent_limit;
        return crossing_parameter(fright(), domain, limit);
    }
    double const n = std::floor(b.low() + 0.5);
    bool const whole = std::fabs(b.low() - n) <= resmch && std::fabs(b.high() - n) <= resmch;
    if (a.low() > 0)
        return span({std::pow(a.low(), b.low()), std::pow(a.low(), b.high()),
                     std::pow(a.high(), b.low()), std::pow(a.high(), b.high())});
    // A base that reaches zero or below needs a whole exponent, and a positive one at zero.
    bool const reaches_zero = a.high() >= 0;
    if (!whole || (n <= 0 && reaches_zero)) return no_bounds(failed, LAW_EXPONENT);
    ZEM::interval r = span({std::pow(a.low(), n), std::pow(a.high(), n)});
    bool const even = std::fmod(n, 2.0) == 0;
    if (even && reaches_zero) r = ZEM::interval(0, r.high());
    return r;
}
