#pragma once
// The sub-laws of a law of the unary, binary or multiple family, in order (none for others).
#include <vector>

#include <law/core/binary_law.h>
#include <law/core/multiple_law.h>
#include <law/core/unary_law.h>

inline std::vector<law const *> law_members(law const *l) {
    if (auto const *u = law_cast<unary_law>(l)) return {u->fsub()};
    if (auto const *b = law_cast<binary_law>(l)) return {b->fleft(), b->fright()};
    if (auto const *m = law_cast<multiple_law>(l); m && m->fsub())
        return {m->fsub(), m->fsub() + m->fsub_num()};
    return {};
}
