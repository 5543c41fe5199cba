#pragma once
// The Dupin cyclide with constants a, c, mu (b = sqrt(a^2 - c^2)), at the parameters (u, v):
// with d = a - c cos u cos v,
//   ((mu (c - a cos u cos v) + b^2 cos u) / d, b sin u (a - mu cos v) / d,
//    b sin v (c cos u - mu) / d).
// CYCLIDE(a, c, mu) takes u and v as its inputs X and Y; further members give u (the fourth)
// and v (the fifth) as laws of the inputs instead. DCYCLIDE with the same members gives the
// partial derivatives dP/du and dP/dv, six values. At least three members, at most five (else
// LAW_MR_NUM); a, c and mu are laws of no input (else LAW_BASE_C); a^2 < c^2 raises LAW_SQRT.
#include <law/geom/built_law.h>

// The constants of a cyclide and the surface they give.
struct cyclide_shape {
    double a, b, c, mu;
    // Reads and checks the first three members.
    static cyclide_shape of_members(law *const *subs, int n);
    // The surface as a law of X = u and Y = v (new reference).
    law_ptr surface() const;
};

// The members after the constants as one law of the parameters (u, v): VEC(u, v) with the
// inputs X and Y standing for missing members; null when both are missing.
law_ptr cyclide_parameters(law *const *subs, int n);

law_ptr cyclide_tree(law **subs, int n);
law_ptr dcyclide_tree(law **subs, int n);

using cyclide_law = built_law_of<law_id::cyclide_law, cyclide_tree>;
using dcyclide_law = built_law_of<law_id::dcyclide_law, dcyclide_tree>;
