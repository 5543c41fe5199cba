// The searching subcommands: roots, solve, min, max, bounds, roots2d and the plot's marks.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "law_test.h"
#include "tool_runner.h"

namespace {

class ToolSearch : public LawTest {};

constexpr double pi = std::numbers::pi;

// The numbers of each line of a successful run's output.
std::vector<std::vector<double>> table_of(std::vector<std::string> const &args) {
    tool_run const r = run_law(args);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::vector<double>> rows;
    for (std::string const &line : lines_of(r.out)) {
        std::istringstream in(line);
        std::vector<double> row;
        for (double v; in >> v;) row.push_back(v);
        rows.push_back(row);
    }
    return rows;
}

TEST_F(ToolSearch, RootsInAscendingOrderWithValuesOnRequest) {
    auto const plain = table_of({"roots", "SIN(X)", "1", "10"});
    ASSERT_EQ(plain.size(), 3u);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(plain[k][0], (k + 1) * pi, 1e-8);
    auto const valued = table_of({"roots", "X^2-2", "-3", "3", "--values"});
    ASSERT_EQ(valued.size(), 2u);
    EXPECT_NEAR(valued[0][0], -std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(valued[1][0], std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(valued[1][1], 0, 1e-7);
    EXPECT_TRUE(table_of({"roots", "X^2+1", "-1", "1"}).empty());
}

TEST_F(ToolSearch, RootsOfALawTooBusyToResolveAreAnErrorUnlessKept) {
    // 31,831 roots: more than the search's evaluations can resolve.
    tool_run const refused = run_law({"roots", "SIN(X)", "0", "1E5"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.empty());
    EXPECT_NE(refused.err.find("roots may be missing"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("a shorter interval"), std::string::npos) << refused.err;
    // The kinks of ABS(SIN(1/X)) pile up at 0: a shorter interval around 0 does not help.
    tool_run const piled = run_law({"roots", "ABS(SIN(1/X))-0.5", "-1", "1"});
    EXPECT_EQ(piled.status, 1);
    EXPECT_NE(piled.err.find("singular points pile up"), std::string::npos) << piled.err;
    EXPECT_EQ(piled.err.find("a shorter interval"), std::string::npos) << piled.err;
    tool_run const kept = run_law({"roots", "SIN(X)", "0", "1E5", "--keep"});
    EXPECT_EQ(kept.status, 0);
    EXPECT_NE(kept.err.find("warning"), std::string::npos) << kept.err;
    std::vector<std::string> const found = lines_of(kept.out);
    EXPECT_GT(found.size(), 1000u);
    for (std::string const &line : found) {
        double const x = std::stod(line);
        EXPECT_NEAR(x, pi * std::round(x / pi), 1e-6 * std::max(1.0, x)) << line;
    }
}

TEST_F(ToolSearch, SolveMinMax) {
    auto const meet = table_of({"solve", "X^2", "X+2", "-5", "5"});
    ASSERT_EQ(meet.size(), 2u);
    EXPECT_NEAR(meet[0][0], -1, 1e-9);
    EXPECT_NEAR(meet[1][0], 2, 1e-9);
    auto const low = table_of({"min", "(X-1)^2+3", "-4", "4"});
    ASSERT_EQ(low.size(), 1u);
    EXPECT_NEAR(low[0][0], 1, 1e-9);
    EXPECT_NEAR(low[0][1], 3, 1e-12);
    auto const high = table_of({"max", "X*(1-X)", "0", "1"});
    EXPECT_NEAR(high[0][0], 0.5, 1e-9);
    EXPECT_NEAR(high[0][1], 0.25, 1e-12);
}

TEST_F(ToolSearch, BoundsOfEachOutput) {
    auto const r = table_of({"bounds", "VEC(X*Y,X+Y)", "-1", "1", "0", "2"});
    ASSERT_EQ(r.size(), 2u);
    EXPECT_LE(r[0][0], -2);
    EXPECT_GE(r[0][1], 2);
    EXPECT_LE(r[1][0], -1);
    EXPECT_GE(r[1][1], 3);
    EXPECT_GT(r[1][0], -1.1);
}

TEST_F(ToolSearch, ZerosOfAPlaneSystem) {
    auto const r = table_of({"roots2d", "VEC(X^2+Y^2-1, X-Y)", "-2", "2", "-2", "2"});
    ASSERT_EQ(r.size(), 2u);
    double const s = std::sqrt(0.5);
    EXPECT_NEAR(r[0][0], -s, 1e-4);
    EXPECT_NEAR(r[0][1], -s, 1e-4);
    EXPECT_NEAR(r[1][0], s, 1e-4);
    EXPECT_NEAR(r[1][1], s, 1e-4);
}

TEST_F(ToolSearch, BadInputIsReported) {
    struct {
        std::vector<std::string> args;
        int status;
        char const *message;
    } const cases[] = {
        {{"roots", "X+Y", "0", "1"}, 1, "law: roots needs a law of one input"},
        {{"roots", "LN(X)", "-2", "-1"},
         1,
         "law: The law has no value where one is needed (anywhere on [-2, -1]: Out of the "
         "domain of the natural log x>0)"},
        {{"roots", "X", "0", "1", "--method", "newton"}, 2, "--method is chebyshev or nroot"},
        {{"min", "1/X", "-1", "1"}, 1, "(it falls without bound near 0)"},
        {{"max", "X", "0", "inf"}, 1, "law: the ends must be finite"},
        {{"bounds", "X^2"}, 1, "law: The domain is not a finite interval"},
        {{"bounds", "X*Y", "0", "1"}, 2, "bounds needs a LO HI pair"},
        {{"roots2d", "X^2", "1", "1", "0", "1"}, 1, "law: The search box is empty or inverted"},
        {{"plot", "VEC(X,X)", "0", "1", "--roots", "-o", "-"}, 1, "--roots and --extrema need"},
    };
    for (auto const &c : cases) {
        tool_run const r = run_law(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0] << " " << c.args[1];
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST_F(ToolSearch, PlotMarksRootsAndExtrema) {
    tool_run const r =
        run_law({"plot", "X^3-3*X", "-2.5", "2.5", "--roots", "--extrema", "-o", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::size_t const marks = r.out.find("<g class=\"marks\"");
    ASSERT_NE(marks, std::string::npos);
    std::string const group = r.out.substr(marks, r.out.find("</g>", marks) - marks);
    auto count = [&](char const *fill) {
        std::size_t n = 0;
        for (std::size_t at = group.find(fill); at != std::string::npos;
             at = group.find(fill, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("fill=\"#fff\""), 3u);  // -sqrt 3, 0, sqrt 3
    EXPECT_EQ(count("fill=\"#111\""), 2u);  // -1 and 1
}

}  // namespace
