// The spline law and the law data through which laws use spline curves.
#include <cmath>
#include <memory>
#include <set>

#include "law_test.h"

namespace {

// A parabola (t, t^2, 0) with its first derivative, as a spline outside the library would give.
class parabola_data : public base_spline_law_data {
  public:
    parabola_data() : base_spline_law_data(-1, 1) {}
    int return_size() const override { return 3; }
    void eval(double t, int nderiv, double *out, int) const override {
        double const v[2][3] = {{t, t * t, 0}, {1, 2 * t, 0}};
        for (int k = 0; k <= nderiv && k < 2; ++k) {
            for (int c = 0; c < 3; ++c) out[3 * k + c] = v[k][c];
        }
    }
};

ZEM::vector value(law const *l, double t) {
    double x = t, y[3];
    l->evaluate(&x, y);
    return {y[0], y[1], y[2]};
}

}  // namespace

class SplineLaw : public LawTest {};

TEST_F(SplineLaw, EvaluatesTheDataAndDifferentiatesByRaisingTheOrder) {
    law_data_ptr const d = adopt<law_data>(new parabola_data);
    law_ptr const l = make_law<spline_law>(static_cast<base_spline_law_data *>(d.get()));
    EXPECT_EQ(l->return_dim(), 3);
    EXPECT_EQ(l->take_dim(), 1);
    EXPECT_EQ(value(l.get(), 0.5), ZEM::vector(0.5, 0.25, 0));
    law_ptr const dl = adopt(l->derivative(0));
    EXPECT_EQ(value(dl.get(), 0.5), ZEM::vector(1, 1, 0));
    EXPECT_EQ(static_cast<spline_law const *>(dl.get())->nderiv(), 1);
    EXPECT_TRUE(l->isa(106) && l->isa(120) && l->isa(14));
    EXPECT_STREQ(l->class_name(), "spline_law");
    EXPECT_STREQ(l->symbol(), "SPLINE_LAW");
    EXPECT_STREQ(l->symbol(static_cast<law_symbol_type>(1)), "no_maple");
    EXPECT_EQ(l->date(), 60000);
    EXPECT_EQ(l->text(), "SPLINE_LAW(SPLINE_LAW1)");

    // The base data has no spline: no values, no singular points.
    law_data_ptr const empty = adopt<law_data>(new base_spline_law_data(0, 1));
    auto const *b = static_cast<base_spline_law_data const *>(empty.get());
    EXPECT_EQ(b->return_size(), 0);
    double *where = nullptr;
    int *type = nullptr;
    EXPECT_EQ(b->singularities(&where, &type, 0, 1), 0);
    EXPECT_EQ(where, nullptr);
    EXPECT_STREQ(b->symbol(law_symbol_default), "SPLINE_LAW");
}

TEST_F(SplineLaw, FittedCurveStandsAsALawAndReadsBack) {
    law_ptr const helix = adopt(str_to_law("VEC(COS(X), SIN(X), 0.2*X)"));
    std::unique_ptr<sw_curve> const c(law_to_sw_curve(helix.get(), ZEM::interval(0, 6), 1e-7));
    law_ptr const s = adopt(make_sw_curve_spline_law(*c));
    law_ptr const ds = adopt(s->derivative(0));
    law_ptr const dds = adopt(ds->derivative(0));
    for (double t : {0.0, 0.7, 2.9, 6.0}) {
        EXPECT_LT((value(s.get(), t) - ZEM::vector(std::cos(t), std::sin(t), 0.2 * t)).len(), 1e-7);
        EXPECT_LT((value(ds.get(), t) - ZEM::vector(-std::sin(t), std::cos(t), 0.2)).len(), 1e-3);
        EXPECT_LT((value(dds.get(), t) - ZEM::vector(-std::cos(t), -std::sin(t), 0)).len(), 0.1);
    }
    law_ptr const d3 = adopt(dds->derivative(0));
    EXPECT_LAW_ERROR(value(d3.get(), 1), LAW_DATA_CURVE);

    // Printed with its data and read back through the registry.
    law_data **data = nullptr;
    int count = 0;
    vorn_ptr<char> const text(s->string_and_data(&data, &count));
    ASSERT_EQ(count, 1);
    law_ptr const back = adopt(str_to_law(text.get(), data, count));
    for (int i = 0; i < count; ++i) data[i]->remove();
    vorn_discard(data);
    ASSERT_TRUE(back) << TEST_get_error();
    EXPECT_STREQ(back->class_name(), "spline_law");
    EXPECT_EQ(value(back.get(), 1.3), value(s.get(), 1.3));

    // The knots are its singular points, so fitting the spline law again keeps them.
    double *where = nullptr;
    int *type = nullptr;
    int const n = s->singularities(&where, &type, 0, 6);
    vorn_ptr<double> const w(where);
    vorn_ptr<int> const o(type);
    double const *k = c->get_knot_vector();
    std::set<double> const inner(k + 4, k + c->get_num_knots() - 4);
    EXPECT_EQ(n, static_cast<int>(inner.size()));
    EXPECT_EQ(where[0], *inner.begin());
}

TEST_F(SplineLaw, SwedgeDataEvaluatesItsCurve) {
    std::unique_ptr<sw_curve> const id(make_identity_sw_curve(6, 3));
    law_data_ptr const d = adopt<law_data>(new sw_curve_law_data(*id, 0, 3));
    auto const *sw = static_cast<sw_curve_law_data const *>(d.get());
    EXPECT_STREQ(sw->symbol(law_symbol_default), "SWEDGE");
    EXPECT_EQ(sw->date(), 60100);
    EXPECT_NE(sw->curve_data(), id.get());
    EXPECT_LT((sw->eval(1.25) - ZEM::vector(1.25, 0, 0)).len(), 1e-13);
    EXPECT_LT((sw->eval(1.25, 1) - ZEM::vector(1, 0, 0)).len(), 1e-12);
    EXPECT_LT(sw->eval(1.25, 2).len(), 1e-11);
    EXPECT_LAW_ERROR(sw->eval(1, 3), LAW_DATA_CURVE);
    EXPECT_LAW_ERROR(sw->curvature(1), NO_SW_EVAL_CURVATURE);
    EXPECT_LAW_ERROR(sw->length(0, 1), NO_SW_LENGTH);
    EXPECT_LAW_ERROR(sw->length_param(0, 1), NO_SW_LENGTH_PARAM);
    EXPECT_LAW_ERROR(sw->point_perp(ZEM::origin, 0), NO_SW_POINT_PERP);
    ZEM::position p;
    ZEM::vector d1, d2;
    ZEM::vector *ds[2] = {&d1, &d2};
    EXPECT_EQ(sw->evaluate(2, p, ds, 2, 0), 2);
    EXPECT_LT((p - ZEM::position(2, 0, 0)).len(), 1e-13);

    law_data_ptr const copy = adopt(sw->deep_copy());
    auto const *sc = static_cast<sw_curve_law_data const *>(copy.get());
    EXPECT_NE(sc->curve_data(), sw->curve_data());
    EXPECT_TRUE(*copy == *d);
    ZEM::interval const half(0, 1.5);
    law_data_ptr const part = adopt(sw->set_domain(&half));
    auto const *sp = static_cast<sw_curve_law_data const *>(part.get());
    EXPECT_EQ(sp->data_end(), 1.5);
    EXPECT_NE(sp->curve_data(), sw->curve_data());
    // Interior knots 1 and 2 inside (0, 3).
    double *where = nullptr;
    int *order = nullptr;
    EXPECT_EQ(sw->discontinuities(&where, &order, 0, 3), 2);
    vorn_ptr<double> const w(where);
    vorn_ptr<int> const o(order);
    EXPECT_EQ(where[0], 1);
    EXPECT_EQ(order[1], 3);
}
