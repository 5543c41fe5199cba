// Transforms: products compose left to right, inverses undo, and the named builders do what they
// say to points and directions.
#include <cmath>

#include "law_test.h"

using ZEM::position, ZEM::transf, ZEM::unit_vector, ZEM::vector;

namespace {

void expect_near(position const &a, position const &b, double tol = 1e-12) {
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(a[k], b[k], tol) << "coordinate " << k;
}
void expect_near(vector const &a, vector const &b, double tol = 1e-12) {
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(a[k], b[k], tol) << "component " << k;
}

// A spread of transforms: rigid, scaled, reflecting and sheared.
std::vector<transf> sample_transforms() {
    return {
        transf(),
        translate_transf({1, -2, 3}),
        scale_transf(2.5),
        rotate_transf(0.9, {1, 1, 0}),
        reflect_transf({0, 0, 1}, position(0, 0, 2)),
        rotate_transf(-2.1, {0.2, -1, 3}) * translate_transf({4, 0, -1}) * scale_transf(0.5),
        transf(ZEM::matrix({1, 0.5, 0}, {0, 1, 0}, {0.2, 0, 2}), {0, 1, 0}),
    };
}

}  // namespace

class BaseTransf : public LawTest {};

TEST_F(BaseTransf, ProductsComposeLeftToRight) {
    auto const ts = sample_transforms();
    position const p(0.3, -1.2, 2.0);
    vector const v(1, -0.5, 0.25);
    for (transf const &a : ts)
        for (transf const &b : ts) {
            expect_near(p * (a * b), (p * a) * b);
            expect_near(v * (a * b), (v * a) * b);
        }
}

TEST_F(BaseTransf, InverseUndoes) {
    position const p(0.3, -1.2, 2.0);
    for (transf const &t : sample_transforms()) {
        transf const inv = t.inverse();
        expect_near((p * t) * inv, p);
        expect_near((p * inv) * t, p);
        EXPECT_TRUE(t * inv == transf());
        EXPECT_TRUE((t * inv).identity());
        EXPECT_EQ(inv.reflect(), t.reflect());
    }
}

TEST_F(BaseTransf, BuildersMovePointsAndDirections) {
    position const p(1, 2, 3);
    vector const v(1, 2, 3);
    expect_near(p * translate_transf({1, 1, 1}), position(2, 3, 4));
    expect_near(v * translate_transf({1, 1, 1}), v);  // directions ignore translation
    expect_near(p * scale_transf(2), position(2, 4, 6));
    expect_near(p * rotate_transf(M_PI / 2, {0, 0, 1}), position(-2, 1, 3));
    EXPECT_FALSE(rotate_transf(1, {0, 0, 1}).reflect());
    EXPECT_EQ(scale_transf(3).scaling(), 3);
}

TEST_F(BaseTransf, ReflectionMirrorsInItsPlane) {
    transf const r = reflect_transf({0, 0, 2}, position(5, 5, 1));
    EXPECT_TRUE(r.reflect());
    expect_near(position(0, 0, 0) * r, position(0, 0, 2));
    expect_near(position(3, -4, 1) * r, position(3, -4, 1));  // points of the plane stay
    expect_near(vector(1, 1, 1) * r, vector(1, 1, -1));
    expect_near((position(7, 1, 9) * r) * r, position(7, 1, 9));

    transf const slanted = reflect_transf({1, 1, 0});
    expect_near(position(1, 0, 0) * slanted, position(0, -1, 0));
    EXPECT_NEAR(slanted.affine().determinant(), -1, 1e-12);
}

TEST_F(BaseTransf, CoordinateFrameMapsLocalToGlobal) {
    unit_vector const x(1, 1, 0), y(-1, 1, 0);
    position const o(1, 2, 3);
    transf const frame = coordinate_transf(o, x, y);
    expect_near(ZEM::origin * frame, o);
    expect_near(position(1, 0, 0) * frame, o + x);
    expect_near(position(0, 1, 0) * frame, o + y);
    expect_near(position(0, 0, 1) * frame, o + x * y);
    expect_near((position(0.5, 4, -2) * frame) * frame.inverse(), position(0.5, 4, -2));
    EXPECT_FALSE(frame.reflect());
}

TEST_F(BaseTransf, EqualityUsesTolerances) {
    transf const t = translate_transf({1, 2, 3});
    EXPECT_TRUE(t == translate_transf({1, 2, 3 + 1e-8}));
    EXPECT_FALSE(t == translate_transf({1, 2, 3 + 1e-4}));
    EXPECT_TRUE(t != scale_transf(1.001));
    // A scaled matrix equals the same matrix scaled by the factor.
    EXPECT_TRUE(scale_transf(2) == transf(ZEM::matrix::identity() * 2.0, {}));
}

TEST_F(BaseTransf, MatrixInverseAndDeterminant) {
    ZEM::matrix const m({2, 0, 1}, {1, 3, 0}, {0, 1, 4});
    EXPECT_NEAR(m.determinant(), 2 * 12 - 0 + 1 * 1, 1e-12);
    ZEM::matrix const id = m * m.inverse();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(id.element(i, j), i == j, 1e-12);
    ZEM::matrix const singular({1, 2, 3}, {2, 4, 6}, {0, 0, 1});
    EXPECT_TRUE(singular.inverse() == ZEM::matrix());
}
