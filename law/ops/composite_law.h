#pragma once
// A o B: the outer law A evaluated at the output of the inner law B.
#include <law/core/binary_law.h>
#include <law/ops/operator_rules.h>

class composite_law : public binary_law {
    LAW_CLASS_FACTS(composite_law, binary_law)
  public:
    composite_law(law *outer, law *inner) : binary_law(outer, inner) {}
    // A o (B1, ..., Bn): the inner law is the vector of the n laws.
    composite_law(law *outer, law **inner, int n);
    law *make_one(law *left, law *right) const override { return new composite_law(left, right); }
    law *sub_simplify(int, char const *&rule_name = NULL_REF) const override {
        return composite_rules(this, rule_name);
    }
    law *outer() const { return fleft(); }
    law *inner() const { return fright(); }

    void evaluate(double const *x, double *y) const override;
    LAW_COMPILED_FORMS
    void evaluate_with_guess(double const *x, double *y, double const *guess) const override;
    void evaluateVAR(double const *x, double *&answer, int &answer_size) const override;
    int in_domain(double const *x) const override;
    int term_domain(int which, ZEM::interval &out) const override;
    law *set_range(ZEM::interval const *range, int flag = 0) const override;
    int singularities(double **where, int **type, double start, double end,
                      double **period = nullptr) const override;
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;
    law *enable_branching() const override;
    int branches() const override;

  protected:
    law *deriv(int which) const override;
    law *sub_inverse() const override;
    int take_size() const override;
    int return_size() const override;
};
