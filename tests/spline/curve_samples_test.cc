// A curve law sampled in one batch gives evaluateR_P's positions, and a point that fails raises
// its error only when it is asked for.
#include <cmath>
#include <vector>

#include <law/spline/curve_samples.h>

#include "law_test.h"

namespace {

class CurveSamples : public LawTest {};

TEST_F(CurveSamples, PositionsOfTheLawAndErrorsWhenAsked) {
    // The helix (cos t, sin t, t/5) with the point at t = 2 outside the domain of the logarithm.
    law_ptr const helix = adopt(str_to_law("VEC(COS(X),SIN(X),X/5+0*LN(2-X))"));
    ASSERT_TRUE(helix);
    std::vector<double> const ts = {0, 0.5, 2, 1.5};
    curve_samples const at(helix.get(), ts);
    ASSERT_EQ(at.size(), 4);
    for (int i : {0, 1, 3}) {
        double const t = ts[static_cast<std::size_t>(i)];
        EXPECT_EQ(at.parameter(i), t);
        ZEM::position const p = at.at(i);
        EXPECT_NEAR(p.x(), std::cos(t), 1e-15);
        EXPECT_NEAR(p.y(), std::sin(t), 1e-15);
        EXPECT_NEAR(p.z(), t / 5, 1e-15);
    }
    EXPECT_LAW_ERROR(at.at(2), LAW_LN);

    // Laws of other dimensions are left to evaluateR_P at each point: it pads a surface's
    // point with zeros and refuses a scalar law.
    law_ptr const plane = adopt(str_to_law("VEC(X,Y+1,0)"));
    curve_samples const flat(plane.get(), {3.0});
    ZEM::position const p = flat.at(0);
    EXPECT_EQ(p.x(), 3);
    EXPECT_EQ(p.y(), 1);
    law_ptr const scalar = adopt(str_to_law("X^2+1"));
    EXPECT_LAW_ERROR(curve_samples(scalar.get(), {1.0}).at(0), LAW_EVALV);
}

}  // namespace
