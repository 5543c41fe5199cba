#include <law/core/law.h>

#include <utility>
#include <vector>

#include <law/core/binary_law.h>
#include <law/core/multiple_law.h>
#include <law/core/unary_law.h>

// Two laws are compared with a stack of pairs of their own, so that sums of a million terms or
// ten thousand nested functions compare without reaching the depth of the call stack. The
// families keep their rules: a chain of one commutative, associative operator, and a commutative
// law of several laws, equal the same operands in any order (their class's `same` compares the
// operand lists); every other law compares its own fields through `same`.
namespace {

using law_pairs = std::vector<std::pair<law const *, law const *>>;

// Whether a and b (of one class) agree at the top, with the pairs of their sub-laws still to
// compare put on pending.
bool same_at_top(law const *a, law const *b, law_pairs &pending) {
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

int law::operator==(law const &other) const {
    law_pairs pending{{this, &other}};
    while (!pending.empty()) {
        auto const [a, b] = pending.back();
        pending.pop_back();
        if (a == b) continue;
        if (!a || !b || !a->same_tree_size(*b) || a->type() != b->type() ||
            !same_at_top(a, b, pending))
            return 0;
    }
    return 1;
}
