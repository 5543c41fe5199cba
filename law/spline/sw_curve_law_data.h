#pragma once
// A spline curve as curve law data, so that laws can use a fitted curve: CUR(SWEDGE1).
#include <law/data/path_law_data.h>
#include <law/spline/sw_curve.h>

class sw_curve_law_data : public base_curve_law_data {
  public:
    sw_curve_law_data();
    // Keeps its own copy of c (copy_curve) over [start, end].
    sw_curve_law_data(sw_curve const &c, double start, double end);
    sw_curve const *curve_data() const { return curve_; }

    char const *symbol(law_symbol_type) const override { return "SWEDGE"; }
    int date() const override { return 60100; }
    void print(T4_ostream &out) const override;
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    law_data *set_domain(ZEM::interval const *domains) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    bool operator==(law_data const &other) const override;

    // The point (deriv 0) or the first or second derivative; LAW_DATA_CURVE for other orders.
    ZEM::vector eval(double t, int deriv = 0, int side = 0) const override;
    int evaluate(double t, ZEM::position &p, ZEM::vector **derivs, int nderivs,
                 int side) const override;
    // Not provided: NO_SW_EVAL_CURVATURE, and the curve's NO_SW_* codes.
    double curvature(double t) const override;
    double length_param(double start, double length) const override;
    double length(double start, double end) const override;
    double point_perp(ZEM::position const &p, double guess) const override;
    double point_perp(ZEM::position const &p) const override;
    // The interior knots, where a derivative may jump.
    int singularities(double **where, int **type, double start, double end) const override;
    int discontinuities(double **where, int **order, double start, double end) const override;

  protected:
    ~sw_curve_law_data() override;

  private:
    sw_curve const &curve() const;
    sw_curve *curve_ = nullptr;
};
