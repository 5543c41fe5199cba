#pragma once
// Spline law data over an sw_curve: what lets a fitted curve stand as a law (a spline_law of
// three outputs) and be read back by its name, SPLINE_LAW(SPLINE_LAW1).
#include <law/spline/base_spline_law_data.h>
#include <law/spline/sw_curve.h>

class law;

class sw_curve_spline_law_data : public base_spline_law_data {
  public:
    sw_curve_spline_law_data() = default;
    // Keeps its own copy of c, over the curve's range.
    explicit sw_curve_spline_law_data(sw_curve const &c);
    sw_curve const *curve() const { return curve_; }

    // Point, first and second derivative; LAW_DATA_CURVE for a higher order.
    void eval(double t, int nderiv, double *out, int flag) const override;
    int return_size() const override { return 3; }
    // The interior knots.
    int singularities(double **where, int **type, double start, double end) const override;
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    bool operator==(law_data const &other) const override;

  protected:
    ~sw_curve_spline_law_data() override;

  private:
    sw_curve *curve_ = nullptr;
};

// A new spline_law over a copy of c.
law *make_sw_curve_spline_law(sw_curve const &c);
