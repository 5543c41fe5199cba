#pragma once
// Small shared pieces of the rewrite rules: reading constants, flattening and rebuilding chains,
// reading factors as powers.
#include <cmath>
#include <vector>

#include <law/core/binary_chain.h>
#include <law/core/binary_law.h>
#include <law/core/constant_law.h>
#include <law/ops/law_builders.h>

namespace rules {

// The constant_law l, or null.
inline constant_law const *as_constant(law const *l) { return law_cast<constant_law>(l); }

// Whether l is a constant_law of exactly that value.
inline bool is_constant_value(law const *l, double v) {
    auto const *c = as_constant(l);
    return c && c->value() == v;
}

// The value of a law that takes no input (or any law, read at x = 1).
double value_at_one(law const *l);

// Whether l is a law of class id (by type, so subclasses of a class do not count).
inline bool is_class(law const *l, int id) { return l && l->type() == id; }

// The operands of op's chain of its own class, left to right (no new references).
inline std::vector<law *> flatten(binary_law const *op) { return binary_law::chain_operands(op); }

// The operands of op's chain and how many of them come from its left side. The pass visits
// sub-laws first, so pairs of operands within one side have already met every chain rule:
// a chain rule looks only at pairs across the two sides, which keeps long chains quadratic.
struct chain_view {
    small_list<law *, 64> operands;  // on the stack for the usual chains
    std::size_t split;
    std::size_t size() const { return static_cast<std::size_t>(operands.size()); }
    law *operator[](std::size_t i) const { return operands[static_cast<int>(i)]; }
    bool across(std::size_t i, std::size_t j) const { return (i < split) != (j < split); }
};
chain_view view_chain(binary_law const *op);

// ((list[0] op list[1]) op ...) with op's make_one; list[0] alone for one operand.
law_ptr chain(law *const *list, std::size_t n, binary_law const &op);
law_ptr rebuild(std::vector<law_ptr> const &list, binary_law const &op);

// A factor read as base ^ exponent: a power gives its two sides, any other law itself ^ 1 (no
// exponent law is made for it until a rule needs one).
struct power_form {
    law *base;
    law *exponent;  // null for 1; held by the factor
    law_ptr exponent_law() const;
    bool constant_exponent() const;
    double exponent_at_one() const;
};
power_form as_power(law *factor);

// Whether v is a whole number.
inline bool whole(double v) { return std::isfinite(v) && v == std::trunc(v); }

}  // namespace rules
