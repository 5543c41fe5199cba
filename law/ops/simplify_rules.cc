// The global rules of the simplifier and the three lists they form. Every SRule object of the
// library is defined in this one file, so their construction order (and with it the order in
// which a pass applies each list, the reverse) is fixed.
#include <cmath>
#include <memory>

#include <law/base/output.h>
#include <law/core/unary_law.h>
#include <law/ops/law_multiple.h>
#include <law/ops/law_simplify.h>
#include <law/ops/negate_law.h>
#include <law/ops/rule_support.h>
#include <law/ops/srule.h>

namespace {

using namespace rules;

// ---------------------------------------------------------------- main phase

// Steps of one law's own rules before the engine suspects a cycle among them. Some rules take
// a step for each operand of a chain (equal factors merge pair by pair), so a chain longer than
// that is allowed a step more for each operand.
constexpr int class_rule_step_limit = 200;

int step_limit(law const *l) {
    auto const *b = law_cast<binary_law>(l);
    bool const chain = b && b->associative();
    return class_rule_step_limit + (chain ? static_cast<int>(flatten(b).size()) : 0);
}

law *class_rules(law *l) {
    law_ptr current;
    law const *at = l;
    int limit = class_rule_step_limit;
    for (int steps = 0;; ++steps) {
        char const *name = "";
        law *next = at->sub_simplify(0, name);
        if (!next) break;
        law_ptr held = adopt(next);
        trace_rule(name, at, held.get());
        current = std::move(held);
        at = current.get();
        if (steps == class_rule_step_limit) limit = step_limit(l);
        if (steps == limit) {
            zem_printf("Simplify: the rules of %s keep rewriting; stopping at %s\n",
                       at->class_name(), message_text(at).c_str());
            break;
        }
    }
    return current.release();
}

law *constants_to_the_left(law *l) {
    auto const *b = law_cast<binary_law>(l);
    if (!b || !b->commutative() || !b->associative()) return nullptr;
    if (!as_constant(b->fright()) || as_constant(b->fleft())) return nullptr;
    return b->make_one(b->fright(), b->fleft());
}

law *fold_unary_constant(law *l) {
    auto const *u = law_cast<unary_law>(l);
    // A random draw stays a draw even of a constant seed.
    if (!u || !as_constant(u->fsub()) || u->return_dim() != 1 || is_class(l, law_id::rand_law))
        return nullptr;
    return build::constant(value_at_one(l)).release();
}

law *fold_binary_constants(law *l) {
    auto const *b = law_cast<binary_law>(l);
    if (!b || l->return_dim() != 1) return nullptr;
    if (as_constant(b->fleft()) && as_constant(b->fright()))
        return build::constant(value_at_one(l)).release();
    if (!b->commutative() || !b->associative()) return nullptr;
    // Most chains hold one constant at most: the law counted them when it was made.
    if (b->chain_constants() < 2) return nullptr;
    // The numbers are joined in their order, as the chain of them would evaluate: a left fold of
    // the law's own operation.
    bool const sum = b->type() == law_id::plus_law;
    chain_view const operands = view_chain(b);
    small_list<law *, 64> others;
    double joined = 0;
    int constants = 0;
    for (law *operand : operands.operands) {
        if (auto const *c = as_constant(operand)) {
            double const v = c->value();
            joined = constants++ == 0 ? v : sum ? joined + v : joined * v;
        } else {
            others.push_back(operand);
        }
    }
    if (constants < 2) return nullptr;
    law_ptr const folded = build::constant(joined);
    others.push_back(folded.get());
    return chain(others.data(), others.size(), *b).release();
}

// ---------------------------------------------------------------- deep phase

law *quotient_of_multiples(law *l) {
    law_ptr const n = adopt(numerator(l));
    law_ptr const d = adopt(denominator(l));
    if (as_constant(n.get()) || as_constant(d.get())) return nullptr;
    double const m = law_multiple(d.get(), n.get());
    return m != 0 ? build::constant(m).release() : nullptr;
}

// Whether the factor f^B can be read as (m A)^B with a constant B, A a law of some input.
bool scalable(power_form const &f) {
    return f.constant_exponent() && f.base->return_dim() == 1 && f.base->take_dim() > 0;
}

law *merge_multiple_powers(law *l) {
    auto const *t = law_cast<times_law>(l);
    if (!t) return nullptr;
    chain_view const factors = view_chain(t);
    for (std::size_t i = 0; i < factors.size(); ++i) {
        power_form const scaled = as_power(factors[i]);
        // Numbers are for the constant rules: a multiple of a number says nothing here.
        if (!scalable(scaled)) continue;
        double const b = scaled.exponent_at_one();
        for (std::size_t j = 0; j < factors.size(); ++j) {
            if (!factors.across(i, j)) continue;
            power_form const plain = as_power(factors[j]);
            if (!scalable(plain)) continue;
            double const m = law_multiple(plain.base, scaled.base);
            // (m A)^B = m^B A^B needs m^B real.
            if (m == 0 || (m < 0 && !whole(b))) continue;
            law_ptr merged = build::power(share(plain.base),
                                          build::plus(scaled.exponent_law(), plain.exponent_law()));
            double const scale = std::pow(m, b);
            if (scale != 1.0) merged = build::times(build::constant(scale), merged);
            std::vector<law_ptr> rest;
            for (std::size_t k = 0; k < factors.size(); ++k) {
                if (k == std::min(i, j))
                    rest.push_back(merged);
                else if (k != std::max(i, j))
                    rest.push_back(share(factors[k]));
            }
            return rebuild(rest, *t).release();
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------- post phase

law *negated_quotient(law *l) {
    auto const *q = law_cast<division_law>(l);
    auto const *neg = q ? law_cast<negate_law>(q->fleft()) : nullptr;
    if (!neg) return nullptr;
    return build::negate(build::divide(share(neg->fsub()), share(q->fright()))).release();
}

law *minus_negated(law *l) {
    auto const *m = law_cast<minus_law>(l);
    auto const *neg = m ? law_cast<negate_law>(m->fright()) : nullptr;
    if (!neg) return nullptr;
    return build::plus(share(m->fleft()), share(neg->fsub())).release();
}

law *plus_negated(law *l) {
    auto const *p = law_cast<plus_law>(l);
    auto const *neg = p ? law_cast<negate_law>(p->fright()) : nullptr;
    if (!neg) return nullptr;
    return build::minus(share(p->fleft()), share(neg->fsub())).release();
}

law *negative_coefficient(law *l) {
    auto const *t = law_cast<times_law>(l);
    auto const *c = t ? as_constant(t->fleft()) : nullptr;
    if (!c || !(c->value() < 0)) return nullptr;
    law_ptr const a = share(t->fright());
    if (std::fabs(c->value() + 1) < 1e-14) return build::negate(a).release();
    return build::negate(build::times(build::constant(-c->value()), a)).release();
}

// Construction order: each list is applied from its last rule here to its first.
SRule const post_negative_coefficient(negative_coefficient, 2, "(-c)*A=-(c*A)");
SRule const post_plus_negated(plus_negated, 2, "A+-(B)=A-B");
SRule const post_minus_negated(minus_negated, 2, "A-(-(B))=A+B");
SRule const post_negated_quotient(negated_quotient, 2, "(-A)/B=-(A/B)");

SRule const deep_multiple_powers(merge_multiple_powers, 1, "mA^B*A^C=m^B*A^(B+C)");
SRule const deep_quotient_of_multiples(quotient_of_multiples, 1, "mA/A = m");

SRule const main_fold_binary(fold_binary_constants, 0, "C op C = C");
SRule const main_fold_unary(fold_unary_constant, 0, "opC=C");
SRule const main_constants_left(constants_to_the_left, 0, "A op C = C op A");
SRule const main_class_rules(class_rules, 0, "");

}  // namespace
