// law fit and law plot --fit: what they print and write (IGES and STEP files), which derivatives
// they take, and how they refuse bad input.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "law_test.h"
#include "spline/spline_test_util.h"
#include "spline/step_reader.h"
#include "tool_runner.h"

namespace {

class ToolFit : public LawTest {};

std::string file_text(std::string const &path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

TEST_F(ToolFit, PrintsTheSplineAndWritesIges) {
    // A parabola as (t, t^2, 0): a cubic reproduces it, so one segment and no distance to speak of.
    tool_run const r = run_law({"fit", "X^2", "0", "2", "--strategy", "1", "--dump"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto const lines = lines_of(r.out);
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[0], "degree: 3");
    EXPECT_EQ(lines[1], "control points: 4");
    EXPECT_EQ(lines[2], "knots: 8");
    EXPECT_LT(std::stod(lines[3].substr(10)), 1e-12);
    EXPECT_EQ(lines[4].rfind("measured: ", 0), 0u);
    EXPECT_LT(std::stod(lines[4].substr(10)), 1e-12);
    EXPECT_EQ(lines[5], "derivatives: exact");
    EXPECT_EQ(lines[6].rfind("time: ", 0), 0u);
    EXPECT_EQ(lines[7], "#sw_curve info:");
    // The inner control points of t -> (t, t^2) over [0, 2]: (2/3, 0) and (4/3, 4/3).
    EXPECT_NE(r.out.find("(   0.66666666666"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(   1.33333333333"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(",    1.33333333333"), std::string::npos) << r.out;

    char path[] = "/tmp/law-fit-XXXXXX";
    int const fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(run_law({"fit", "VEC(COS(X),SIN(X),X)", "0", "3", "--iges", path}).status, 0);
    std::string const iges = file_text(path);
    std::remove(path);
    EXPECT_EQ(iges.substr(72, 8), "S      1");
    EXPECT_NE(iges.find("     126       1"), std::string::npos);
    EXPECT_EQ(iges.substr(iges.size() - 9, 8), "T      1");
}

TEST_F(ToolFit, RefusesWhatCannotBeFitted) {
    EXPECT_EQ(run_law({"fit", "X", "0", "1", "--tol", "0"}).status, 2);
    EXPECT_EQ(run_law({"fit", "X", "0", "1", "--strategy", "3"}).status, 2);
    tool_run const empty = run_law({"fit", "X", "1", "1"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "law: fit needs two different finite ends; A is 1, B is 1\n");
    tool_run const two = run_law({"fit", "X*Y", "0", "1"});
    EXPECT_EQ(two.status, 1);
    EXPECT_EQ(two.err, "law: fit needs a law of one input; this one takes 2 inputs\n");
    EXPECT_EQ(run_law({"fit", "VEC(X,X)", "0", "1"}).status, 1);
    tool_run const raising = run_law({"fit", "SQRT(X-0.5)", "0", "1"});
    EXPECT_EQ(raising.status, 1);
    EXPECT_EQ(raising.err, "law: Out of the domain of the sqrt x>0\n");
}

TEST_F(ToolFit, PlotDrawsTheSplineItsPolygonAndKnots) {
    tool_run const r = run_law({"plot", "SIN(3*X)*X", "0", "3", "--fit", "0.01", "-o", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("control polygon"), std::string::npos);
    EXPECT_NE(r.out.find("spline, "), std::string::npos);
    EXPECT_NE(r.out.find("class=\"marks\""), std::string::npos);
    EXPECT_EQ(run_law({"plot", "X", "0", "1", "--fit", "-1", "-o", "-"}).status, 2);
}

TEST_F(ToolFit, StepFileHoldsTheSplineThatFollowsTheLaw) {
    char path[] = "/tmp/law-fit-step-XXXXXX";
    int const fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    tool_run const r =
        run_law({"fit", "VEC(COS(X),SIN(X),X/2)", "0", "3", "--tol", "1e-6", "--step", path});
    ASSERT_EQ(r.status, 0) << r.err;
    step_test::file const f = step_test::read(file_text(path));
    std::remove(path);
    EXPECT_TRUE(step_test::dangling_refs(f).empty());
    auto const found = f.find("B_SPLINE_CURVE_WITH_KNOTS");
    ASSERT_EQ(found.size(), 1u);
    auto const &p = f.at(found[0]).records[0].params;
    // The curve as the file holds it, by its basis functions, against the helix itself.
    std::vector<double> knots;
    for (std::size_t i = 0; i < p[7].items.size(); ++i)
        knots.insert(knots.end(), static_cast<std::size_t>(p[6].items[i].real), p[7].items[i].real);
    std::vector<ZEM::position> points;
    for (auto const &ref : p[2].items) {
        auto const &xyz = f.at(ref.ref).records[0].params[1].items;
        points.push_back({xyz[0].real, xyz[1].real, xyz[2].real});
    }
    ASSERT_EQ(knots.size(), points.size() + 4);
    for (int i = 0; i <= 300; ++i) {
        double const t = 3.0 * i / 300;
        ZEM::vector sum(0, 0, 0);
        for (std::size_t k = 0; k < points.size(); ++k)
            sum = sum + (points[k] - ZEM::origin) *
                            reference_surface::basis(knots, static_cast<int>(k), 3, t, true);
        EXPECT_LT((sum - ZEM::vector(std::cos(t), std::sin(t), t / 2)).len(), 1e-6) << t;
    }
}

TEST_F(ToolFit, ExactDerivativesWhereTheLawHasThem) {
    auto derivatives = [](std::vector<std::string> const &args) {
        tool_run const r = run_law(args);
        EXPECT_EQ(r.status, 0) << r.err;
        for (auto const &line : lines_of(r.out))
            if (line.rfind("derivatives: ", 0) == 0) return line.substr(13);
        return std::string("none");
    };
    EXPECT_EQ(derivatives({"fit", "SIN(X)", "0", "1"}), "exact");
    EXPECT_EQ(derivatives({"fit", "SIN(X)", "0", "1", "--fast-euler"}), "differences (fast_euler)");
    // The slope of the square root is infinite at 0: the differences take over (within a loose
    // tolerance: the steep end strays 1.3e-3 from the law at the default 1e-3).
    EXPECT_EQ(derivatives({"fit", "SQRT(X)", "0", "1", "--tol", "0.01"}),
              "differences (fast_euler)");
    EXPECT_EQ(derivatives({"fit2", "VEC(X,Y,X*Y)", "0", "1", "0", "1", "--fast-euler"}),
              "differences (fast_euler)");
}
