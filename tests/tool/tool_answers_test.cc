// Answers the tool gives or refuses: every zero of a plane system, fits judged by a distance
// measured again here from the printed spline, values that are no numbers, whole primes, and
// the note on a leading minus before "^".
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <law/law.h>

#include "law_test.h"
#include "tool_runner.h"

namespace {

class ToolAnswers : public LawTest {};

std::vector<std::vector<double>> numbers_of(std::string const &out) {
    std::vector<std::vector<double>> rows;
    for (std::string const &line : lines_of(out)) {
        std::istringstream in(line);
        std::vector<double> row;
        for (double v; in >> v;) row.push_back(v);
        rows.push_back(row);
    }
    return rows;
}

TEST_F(ToolAnswers, Roots2dFindsEveryZero) {
    tool_run const r = run_law({"roots2d", "VEC(X^2+Y^2-4,X*Y-1)", "-3", "3", "-3", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto const rows = numbers_of(r.out);
    ASSERT_EQ(rows.size(), 4u);
    // x^2 = 2 -+ sqrt 3 and y = 1/x, in ascending x.
    double const big = std::sqrt(2 + std::sqrt(3.0)), small = std::sqrt(2 - std::sqrt(3.0));
    double const xs[] = {-big, -small, small, big};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(rows[i][0], xs[i], 1e-14);
        EXPECT_NEAR(rows[i][1], 1 / xs[i], 1e-14);
    }
    // The quadtree search of the sum of squares, on request: what it finds lies near a zero.
    tool_run const q =
        run_law({"roots2d", "VEC(X^2+Y^2-4,X*Y-1)", "-3", "3", "-3", "3", "--quadtree"});
    ASSERT_EQ(q.status, 0) << q.err;
    for (auto const &row : numbers_of(q.out)) {
        double const nearest = *std::min_element(
            std::begin(xs), std::end(xs),
            [&](double a, double b) { return std::fabs(a - row[0]) < std::fabs(b - row[0]); });
        EXPECT_NEAR(row[0], nearest, 1e-3);
        EXPECT_NEAR(row[1], 1 / nearest, 1e-3);
    }
    // A tangency is one zero; a box without zeros prints nothing.
    auto const touch =
        numbers_of(run_law({"roots2d", "VEC(X^2+Y^2-1,Y-1)", "-2", "2", "-2", "2"}).out);
    ASSERT_EQ(touch.size(), 1u);
    EXPECT_NEAR(touch[0][0], 0, 1e-6);
    EXPECT_NEAR(touch[0][1], 1, 1e-12);
    tool_run const none = run_law({"roots2d", "VEC(X^2+Y^2-1,X-Y)", "2", "3", "2", "3"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
}

TEST_F(ToolAnswers, Roots2dSaysWhenZerosAreNoPoints) {
    struct {
        std::vector<std::string> args;
        int status;
        char const *message;
    } const cases[] = {
        {{"roots2d", "X^2+Y^2-1", "-2", "2", "-2", "2"}, 1, "its zeros form curves"},
        {{"roots2d", "VEC(X-Y,2*X-2*Y)", "-1", "1", "-1", "1"}, 1, "the zeros form curves"},
        {{"roots2d", "VEC(X,Y)", "0", "1", "0", "1", "--cell", "0.1"}, 2, "--cell sets the cells"},
        {{"roots2d", "VEC(X,Y)", "0", "inf", "0", "1"}, 1, "the ends must be finite"},
    };
    for (auto const &c : cases) {
        tool_run const r = run_law(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[1];
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

// The control points and knots of a `fit --dump`, read back.
struct printed_spline {
    std::vector<double> knots;
    std::vector<std::array<double, 3>> points;
};

printed_spline read_dump(std::string const &out) {
    printed_spline s;
    for (std::string const &line : lines_of(out)) {
        if (line.rfind("#       (", 0) != 0) continue;
        std::size_t const close = line.find(')');
        std::array<double, 3> p{};
        if (std::sscanf(line.c_str() + 9, "%lf , %lf , %lf", &p[0], &p[1], &p[2]) == 3)
            s.points.push_back(p);
        s.knots.push_back(std::stod(line.substr(line.rfind(',') + 1)));
        (void)close;
    }
    return s;
}

// De Boor's evaluation of the cubic B-spline at t.
std::array<double, 3> de_boor(printed_spline const &s, double t) {
    int const n = static_cast<int>(s.points.size());
    int k = 3;
    while (k < n - 1 && !(t < s.knots[static_cast<std::size_t>(k + 1)])) ++k;
    std::array<std::array<double, 3>, 4> d;
    for (int j = 0; j < 4; ++j) d[j] = s.points[static_cast<std::size_t>(j + k - 3)];
    for (int r = 1; r <= 3; ++r)
        for (int j = 3; j >= r; --j) {
            double const lo = s.knots[static_cast<std::size_t>(j + k - 3)];
            double const hi = s.knots[static_cast<std::size_t>(j + 1 + k - r)];
            double const a = hi > lo ? (t - lo) / (hi - lo) : 0;
            for (int c = 0; c < 3; ++c) d[j][c] = (1 - a) * d[j - 1][c] + a * d[j][c];
        }
    return d[3];
}

double line_value(std::string const &out, char const *label) {
    std::size_t const at = out.find(label);
    return at == std::string::npos ? NAN : std::stod(out.substr(at + std::string(label).size()));
}

// The distance the tool measures is the largest distance between law and spline, as found here
// from the printed spline at many more parameters; a fit is refused exactly when that distance
// is over the tolerance.
TEST_F(ToolAnswers, FitMeasuresTheDistanceAndRefusesAMiss) {
    struct {
        char const *text;
        double a, b, tol;
    } const cases[] = {
        {"SIN(3*X)*X", 0, 3, 1e-3},      {"SIN(3*X)*X", 0, 3, 1e-6},
        {"EXP(X)", -1, 2, 1e-4},         {"ABS(X-0.3)", -1, 1, 1e-3},
        {"FLOOR(X)", 0, 3, 1e-3},        {"SQRT(X+0.01)", 0, 1, 1e-4},
        {"ABS(X-0.3)+X^2", -1, 1, 1e-6}, {"ABS(SIN(3*X))", 0, 3, 1e-6},
        {"MOD(X,1)", 0, 2.5, 1e-3},
    };
    for (auto const &c : cases) {
        std::vector<std::string> const args = {"fit",
                                               c.text,
                                               std::to_string(c.a),
                                               std::to_string(c.b),
                                               "--tol",
                                               std::to_string(c.tol),
                                               "--dump",
                                               "--keep"};
        tool_run const r = run_law(args);
        ASSERT_EQ(r.status, 0) << c.text << ": " << r.err;
        printed_spline const s = read_dump(r.out);
        ASSERT_EQ(s.knots.size(), s.points.size() + 4) << c.text;
        law_ptr const f = adopt(str_to_law(c.text));
        // 100 points in every span between knots, and 100,000 over the whole range.
        std::vector<double> ts;
        for (std::size_t k = 0; k + 1 < s.knots.size(); ++k)
            for (int i = 0; s.knots[k + 1] > s.knots[k] && i <= 100; ++i)
                ts.push_back(s.knots[k] + (s.knots[k + 1] - s.knots[k]) * i / 100.0);
        for (int i = 0; i <= 100000; ++i) ts.push_back(c.a + (c.b - c.a) * i / 100000.0);
        double truth = 0;
        for (double t : ts) {
            t = std::clamp(t, c.a, c.b);
            std::array<double, 3> const p = de_boor(s, t);
            truth = std::max(truth, std::hypot(p[0] - t, p[1] - f->eval(t), p[2]));
        }
        double const measured = line_value(r.out, "measured: ");
        double const accuracy = line_value(r.out, "accuracy: ");
        // The printed points carry 13 decimals.
        EXPECT_LE(measured, truth + 1e-11) << c.text;
        EXPECT_GE(measured, 0.95 * truth - 1e-11) << c.text;
        EXPECT_GE(measured, 0.95 * accuracy) << c.text;
        bool const missed = std::max(measured, accuracy) > c.tol;
        EXPECT_EQ(r.err.find("more than the tolerance") != std::string::npos, missed) << r.err;
        tool_run const strict = run_law({args.begin(), args.end() - 2});
        EXPECT_EQ(strict.status, missed ? 1 : 0) << c.text << " " << c.tol;
    }
}

// A kink the law reports ends a piece that is fitted alone: a handful of control points, where
// the whole range at once halves the segments beside the kink down to the tolerance.
TEST_F(ToolAnswers, FitsEndPiecesAtKinks) {
    auto const control_points = [](tool_run const &r) {
        return line_value(r.out, "control points: ");
    };
    tool_run const pieces = run_law({"fit", "ABS(X)", "-1", "1", "--tol", "1e-9"});
    ASSERT_EQ(pieces.status, 0) << pieces.err;
    EXPECT_LE(control_points(pieces), 10);
    EXPECT_LE(line_value(pieces.out, "measured: "), 1e-9);
    // Over the whole range the kink is a simple knot, so the spline is C2 there and needs more
    // knots beside it; one-sided differences reach across the kink and halve down to the tolerance.
    tool_run const whole =
        run_law({"fit", "ABS(X)", "-1", "1", "--tol", "1e-9", "--method", "whole"});
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_GT(control_points(whole), control_points(pieces));
    EXPECT_LE(line_value(whole.out, "measured: "), 1e-9);
    tool_run const differences =
        run_law({"fit", "ABS(X)", "-1", "1", "--tol", "1e-9", "--method", "whole", "--fast-euler"});
    ASSERT_EQ(differences.status, 0) << differences.err;
    EXPECT_GT(control_points(differences), 10000);
    // A smooth law has one piece: both methods give the same spline.
    tool_run const a = run_law({"fit", "SIN(X)", "0", "3", "--tol", "1e-7", "--dump"});
    tool_run const b =
        run_law({"fit", "SIN(X)", "0", "3", "--tol", "1e-7", "--dump", "--method", "whole"});
    EXPECT_EQ(a.out.substr(0, a.out.find("time:")), b.out.substr(0, b.out.find("time:")));
    EXPECT_EQ(run_law({"fit", "X", "0", "1", "--method", "spline"}).status, 2);
}

TEST_F(ToolAnswers, AMissedFitWritesNoFile) {
    char path[] = "/tmp/law-fit-miss-XXXXXX";
    int const fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::remove(path);
    tool_run const r = run_law({"fit", "FLOOR(X)", "0", "3", "--iges", path});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--keep keeps it"), std::string::npos) << r.err;
    EXPECT_NE(access(path, F_OK), 0) << "no file for a fit that missed";
    EXPECT_EQ(run_law({"fit", "FLOOR(X)", "0", "3", "--iges", path, "--keep"}).status, 0);
    EXPECT_EQ(access(path, F_OK), 0);
    std::remove(path);
    // A surface with a step has no fit within 1e-3 either; a kinked one has.
    tool_run const step = run_law({"fit2", "VEC(X,Y,FLOOR(2*X))", "0", "1", "0", "1"});
    EXPECT_EQ(step.status, 1);
    EXPECT_NEAR(line_value(step.out, "measured: "), 0.5, 0.01);
    tool_run const kink = run_law({"fit2", "VEC(X,Y,ABS(X-0.3)*Y)", "0", "1", "0", "1"});
    EXPECT_EQ(kink.status, 0) << kink.err;
    EXPECT_LE(line_value(kink.out, "measured: "), 1e-3);
}

TEST_F(ToolAnswers, InfinityAndNaNAreNoResults) {
    struct {
        std::vector<std::string> args;
        char const *message;
    } const cases[] = {
        {{"eval", "EXP(X)", "1000"}, "law: the value overflows"},
        {{"eval", "10^400"}, "law: the value overflows"},
        {{"eval", "-EXP(X)", "710"}, "law: the value overflows"},
        {{"eval", "0*X", "inf"}, "law: the value is not a number"},
        {{"eval", "VEC(X,EXP(Y))", "1", "800"}, "law: output 2 of 2 overflows"},
    };
    for (auto const &c : cases) {
        tool_run const r = run_law(c.args);
        EXPECT_EQ(r.status, 1) << c.args[1];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
    }
    EXPECT_EQ(run_law({"eval", "EXP(X)", "709"}).status, 0);
    // Searches whose answer a double cannot hold.
    struct {
        std::vector<std::string> args;
        char const *message;
    } const searches[] = {
        {{"max", "EXP(X)", "0", "1000"}, "past the largest double"},
        {{"bounds", "EXP(X)", "0", "1000"}, "it grows past the largest double"},
        {{"bounds", "EXP(X)", "0", "800", "--method", "sampled"}, "no finite bounds"},
        {{"bounds", "X*Y", "-1E+300", "1E+300", "-1E+300", "1E+300"}, "no finite bounds"},
    };
    for (auto const &c : searches) {
        tool_run const r = run_law(c.args);
        EXPECT_EQ(r.status, 1) << c.args[0] << " " << c.args[1];
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_EQ(run_law({"min", "EXP(X)", "0", "1000"}).out, "0 1\n");
}

TEST_F(ToolAnswers, PrimesPastThirtyTwoBits) {
    for (char const *n : {"4294967311", "1E+15+37", "2^53-111"})
        EXPECT_EQ(run_law({"eval", std::string("PRIME?(") + n + ")"}).out, "1\n") << n;
    for (char const *n : {"4294967297", "1E+15+39", "3215031751"})
        EXPECT_EQ(run_law({"eval", std::string("PRIME?(") + n + ")"}).out, "0\n") << n;
}

TEST_F(ToolAnswers, ALeadingMinusBeforeAPowerIsNoted) {
    tool_run const r = run_law({"eval", "EXP(-X^2)", "1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2.718281828459045\n");  // e^((-1)^2)
    EXPECT_EQ(r.err,
              "law: note: '-X^2' reads as (-X)^2, a power of -X; write -(X^2) for the negative "
              "of X^2\n");
    tool_run const strict = run_law({"eval", "EXP(-X^2)", "1", "--strict"});
    EXPECT_EQ(strict.status, 1);
    EXPECT_NE(strict.err.find("(--strict)"), std::string::npos) << strict.err;
    EXPECT_NE(run_law({"eval", "X*-Y^2", "1", "2"}).err.find("'-Y^2' reads as (-Y)^2"),
              std::string::npos);
    // Written as meant, or a minus that is no base: nothing to note.
    for (char const *quiet : {"-(X^2)", "(-X)^2", "2^-X", "X-Y^2", "-X*Y", "-(X)"}) {
        tool_run const q = run_law({"eval", quiet, "2", "3"});
        EXPECT_EQ(q.status, 0) << quiet;
        EXPECT_EQ(q.err, "") << quiet;
    }
}

}  // namespace
