#include <law/ops/operator_rules.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include <law/core/counted_array.h>
#include <law/core/law_polynomial.h>
#include <law/core/multiple_law.h>
#include <law/ops/composite_law.h>
#include <law/ops/negate_law.h>
#include <law/ops/product_index.h>
#include <law/ops/rule_support.h>

using namespace rules;

namespace {

// Runs the rules in order; the first that gives a law wins and is named. An operator missing an
// operand (a prototype) has no rule.
template <class L>
law *first_rule(L const *l, char const *&rule_name,
                std::initializer_list<std::pair<char const *, law_ptr (*)(L const *)>> list) {
    if (!l->fleft() || !l->fright()) return nullptr;
    for (auto const &[name, rule] : list) {
        if (law_ptr r = rule(l)) {
            note_rule(rule_name, name);
            return r.release();
        }
    }
    return nullptr;
}

// Replaces operands i and j (i < j) of a flattened chain by `merged` at i.
std::vector<law_ptr> merge_operands(chain_view const &list, std::size_t i, std::size_t j,
                                    law_ptr const &merged) {
    std::vector<law_ptr> out;
    for (std::size_t k = 0; k < list.size(); ++k) {
        if (k == i)
            out.push_back(merged);
        else if (k != j)
            out.push_back(share(list[k]));
    }
    return out;
}

// A VEC law, seen through its family (its class lives with the structural laws).
multiple_law const *as_vector(law const *l) {
    return l && l->isa(law_id::vector_law) ? static_cast<multiple_law const *>(l) : nullptr;
}

bool scalar(law const *l) { return l->return_dim() == 1 && !as_vector(l); }

// ---------------------------------------------------------------- plus

law_ptr zero_plus(plus_law const *l) {
    return is_constant_value(l->fleft(), 0) ? share(l->fright()) : nullptr;
}

law_ptr plus_zero(plus_law const *l) {
    return is_constant_value(l->fright(), 0) ? share(l->fleft()) : nullptr;
}

// A term read as coefficient * rest; constants have no such reading.
struct scaled_term {
    law *coefficient;  // null for 1; held by the term
    law *rest = nullptr;
};
law_ptr coefficient_law(scaled_term const &t) {
    return t.coefficient ? share(t.coefficient) : build::constant(1);
}

std::optional<scaled_term> as_scaled(law *term) {
    if (auto const *t = law_cast<times_law>(term)) return scaled_term{t->fleft(), t->fright()};
    if (as_constant(term)) return std::nullopt;
    return scaled_term{nullptr, term};
}

// Two products by operator==, any other laws by type and `same`: operator== for both, which
// tells most unequal laws apart by their hashes without a walk.
bool same_rest(law const *a, law const *b) { return same_law(a, b); }

law_ptr collect_like_terms(plus_law const *l, chain_view const &terms) {
    for (std::size_t i = 0; i < terms.split; ++i) {
        auto const a = as_scaled(terms[i]);
        if (!a) continue;
        for (std::size_t j = terms.split; j < terms.size(); ++j) {
            auto const b = as_scaled(terms[j]);
            if (!b || !same_rest(a->rest, b->rest)) continue;
            law_ptr const merged =
                build::times(build::plus(coefficient_law(*a), coefficient_law(*b)), share(a->rest));
            return rebuild(merge_operands(terms, i, j, merged), *l);
        }
    }
    return nullptr;
}

// The argument of f(X)^2 for the function class f, or null.
law *squared_argument(law const *term, int function_id) {
    auto const *p = law_cast<exponent_law>(term);
    if (!p || !is_constant_value(p->fright(), 2) || !is_class(p->fleft(), function_id))
        return nullptr;
    return static_cast<unary_law const *>(p->fleft())->fsub();
}

law_ptr pythagoras(plus_law const *l, chain_view const &list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        law *const x = squared_argument(list[i], law_id::cos_law);
        if (!x) continue;
        for (std::size_t j = 0; j < list.size(); ++j) {
            if (!list.across(i, j)) continue;
            law *const y = squared_argument(list[j], law_id::sin_law);
            if (!y || !same_law(x, y)) continue;
            law_ptr const one = build::constant(1);
            if (list.size() == 2) return one;
            return rebuild(merge_operands(list, std::min(i, j), std::max(i, j), one), *l);
        }
    }
    return nullptr;
}

// Applies op to the corresponding components of two vectors of the same length.
template <class Combine>
law_ptr componentwise(multiple_law const *a, multiple_law const *b, Combine combine) {
    int const n = a->fsub_num();
    law_array parts;
    for (int i = 0; i < n; ++i) {
        parts.push(combine(share(a->fsub()[i]), share(b->fsub()[i])));
    }
    return build::vector(parts.data(), n);
}

law_ptr vector_sum(plus_law const *l) {
    auto const *a = as_vector(l->fleft());
    auto const *b = as_vector(l->fright());
    // Vectors of different lengths are left to evaluation, which knows how they pair.
    if (!a || !b || a->fsub_num() != b->fsub_num()) return nullptr;
    return componentwise(a, b, build::plus);
}

// A side of a sum as factors base^exponent with numeric exponents.
struct numeric_power {
    law *base;
    double exponent;
};
// A factor read as base ^ exponent with a constant exponent; any other factor is itself ^ 1.
numeric_power numeric_factor(law *f) {
    auto const *p = law_cast<exponent_law>(f);
    if (p && as_constant(p->fright())) return {p->fleft(), value_at_one(p->fright())};
    return {f, 1.0};
}

// The side's factors read as powers, appended to out (a list on the stack, or a vector).
template <class List>
void add_factors(law *side, List &out) {
    small_list<law *> factors;
    if (law_isa<times_law>(side))
        binary_law::collect_chain(static_cast<times_law const *>(side), factors);
    else
        factors.push_back(side);
    for (law *f : factors) out.push_back(numeric_factor(f));
}

std::vector<numeric_power> numeric_factors(law *side) {
    std::vector<numeric_power> out;
    add_factors(side, out);
    return out;
}

law_ptr power_of(law *base, double exponent) {
    if (exponent == 1.0) return share(base);
    return build::power(share(base), build::constant(exponent));
}

// The product of the factors left with a non-zero exponent, or the constant 1.
law_ptr product_of(std::vector<numeric_power> const &factors) {
    std::vector<law_ptr> parts;
    for (auto const &f : factors)
        if (f.exponent != 0.0) parts.push_back(power_of(f.base, f.exponent));
    if (parts.empty()) return build::constant(1);
    times_law const op(nullptr, nullptr);
    return rebuild(parts, op);
}

// Whether factoring can take anything out of a and b.
bool common_power(numeric_power const &a, numeric_power const &b) {
    // Whole exponents and a positive shared part only: x^a = x^c x^(a-c) may fail for a
    // negative x otherwise.
    double const common = std::min(a.exponent, b.exponent);
    if (!(common > 0.0) || std::trunc(a.exponent) != a.exponent ||
        std::trunc(b.exponent) != b.exponent)
        return false;
    // Taking out a power of a constant only moves a number around. The comparison of the
    // bases, the dearest test, comes last.
    return !as_constant(a.base) && same_law(a.base, b.base);
}

// Calls visit(i, j), in the order of a's factors and then of b's, for the pairs whose bases may be
// equal; visit returns false to stop. Equal laws hash alike, so long products (the inner
// derivative of a nesting, met at each level) are paired through an index of b's bases instead of
// pair by pair. Below 64 factors a side, comparing pairs of hashes costs less than the index.
template <class Visit>
void pairs_of_like_bases(std::span<numeric_power const> a, std::span<numeric_power const> b,
                         Visit visit) {
    constexpr std::size_t few_pairs = 4096;
    // A hash with its lowest bit set need not be shared by an equal law.
    auto const unhashed = [](numeric_power const &f) { return f.base->structure_hash() & 1; };
    if (a.size() * b.size() <= few_pairs || std::any_of(a.begin(), a.end(), unhashed) ||
        std::any_of(b.begin(), b.end(), unhashed)) {
        for (std::size_t i = 0; i < a.size(); ++i)
            for (std::size_t j = 0; j < b.size(); ++j)
                if (!visit(i, j)) return;
        return;
    }
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> by_hash;
    for (std::size_t j = 0; j < b.size(); ++j) by_hash[b[j].base->structure_hash()].push_back(j);
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto const like = by_hash.find(a[i].base->structure_hash());
        if (like == by_hash.end()) continue;
        for (std::size_t j : like->second)
            if (!visit(i, j)) return;
    }
}

// Whether the two sides share a factor to take out, read without building anything (most sums
// share none).
bool share_a_factor(law *left, law *right) {
    small_list<numeric_power> lf, rf;
    add_factors(left, lf);
    add_factors(right, rf);
    std::span<numeric_power const> const a(lf.data(), lf.size()), b(rf.data(), rf.size());
    bool shared = false;
    pairs_of_like_bases(a, b, [&](std::size_t i, std::size_t j) {
        shared = common_power(a[i], b[j]);
        return !shared;
    });
    return shared;
}

// Whether part is ((f(0) * f(1)) * ...) * f(n-1), its operands the very laws f gives (null for
// none).
template <class Operand>
bool left_chain_of(law const *part, std::size_t n, Operand f) {
    law const *p = part;
    for (std::size_t i = n; i-- > 1; p = static_cast<times_law const *>(p)->fleft())
        if (!law_isa<times_law>(p) || static_cast<times_law const *>(p)->fright() != f(i))
            return false;
    return p == f(0);
}

// The first of each side of l and the two sides of a side that is a product for which holds is
// true, or null.
template <class Holds>
law *part_holding(plus_law const *l, Holds holds) {
    for (law *side : {l->fleft(), l->fright()}) {
        auto const *t = law_cast<times_law>(side);
        if (!t) continue;
        for (law *part : {side, t->fleft(), t->fright()})
            if (holds(part)) return part;
    }
    return nullptr;
}

// The product of the shared factors, taken whole from a side that holds exactly that product
// (a derivative's inner chain does): rebuilt, it would be copied at each level of a nesting.
law_ptr shared_product(std::vector<numeric_power> const &shared, plus_law const *l) {
    auto const factor = [&](std::size_t i) {
        return shared[i].exponent == 1.0 ? shared[i].base : nullptr;
    };
    law *const holder =
        part_holding(l, [&](law *part) { return left_chain_of(part, shared.size(), factor); });
    return holder ? share(holder) : product_of(shared);
}

// ---------------------------------------------------------------- long products
// The derivative of a nesting meets its inner derivative, a long product, on both sides of a sum
// and beside each new factor at every level. The rules below read such a product through its kept
// operands (product_index.h) and give what the walks above give.

// A long run of operands that both sides of a sum hold, and what factoring takes from them.
struct shared_run {
    product_operands::piece run;
    std::vector<numeric_power> left, right;  // the sides' other factors, in order
};

bool shareable(numeric_power const &f) { return whole(f.exponent) && f.exponent > 0.0; }

// Whether f pairs with an operand of the run (plain operands are their own bases, to the power 1).
bool pairs_with_run(numeric_power const &f, product_operands::piece const &run) {
    if (!shareable(f) || as_constant(f.base)) return false;
    return !run.each(f.base->structure_hash(), true,
                     [&](std::uint32_t, law *operand) { return !same_law(f.base, operand); });
}

// The operands of view outside its piece `skip`, as powers; false past long_product of them.
bool other_factors(product_operands const &view, std::size_t skip,
                   std::vector<numeric_power> &out) {
    auto const &pieces = view.pieces();
    if (view.size() - static_cast<int>(pieces[skip].end) >= long_product) return false;
    for (std::size_t k = 0; k < pieces.size(); ++k)
        if (k != skip)
            for (std::uint32_t i = 0; i < pieces[k].end; ++i)
                out.push_back(numeric_factor(pieces[k].at(i)));
    return true;
}

// The run both sides share whole, when factoring takes exactly it and nothing else: every one of
// its operands pairs with itself, and no other factor pairs with anything.
std::optional<shared_run> find_shared_run(product_operands const &a, product_operands const &b) {
    if (!a.hashed() || !b.hashed()) return std::nullopt;
    for (std::size_t i = 0; i < a.pieces().size(); ++i) {
        auto const &p = a.pieces()[i];
        auto const same = std::find_if(b.pieces().begin(), b.pieces().end(),
                                       [&](auto const &q) { return q.same(p); });
        if (p.end < long_product || same == b.pieces().end()) continue;
        if (p.stack->unplain_below(p.end)) return std::nullopt;
        shared_run r{p, {}, {}};
        if (!other_factors(a, i, r.left) ||
            !other_factors(b, static_cast<std::size_t>(same - b.pieces().begin()), r.right))
            return std::nullopt;
        for (auto const *side : {&r.left, &r.right})
            for (numeric_power const &f : *side)
                if (pairs_with_run(f, r.run)) return std::nullopt;
        for (numeric_power const &f : r.left)
            for (numeric_power const &g : r.right)
                if (common_power(f, g)) return std::nullopt;
        return r;
    }
    return std::nullopt;
}

// Whether part is ((r0 * r1) * ...) * r(n-1) over the run's operands, as shared_product asks.
bool holds_run(product_lookup &lookup, law *part, product_operands::piece const &run) {
    product_operands const *view = lookup.operands(part);
    if (!view || view->size() != static_cast<int>(run.end)) return false;
    if (view->pieces().size() == 1 && view->pieces()[0].same(run)) return view->left_nested();
    return left_chain_of(part, run.end,
                         [&](std::size_t i) { return run.at(static_cast<std::uint32_t>(i)); });
}

// factoring's result where the sides share a long run: the run's product (taken whole from a side
// that holds exactly it, as shared_product does) times the sum of the other factors.
std::optional<law_ptr> factoring_long_run(plus_law const *l) {
    std::optional<shared_run> found;
    law *holder = nullptr;
    std::vector<law *> run;  // the run's operands, when no side holds their product
    if (!may_be_long_product(l->fleft()) || !may_be_long_product(l->fright())) return std::nullopt;
    {
        product_lookup lookup;
        product_operands const *a = lookup.operands(l->fleft()), *b = lookup.operands(l->fright());
        if (!a || !b || !(found = find_shared_run(*a, *b))) return std::nullopt;
        holder = part_holding(l, [&](law *part) { return holds_run(lookup, part, found->run); });
        for (std::uint32_t i = 0; !holder && i < found->run.end; ++i)
            run.push_back(found->run.at(i));
    }
    times_law const op(nullptr, nullptr);
    law_ptr const shared = holder ? share(holder) : chain(run.data(), run.size(), op);
    law_ptr const rest = build::plus(product_of(found->left), product_of(found->right));
    return build::times(shared, rest);
}

law_ptr factoring(plus_law const *l) {
    if (!scalar(l->fleft()) || !scalar(l->fright())) return nullptr;
    if (auto r = factoring_long_run(l)) return std::move(*r);
    if (!share_a_factor(l->fleft(), l->fright())) return nullptr;
    std::vector<numeric_power> left = numeric_factors(l->fleft());
    std::vector<numeric_power> right = numeric_factors(l->fright());
    std::vector<numeric_power> shared;
    pairs_of_like_bases(left, right, [&](std::size_t i, std::size_t j) {
        numeric_power &a = left[i], &b = right[j];
        if (common_power(a, b)) {
            double const common = std::min(a.exponent, b.exponent);
            shared.push_back({a.base, common});
            a.exponent -= common;
            b.exponent -= common;
        }
        return true;
    });
    if (shared.empty()) return nullptr;
    law_ptr const rest = build::plus(product_of(left), product_of(right));
    return build::times(shared_product(shared, l), rest);
}

// ---------------------------------------------------------------- times

law_ptr zero_times(times_law const *l) {
    return is_constant_value(l->fleft(), 0) ? build::constant(0) : nullptr;
}

law_ptr one_times(times_law const *l) {
    return is_constant_value(l->fleft(), 1) ? share(l->fright()) : nullptr;
}

law_ptr times_one(times_law const *l) {
    return is_constant_value(l->fright(), 1) ? share(l->fleft()) : nullptr;
}

// Whether merge_powers finds no pair of like bases across l's sides, told through the kept
// operands of a long side; false when that cannot be told so (the walk then decides).
bool no_like_powers(times_law const *l) {
    if (!may_be_long_product(l->fleft()) && !may_be_long_product(l->fright())) return false;
    product_lookup lookup;
    product_operands const *left = lookup.operands(l->fleft());
    product_operands const *right = lookup.operands(l->fright());
    if (!left == !right) return false;
    product_operands const &many = left ? *left : *right;
    law *const other = left ? l->fright() : l->fleft();
    small_list<law *> few;
    if (law_isa<times_law>(other))
        binary_law::collect_chain(static_cast<times_law const *>(other), few);
    else
        few.push_back(other);
    if (!many.hashed() || few.size() >= long_product) return false;
    // The left side's bases are vectors' or scalars'; only scalar ones merge.
    auto const mergeable = [](law *base) { return base->return_dim() == 1; };
    for (law *f : few) {
        law *const base = as_power(f).base;
        if (!left && !mergeable(base)) continue;
        if (base->structure_hash() & 1) return false;
        bool like = false;
        many.like(base->structure_hash(), false, [&](int, law *operand) {
            law *const b = as_power(operand).base;
            like = (!left || mergeable(b)) && same_law(base, b);
            return !like;
        });
        if (like) return false;
    }
    return true;
}

// Whether two factors' bases are one base: equal laws, and of two numbers the very same double.
// Numbers that the comparison takes for equal within its tolerance (1e-15 and 0) would not
// multiply to the merged power's value.
bool like_bases(law const *a, law const *b) {
    auto const *x = as_constant(a), *y = as_constant(b);
    if (x && y &&
        std::bit_cast<std::uint64_t>(x->value()) != std::bit_cast<std::uint64_t>(y->value()))
        return false;
    return same_law(a, b);
}

law_ptr merge_powers(times_law const *l) {
    if (no_like_powers(l)) return nullptr;
    chain_view const factors = view_chain(l);
    for (std::size_t i = 0; i < factors.split; ++i) {
        power_form const a = as_power(factors[i]);
        // A product of vectors is no power of one vector.
        if (a.base->return_dim() != 1) continue;
        for (std::size_t j = factors.split; j < factors.size(); ++j) {
            power_form const b = as_power(factors[j]);
            if (!like_bases(a.base, b.base)) continue;
            law_ptr const merged =
                build::power(share(a.base), build::plus(a.exponent_law(), b.exponent_law()));
            if (factors.size() == 2) return merged;
            return rebuild(merge_operands(factors, i, j, merged), *l);
        }
    }
    return nullptr;
}

law_ptr negated_factors(times_law const *l) {
    auto const *a = law_cast<negate_law>(l->fleft());
    auto const *b = law_cast<negate_law>(l->fright());
    if (a && b) return build::times(share(a->fsub()), share(b->fsub()));
    auto const *ca = as_constant(l->fleft());
    auto const *cb = as_constant(l->fright());
    if (a && cb && cb->value() < 0)
        return build::times(share(a->fsub()), build::constant(-cb->value()));
    if (ca && b && ca->value() < 0)
        return build::times(build::constant(-ca->value()), share(b->fsub()));
    return nullptr;
}

// Each component of the vector times the scalar, the scalar kept on its side.
law_ptr scalar_times_vector(times_law const *l) {
    bool const vector_right = as_vector(l->fright()) && scalar(l->fleft());
    bool const vector_left = as_vector(l->fleft()) && scalar(l->fright());
    if (!vector_right && !vector_left) return nullptr;
    auto const *v = as_vector(vector_right ? l->fright() : l->fleft());
    law_ptr const f = share(vector_right ? l->fleft() : l->fright());
    law_array parts;
    for (int i = 0; i < v->fsub_num(); ++i) {
        law_ptr const c = share(v->fsub()[i]);
        parts.push(vector_right ? build::times(f, c) : build::times(c, f));
    }
    return build::vector(parts.data(), v->fsub_num());
}

// ---------------------------------------------------------------- exponent

law_ptr power_one(exponent_law const *l) {
    auto const *b = as_constant(l->fright());
    return b && std::fabs(b->value() - 1) < 1e-14 ? share(l->fleft()) : nullptr;
}

bool negative_constant(law const *l) {
    auto const *c = as_constant(l);
    return c && c->value() < 0;
}

law_ptr power_of_product(exponent_law const *l) {
    auto const *t = law_cast<times_law>(l->fleft());
    if (!t) return nullptr;
    auto const *b = as_constant(l->fright());
    bool const whole_power = b && whole(b->value());
    if ((negative_constant(t->fleft()) || negative_constant(t->fright())) && !whole_power)
        return nullptr;
    law_ptr const e = share(l->fright());
    return build::times(build::power(share(t->fleft()), e), build::power(share(t->fright()), e));
}

law_ptr power_of_power(exponent_law const *l) {
    auto const *inner = law_cast<exponent_law>(l->fleft());
    if (!inner || !as_constant(inner->fright()) || !as_constant(l->fright())) return nullptr;
    double const x[1] = {1.5};
    if (!whole(first_value(inner->fright(), x)) || !whole(first_value(l->fright(), x)))
        return nullptr;
    return build::power(share(inner->fleft()),
                        build::times(share(inner->fright()), share(l->fright())));
}

law_ptr power_zero(exponent_law const *l) {
    return is_constant_value(l->fright(), 0) ? build::constant(1) : nullptr;
}

// ---------------------------------------------------------------- composite

law_ptr constant_outer(composite_law const *l) {
    return l->outer()->take_dim() == 0 ? share(l->outer()) : nullptr;
}

law_ptr identity_inner(composite_law const *l) {
    // A o X is A only when A reads nothing but its first input (X hands it one value).
    auto const *x = law_cast<identity_law>(l->inner());
    return x && x->take_dim() == 1 && l->outer()->take_dim() <= 1 ? share(l->outer()) : nullptr;
}

// y = a x + b read through the polynomial of a law of one input in X (input 0).
struct linear_form {
    double a, b;
};
std::optional<linear_form> as_linear(law const *l) {
    if (l->take_dim() > 1 || l->return_dim() != 1) return std::nullopt;
    std::unique_ptr<law_polynomial> const p(l->polynomial(nullptr));
    if (!p || p->degree() < 0 || p->degree() > 1) return std::nullopt;
    law const *v = p->variable();
    auto const *x = law_cast<identity_law>(v);
    if (v && !(x && x->index() == 0)) return std::nullopt;
    return linear_form{p->coefficent(1), p->coefficent(0)};
}

law_ptr linear_of_linear(composite_law const *l) {
    auto const outer = as_linear(l->outer());
    auto const inner = as_linear(l->inner());
    if (!outer || !inner) return nullptr;
    return build::plus(
        build::constant(outer->a * inner->b + outer->b),
        build::times(build::constant(outer->a * inner->a), make_law<identity_law>(0, 'X')));
}

law_ptr vector_of_composites(composite_law const *l) {
    auto const *v = as_vector(l->outer());
    if (!v) return nullptr;
    law_array parts;
    for (int i = 0; i < v->fsub_num(); ++i) {
        parts.push(build::compose(share(v->fsub()[i]), share(l->inner())));
    }
    return build::vector(parts.data(), v->fsub_num());
}

// ---------------------------------------------------------------- minus, division

law_ptr minus_as_sum(minus_law const *l) {
    return build::plus(share(l->fleft()), build::times(build::constant(-1), share(l->fright())));
}

law_ptr division_as_power(division_law const *l) {
    return build::times(share(l->fleft()), build::power(share(l->fright()), build::constant(-1)));
}

}  // namespace

law *plus_rules(plus_law const *l, char const *&rule_name) {
    if (law *r = first_rule<plus_law>(l, rule_name,
                                      {{"0 + A = A", zero_plus}, {"A + 0 = A", plus_zero}}))
        return r;
    if (!l->fleft() || !l->fright()) return nullptr;
    // The two rules over the whole sum read one view of it.
    chain_view const terms = view_chain(l);
    using chain_rule = law_ptr (*)(plus_law const *, chain_view const &);
    for (auto const &[name, rule] :
         {std::pair<char const *, chain_rule>{"c1 * A + c2 * A -> (c1+c2)*A", collect_like_terms},
          std::pair<char const *, chain_rule>{"cos^2+sin^2=1", pythagoras}}) {
        if (law_ptr r = rule(l, terms)) {
            note_rule(rule_name, name);
            return r.release();
        }
    }
    return first_rule<plus_law>(l, rule_name,
                                {{"vec+vec=vec", vector_sum}, {"Factoring", factoring}});
}

law *minus_rules(minus_law const *l, char const *&rule_name) {
    return first_rule<minus_law>(l, rule_name, {{"B - A = B + (-1) * A", minus_as_sum}});
}

law *times_rules(times_law const *l, char const *&rule_name) {
    return first_rule<times_law>(l, rule_name,
                                 {{"0 * A = 0", zero_times},
                                  {"1 * A = A", one_times},
                                  {"A * 1 = A", times_one},
                                  {"A^B * A^C -> A^(B+C)", merge_powers},
                                  {"-A*-B=A*B", negated_factors},
                                  {"f*vec", scalar_times_vector}});
}

law *division_rules(division_law const *l, char const *&rule_name) {
    return first_rule<division_law>(l, rule_name, {{"A/B=A*B^(-1)", division_as_power}});
}

law *exponent_rules(exponent_law const *l, char const *&rule_name) {
    return first_rule<exponent_law>(l, rule_name,
                                    {{"A ^ 1 = A", power_one},
                                     {"(A*B)^n=A^n*B^n", power_of_product},
                                     {"(A^B)^C=A^(B*C)", power_of_power},
                                     {"A^0=1", power_zero}});
}

law *composite_rules(composite_law const *l, char const *&rule_name) {
    return first_rule<composite_law>(l, rule_name,
                                     {{"CoA=C", constant_outer},
                                      {"AoX=A", identity_inner},
                                      {"LoL=L", linear_of_linear},
                                      {"vec o f = vec", vector_of_composites}});
}
