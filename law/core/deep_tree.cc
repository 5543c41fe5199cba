#include <law/core/deep_tree.h>

#include <law/core/binary_law.h>
#include <law/core/multiple_law.h>
#include <law/core/unary_law.h>

namespace {
constinit thread_local bool settling_now = false;
}  // namespace

bool settling_deep_tree() { return settling_now; }
bool &settling_flag() { return settling_now; }

law const *sub_law_at(law const *l, int i) {
    if (l->isa(law_id::binary_law)) {
        auto const *b = static_cast<binary_law const *>(l);
        return i == 0 ? b->fleft() : i == 1 ? b->fright() : nullptr;
    }
    if (l->isa(law_id::unary_law))
        return i == 0 ? static_cast<unary_law const *>(l)->fsub() : nullptr;
    if (l->isa(law_id::multiple_law)) {
        auto const *m = static_cast<multiple_law const *>(l);
        return i < m->fsub_num() ? m->fsub()[i] : nullptr;
    }
    return nullptr;
}
