#pragma once
// The four arithmetic operators and the power: A + B, A - B, A * B, A / B, A ^ B.
#include <law/core/binary_law.h>
#include <law/ops/operator_rules.h>

class plus_law : public binary_law {
    LAW_CLASS_FACTS(plus_law, binary_law)
  public:
    plus_law(law *left, law *right) : binary_law(left, right) {}
    int associative() const override { return 1; }
    int commutative() const override { return 1; }
    law *make_one(law *left, law *right) const override { return new plus_law(left, right); }
    law *sub_simplify(int, char const *&rule_name = NULL_REF) const override {
        return plus_rules(this, rule_name);
    }

    void evaluate(double const *x, double *y) const override;
    tape_values emit_tape(tape_builder &b, tape_point const &at) const override;
    law_polynomial *polynomial(law *in) const override;
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;

  protected:
    law *deriv(int which) const override;
    law *sub_inverse() const override;
};

class minus_law : public binary_law {
    LAW_CLASS_FACTS(minus_law, binary_law)
  public:
    minus_law(law *left, law *right) : binary_law(left, right) {}
    law *make_one(law *left, law *right) const override { return new minus_law(left, right); }
    law *sub_simplify(int, char const *&rule_name = NULL_REF) const override {
        return minus_rules(this, rule_name);
    }

    void evaluate(double const *x, double *y) const override;
    tape_values emit_tape(tape_builder &b, tape_point const &at) const override;
    law_polynomial *polynomial(law *in) const override;
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;

  protected:
    law *deriv(int which) const override;
};

class times_law : public binary_law {
    LAW_CLASS_FACTS(times_law, binary_law)
  public:
    times_law(law *left, law *right) : binary_law(left, right) {}
    int associative() const override { return 1; }
    int commutative() const override { return 1; }
    law *make_one(law *left, law *right) const override { return new times_law(left, right); }
    law *sub_simplify(int, char const *&rule_name = NULL_REF) const override {
        return times_rules(this, rule_name);
    }

    // Raises LAW_TIMES when both sides return more than one value.
    void evaluate(double const *x, double *y) const override;
    tape_values emit_tape(tape_builder &b, tape_point const &at) const override;
    law_polynomial *polynomial(law *in) const override;
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;

  protected:
    law *deriv(int which) const override;
};

class division_law : public binary_law {
    LAW_CLASS_FACTS(division_law, binary_law)
  public:
    // Raises LAW_DIVISION when the right side returns 2 or more values.
    division_law(law *left, law *right);
    law *make_one(law *left, law *right) const override { return new division_law(left, right); }
    law *sub_simplify(int, char const *&rule_name = NULL_REF) const override {
        return division_rules(this, rule_name);
    }

    // 0/0 is resolved by the L'Hopital rule; x/0 raises LAW_ZERODIVIDE.
    void evaluate(double const *x, double *y) const override;
    tape_values emit_tape(tape_builder &b, tape_point const &at) const override;
    int in_domain(double const *x) const override;
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;

  protected:
    law *deriv(int which) const override;
};

class exponent_law : public binary_law {
    LAW_CLASS_FACTS(exponent_law, binary_law)
  public:
    exponent_law(law *left, law *right) : binary_law(left, right) {}
    law *make_one(law *left, law *right) const override { return new exponent_law(left, right); }
    law *sub_simplify(int, char const *&rule_name = NULL_REF) const override {
        return exponent_rules(this, rule_name);
    }

    // Raises LAW_EXPONENT for 0 to a power <= 0 and a negative base under a non-whole exponent.
    void evaluate(double const *x, double *y) const override;
    static double power(double a, double b);
    tape_values emit_tape(tape_builder &b, tape_point const &at) const override;
    int in_domain(double const *x) const override;
    law_polynomial *polynomial(law *in) const override;
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;

  protected:
    law *deriv(int which) const override;
    int return_size() const override { return 1; }
};
