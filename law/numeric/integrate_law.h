#pragma once
// A parameter integral: the integral of f(x, t) dt from a(x) to b(x), split at the values of the
// split laws, by Romberg's method.
#include <law/core/law.h>

class integrate_law : public law {
    LAW_IDENTITY(integrate_law, law)
  public:
    // f takes the outer parameter as input 0 and the integration variable as input 1; the limits
    // and the splits are laws of the outer parameter. The caller keeps its own references.
    integrate_law(law *f, law *a, law *b, int nsplit = 0, law **splits = nullptr,
                  double tol = 1e-10, int min_level = 2, int max_level = 20);

    law *integrand() const { return f_; }
    law *lower() const { return a_; }
    law *upper() const { return b_; }
    int split_count() const { return nsplit_; }

    void evaluate(double const *x, double *answer) const override;
    // Integrate(f,a,b); the splits and the numeric settings are not printed.
    char *string(law_symbol_type type = law_symbol_default, int &count = NULL_REF,
                 law_data_node *&list = NULL_REF) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;

  protected:
    ~integrate_law() override;
    // Leibniz's rule in the outer parameter; 0 for any other input.
    law *deriv(int which) const override;
    int take_size() const override;

  private:
    law *f_;
    law *a_;
    law *b_;
    int nsplit_;
    law **splits_;
    double tol_;
    int min_level_;
    int max_level_;
};
