#include <law/core/evaluation_cost.h>

#include <unordered_set>
#include <vector>

#include <law/core/binary_law.h>
#include <law/core/constant_law.h>
#include <law/core/multiple_law.h>
#include <law/core/unary_law.h>

namespace {
constexpr double cheap = 1, division = 2, root = 2, power = 15, function = 12, other = 5;

double own_cost(law const *l) {
    switch (l->type()) {
        case law_id::constant_law:
        case law_id::pi_law:
        case law_id::e_law:
        case law_id::true_law:
        case law_id::false_law:
        case law_id::identity_law:
            return 0;
        case law_id::plus_law:
        case law_id::minus_law:
        case law_id::times_law:
        case law_id::negate_law:
        case law_id::abs_law:
        case law_id::less_than_law:
        case law_id::greater_than_law:
        case law_id::less_than_or_equal_law:
        case law_id::greater_than_or_equal_law:
        case law_id::equal_law:
        case law_id::not_equal_law:
            return cheap;
        case law_id::division_law:
            return division;
        case law_id::sqrt_law:
            return root;
        case law_id::exponent_law: {
            // A square is one multiplication.
            auto const *c = law_cast<constant_law>(static_cast<binary_law const *>(l)->fright());
            return c && c->value() == 2 ? cheap : power;
        }
        default:
            return law_isa<unary_law>(l) ? function : other;
    }
}

// The sub-laws of l, for the families whose members are laws.
void push_subs(law const *l, std::vector<law const *> &out) {
    if (auto const *b = law_cast<binary_law>(l)) {
        out.push_back(b->fleft());
        out.push_back(b->fright());
    } else if (auto const *u = law_cast<unary_law>(l)) {
        out.push_back(u->fsub());
    } else if (auto const *m = law_cast<multiple_law>(l)) {
        for (int i = 0; i < m->fsub_num(); ++i) out.push_back(m->fsub()[i]);
    }
}
}  // namespace

double evaluation_cost(law const *l) {
    double total = 0;
    std::unordered_set<law const *> seen;
    std::vector<law const *> pending{l};
    while (!pending.empty()) {
        law const *const next = pending.back();
        pending.pop_back();
        if (!next || !seen.insert(next).second || next->take_dim() == 0) continue;
        total += own_cost(next);
        push_subs(next, pending);
    }
    return total;
}
