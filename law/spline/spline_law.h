#pragma once
// A spline reached through base_spline_law_data, as a law of one input: the spline's value, or
// its derivative of order nderiv. Its derivative raises the order on the same data.
#include <law/core/unary_data_law.h>
#include <law/spline/base_spline_law_data.h>

class spline_law : public unary_data_law {
    LAW_CLASS_FACTS(spline_law, unary_data_law)
  public:
    // Takes a reference on data (which may be null only for the parser's prototype).
    explicit spline_law(base_spline_law_data *data);
    base_spline_law_data *spline_data() const;
    int nderiv() const { return nderiv_; }
    void set_nderiv(int n) { nderiv_ = n; }

    void evaluate(double const *x, double *answer) const override;
    int date() const override { return 60000; }
    // LAW_DATA_UNKNOWN when d is not spline law data.
    law *make_one(law_data *d) const override;
    int singularities(double **where, int **type, double start, double end,
                      double **period = nullptr) const override;
    int same(law const *a, law const *b) const override;

  protected:
    law *deriv(int which) const override;
    int take_size() const override { return 1; }
    int return_size() const override;

  private:
    int nderiv_ = 0;
};
