#include <law/geom/surfvec_law.h>

#include <law/geom/tree_arithmetic.h>
#include <law/lang/law_list.h>

namespace {
law_list reg(new surfvec_law());

bool shaped(law const *l, int outputs) { return l && l->return_dim() == outputs; }
}  // namespace

law_ptr surfvec_tree(law **subs, int n) {
    using namespace tree;
    if (n != 3 || !subs || !shaped(subs[0], 3) || subs[0]->take_dim() > 2 || !shaped(subs[1], 2) ||
        !shaped(subs[2], 2))
        law_error(LAW_DIM);
    law_ptr const s = share(subs[0]), p = share(subs[1]), w = share(subs[2]);
    return of(d(s, 0), p) * build::component(w, 1) + of(d(s, 1), p) * build::component(w, 2);
}
