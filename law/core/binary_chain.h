#pragma once
// The walk of an associative chain that binary_law::collect_chain declares: the library's own
// sources include it where they instantiate the walk.
#include <law/core/binary_law.h>
#include <law/core/derivative_budget.h>
#include <law/core/small_list.h>

template <class List>
void binary_law::collect_chain(binary_law const *op, List &out) {
    // Down the left spine first (chains are mostly left-nested), then each right side met on
    // the way, the deepest first: the operands come out left to right.
    int const type = op->type();
    small_list<law const *, 64> rights;
    law const *l = op;
    long operands = 0;
    for (;;) {
        while (l && l->type() == type) {
            auto const *b = static_cast<binary_law const *>(l);
            rights.push_back(b->fright());
            l = b->fleft();
        }
        out.push_back(const_cast<law *>(l));
        ++operands;
        if (rights.empty()) return count_chain_walk(operands);
        l = rights.back();
        rights.pop_back();
    }
}
