// The interactive session's names, ans and subcommands, fed by a pipe.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "law_test.h"
#include "tool_runner.h"

namespace {

class ToolSession : public LawTest {};

std::vector<std::string> session(std::string const &input, std::string *err = nullptr,
                                 std::vector<std::string> args = {}) {
    args.insert(args.begin(), "repl");
    tool_run const r = run_law(args, input);
    EXPECT_EQ(r.status, 0) << r.err;
    if (err) *err = r.err;
    return lines_of(r.out);
}

TEST_F(ToolSession, NamesAndAnsStandForTheirLaws) {
    std::string err;
    std::vector<std::string> const out =
        session(":at 2\n:let F = X^2+1\n3F - f\n:let g = ans/F\ng\nans*2\n:names\n", &err);
    ASSERT_EQ(out.size(), 8u) << err;
    EXPECT_EQ(out[1], "F = X^2+1 = 5");
    EXPECT_EQ(out[2], "3*(X^2+1)-(X^2+1) = 10");  // 3F is 3*F; names are any case
    EXPECT_EQ(out[3], "G = (3*(X^2+1)-(X^2+1))/(X^2+1) = 2");
    EXPECT_EQ(out[5], "((3*(X^2+1)-(X^2+1))/(X^2+1))*2 = 4");  // ans is the last result
    EXPECT_EQ(out[6], "F = X^2+1");
    EXPECT_EQ(out[7], "G = (3*(X^2+1)-(X^2+1))/(X^2+1)");
    EXPECT_EQ(err, "");
}

TEST_F(ToolSession, NamesThatMeanSomethingAreRefused) {
    std::string err;
    std::vector<std::string> const out =
        session(":let X = 2\n:let sin = 2\n:let ans = 1\n:let 2a = 1\n:let F\nans\n", &err);
    EXPECT_TRUE(out.empty());
    for (char const *why :
         {"X already means something", "SIN already means something", "ans is the last result",
          "a name of letters", ":let needs NAME = EXPR", "no result yet for ans"})
        EXPECT_NE(err.find(why), std::string::npos) << why << " in " << err;
}

// :deriv and :simplify give a result (ans) and leave the current expression as it was.
TEST_F(ToolSession, DerivLeavesTheCurrentExpression) {
    std::vector<std::string> const out =
        session(":at 2\nX^3\n:deriv\n:deriv\nans\n:deriv\nX*2+3X\n:simplify\n:deriv\n");
    ASSERT_EQ(out.size(), 9u);
    EXPECT_EQ(out[2], "3*X^2 = 12");
    EXPECT_EQ(out[3], "3*X^2 = 12") << "the second :deriv is of X^3 again";
    EXPECT_EQ(out[5], "6*X = 12") << "ans made the derivative the current expression";
    EXPECT_EQ(out[7], "5*X = 10");
    EXPECT_EQ(out[8], "5 = 5") << "the derivative of X*2+3X";
}

// The subcommands run on the current expression and print what the tool prints.
TEST_F(ToolSession, SubcommandsRunOnTheCurrentExpression) {
    std::string const svg = ::testing::TempDir() + "law_session_plot.svg";
    std::remove(svg.c_str());
    std::string err;
    std::vector<std::string> const out =
        session("X^2-2\n:roots 0 3\n:integrate 0 3\n:min -1 2\n:max -1 2 --json\n:plot 0 2 " + svg +
                    "\n:fit 0 1 --tol 1e-6\n:roots 0 3 --values\n",
                &err);
    ASSERT_GE(out.size(), 8u) << err;
    EXPECT_NEAR(std::stod(out[1]), std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(std::stod(out[2]), 3.0, 1e-13);  // 9 - 6
    EXPECT_EQ(out[4], "0 -2");
    EXPECT_EQ(out[5], "{\"x\":2,\"value\":2}");
    EXPECT_EQ(out[6], "plot written to " + svg);
    EXPECT_EQ(out[7], "degree: 3");
    EXPECT_EQ(out.back().substr(0, 18), "1.4142135623730951") << out.back();
    std::ifstream in(svg);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("<title>X^2-2</title>"), std::string::npos);
    std::remove(svg.c_str());
    // The next run prints its numbers in full: --precision and --json were that run's alone.
    std::vector<std::string> const again = session("PI*X\n:max 0 1 --precision 3\n:max 0 1\n");
    ASSERT_EQ(again.size(), 3u);
    EXPECT_EQ(again[1], "1 3.14");
    EXPECT_EQ(again[2], "1 3.141592653589793");
}

TEST_F(ToolSession, SubcommandsReadTheSessionsLawsAndData) {
    std::string err;
    std::vector<std::string> const out =
        session("LAW1-CURC(HELIX2)\n:roots 0 1\n", &err,
                {"--law", "0.25", "--data", "HELIX major (2, 0, 0) pitch 3"});
    // A helix's curvature is constant, 0.473 here: never 0.25, so no roots, and no error.
    ASSERT_EQ(out.size(), 1u) << err;
    EXPECT_NE(out[0].find("CURC("), std::string::npos) << out[0];
    EXPECT_TRUE(err.empty()) << err;
}

TEST_F(ToolSession, FailuresAreReportedAndTheSessionGoesOn) {
    std::string err;
    std::vector<std::string> const out =
        session(":roots 0 1\nX\n:roots\n:plot 0 1\n:frobnicate\n:fit 0 1 --tol -1\nX+1\n", &err);
    EXPECT_EQ(out.back(), "X+1   (takes 1 input; set them with :at)");
    for (char const *why : {"no expression yet", "missing operand", "-o FILE.svg",
                            "unknown command :frobnicate", "--tol needs a number above 0"})
        EXPECT_NE(err.find(why), std::string::npos) << why << " in " << err;
}

}  // namespace
