// The numerical subcommands by their default methods, against closed forms, and the library's
// older methods that --method selects.
#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "law_test.h"
#include "tool_checks.h"
#include "tool_runner.h"

namespace {

class ToolMethods : public LawTest {};

constexpr double pi = std::numbers::pi;

// The first number of each line of a successful run's output.
std::vector<double> numbers_of(std::vector<std::string> const &args) {
    tool_run const r = run_law(args);
    EXPECT_EQ(r.status, 0) << args[0] << " " << args[1] << ": " << r.err;
    std::vector<double> out;
    for (std::string const &line : lines_of(r.out)) {
        std::istringstream in(line);
        double v;
        if (in >> v) out.push_back(v);
    }
    return out;
}

TEST_F(ToolMethods, IntegralsRombergCannotSee) {
    struct {
        char const *law, *a, *b;
        double exact;
    } const cases[] = {
        {"ABS(SIN(X))", "0", "10*PI", 20},
        {"SIN(X)^2", "0", "8*PI", 4 * pi},
        {"X*SIN(40*X)", "0", "PI", -pi / 40},
        {"1/SQRT(X)", "0", "1", 2},
        {"LN(X)", "0", "1", -1},
        {"EXP(-X)", "0", "inf", 1},
        {"EXP(-(X^2))", "-inf", "inf", std::sqrt(pi)},
    };
    for (auto const &c : cases) {
        tool_run const r = run_law({"integrate", c.law, c.a, c.b});
        ASSERT_EQ(r.status, 0) << c.law << ": " << r.err;
        std::vector<std::string> const lines = lines_of(r.out);
        ASSERT_EQ(lines.size(), 2u) << r.out;
        EXPECT_NEAR(std::stod(lines[0]), c.exact, 1e-10 * std::max(1.0, std::fabs(c.exact)))
            << c.law;
        EXPECT_EQ(lines[1].rfind("error: ", 0), 0u) << lines[1];
        EXPECT_NE(lines[1].find("(estimated), evaluations: "), std::string::npos) << lines[1];
    }
    // Romberg's first levels see SIN(X)^2 only where it is zero, and take that for the answer.
    std::vector<double> const romberg =
        numbers_of({"integrate", "SIN(X)^2", "0", "8*PI", "--method", "romberg"});
    ASSERT_EQ(romberg.size(), 1u);
    EXPECT_LT(std::fabs(romberg[0]), 1e-10);
}

TEST_F(ToolMethods, EveryRootByDefault) {
    EXPECT_EQ(numbers_of({"roots", "SIN(100*X)", "0", "10"}).size(), 319u);
    EXPECT_EQ(numbers_of({"roots", "SIN(1/X)", "0.01", "1"}).size(), 31u);
    std::vector<double> const tiny = numbers_of({"roots", "X^2-1E-10", "-1", "1"});
    ASSERT_EQ(tiny.size(), 2u);
    EXPECT_NEAR(tiny[0], -1e-5, 1e-20);
    EXPECT_NEAR(tiny[1], 1e-5, 1e-20);
    EXPECT_EQ(numbers_of({"roots", "1E-8*(X-0.5)", "0", "1"}), std::vector<double>{0.5});
    EXPECT_EQ(numbers_of({"roots", "(X-1)*(X-1.000001)", "0", "3"}).size(), 2u);
    std::vector<double> const tan = numbers_of({"roots", "TAN(X)", "0.5", "7"});
    ASSERT_EQ(tan.size(), 2u);
    EXPECT_NEAR(tan[0], pi, 1e-15);
    EXPECT_NEAR(tan[1], 2 * pi, 1e-15);
    EXPECT_EQ(numbers_of({"roots", "(X-0.5)/(X-1)", "0", "2"}), std::vector<double>{0.5});
    EXPECT_EQ(numbers_of({"roots", "SQRT(X)-0.5", "0", "1"}), std::vector<double>{0.25});
    EXPECT_EQ(numbers_of({"solve", "SIN(X)", "COS(X)", "0", "8"}).size(), 3u);

    // A stretch of zeros is noted, with its left end printed.
    tool_run const flat = run_law({"roots", "MAX(X,0)", "-1", "1"});
    EXPECT_EQ(flat.out, "-1\n");
    EXPECT_NE(flat.err.find("note: the law is zero on all of [-1, 0]"), std::string::npos)
        << flat.err;
    // The library's Nroot, by name: its scan misses most of a fast sine's roots.
    EXPECT_LT(numbers_of({"roots", "SIN(100*X)", "0", "10", "--method", "nroot"}).size(), 319u);
}

TEST_F(ToolMethods, ExtremaAtKinksAndBoundsThatSayAPole) {
    EXPECT_EQ(run_law({"min", "ABS(X)", "-1", "1"}).out, "0 0\n");
    EXPECT_EQ(run_law({"min", "ABS(X-0.3)", "-1", "1"}).out, "0.3 0\n");
    EXPECT_EQ(run_law({"max", "MIN(X,2-X)", "0", "2"}).out, "1 1\n");
    EXPECT_EQ(run_law({"min", "ABS(X-0.3)", "-1", "1", "--method", "nmin"}).out, "0.3 0\n");
    EXPECT_EQ(run_law({"bounds", "SIN(X)", "0", "10"}).out, "-1 1\n");
    EXPECT_EQ(run_law({"bounds", "VEC(X^2,X)", "-1", "2"}).out, "0 4\n-1 2\n");
    expect_failures({
        {{"bounds", "1/X", "-1", "1"},
         1,
         "the law has no bounds on [-1, 1]: it grows without bound near 0"},
        {{"bounds", "VEC(X,LN(X))", "0", "1"}, 1, "output 2 has no bounds on [0, 1]: it falls"},
        {{"max", "TAN(X)", "0.5", "7"}, 1, "(it grows without bound near 1.5707963267948966)"},
        {{"integrate", "X", "0", "1", "--method", "simpson"}, 2, "--method is adaptive or romberg"},
        {{"integrate", "X", "0", "1", "--min-level", "3"}, 2, "are for --method romberg"},
        {{"integrate", "SIN(1/X)", "1E-4", "1", "--tol", "1E-15", "--rel-tol", "0"},
         1,
         "The integral did not reach the requested tolerance"},
        {{"bounds", "X", "0", "1", "--method", "exact"}, 2, "--method is chebyshev or sampled"},
    });
    // The sampled bounds of the library, by name: widened by the sampling error.
    std::vector<double> const sampled =
        numbers_of({"bounds", "SIN(X)", "0", "10", "--method", "sampled"});
    ASSERT_EQ(sampled.size(), 1u);
    EXPECT_LT(sampled[0], -1);
}

}  // namespace
