#pragma once
// TWIST(v, path, angle): the vector v turned about the unit tangent of the path by the angle,
// cos(angle) v + sin(angle) (NORM(path') x v). Exactly three members (else LAW_TWIST_NUM), none
// null (LAW_NULL_LAW); a path that stays at one point has no tangent (LAW_NO_TANGENT), and one
// whose tangent vanishes at a parameter fails there with the error of its unit vector.
#include <law/geom/built_law.h>

law_ptr twist_tree(law **subs, int n);
law_ptr twist_rule(law *const *subs, int n, char const *&rule_name);

using twist_path_law = built_law_of<law_id::twist_path_law, twist_tree, twist_rule>;
