#pragma once
// The four arithmetic operators and the power: A + B, A - B, A * B, A / B, A ^ B.
#include <law/core/binary_law.h>
#include <law/ops/operator_rules.h>

// What the operators share: construction over two sides, make_one, and the class's own rewrite
// rules as its sub_simplify.
template <class Self, law *(*Rules)(Self const *, char const *&)>
class arithmetic_law : public binary_law {
  public:
    arithmetic_law(law *left, law *right) : binary_law(left, right) {}
    law *make_one(law *left, law *right) const override { return new Self(left, right); }
    law *sub_simplify(int, char const *&rule_name = NULL_REF) const override {
        return Rules(static_cast<Self const *>(this), rule_name);
    }
    // The operator over its two scalar sides, where the tape compiles it so.
    bool plain_form_of(plain_form &f) const override;
};

// The members every operator defines for itself.
#define LAW_ARITHMETIC_OVERRIDES                                  \
    void evaluate(double const *x, double *y) const override;     \
    bool compiles_as_operation(side_operation &f) const override; \
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;

class plus_law : public arithmetic_law<plus_law, plus_rules> {
    LAW_CLASS_FACTS(plus_law, binary_law)
  public:
    using arithmetic_law::arithmetic_law;
    int associative() const override { return 1; }
    int commutative() const override { return 1; }
    LAW_ARITHMETIC_OVERRIDES
    law_polynomial *polynomial(law *in) const override;

  protected:
    law *deriv(int which) const override;
    law *sub_inverse() const override;
};

class minus_law : public arithmetic_law<minus_law, minus_rules> {
    LAW_CLASS_FACTS(minus_law, binary_law)
  public:
    using arithmetic_law::arithmetic_law;
    LAW_ARITHMETIC_OVERRIDES
    law_polynomial *polynomial(law *in) const override;

  protected:
    law *deriv(int which) const override;
};

class times_law : public arithmetic_law<times_law, times_rules> {
    LAW_CLASS_FACTS(times_law, binary_law)
  public:
    using arithmetic_law::arithmetic_law;
    int associative() const override { return 1; }
    int commutative() const override { return 1; }
    // Evaluation raises LAW_TIMES when both sides return more than one value.
    LAW_ARITHMETIC_OVERRIDES
    law_polynomial *polynomial(law *in) const override;

  protected:
    law *deriv(int which) const override;
    law *short_deriv(int which) const override;
};

class division_law : public arithmetic_law<division_law, division_rules> {
    LAW_CLASS_FACTS(division_law, binary_law)
  public:
    // Raises LAW_DIVISION when the right side returns 2 or more values.
    division_law(law *left, law *right);
    // 0/0 is resolved by the L'Hopital rule; x/0 raises LAW_ZERODIVIDE.
    LAW_ARITHMETIC_OVERRIDES
    int in_domain(double const *x) const override;
    // The members' singular points and where this law breaks (operator_breaks.cc).
    int singularities(double **where, int **type, double start, double end,
                      double **period = nullptr) const override;

  protected:
    law *deriv(int which) const override;
    law *short_deriv(int which) const override;
};

class exponent_law : public arithmetic_law<exponent_law, exponent_rules> {
    LAW_CLASS_FACTS(exponent_law, binary_law)
  public:
    using arithmetic_law::arithmetic_law;
    // Evaluation raises LAW_EXPONENT for 0 to a power <= 0 and a negative base under a
    // non-whole exponent.
    LAW_ARITHMETIC_OVERRIDES
    static double power(double a, double b);
    int in_domain(double const *x) const override;
    // The members' singular points and where this law breaks (operator_breaks.cc).
    int singularities(double **where, int **type, double start, double end,
                      double **period = nullptr) const override;
    law_polynomial *polynomial(law *in) const override;

  protected:
    law *deriv(int which) const override;
    law *short_deriv(int which) const override;
    int return_size() const override { return 1; }
};
