// law fit and law plot --fit: what they print and write, and how they refuse bad input.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "law_test.h"
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
    EXPECT_EQ(lines[5].rfind("time: ", 0), 0u);
    EXPECT_EQ(lines[6], "#sw_curve info:");
    // The inner control points of t -> (t, t^2) over [0, 2]: (2/3, 0) and (4/3, 4/3), to the
    // digits that the difference tangents keep.
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
