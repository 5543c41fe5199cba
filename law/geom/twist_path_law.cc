#include <law/geom/twist_path_law.h>

#include <string>

#include <law/geom/geom_util.h>
#include <law/geom/tree_arithmetic.h>
#include <law/lang/law_list.h>

namespace {
law_list reg(new twist_path_law());
}  // namespace

law_ptr twist_tree(law **subs, int n) {
    using namespace tree;
    if (n != 3 || !subs) law_error(LAW_TWIST_NUM, std::to_string(n) + " members");
    check_non_null(subs, n);
    law_ptr const v = share(subs[0]), path = share(subs[1]), angle = share(subs[2]);
    law_ptr const moves = d(path, 0);
    if (zero_constant(moves.get()))
        law_error(LAW_NO_TANGENT, "the path of TWIST stays at one point");
    law_ptr const tangent = unit(moves);
    return cos(angle) * v + sin(angle) * cross(tangent, v);
}

law_ptr twist_rule(law *const *subs, int, char const *&rule_name) {
    if (!zero_constant(subs[2])) return {};
    note_rule(rule_name, "twist(A,P,0)=A");
    return share(subs[0]);
}
