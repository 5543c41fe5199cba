#pragma once
// Registry look-up and list utilities used by the operator laws and the numerical code.
// (same_law_list and make_bound_interval live with the law core, law/core/law.h.)
class law;
class law_data;
class binary_law;

// The registered law data prototype whose name (symbol(0)) is name; of several, the earliest
// registered. Null when none matches.
law_data *get_law_data(char const *name);

// The operands of the chain of b's own class below an associative b, left to right, in a new
// array (vorn_allocate) that the caller frees with vorn_discard; *n receives their number. The
// operands get no new reference. A law that is not associative has none: null and *n = 0.
law **get_asso_list(binary_law const *b, int *n);

// The left-nested chain op(op(op(list[0], list[1]), list[2]) ...) built with op's make_one; a
// new reference. n should be at least 2; one law gives a new reference to it, none gives null.
law *make_list_law(law **list, int n, binary_law const *op);

// Sorts n singular points (values with their orders) ascending and keeps those inside
// [lo - resabs, hi + resabs] that lie at least resabs after their sorted predecessor. When any
// are dropped both arrays are freed and replaced (by null when none survive). Returns the count.
int sort_singularities(double **values, int **orders, int n, double lo, double hi);
