#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include <law/base/output.h>
#include <law/numeric/nroot.h>
#include <law/numeric/open_set.h>
#include <law/numeric/root_settings.h>

#include "numeric_test_util.h"

namespace {

constexpr double pi = std::numbers::pi;

class Roots : public LawTest {};

std::vector<double> roots_of(char const *text, double a, double b) {
    law_ptr const f = parse_law(text);
    int n = -1;
    double *r = Nroot(f.get(), a, b, &n);
    return take_array(r, n);
}

void expect_roots(char const *text, double a, double b, std::vector<double> const &expected,
                  double tol = 1e-7) {
    std::vector<double> const found = roots_of(text, a, b);
    ASSERT_EQ(found.size(), expected.size()) << text;
    for (std::size_t i = 0; i < found.size(); ++i)
        EXPECT_NEAR(found[i], expected[i], tol) << text << " root " << i;
}

// Roots known in closed form, in ascending order.
TEST_F(Roots, FindsKnownRootsInAscendingOrder) {
    expect_roots("(X-1)*(X-2)*(X-3)", 0, 4, {1, 2, 3});
    expect_roots("X^3-2*X", -2, 2, {-std::sqrt(2.0), 0, std::sqrt(2.0)});
    expect_roots("SIN(X)", 0.5, 10, {pi, 2 * pi, 3 * pi});
    expect_roots("SIN(X)*COS(X)", 0.1, 3, {pi / 2});
    expect_roots("EXP(X)-2", -1, 3, {std::log(2.0)});
    expect_roots("SIN(1/X)", 0.1, 1, {1 / (3 * pi), 1 / (2 * pi), 1 / pi});
    expect_roots("X^2+1", -3, 3, {});
}

// Ends near the largest doubles: the halfway points of the gaps the scan leaves overflowed to
// -inf, and the scan probed them for ever.
TEST_F(Roots, IntervalsNearTheLargestDoublesAreScanned) {
    expect_roots("X", -1e308, -1e-300, {});
    expect_roots("X+10^308", -1.5e308, -1e-300, {-1e308}, 1e292);
}

TEST_F(Roots, FindsEveryRootOfAHighFrequencySine) {
    std::vector<double> expected;
    for (int k = 1; k * pi / 20 < 3; ++k) expected.push_back(k * pi / 20);
    expect_roots("SIN(20*X)", 0.05, 3, expected);
}

// The scan finds a few dozen of this law's roots near -2, where it oscillates without end; the
// sign changes left between them are filled in one by one, thousands of them, each a root.
TEST_F(Roots, ThousandsOfSignChangesLeftByTheScanAreFilledIn) {
    char const *text = "SIN(X+1-(X+2)^(4*(X+1)))";
    std::vector<double> const found = roots_of(text, -2, 0.8);
    ASSERT_GT(found.size(), 1000u);
    law_ptr const f = parse_law(text);
    for (std::size_t i = 0; i < found.size(); ++i) {
        double y;
        f->evaluate(&found[i], &y);
        EXPECT_LT(std::fabs(y), 1e-7) << found[i];
        if (i > 0) {
            EXPECT_LT(found[i - 1], found[i]);
        }
    }
}

TEST_F(Roots, TangentRootsComeBackOnce) {
    expect_roots("(X-1)^2", 0, 3, {1}, 1e-3);
    // Flat enough that many points near 1 are below the value tolerance: merged into one.
    std::vector<double> const flat = roots_of("(X-1)^4", 0, 3);
    ASSERT_EQ(flat.size(), 1u);
    EXPECT_NEAR(flat[0], 1, 0.02);
}

TEST_F(Roots, RootsAtTheEndsOfTheInterval) {
    expect_roots("X-2", 2, 5, {2});
    expect_roots("X-2", 0, 2, {2});
    expect_roots("X*(X-1)", 0, 1, {0, 1});
}

TEST_F(Roots, IntervalOrderDoesNotMatter) {
    EXPECT_EQ(roots_of("(X-3)*(X-4)", 5, 2), roots_of("(X-3)*(X-4)", 2, 5));
}

TEST_F(Roots, ConstantLaws) {
    law_ptr const zero = C(0), three = C(3);
    int n = -1;
    std::vector<double> const z = take_array(Nroot(zero.get(), 2, 5, &n), n);
    EXPECT_EQ(z, std::vector<double>{2});
    double *none = Nroot(three.get(), 2, 5, &n);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(n, 0);
}

// An interval of no length is the point a: its root when the law vanishes there.
TEST_F(Roots, IntervalOfZeroLengthIsAPoint) {
    expect_roots("X-1", 1, 1, {1});
    law_ptr const f = parse_law("X-1");
    int n = -1;
    EXPECT_EQ(Nroot(f.get(), 2, 2, &n), nullptr);
    EXPECT_EQ(n, 0);
}

TEST_F(Roots, SolveFindsWhereTwoLawsMeet) {
    law_ptr const f = parse_law("X^2"), g = parse_law("X+2");
    int n = -1;
    std::vector<double> const r = take_array(Nsolve(f.get(), g.get(), 5, -5, &n), n);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_NEAR(r[0], -1, 1e-7);
    EXPECT_NEAR(r[1], 2, 1e-7);
    law_ptr const s = parse_law("SIN(X)"), half = C(0.5);
    std::vector<double> const t = take_array(Nsolve(s.get(), half.get(), 0, pi, &n), n);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_NEAR(t[0], pi / 6, 1e-7);
    EXPECT_NEAR(t[1], 5 * pi / 6, 1e-7);
}

TEST_F(Roots, BadInputGetsAClearError) {
    int n = 0;
    law_ptr const vec = parse_law("VEC(X,X+1)"), two = parse_law("X+Y"), f = parse_law("X");
    EXPECT_LAW_ERROR(Nroot(vec.get(), 0, 1, &n), LAW_DIM);
    EXPECT_LAW_ERROR(Nroot(two.get(), 0, 1, &n), LAW_DIM);
    EXPECT_LAW_ERROR(Nroot(nullptr, 0, 1, &n), LAW_NULL_LAW);
    EXPECT_LAW_ERROR(Nroot(f.get(), std::nan(""), 1, &n), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(Nroot(f.get(), 0, INFINITY, &n), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(Nroot(f.get(), -1e308, 1e308, &n), LAW_BAD_BOUNDS);  // no finite length
    EXPECT_LAW_ERROR(Nsolve(f.get(), vec.get(), 0, 1, &n), LAW_DIM);
}

// The law's own error reaches the caller; nothing leaks (the fixture) and the thread's
// settings are the defaults again.
TEST_F(Roots, ErrorOfTheLawGoesToTheCallerWithNothingLeaked) {
    law_ptr const f = parse_law("LN(X)");
    int n = 0;
    EXPECT_LAW_ERROR(Nroot(f.get(), -3, -1, &n), LAW_LN);
    law_ptr const g = parse_law("LN(X-2)+SIN(X)");
    EXPECT_LAW_ERROR(Nroot(g.get(), 1, 4, &n), LAW_LN);
    EXPECT_EQ(root_tols().root_x_tol, 1e-14);
    EXPECT_EQ(root_tols().root_f_tol, 1e-7);
}

TEST_F(Roots, DefaultSettings) {
    root_settings &s = root_tols();
    s.root_x_tol = 1;
    s.root_walk_max = 99;
    set_root_tol_default();
    EXPECT_EQ(s.root_x_tol, 1e-14);
    EXPECT_EQ(s.root_f_tol, 1e-7);
    EXPECT_EQ(s.root_step_tol, 1e-7);
    EXPECT_EQ(s.root_hole_frac, 0.05);
    EXPECT_EQ(s.root_split_ratio, 0.1);
    EXPECT_EQ(s.unused_scale, 0.1);
    EXPECT_EQ(s.root_walk_max, 10);
    EXPECT_EQ(s.root_bisect_max, 40);
    EXPECT_EQ(s.unused_count, 7);
    EXPECT_EQ(s.root_iter_max, 10000);
    EXPECT_EQ(s.root_search_tol, 1e-4);
}

// Each thread searches under its own settings: coarse steps in one thread must not reach the
// other, whose roots stay exact, and each search restores its own thread's defaults.
TEST_F(Roots, ConcurrentSearchesKeepTheirOwnSettings) {
    law_ptr const f = parse_law("(X-0.3)*(X-1.7)*SIN(X)");
    struct outcome {
        std::vector<double> roots;
        int walk_max_after = 0;
    };
    auto search = [&](int walk_max, double step_tol, outcome &out) {
        for (int round = 0; round < 20; ++round) {
            root_tols().root_walk_max = walk_max;
            root_tols().root_step_tol = step_tol;
            int n = 0;
            out.roots = take_array(Nroot(f.get(), 0.1, 4, &n), n);
            out.walk_max_after = root_tols().root_walk_max;
        }
    };
    outcome exact, coarse;
    std::thread ta(search, 10, 1e-7, std::ref(exact));
    std::thread tb(search, 1, 0.5, std::ref(coarse));
    ta.join();
    tb.join();
    std::vector<double> const expected{0.3, 1.7, pi};
    ASSERT_EQ(exact.roots.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(exact.roots[i], expected[i], 1e-7);
    EXPECT_EQ(exact.walk_max_after, 10);
    EXPECT_EQ(coarse.walk_max_after, 10);
    EXPECT_EQ(root_tols().root_walk_max, 10);
}

class OpenSets : public LawTest {};

std::vector<std::pair<double, double>> intervals(Open_set const &s) {
    std::vector<std::pair<double, double>> out;
    for (Open_interval *i = s.head(); i; i = i->next) out.emplace_back(i->low, i->high);
    return out;
}

using spans = std::vector<std::pair<double, double>>;

TEST_F(OpenSets, AddJoinsOverlappingIntervalsAndClipsToTheRange) {
    Open_set s(0, 10);
    s.add(2, 3);
    s.add(6, 5);
    s.add(8, 8);
    EXPECT_EQ(intervals(s), (spans{{2, 3}, {5, 6}, {8, 8}}));
    s.add(2.5, 5.5);  // both ends held: one interval
    EXPECT_EQ(intervals(s), (spans{{2, 6}, {8, 8}}));
    s.add(7, 9);  // only the high end is new
    EXPECT_EQ(intervals(s), (spans{{2, 6}, {7, 9}}));
    s.add(-5, 1);   // clipped
    s.add(11, 12);  // outside: nothing
    EXPECT_EQ(intervals(s), (spans{{0, 1}, {2, 6}, {7, 9}}));
    s.add(0.5, 8);
    EXPECT_EQ(intervals(s), (spans{{0, 9}}));
    EXPECT_FALSE(s.is_full());
    s.add(9, 10);
    EXPECT_TRUE(s.is_full());
}

TEST_F(OpenSets, AddCoversIntervalsLyingInside) {
    Open_set s(0, 10);
    s.add(2, 3);
    s.add(4, 5);
    s.add(1, 6);
    EXPECT_EQ(intervals(s), (spans{{1, 6}}));
}

TEST_F(OpenSets, RemoveTrimsAndSplits) {
    Open_set s(0, 10);
    s.add(1, 9);
    s.remove(4, 5);
    EXPECT_EQ(intervals(s), (spans{{1, 4}, {5, 9}}));
    s.remove(3, 6);
    EXPECT_EQ(intervals(s), (spans{{1, 3}, {6, 9}}));
    s.add(7.5, 7.5);
    s.remove(8, 0.5);  // from 0.5 to 8: [1, 3] goes and [6, 9] is cut to [8, 9]
    EXPECT_EQ(intervals(s), (spans{{8, 9}}));
}

TEST_F(OpenSets, PeriodicSetsWrapAroundTheirRange) {
    Open_set s(0, 10, 1);
    s.add(8, 12);  // 12 is 2: the range runs backwards and becomes [0, 2] and [8, 10]
    EXPECT_EQ(intervals(s), (spans{{0, 2}, {8, 10}}));
    s.add(4, 5);
    double size = 0;
    // The gaps are 2-4, 5-8 and none across the ends.
    EXPECT_DOUBLE_EQ(s.largest_hole(size), 6.5);
    EXPECT_DOUBLE_EQ(size, 3);
    Open_set t(0, 10, 1);
    t.add(2, 3);
    t.add(5, 6);
    // Across the ends: from 6 to 12 (that is 2), midpoint 9.
    EXPECT_DOUBLE_EQ(t.largest_hole(size), 9);
    EXPECT_DOUBLE_EQ(size, 6);
}

TEST_F(OpenSets, QueriesAndHoles) {
    Open_set s(0, 10);
    EXPECT_EQ(s.hole(), 0);
    EXPECT_EQ(s.hole_size(), 0);
    s.add(1, 2);
    s.add(4, 5);
    s.add(8, 9);
    EXPECT_EQ(s.parts(), 3);
    EXPECT_DOUBLE_EQ(s.hole(), 3);
    EXPECT_DOUBLE_EQ(s.hole_size(), 2);
    EXPECT_EQ(s.in(4.5)->low, 4);
    EXPECT_EQ(s.in(3), nullptr);
    EXPECT_EQ(s.before(4.5)->low, 1);
    EXPECT_EQ(s.before(0.5), nullptr);
    EXPECT_EQ(s.after(4.5)->low, 8);
    EXPECT_EQ(s.after(9.5), nullptr);
    std::vector<double> const mids = take_array(s.mid_points(), s.parts());
    EXPECT_EQ(mids, (std::vector<double>{1.5, 4.5, 8.5}));
}

TEST_F(OpenSets, PrintWritesTheRangeAndEachInterval) {
    Open_set s(0, 4);
    s.add(1, 2);
    std::FILE *file = std::tmpfile();
    std::FILE *const old = debug_file_ptr;
    set_debug_file(file);
    s.print();
    set_debug_file(old);
    std::rewind(file);
    char text[128] = {};
    std::size_t const got = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    EXPECT_EQ(std::string(text, got), "Max 4.000000 Min 0.000000\n1.000000 2.000000\n");
}

}  // namespace
