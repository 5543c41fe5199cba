#include <law/ops/number_multiples.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include <law/core/deep_tree.h>
#include <law/ops/law_builders.h>
#include <law/ops/law_simplify.h>
#include <law/ops/negate_law.h>
#include <law/ops/rule_support.h>

namespace {
// Levels of the full product and quotient rules above the sides they are built on.
constexpr std::uint32_t rule_levels = 3;

using rules::as_constant;

// Whether l is a finite number other than 0.
bool plain_number(law const *l) {
    auto const *c = as_constant(l);
    return c && std::isfinite(c->value()) && c->value() != 0;
}

// Whether a number among l's factors would make 0 * l other than 0 when folded with the 0.
bool non_finite_factor(law const *l) {
    auto const *t = law_cast<times_law>(l);
    if (!t) return false;
    for (law const *f : rules::view_chain(t).operands)
        if (auto const *c = as_constant(f); c && !std::isfinite(c->value())) return true;
    return false;
}

// Whether the term of a product or quotient rule that multiplies `other` by the derivative of a
// number, 0, may be left unbuilt. The rules take that term to 0 and drop it, keeping the other
// term's form: "0 * A = 0" at once in a product, and A * 0 in a quotient once A's form is a law
// whose numbers are finite (a number there is folded with the 0 first). What simplifying the
// term would leave still happens: `other` goes through the pass, for the records and errors it
// leaves (an error sends the law down the full rule, whose simplification raises it). The term
// is built where leaving it out could show: when `other` does not range over the whole line
// (the full rule's domain meets its domain) or the full rule would be a deep tree.
bool number_term_drops(law const *other, law const *kept_derivative, bool in_quotient) {
    if (other->return_dim() != 1 || !other->unrestricted_domain()) return false;
    std::uint32_t const height = std::max(other->height(), kept_derivative->height());
    if (height + rule_levels > static_cast<std::uint32_t>(deep_tree_levels)) return false;
    law_ptr form;
    try {
        form = adopt(untraced_main_pass(const_cast<law *>(other)));
    } catch (vorn_exception const &) {
        return false;
    }
    return !in_quotient || (!as_constant(form.get()) && !non_finite_factor(form.get()));
}

// The side of a product of scalars that is not a number, when the other side is a plain one.
law const *scaled_side(times_law const *t) {
    law const *a = t->fleft(), *b = t->fright();
    if (a->return_dim() != 1 || b->return_dim() != 1) return nullptr;
    if (plain_number(a) && !as_constant(b)) return b;
    if (plain_number(b) && !as_constant(a)) return a;
    return nullptr;
}

// ---------------------------------------------------------------- the rules' form, read ahead
// The rules bring a number times a derivative d = k * A (or A alone) to v * A in several
// rewrites: the product's number goes to the front of the chain, the chain's numbers are folded
// in their order, and the number they give goes to the front. A quotient by c, written
// c * d / c^2, becomes c * d * (c^2)^-1 on the way, its powers of numbers folded. Where nothing
// else can act, the form is built at once.

// d's number and the law it multiplies.
struct scaled_law {
    constant_law const *k;  // null when d is A alone
    law *a;
};

// d read as k * A or A, when v * A stays as it is for any number v the rules may put in front:
// A is a settled scalar law that is no number, product or negation (those rules pair it with
// v) nor a power of a number (v would merge with it). d itself must be settled: a form the
// rules would still rewrite takes the rules' way.
std::optional<scaled_law> as_scaled(law const *d) {
    if (!d->passed_unchanged(0)) return std::nullopt;
    scaled_law s{nullptr, const_cast<law *>(d)};
    if (auto const *t = law_cast<times_law>(d)) {
        s.k = as_constant(t->fleft());
        s.a = t->fright();
        if (!s.k || !s.a) return std::nullopt;
    }
    law *const a = s.a;
    bool const stays = a->passed_unchanged(0) && a->return_dim() == 1 && !as_constant(a) &&
                       !law_cast<times_law>(a) && !law_cast<negate_law>(a) &&
                       !as_constant(rules::as_power(a).base);
    return stays ? std::optional(s) : std::nullopt;
}

// Whether v stays in front of A: "0 * A = 0" and "1 * A = A" would act on 0 and 1.
bool stays_in_front(double v) { return std::isfinite(v) && v != 0 && v != 1; }

// Whether the rules may merge u and v as powers of one base before folding them: they merge
// only the very same number, and equal values are left to the rules' own way.
bool alike(double u, double v) { return u == v; }

// The number in front of A in c * d: c k when d has a number k (unless c and k merge first as
// powers of one base), else c.
std::optional<double> product_number(double c, scaled_law const &s) {
    if (!stays_in_front(c)) return std::nullopt;
    if (!s.k) return c;
    double const k = s.k->value();
    if (alike(c, k)) return std::nullopt;
    double const v = c * k;
    return stays_in_front(v) ? std::optional(v) : std::nullopt;
}

// The number in front of A in c * d / c^2: the numerator's number v, then the square's
// reciprocal r folded in front of it (unless v merges with the square or with r first).
std::optional<double> quotient_number(double c, scaled_law const &s) {
    std::optional<double> const v = product_number(c, s);
    if (!v) return std::nullopt;
    double const square = exponent_law::power(c, 2);
    if (!std::isfinite(square) || square == 0 || alike(*v, square)) return std::nullopt;
    double const r = exponent_law::power(square, -1);
    if (r == 1 || alike(*v, r)) return std::nullopt;
    double const folded = r * *v;
    return stays_in_front(folded) ? std::optional(folded) : std::nullopt;
}

// v * A for d's law A, or null.
law_ptr in_front(std::optional<double> v, scaled_law const &s) {
    return v ? build::times(build::constant(*v), share(s.a)) : nullptr;
}

// The rules' form of number * d: a lone number is not folded, and stays the law it was.
law_ptr product_form(law_ptr const &number, scaled_law const &s) {
    std::optional<double> const v = product_number(as_constant(number.get())->value(), s);
    if (v && !s.k) return build::times(number, share(s.a));
    return in_front(v, s);
}
}  // namespace

law_ptr number_multiple_derivative(times_law const *t, int which) {
    law const *other = scaled_side(t);
    if (!other) return nullptr;
    law_ptr const number = share(other == t->fleft() ? t->fright() : t->fleft());
    law_ptr const d = build::d(other, which);
    // With the number on the right the rule's sum is d c + 0, which "0 + A = A" takes to 0
    // when d c folds to -0.
    if (as_constant(d.get()) && other == t->fleft()) return nullptr;
    if (!number_term_drops(other, d.get(), false)) return nullptr;
    if (auto const s = as_scaled(d.get()))
        if (law_ptr form = product_form(number, *s)) return form;
    return build::times(d, number);
}

law_ptr number_quotient_derivative(division_law const *q, int which) {
    law_ptr const a = share(q->fleft()), c = share(q->fright());
    if (!plain_number(c.get()) || as_constant(a.get())) return nullptr;
    law_ptr const d = build::d(a.get(), which);
    if (!number_term_drops(a.get(), d.get(), true)) return nullptr;
    if (auto const s = as_scaled(d.get()))
        if (law_ptr form = in_front(quotient_number(as_constant(c.get())->value(), *s), *s))
            return form;
    return build::divide(build::times(c, d), build::power(c, build::constant(2)));
}
