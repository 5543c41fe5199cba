#pragma once
// Truth-valued laws (1 true, 0 false): the six comparisons and the short-circuit AND and OR.
#include <law/core/binary_law.h>

// A comparison of the first components of A and B, with no tolerance; NaN compares unequal.
class comparison_law : public binary_law {
  public:
    int date() const override;
    // The members' singular points and where this law breaks (operator_breaks.cc).
    int singularities(double **where, int **type, double start, double end,
                      double **period = nullptr) const override;

  protected:
    comparison_law(law *left, law *right) : binary_law(left, right) {}
    int return_size() const override { return 1; }
};

template <int Id>
class compare_law final : public table_law<Id, comparison_law> {
  public:
    compare_law(law *left, law *right) : table_law<Id, comparison_law>(left, right) {}
    law *make_one(law *left, law *right) const override { return new compare_law(left, right); }
    void evaluate(double const *x, double *y) const override;
    tape_values emit_tape(tape_builder &b, tape_point const &at) const override;
    bool compiles_as_operation(side_operation &f) const override;
    bool plain_form_of(plain_form &f) const override;
};

using less_than_law = compare_law<law_id::less_than_law>;
using greater_than_law = compare_law<law_id::greater_than_law>;
using less_than_or_equal_law = compare_law<law_id::less_than_or_equal_law>;
using greater_than_or_equal_law = compare_law<law_id::greater_than_or_equal_law>;
using equal_law = compare_law<law_id::equal_law>;
using not_equal_law = compare_law<law_id::not_equal_law>;
using and_law = compare_law<law_id::and_law>;
using or_law = compare_law<law_id::or_law>;

extern template class compare_law<law_id::less_than_law>;
extern template class compare_law<law_id::greater_than_law>;
extern template class compare_law<law_id::less_than_or_equal_law>;
extern template class compare_law<law_id::greater_than_or_equal_law>;
extern template class compare_law<law_id::equal_law>;
extern template class compare_law<law_id::not_equal_law>;
extern template class compare_law<law_id::and_law>;
extern template class compare_law<law_id::or_law>;
