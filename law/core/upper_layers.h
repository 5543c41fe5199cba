#pragma once
// What the law base needs from the layers above it other than the evaluation engine (which has
// law_engine.h), and only this: the simplifier behind law::simplify (ops), the domain law behind
// law::set_domain (geom), the sampled bounds behind law::bounds (numeric), the reader's names,
// which the printer must not run together (lang), the search for the zeros of a law of one
// input that the singular points of ABS, MAX, FLOOR and the others come from (numeric), and the
// end of what the simplifier keeps about a long product that goes (ops). Each layer installs its
// hook when the library loads, so the base never names their classes.
#include <vector>

class law;

struct upper_layer_hooks {
    // A new reference to l simplified by the rule engine.
    law *(*simplify)(law const *l, int level, int debug) = nullptr;
    // A new domain law over subs[0] with a low and a high bound law per input (n = 2 k + 1).
    law *(*make_domain)(law **subs, int n) = nullptr;
    // law::bounds of l: the range of its outputs over a box, from refined samples.
    double (*bounds)(law const *l, double *min, double *max, double const *start, double const *end,
                     double tol, double *step) = nullptr;
    // The length of the token that the reader takes at the start of a normalised text where an
    // operand is expected; 0 when none.
    int (*name_length_at)(char const *text) = nullptr;
    // Every zero of the scalar law f of one input on the finite interval [start, end], ascending.
    // When not all can be found, it raises LAW_ROOTS_UNRESOLVED, or, within a
    // singular_hints_scope, gives those found and notes the scope (singular_points.h).
    std::vector<double> (*zeros)(law const *f, double start, double end) = nullptr;
    // Drops what the simplifier keeps about the operands of the long product l, which is going
    // (a law carrying kept_product_mark among its pass marks).
    void (*forget_product)(law const *l) = nullptr;
};

inline constexpr int kept_product_mark = 4;

upper_layer_hooks &upper_layers();
