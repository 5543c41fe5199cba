// law plot: SVG structure, adaptive sampling, gaps and plane curves.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "law_test.h"
#include "tool_runner.h"

namespace {

class ToolPlot : public LawTest {};

struct pt {
    double x, y;
};

// The plot area of the picture: pixels of the frame.
constexpr double frame_left = 80, frame_right = 776, frame_top = 48, frame_bottom = 472;

// The values of every attribute that follows prefix, in order of appearance.
std::vector<std::string> attributes_after(std::string const &svg, std::string const &prefix) {
    std::vector<std::string> found;
    for (std::size_t at = svg.find(prefix); at != std::string::npos; at = svg.find(prefix, at)) {
        at += prefix.size();
        found.push_back(svg.substr(at, svg.find('"', at) - at));
    }
    return found;
}

// The polylines of the picture's curves, in pixels.
std::vector<std::vector<pt>> paths_of(std::string const &svg) {
    std::vector<std::vector<pt>> paths;
    for (std::string const &d : attributes_after(svg, "<path d=\"")) {
        std::vector<pt> points;
        std::istringstream in(d);
        char command;
        pt p;
        while (in >> command >> p.x >> p.y) points.push_back(p);
        paths.push_back(points);
    }
    return paths;
}

std::string plot(std::vector<std::string> args, int expected_status = 0) {
    args.insert(args.begin(), "plot");
    args.insert(args.end(), {"-o", "-"});
    tool_run const r = run_law(args);
    EXPECT_EQ(r.status, expected_status) << args[1] << ": " << r.err;
    return r.out;
}

TEST_F(ToolPlot, PictureIsSelfContainedWithTitleAxesAndTicks) {
    std::string const svg = plot({"SIN(X)", "0", "2*PI"});
    EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    EXPECT_NE(svg.find("<title>SIN(X)</title>"), std::string::npos);
    EXPECT_NE(svg.find(">SIN(X)</text>"), std::string::npos);
    EXPECT_EQ(svg.find("href"), std::string::npos) << "refers to nothing outside";
    for (char const *tick : {">0</text>", ">1</text>", ">-1</text>", ">6</text>", ">0.5</text>"})
        EXPECT_NE(svg.find(tick), std::string::npos) << tick;
    auto const paths = paths_of(svg);
    ASSERT_EQ(paths.size(), 1u);
    for (std::size_t i = 1; i < paths[0].size(); ++i)
        EXPECT_GE(paths[0][i].x, paths[0][i - 1].x) << "a function is drawn left to right";
    EXPECT_NEAR(paths[0].front().x, frame_left, 0.01);
    EXPECT_NEAR(paths[0].back().x, frame_right, 0.01);
    EXPECT_EQ(plot({"X<1", "0", "2"}).find("<title>X&lt;1</title>") == std::string::npos, false);
    // A long law gets a smaller face; a very long one is squeezed into the picture's width.
    std::string sum = "X";
    for (int i = 0; i < 99; ++i) sum += "+X";
    EXPECT_NE(plot({sum, "0", "1"}).find("font-size=\"7.13\" fill=\"#111\">X+X+X"),
              std::string::npos);
    for (int i = 0; i < 200; ++i) sum += "+X";
    EXPECT_NE(plot({sum, "0", "1"}).find("textLength=\"780\" lengthAdjust=\"spacingAndGlyphs\""),
              std::string::npos);
}

TEST_F(ToolPlot, SamplingIsDenseOnlyWhereTheCurveBends) {
    auto const line = paths_of(plot({"3X-1", "0", "1", "--samples", "10"}));
    ASSERT_EQ(line.size(), 1u);
    EXPECT_EQ(line[0].size(), 11u) << "a straight line needs no refinement";

    auto const wave = paths_of(plot({"SIN(X)", "0", "2*PI", "--samples", "10"}));
    ASSERT_EQ(wave.size(), 1u);
    EXPECT_GT(wave[0].size(), 40u);
    // Refined until no drawn point stands out of the line through its neighbours.
    for (std::size_t i = 1; i + 1 < wave[0].size(); ++i) {
        pt const a = wave[0][i - 1], m = wave[0][i], b = wave[0][i + 1];
        double const on_chord = a.y + (b.y - a.y) * (m.x - a.x) / (b.x - a.x);
        EXPECT_LT(std::fabs(m.y - on_chord), 3.0) << i;
    }
}

TEST_F(ToolPlot, UndefinedStretchesAndJumpsAreGaps) {
    double const middle = 0.5 * (frame_left + frame_right);
    // Outside the domain: the curve starts at 0, found by bisection.
    auto const root = paths_of(plot({"SQRT(X)", "-1", "1"}));
    ASSERT_EQ(root.size(), 1u);
    EXPECT_NEAR(root[0].front().x, middle, 0.5);
    EXPECT_NEAR(root[0].back().x, frame_right, 0.01);

    // A pole hit by a sample (an error) or passed between samples (a jump) is not drawn through.
    for (char const *samples : {"10", "7"}) {
        auto const pole = paths_of(plot({"1/X", "-1", "1", "--samples", samples}));
        ASSERT_EQ(pole.size(), 2u) << samples;
        for (pt const &p : pole[0]) EXPECT_LE(p.x, middle);
        for (pt const &p : pole[1]) EXPECT_GE(p.x, middle);
        EXPECT_GT(pole[0].back().y, frame_bottom) << "runs down out of the frame";
        EXPECT_LT(pole[1].front().y, frame_top) << "comes down from above the frame";
    }
    EXPECT_EQ(paths_of(plot({"FLOOR(X)", "0", "2.5"})).size(), 3u);
    EXPECT_EQ(paths_of(plot({"TAN(X)", "-4", "4"})).size(), 3u);
}

TEST_F(ToolPlot, DerivativeIsASecondColouredCurveWithALegend) {
    std::string const svg = plot({"X^2", "-1", "1", "--deriv"});
    auto const paths = paths_of(svg);
    ASSERT_EQ(paths.size(), 2u);
    std::vector<std::string> const colours = attributes_after(svg, "<g fill=\"none\" stroke=\"");
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_NE(colours[0], colours[1]);
    EXPECT_NE(svg.find("class=\"legend\""), std::string::npos);
    EXPECT_NE(svg.find(">X^2</text>"), std::string::npos);
    EXPECT_NE(svg.find(">derivative "), std::string::npos);
    // The derivative 2X is a line through the origin: it goes from below to above the parabola.
    EXPECT_GT(paths[1].front().y, paths[0].front().y);
    EXPECT_LT(paths[1].back().y, paths[0].back().y);
    EXPECT_EQ(plot({"X^2", "-1", "1"}).find("class=\"legend\""), std::string::npos);
}

TEST_F(ToolPlot, LawsOfTwoOrThreeOutputsArePlaneCurves) {
    auto const circle = paths_of(plot({"VEC(COS(X), SIN(X), 1)", "0", "2*PI"}));
    ASSERT_EQ(circle.size(), 1u);
    double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
    for (pt const &p : circle[0]) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    EXPECT_NEAR(x1 - x0, y1 - y0, 1.0) << "a circle stays round";
    EXPECT_NEAR(circle[0].front().x, circle[0].back().x, 0.01);
    EXPECT_NEAR(circle[0].front().y, circle[0].back().y, 0.01);
}

TEST_F(ToolPlot, WritesTheFileAndRefusesWhatItCannotDraw) {
    std::string const path = ::testing::TempDir() + "law_plot_test.svg";
    std::remove(path.c_str());
    tool_run const r = run_law({"plot", "X", "0", "1", "--output", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "plot written to " + path + "\n");
    std::ifstream in(path);
    std::string const svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(svg.rfind("<svg", 0), 0u);
    std::remove(path.c_str());

    struct {
        std::vector<std::string> args;
        char const *message;
    } const refused[] = {
        {{"plot", "X*Y", "0", "1", "-o", "-"}, "one input"},
        {{"plot", "VEC(X,X,X,X)", "0", "1", "-o", "-"}, "1, 2 or 3 outputs"},
        {{"plot", "X", "1", "1", "-o", "-"}, "two different finite ends"},
        {{"plot", "X", "0", "inf", "-o", "-"}, "two different finite ends"},
        {{"plot", "X", "0", "1", "-o", "/nonexistent/dir/p.svg"}, "cannot write"},
    };
    for (auto const &c : refused) {
        tool_run const f = run_law(c.args);
        EXPECT_EQ(f.status, 1) << c.args[1];
        EXPECT_NE(f.err.find(c.message), std::string::npos) << f.err;
    }
}

}  // namespace

namespace {

class ToolPlotLegends : public LawTest {};

std::size_t count_of(std::string const &text, std::string const &piece) {
    std::size_t n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++n;
    return n;
}

// The legend names every kind of mark and arrow drawn, and nothing that is not drawn.
TEST_F(ToolPlotLegends, MarksAndArrowsAreNamed) {
    std::string const both = plot({"X^3-3*X", "-2.5", "2.5", "--roots", "--extrema"});
    EXPECT_NE(both.find(">root</text>"), std::string::npos);
    EXPECT_NE(both.find(">local extremum</text>"), std::string::npos);
    // Three roots and two extrema, each drawn once, each kind once more in the legend.
    EXPECT_EQ(count_of(both, "fill=\"#fff\"/>"), 3u + 1u);
    std::string const roots = plot({"X^3-3*X", "-2.5", "2.5", "--roots"});
    EXPECT_EQ(roots.find("local extremum"), std::string::npos);

    std::string const frames = plot({"VEC(COS(X),SIN(X),X/4)", "0", "4*PI", "--frames"});
    EXPECT_NE(frames.find(">normal (least rotation)</text>"), std::string::npos);
    EXPECT_NE(frames.find(">binormal</text>"), std::string::npos);

    std::string const fit = plot({"SIN(3*X)*X", "0", "3", "--fit", "0.01"});
    EXPECT_NE(fit.find(">knot</text>"), std::string::npos);
    // The law stays visible under its spline: the spline is dashed, the law is not.
    EXPECT_EQ(count_of(fit, "stroke-dasharray"), 2u);  // the spline and its legend line
    EXPECT_NE(fit.find(">SIN(3*X)*X</text>"), std::string::npos);
}

TEST_F(ToolPlotLegends, ProjectionsHaveAxisDirectionsNotTicks) {
    std::string const flat = plot({"VEC(COS(X),SIN(X),0)", "0", "6"});
    EXPECT_NE(flat.find("class=\"ticks\""), std::string::npos);
    for (char const *v : {"isometric", "oblique"}) {
        std::string const svg = plot({"VEC(COS(X),SIN(X),X)", "0", "6", "--view", v});
        EXPECT_EQ(svg.find("class=\"ticks\""), std::string::npos) << v;
        EXPECT_NE(svg.find("class=\"axis-directions\""), std::string::npos) << v;
        EXPECT_NE(svg.find(std::string(">") + v + " view</text>"), std::string::npos) << v;
    }
}

// A space curve seen from above says so on the page and on standard error; a plane one does not.
TEST_F(ToolPlotLegends, AFlattenedSpaceCurveIsNoted) {
    tool_run const helix =
        run_law({"plot", "CUR(HELIX1)", "0", "10", "--data", "HELIX pitch 2", "-o", "-"});
    ASSERT_EQ(helix.status, 0) << helix.err;
    EXPECT_NE(helix.err.find("its z runs from 0 to "), std::string::npos) << helix.err;
    EXPECT_NE(helix.out.find("not shown</text>"), std::string::npos);
    tool_run const flat = run_law({"plot", "VEC(COS(X),SIN(X),1)", "0", "6", "-o", "-"});
    EXPECT_EQ(flat.err, "");
}

TEST_F(ToolPlotLegends, NoFileIsWrittenUnasked) {
    char dir_template[] = "/tmp/law-plot-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    std::string const dir = dir_template;
    for (char const *command : {"law plot X 0 1", "law plot2 'VEC(X,Y,X*Y)' 0 1 0 1"}) {
        tool_run const r = run_shell(command, dir);
        EXPECT_EQ(r.status, 2) << command;
        EXPECT_NE(r.err.find("-o FILE.svg"), std::string::npos) << r.err;
        EXPECT_EQ(run_shell("ls", dir).out, "") << command;
    }
    tool_run const written = run_shell("law plot2 'VEC(X,Y,X*Y)' 0 1 0 1 -o s.svg", dir);
    EXPECT_EQ(written.out, "surface written to s.svg\n");
    std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
