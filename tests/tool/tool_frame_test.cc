// law frame and law plot --frames: the frames along a space curve against closed forms.
#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "law_test.h"
#include "tool_runner.h"

namespace {

class ToolFrame : public LawTest {};

constexpr double pi = std::numbers::pi;

struct frame_line {
    double t = 0;
    double point[3], tangent[3], normal[3], minrot[3];
    bool has_normal = true;
};

void read_triple(std::istringstream &in, std::string const &label, double *v) {
    std::string word;
    in >> word;
    EXPECT_EQ(word, label);
    for (int i = 0; i < 3; ++i) in >> v[i];
}

frame_line parsed(std::string const &line) {
    std::istringstream in(line);
    frame_line f;
    std::string word;
    in >> word >> f.t;
    EXPECT_EQ(word, "t");
    read_triple(in, "point", f.point);
    read_triple(in, "tangent", f.tangent);
    in >> word;
    EXPECT_EQ(word, "normal");
    std::streampos const at = in.tellg();
    in >> word;
    if (word == "none") {
        f.has_normal = false;
    } else {
        in.seekg(at);
        for (double &v : f.normal) in >> v;
    }
    read_triple(in, "minrot", f.minrot);
    return f;
}

TEST_F(ToolFrame, HelixFramesAreTheClosedForms) {
    // (2 cos t, 2 sin t, t): speed sqrt(5), the least-rotating normal turns against the
    // principal normal by -t / sqrt(5) (the torsion 1/5 times the speed).
    tool_run const r =
        run_law({"frame", "VEC(2*COS(X),2*SIN(X),X)", "0", "2*PI", "--samples", "7"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> const lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 7u);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        frame_line const f = parsed(lines[k]);
        double const t = 2 * pi * static_cast<double>(k) / 6, s = std::sqrt(5.0);
        EXPECT_NEAR(f.t, t, 1e-11);
        double const point[3] = {2 * std::cos(t), 2 * std::sin(t), t};
        double const tangent[3] = {-2 * std::sin(t) / s, 2 * std::cos(t) / s, 1 / s};
        double const normal[3] = {-std::cos(t), -std::sin(t), 0};
        // binormal = tangent x normal
        double const binormal[3] = {tangent[1] * normal[2] - tangent[2] * normal[1],
                                    tangent[2] * normal[0] - tangent[0] * normal[2],
                                    tangent[0] * normal[1] - tangent[1] * normal[0]};
        double const theta = -t / s;
        ASSERT_TRUE(f.has_normal);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(f.point[i], point[i], 1e-10);
            EXPECT_NEAR(f.tangent[i], tangent[i], 1e-11);
            EXPECT_NEAR(f.normal[i], normal[i], 1e-9);
            EXPECT_NEAR(f.minrot[i], std::cos(theta) * normal[i] + std::sin(theta) * binormal[i],
                        1e-9);
        }
    }
}

TEST_F(ToolFrame, StraightCurvesHaveNoFrenetNormal) {
    tool_run const r = run_law({"frame", "VEC(1+X,2*X,3)", "0", "1", "--samples", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (std::string const &line : lines_of(r.out)) {
        frame_line const f = parsed(line);
        EXPECT_FALSE(f.has_normal) << line;
        double const along = (f.minrot[0] + 2 * f.minrot[1]) / std::sqrt(5.0);
        EXPECT_NEAR(along, 0, 1e-12) << line;
    }
}

TEST_F(ToolFrame, RefusesWhatIsNoSpaceCurve) {
    tool_run const plane = run_law({"frame", "VEC(X,X^2)", "0", "1"});
    EXPECT_EQ(plane.status, 1);
    EXPECT_NE(plane.err.find("space curve"), std::string::npos) << plane.err;
    EXPECT_EQ(run_law({"frame", "VEC(X,0,0)", "1", "1"}).status, 1);
    EXPECT_EQ(run_law({"frame", "VEC(X,0,0)", "0", "1", "--samples", "0"}).status, 2);
    tool_run const stops = run_law({"frame", "VEC(0,0,0)", "0", "1"});
    EXPECT_EQ(stops.status, 1);
    EXPECT_NE(stops.err.find("no tangent at 0"), std::string::npos) << stops.err;
}

// The values of every attribute that follows prefix, in order of appearance.
std::vector<double> numbers_after(std::string const &svg, std::string const &prefix) {
    std::vector<double> found;
    for (std::size_t at = svg.find(prefix); at != std::string::npos; at = svg.find(prefix, at)) {
        at += prefix.size();
        found.push_back(std::stod(svg.substr(at, svg.find('"', at) - at)));
    }
    return found;
}

TEST_F(ToolFrame, PlotDrawsTheFrameAsArrows) {
    // A circle seen from above: its least-rotating normal is the inward normal, so every normal
    // arrow points at the centre, and the binormal (up) is seen end on.
    tool_run const r = run_law({"plot", "VEC(3+2*COS(X),1+2*SIN(X),0)", "0", "2*PI", "--frames",
                                "--view", "plane", "-o", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::size_t const from = r.out.find("<g class=\"frames\"");
    std::string const arrows = r.out.substr(from, r.out.find("</g>", from) - from);
    std::vector<double> const x1 = numbers_after(arrows, "x1=\""),
                              y1 = numbers_after(arrows, "y1=\""),
                              x2 = numbers_after(arrows, "x2=\""),
                              y2 = numbers_after(arrows, "y2=\"");
    ASSERT_EQ(x1.size(), 48u);
    // The centre: the mean of the 23 distinct points (the last is the first again).
    double cx = 0, cy = 0;
    for (std::size_t k = 0; k + 2 < x1.size(); k += 2) {
        cx += x1[k] / 23;
        cy += y1[k] / 23;
    }
    for (std::size_t k = 0; k < x1.size(); k += 2) {
        double const dx = x2[k] - x1[k], dy = y2[k] - y1[k], ox = cx - x1[k], oy = cy - y1[k];
        EXPECT_NEAR(dx * oy - dy * ox, 0, 0.02 * std::hypot(dx, dy) * std::hypot(ox, oy));
        EXPECT_GT(dx * ox + dy * oy, 0);
        EXPECT_NEAR(x2[k + 1], x1[k + 1], 0.011);
        EXPECT_NEAR(y2[k + 1], y1[k + 1], 0.011);
    }
    // Views are for space curves, and are named.
    EXPECT_EQ(run_law({"plot", "VEC(X,X)", "0", "1", "--view", "oblique", "-o", "-"}).status, 2);
    EXPECT_EQ(run_law({"plot", "VEC(X,X,X)", "0", "1", "--view", "sideways", "-o", "-"}).status, 2);
    EXPECT_EQ(run_law({"plot", "VEC(X,X)", "0", "1", "--frames", "-o", "-"}).status, 2);
    EXPECT_EQ(
        run_law({"plot", "VEC(COS(X),SIN(X),X)", "0", "6", "--view", "oblique", "-o", "-"}).status,
        0);
}

}  // namespace
