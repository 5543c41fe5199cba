#pragma once
// The laws that read one value of one law data at their input: the point of a curve, wire,
// parameter curve or surface, a curvature, the self-distance measures of a curve and the
// transform of a pattern. They differ only in facts written once per class in the source's row
// table: the law data they accept, their sizes, how they read the value, how they
// differentiate, their domain and their date.
#include <law/core/unary_data_law.h>

class data_value_law : public unary_data_law {
  public:
    void evaluate(double const *x, double *answer) const override;
    // The side (-1 below, 1 above) reaches the law data; the curvatures ignore it.
    void evaluate_with_side(double const *x, double *answer, int const *side) const override;
    int term_domain(int which, ZEM::interval &out) const override;
    int date() const override;

  protected:
    // Raises LAW_DATA_UNKNOWN when data is not of the kind the class reads; null data make the
    // registry's prototype.
    data_value_law(law_data *data, int id);
    law *deriv(int which) const override;
    // The curve and the surface invert to the foot of the perpendicular from a point of space.
    law *sub_inverse() const override;
    int take_size() const override;
    int return_size() const override;

  private:
    int id_;
};

template <int Id>
class data_value_law_of final : public table_law<Id, data_value_law> {
  public:
    explicit data_value_law_of(law_data *data) : table_law<Id, data_value_law>(data, Id) {}
    law *make_one(law_data *data) const override { return new data_value_law_of(data); }
};

// WIRE(W): the point of the wire at t.
using wire_law = data_value_law_of<law_id::wire_law>;
// PCUR(P): the parameters (u, v) of the parameter curve at t.
using pcurve_law = data_value_law_of<law_id::pcurve_law>;
// SURF(S): the point of the surface at (u, v).
using surface_law = data_value_law_of<law_id::surface_law>;
// CURC(C): the curvature of a curve, wire or parameter curve at t.
using curvature_law = data_value_law_of<law_id::curvature_law>;
// GAUSCUR, MEANCUR, MAXCUR, MINCUR: the curvatures of a surface at (u, v).
using gaussian_curvature_law = data_value_law_of<law_id::gaussian_curvature_law>;
using mean_curvature_law = data_value_law_of<law_id::mean_curvature_law>;
using max_curvature_law = data_value_law_of<law_id::max_curvature_law>;
using min_curvature_law = data_value_law_of<law_id::min_curvature_law>;
// BS(S): the point of the surface's spline approximation at (u, v).
using bs3_surface_law = data_value_law_of<law_id::bs3_surface_law>;
// CURI(C) at (s, t): |C(s) - C(t)|^2 / (s - t)^2, small only where two different parameters
// reach nearly the same point; 1e10 where s and t coincide.
using intersect_lawi = data_value_law_of<law_id::intersect_lawi>;
// CURD(C) at (s, t): |C(s) - C(t)|.
using distance_lawi = data_value_law_of<law_id::distance_lawi>;
// PATTRANS(P): the 13 values of the pattern's transform at x (the layout of evaluateM_T).
using patterntrans_law = data_value_law_of<law_id::patterntrans_law>;
