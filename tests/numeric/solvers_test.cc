#include <cfloat>
#include <cmath>
#include <vector>

#include <law/numeric/nmin_2d.h>
#include <law/numeric/nmin_nd.h>
#include <law/numeric/nroot_2d.h>
#include <law/numeric/quad_tree.h>
#include <law/numeric/root_2d_set.h>
#include <law/numeric/root_settings.h>

#include "numeric_test_util.h"

namespace {

class Solvers : public LawTest {};

TEST_F(Solvers, CompassSearchReturnsTheStartWhenTheStepIsTiny) {
    law_ptr const f = parse_law("(X-1)^2"), yes = C(1);
    nvector start{0.3}, step{1e-15};
    double value = 0;
    nvector const x = NminND(f.get(), yes.get(), start, step, &value, nullptr, 0, nullptr);
    EXPECT_EQ(x, start);
    EXPECT_DOUBLE_EQ(value, 0.49);
}

TEST_F(Solvers, CompassSearchFindsTheMinimumOfABowl) {
    law_ptr const f = parse_law("(X-1)^2"), yes = C(1);
    nvector start{0}, step{0.25};
    nvector const x = NminND(f.get(), yes.get(), start, step, nullptr, nullptr, 0, nullptr);
    EXPECT_NEAR(x[0], 1, 1e-6);

    law_ptr const g = parse_law("(X-1)^2+10*(Y+2)^2+(X-1)*(Y+2)"), none;
    nvector start2{3, 3}, step2{0.5, 0.5};
    double value = 1;
    nvector const p = NminND(g.get(), none.get(), start2, step2, &value, nullptr, 0, nullptr);
    EXPECT_NEAR(p[0], 1, 1e-5);
    EXPECT_NEAR(p[1], -2, 1e-5);
    EXPECT_LT(value, 1e-9);
}

TEST_F(Solvers, CompassSearchStaysWhereTheConstraintIsPositive) {
    law_ptr const f = parse_law("(X-3)^2+(Y-3)^2"), inside = parse_law("X+Y<=2");
    nvector start{0, 0}, step{0.3, 0.3};
    nvector const p = NminND(f.get(), inside.get(), start, step, nullptr, nullptr, 0, nullptr);
    EXPECT_LE(p[0] + p[1], 2);
    EXPECT_NEAR(p[0] + p[1], 2, 1e-6);
}

TEST_F(Solvers, CompassSearchStopsAtTheTargetOrTheStopLaw) {
    law_ptr const f = parse_law("(X-1)^2");
    nvector start{-3}, step{0.5};
    double value = 0;
    nvector const at_target = NminND(f.get(), nullptr, start, step, &value, nullptr, 0.5, nullptr);
    EXPECT_LT(value, 0.5);
    EXPECT_NEAR(value, (at_target[0] - 1) * (at_target[0] - 1), 1e-15);
    law_ptr const stop = parse_law("0.5-X");  // below 0 once X passes 0.5
    nvector const x = NminND(f.get(), nullptr, start, step, &value, nullptr, 0, stop.get());
    EXPECT_GT(x[0], 0.5);
}

TEST_F(Solvers, LawsOfTheWrongShapeAreRefused) {
    law_ptr const vec = parse_law("VEC(X,Y)"), three = parse_law("X+Y+Z"), f = parse_law("X");
    nvector start{0, 0}, step{0.1, 0.1}, short_step{0.1};
    EXPECT_LAW_ERROR(NminND(vec.get(), nullptr, start, step, nullptr, nullptr, 0, nullptr),
                     LAW_EVALV);
    EXPECT_LAW_ERROR(NminND(three.get(), nullptr, start, step, nullptr, nullptr, 0, nullptr),
                     LAW_EVALV);
    EXPECT_LAW_ERROR(NminND(f.get(), vec.get(), start, step, nullptr, nullptr, 0, nullptr),
                     LAW_EVALV);
    EXPECT_LAW_ERROR(NminND(f.get(), nullptr, start, short_step, nullptr, nullptr, 0, nullptr),
                     LAW_DIM);
    EXPECT_LAW_ERROR(
        Nmin2D(three.get(), nullptr, {0, 0}, 0.1, 1, nullptr, nullptr, nullptr, nullptr),
        LAW_EVALV);
}

TEST_F(Solvers, PlaneSearchFindsTheMinimumAndReportsItsNeighbourhood) {
    law_ptr const f = parse_law("(X-1)^2+(Y-2)^2+3");
    double value = 0, radius = 0;
    int state = 5;
    complex_number const p =
        Nmin2D(f.get(), nullptr, {0, 0}, 0.5, 10, &value, &radius, &state, nullptr);
    EXPECT_NEAR(p.re, 1, 1e-6);
    EXPECT_NEAR(p.im, 2, 1e-6);
    EXPECT_NEAR(value, 3, 1e-12);
    EXPECT_EQ(state, 0);
    EXPECT_GT(radius, 0);
    EXPECT_LE(radius, 2 * root_tols().root_x_tol);
    Nmin2D(f.get(), nullptr, {0, 0}, 0.5, 0.7, &value, &radius, &state, nullptr);
    EXPECT_EQ(state, -1);  // went farther than the size allows
}

// Zeros of x^2 + y^2 = 1 and x = y, as the minima of a sum of squares.
constexpr char circle_and_line[] = "(X^2+Y^2-1)^2+(X-Y)^2";
double const s = std::sqrt(0.5);

std::vector<complex_number> zeros_from(std::vector<complex_number> starts, rec2d box) {
    law_ptr const f = parse_law(circle_and_line);
    int n = -1;
    complex_number *r =
        Nroot2D(f.get(), nullptr, box, &n, starts.data(), static_cast<int>(starts.size()));
    return take_array(r, n);
}

TEST_F(Solvers, StartsThatReachOneZeroGiveOneRoot) {
    std::vector<complex_number> const one = zeros_from({{0.5, 0.6}, {0.9, 0.8}}, {-2, -2, 2, 2});
    ASSERT_EQ(one.size(), 1u);
    EXPECT_NEAR(one[0].re, s, 1e-3);
    EXPECT_NEAR(one[0].im, s, 1e-3);
    std::vector<complex_number> const two = zeros_from({{0.5, 0.6}, {-0.5, -0.6}}, {-2, -2, 2, 2});
    ASSERT_EQ(two.size(), 2u);
    // The latest new root comes first.
    EXPECT_NEAR(two[0].re, -s, 1e-3);
    EXPECT_NEAR(two[1].re, s, 1e-3);
    // A zero outside the box is not kept.
    EXPECT_TRUE(zeros_from({{0.5, 0.6}}, {-2, -2, 0.5, 2}).empty());
}

TEST_F(Solvers, QuadtreeFindsTheZerosWithoutStartPoints) {
    law_ptr const f = parse_law(circle_and_line);
    law_ptr const divide = parse_law("Z>0.6");  // divide while the cell's diagonal is above 0.6
    int n = -1;
    std::vector<complex_number> r =
        take_array(Nroot2D(f.get(), nullptr, divide.get(), {-2, -2, 2, 2}, &n), n);
    ASSERT_EQ(r.size(), 2u);
    if (r[0].re > r[1].re) std::swap(r[0], r[1]);
    EXPECT_NEAR(r[0].re, -s, 1e-3);
    EXPECT_NEAR(r[0].im, -s, 1e-3);
    EXPECT_NEAR(r[1].re, s, 1e-3);
    EXPECT_NEAR(r[1].im, s, 1e-3);
    EXPECT_EQ(root_tols().root_iter_max, 10000);  // the quadtree's limit is gone again
}

TEST_F(Solvers, BadBoxesAreRefused) {
    law_ptr const f = parse_law(circle_and_line);
    int n = 0;
    complex_number start{0, 0};
    EXPECT_LAW_ERROR(Nroot2D(f.get(), nullptr, {1, 0, 0, 1}, &n, &start, 1), LAW_BAD_SEARCH_BOX);
    EXPECT_LAW_ERROR(Nroot2D(f.get(), nullptr, {0, 0, 1, 0}, &n, &start, 1), LAW_BAD_SEARCH_BOX);
    EXPECT_LAW_ERROR(Nroot2D(f.get(), nullptr, nullptr, {0, NAN, 1, 1}, &n), LAW_BAD_BOUNDS);
}

TEST_F(Solvers, RootSetMergesPointsOfOneZero) {
    law_ptr const f = parse_law("X^2+Y^2");
    Root_2D_set set;
    EXPECT_EQ(set.add(f.get(), {1, 1}, 2, 0.1), 0);
    EXPECT_EQ(set.add(f.get(), {-1, 1}, 2, 0.1), 1);       // far apart, f large between: new
    EXPECT_EQ(set.add(f.get(), {1.05, 1}, 2.1, 0.01), 1);  // inside the first one's reach
    EXPECT_EQ(set.size(), 2);
    // The narrower neighbourhood replaced the first root (now second in the list).
    EXPECT_EQ(set.head()->next->point, (complex_number{1.05, 1}));
    // Near zeros of f with f small between them are one.
    Root_2D_set near;
    EXPECT_EQ(near.add(f.get(), {1e-5, 0}, 1e-10, 1e-7), 0);
    EXPECT_EQ(near.add(f.get(), {-1e-5, 0}, 1e-10, 1e-7), 0);
    EXPECT_EQ(near.size(), 1);
    EXPECT_EQ(near.head()->point, (complex_number{0, 0}));  // the midpoint was lower
}

TEST_F(Solvers, QuadTreeCells) {
    law_ptr const f = parse_law("(X-0.25)^2+(Y-0.25)^2"), right = parse_law("X>0.5");
    Quad_tree root(rec2d(0, 0, 1, 1));
    EXPECT_EQ(root.state, -3);
    root.fill(f.get(), right.get());
    EXPECT_EQ(root.state, -2);  // the centre is not where the constraint holds
    Quad_tree cell(rec2d(0, 0, 1, 1));
    cell.fill(f.get(), nullptr);
    EXPECT_EQ(cell.state, 0);
    EXPECT_NEAR(cell.point.re, 0.25, 1e-6);
    Quad_tree far(rec2d(0.5, 0.5, 1, 1));
    far.fill(f.get(), nullptr);
    EXPECT_EQ(far.state, -4);  // the minimum lies outside the cell
    Root_2D_set set;
    cell.divide(f.get(), nullptr, nullptr, &set);
    // Each quadrant's search finds the one minimum, inside only the lower left quadrant.
    EXPECT_EQ(set.size(), 1);
    EXPECT_EQ(cell.child[0]->state, 0);
    EXPECT_EQ(cell.child[0]->index, 0);
    EXPECT_EQ(cell.child[2]->state, -4);
}

TEST_F(Solvers, Rectangles) {
    rec2d const r({1, 2}, {4, 6});
    EXPECT_EQ(r.center(), (complex_number{2.5, 4}));
    EXPECT_EQ(r.down_right(), (complex_number{4, 2}));
    EXPECT_EQ(r.up_left(), (complex_number{1, 6}));
    EXPECT_DOUBLE_EQ(r.diagonal(), 5);
    EXPECT_TRUE(r.inside({4, 6}));
    EXPECT_FALSE(r.inside({0.9, 3}));
}

}  // namespace
