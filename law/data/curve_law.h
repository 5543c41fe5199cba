#pragma once
// CUR(C): the point of a curve at t, and MTRAIL(C), the same point as the rail of a sweep. Both
// differentiate into DCUR(C,1), take the curve's range as their domain and invert to the foot of
// the perpendicular (CURVEPERP).
#include <law/base/vector.h>
#include <law/data/data_value_law.h>

class curve_law : public table_law<law_id::curve_law, data_value_law> {
  public:
    explicit curve_law(law_data *data) : curve_law(data, law_id::curve_law) {}
    law *make_one(law_data *data) const override { return new curve_law(data); }

    using data_value_law::evaluate;
    // The point and the first nderivs derivatives at t, from the law data's batched evaluation.
    int evaluate(double t, ZEM::position &p, ZEM::vector **derivs, int nderivs, int side) const;

    // n points at nearly even steps over the curve's range (the inner ones moved by
    // cos(i) / (10 n) of a step, so that no sampling lines up with even spacing); the caller
    // deletes the array with delete[]. A range that is not finite: LAW_BAD_DOMAN; n below 2:
    // LAW_DIM.
    ZEM::position *get_points_on_curve(int n) const;
    // Whether 7 such points lie in a plane (its point and normal) or on a line (its point and
    // direction), within the absolute tolerance.
    bool is_planar(ZEM::position &p, ZEM::unit_vector &n) const;
    bool is_linear(ZEM::position &p, ZEM::unit_vector &d) const;

    // A new law of this class over the law data's own restriction; nothing is wrapped.
    law *set_domain(ZEM::interval const *domains, int flag = 0) const override;

  protected:
    curve_law(law_data *data, int id) : table_law<law_id::curve_law, data_value_law>(data, id) {}
};

// A curve law in the role of a sweep's rail; it is not a curve_law to isa.
class minrot_rail_law final : public curve_law {
    LAW_CLASS_FACTS(minrot_rail_law, unary_data_law)
  public:
    explicit minrot_rail_law(law_data *data) : curve_law(data, law_id::minrot_rail_law) {}
    law *make_one(law_data *data) const override { return new minrot_rail_law(data); }
};
