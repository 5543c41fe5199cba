#pragma once
// SURFVEC(S, P, W): the tangent vector of the surface S at the parameter point P that the
// parameter-space vector W maps to, dS/du(P) W1 + dS/dv(P) W2. S is a law of two inputs and
// three outputs; P and W give two values each at the law's inputs. The tangent of the curve
// S(P(t)) is SURFVEC(S, P, P'). Exactly three members, else LAW_DIM.
#include <law/geom/built_law.h>

law_ptr surfvec_tree(law **subs, int n);

using surfvec_law = built_law_of<law_id::surfvec_law, surfvec_tree>;
