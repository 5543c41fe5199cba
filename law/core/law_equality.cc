#include <law/core/law.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include <law/core/binary_law.h>
#include <law/core/constant_law.h>
#include <law/core/deep_tree.h>
#include <law/core/multiple_law.h>
#include <law/core/small_list.h>
#include <law/core/unary_law.h>

// Two laws are compared with a stack of pairs of their own, so that sums of a million terms or
// ten thousand nested functions compare without reaching the depth of the call stack. The
// families keep their rules: a chain of one commutative, associative operator, and a commutative
// law of several laws, equal the same operands in any order (their class's `same` compares the
// operand lists); every other law compares its own fields through `same`.
namespace {

// Most comparisons end at the top or within a few levels: the pairs live on the stack until many.
using law_pairs = small_list<std::pair<law const *, law const *>, 32>;

// Whether a and b (of one class) agree at the top, with the pairs of their sub-laws still to
// compare put on pending.
bool same_at_top(law const *a, law const *b, law_pairs &pending) {
    // A class of a program's own may compare its laws its own way.
    if (a->type() >= law_id::first_free) return a->same(a, b);
    if (a->isa(law_id::binary_law)) {
        auto const *x = static_cast<binary_law const *>(a);
        auto const *y = static_cast<binary_law const *>(b);
        if (x->commutative() && x->associative()) return x->same(x, y);
        pending.push_back({x->fright(), y->fright()});
        pending.push_back({x->fleft(), y->fleft()});
        return true;
    }
    if (a->isa(law_id::unary_law)) {
        pending.push_back(
            {static_cast<unary_law const *>(a)->fsub(), static_cast<unary_law const *>(b)->fsub()});
        return true;
    }
    if (a->isa(law_id::multiple_law)) {
        auto const *x = static_cast<multiple_law const *>(a);
        auto const *y = static_cast<multiple_law const *>(b);
        if (x->commutative() || x->fsub_num() != y->fsub_num()) return x->same(x, y);
        for (int i = x->fsub_num(); i-- > 0;) pending.push_back({x->fsub()[i], y->fsub()[i]});
        return true;
    }
    return a->same(a, b);
}

}  // namespace

// ---------------------------------------------------------------- structure hash

namespace {

constexpr std::uint64_t untrusted = 1;

std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h * 0xff51afd7ed558ccdULL;
}

// A constant by its value. Two constants are the same within 1e-14, so the value is rounded to a
// grid of 2^-40 (about 9e-13) whose cells end halfway between grid points: two values within
// 1e-14 of each other fall in one cell unless one lies within 2^-46 of a cell's end, and such a
// value makes the hash untrusted. Beyond 2^20 the spacing of doubles is wider than 1e-14, and the
// same constants are the same doubles.
std::uint64_t constant_hash(double v) {
    if (!std::isfinite(v)) return untrusted;
    if (std::fabs(v) >= 1048576.0) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return bits & ~untrusted;
    }
    double const q = std::ldexp(v, 40);
    double const cell = std::nearbyint(q);
    bool const near_end = std::fabs(std::fabs(q - cell) - 0.5) < 1.0 / 64;
    return (static_cast<std::uint64_t>(static_cast<std::int64_t>(cell)) << 1) |
           (near_end ? untrusted : 0);
}

bool commutative_chain(law const *l) {
    auto const *b = static_cast<binary_law const *>(l);
    return b->commutative() && b->associative();
}

}  // namespace

// Worked out once, when first asked, from the hashes of the sub-laws: those that have none yet
// are worked out first, the deepest first, with a stack of the walk's own.
std::uint64_t law::structure_hash() const {
    std::uint64_t h = hash_.load(std::memory_order_acquire);
    if (h) return h;
    auto unknown = [](law const *l) { return l && !l->hash_.load(std::memory_order_acquire); };
    bool subs_unknown = false;
    for (int i = 0; law const *sub = sub_law_at(this, i); ++i) subs_unknown |= unknown(sub);
    if (subs_unknown) {
        small_list<std::pair<law const *, int>, 32> stack{{this, 0}};
        while (!stack.empty()) {
            auto &[l, next] = stack.back();
            if (law const *sub = sub_law_at(l, next++)) {
                if (unknown(sub)) stack.push_back({sub, 0});
                continue;
            }
            law const *done = l;
            stack.pop_back();
            if (done != this) done->structure_hash();
        }
    }
    int const t = type();
    std::uint64_t flags = 0;
    auto sub_hash = [&flags](law const *sub) -> std::uint64_t {
        if (!sub) return 0x5bd1e995;
        std::uint64_t const s = sub->structure_hash();
        flags |= s & untrusted;
        return s;
    };
    h = mix(0, static_cast<std::uint64_t>(t));
    if (t >= law_id::first_free) {
        // A class of a program's own may compare its laws in its own way.
        flags |= untrusted;
    } else if (auto const *c = law_cast<constant_law>(this)) {
        std::uint64_t const v = constant_hash(c->value());
        flags |= v & untrusted;
        h = mix(h, v);
    } else if (auto const *x = law_cast<identity_law>(this)) {
        h = mix(h, static_cast<std::uint64_t>(x->index()));
    } else if (isa(law_id::binary_law)) {
        auto const *b = static_cast<binary_law const *>(this);
        if (commutative_chain(this)) {
            // The operands of the whole chain in any order: a sum of their hashes.
            std::uint64_t sum = 0;
            for (law const *side : {b->fleft(), b->fright()}) {
                if (side && side->type() == t) {
                    sub_hash(side);  // works out the side's chain sum too
                    sum += side->chain_sum_.load(std::memory_order_relaxed);
                } else {
                    sum += sub_hash(side);
                }
            }
            chain_sum_.store(sum, std::memory_order_relaxed);
            h = mix(h, sum);
        } else {
            h = mix(mix(h, sub_hash(b->fleft())), sub_hash(b->fright()));
        }
    } else if (isa(law_id::unary_law)) {
        h = mix(h, sub_hash(static_cast<unary_law const *>(this)->fsub()));
    } else if (isa(law_id::multiple_law)) {
        auto const *m = static_cast<multiple_law const *>(this);
        bool const any_order = m->commutative();
        std::uint64_t subs = 0;
        for (int i = 0; i < m->fsub_num(); ++i) {
            std::uint64_t const s = sub_hash(m->fsub()[i]);
            subs = any_order ? subs + s : mix(subs, s);
        }
        h = mix(mix(h, static_cast<std::uint64_t>(m->fsub_num())), subs);
    }
    // Other laws (law data, a law's own class) are equal only with equal types.
    h = (h & ~std::uint64_t{3}) | 2 | flags;
    hash_.store(h, std::memory_order_release);
    return h;
}

// Worked out apart from the hash, which new laws rarely need: the constant rule asks every sum and
// product it meets. Stored as the count plus one (0 while not known); the links of the chain
// without a count are counted first, the deepest first, with a stack of the walk's own.
int law::chain_constants() const {
    std::uint8_t const known = chain_constants_.load(std::memory_order_relaxed);
    if (known) return known - 1;
    if (!isa(law_id::binary_law) || !commutative_chain(this)) {
        chain_constants_.store(1, std::memory_order_relaxed);
        return 0;
    }
    int const t = type();
    auto link = [t](law const *side) { return side && side->type() == t; };
    small_list<law const *, 32> stack{this};
    while (!stack.empty()) {
        auto const *b = static_cast<binary_law const *>(stack.back());
        bool ready = true;
        for (law const *side : {b->fleft(), b->fright()}) {
            if (link(side) && !side->chain_constants_.load(std::memory_order_relaxed)) {
                stack.push_back(side);
                ready = false;
            }
        }
        if (!ready) continue;
        stack.pop_back();
        int constants = 0;
        for (law const *side : {b->fleft(), b->fright()}) {
            if (link(side))
                constants += side->chain_constants_.load(std::memory_order_relaxed) - 1;
            else
                constants += side && side->isa(law_id::constant_law) ? 1 : 0;
        }
        b->chain_constants_.store(static_cast<std::uint8_t>(std::min(constants, 2) + 1),
                                  std::memory_order_relaxed);
    }
    return chain_constants_.load(std::memory_order_relaxed) - 1;
}

int law::operator==(law const &other) const {
    // Most laws compared differ at the top, told by their sizes, classes or hashes.
    if (this == &other) return 1;
    if (!same_tree_size(other) || type() != other.type() || !may_equal(other)) return 0;
    law_pairs pending;
    pending.push_back({this, &other});
    while (!pending.empty()) {
        auto const [a, b] = pending.back();
        pending.pop_back();
        if (a == b) continue;
        if (!a || !b || !a->same_tree_size(*b) || a->type() != b->type() || !a->may_equal(*b) ||
            !same_at_top(a, b, pending))
            return 0;
    }
    return 1;
}
