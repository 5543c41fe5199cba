// law intersect: the case and each branch's law, which reads back and lies on both surfaces; the
// points of --points; the STEP file of the fitted branches and the picture; refusals.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "law_test.h"
#include "spline/step_reader.h"
#include "tool_runner.h"

namespace {

class ToolIntersect : public LawTest {};

// The sphere of centre (1, 2, 3) and radius 2.2, the cylinder through (0, 2, 3) along (0, 1, 1)
// of radius 1.5: the centre lies 1 from the axis, so r - D = 0.5 < R < r + D = 2.5 and the cylinder
// bites one loop out of the sphere.
std::vector<std::string> const loop_args = {"intersect", "--sphere", "1,2,3,2.2", "--cylinder",
                                            "0,2,3,0,1,1,1.5"};

double off_sphere(double x, double y, double z) {
    return std::fabs(std::hypot(x - 1, y - 2, z - 3) - 2.2);
}
double off_cylinder(double x, double y, double z) {
    // Axis through (0, 2, 3) along (0, 1, 1)/sqrt(2).
    double const dy = y - 2, dz = z - 3, along = (dy + dz) / std::sqrt(2.0);
    return std::fabs(std::sqrt(x * x + dy * dy + dz * dz - along * along) - 1.5);
}

}  // namespace

TEST_F(ToolIntersect, PrintsEachBranchAsALawThatLiesOnBoth) {
    tool_run const r = run_law(loop_args);
    ASSERT_EQ(r.status, 0) << r.err;
    auto const lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "intersection: one loop, 1 branch");
    std::string const head = "branch 1 on [0, 6.283185307179586]: ";
    ASSERT_EQ(lines[1].rfind(head, 0), 0u) << lines[1];
    law_ptr const branch = adopt(str_to_law(lines[1].substr(head.size()).c_str()));
    ASSERT_TRUE(branch) << TEST_get_error();
    for (int i = 0; i <= 50; ++i) {
        ZEM::position const p = branch->evaluateR_P(2 * M_PI * i / 50);
        // The law's text keeps 16 digits of each number.
        EXPECT_LT(off_sphere(p.x(), p.y(), p.z()), 1e-12) << i;
        EXPECT_LT(off_cylinder(p.x(), p.y(), p.z()), 1e-12) << i;
    }
    // law plot draws the printed branch as it is.
    tool_run const plot = run_law({"plot", lines[1].substr(head.size()), "0", "6.283185307179586",
                                   "--view", "isometric", "-o", "-"});
    ASSERT_EQ(plot.status, 0) << plot.err;
    EXPECT_NE(plot.out.find("<path"), std::string::npos);

    tool_run const two =
        run_law({"intersect", "--sphere", "0,0,0,3", "--cylinder", "0.5,0,0,1,1,0,1"});
    ASSERT_EQ(two.status, 0) << two.err;
    EXPECT_EQ(lines_of(two.out).at(0), "intersection: two loops, 2 branches");
    tool_run const none =
        run_law({"intersect", "--sphere", "5,0,0,1", "--cylinder", "0,0,0,0,0,1,1"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "intersection: empty, 0 branches\n");
}

TEST_F(ToolIntersect, PointsAreEvenlySpacedOnBothSurfaces) {
    std::vector<std::string> args = loop_args;
    args.insert(args.end(), {"--points", "7"});
    tool_run const r = run_law(args);
    ASSERT_EQ(r.status, 0) << r.err;
    auto const lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 7u);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        std::istringstream in(lines[k]);
        int branch = 0;
        double t = 0, x = 0, y = 0, z = 0;
        ASSERT_TRUE(in >> branch >> t >> x >> y >> z) << lines[k];
        EXPECT_EQ(branch, 1);
        EXPECT_NEAR(t, 2 * M_PI * k / 6, 1e-15);
        EXPECT_LT(off_sphere(x, y, z), 1e-12);
        EXPECT_LT(off_cylinder(x, y, z), 1e-12);
    }
}

TEST_F(ToolIntersect, StepFileAndPictureHoldTheFittedBranches) {
    std::string const svg = "/tmp/law-intersect-test.svg";
    tool_run const r = run_law({"intersect", "--sphere", "0,0,0,3", "--cylinder", "0.5,0,0,1,1,0,1",
                                "--tol", "1e-5", "--step", "-", "-o", svg});
    ASSERT_EQ(r.status, 0) << r.err;
    std::size_t const start = r.out.find("ISO-10303-21;");
    ASSERT_NE(start, std::string::npos);
    step_test::file const f = step_test::read(r.out.substr(start));
    EXPECT_TRUE(step_test::dangling_refs(f).empty());
    auto const curves = f.find("B_SPLINE_CURVE_WITH_KNOTS");
    ASSERT_EQ(curves.size(), 2u);
    // The control points of a cubic fit lie near the curve: within the sphere's reach.
    for (int id : curves)
        for (auto const &ref : f.at(id).records[0].params[2].items) {
            auto const &xyz = f.at(ref.ref).records[0].params[1].items;
            EXPECT_LT(std::hypot(xyz[0].real, xyz[1].real, xyz[2].real), 3.5);
        }
    std::ifstream in(svg);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(svg.c_str());
    EXPECT_NE(text.str().find("two loops"), std::string::npos);
    EXPECT_NE(text.str().find("branch 2"), std::string::npos);

    // A tangent point is written as a point.
    tool_run const touch =
        run_law({"intersect", "--sphere", "3,0,0,2", "--cylinder", "0,0,0,0,0,1,1", "--step", "-"});
    ASSERT_EQ(touch.status, 0) << touch.err;
    EXPECT_NE(touch.out.find("intersection: one tangent point"), std::string::npos);
    step_test::file const g = step_test::read(touch.out.substr(touch.out.find("ISO-10303-21;")));
    EXPECT_TRUE(g.find("B_SPLINE_CURVE_WITH_KNOTS").empty());
    bool named = false;
    for (int id : g.find("CARTESIAN_POINT"))
        named |= g.at(id).records[0].params[0].text == "BRANCH1";
    EXPECT_TRUE(named);
}

TEST_F(ToolIntersect, RefusesWhatIsNotASphereAndACylinder) {
    EXPECT_EQ(run_law({"intersect", "--sphere", "0,0,0,1"}).status, 2);
    EXPECT_EQ(run_law({"intersect", "--sphere", "0,0,1", "--cylinder", "0,0,0,0,0,1,1"}).status, 2);
    EXPECT_EQ(run_law({"intersect", "--sphere", "0,0,0,1", "--cylinder", "0,0,0,0,0,1,1",
                       "--points", "0"})
                  .status,
              2);
    tool_run const flat =
        run_law({"intersect", "--sphere", "0,0,0,1", "--cylinder", "0,0,0,0,0,0,1"});
    EXPECT_EQ(flat.status, 1);
    EXPECT_EQ(flat.err,
              "law: A sphere or cylinder needs finite numbers, a positive radius and an axis of "
              "nonzero length\n");
    tool_run const bad =
        run_law({"intersect", "--sphere", "0,0,0,SQRT(-1)", "--cylinder", "0,0,0,0,0,1,1"});
    EXPECT_EQ(bad.status, 1);
    // Expressions with commas of their own are one value.
    tool_run const max =
        run_law({"intersect", "--sphere", "0,0,0,MAX(1,2)", "--cylinder", "0,0,0,0,0,1,1"});
    EXPECT_EQ(lines_of(max.out).at(0), "intersection: two circles, 2 branches");
}
