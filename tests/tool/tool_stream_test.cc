// Streamed evaluation: one point per line of standard input.
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "law_test.h"
#include "tool_runner.h"

namespace {

class ToolStream : public LawTest {};

TEST_F(ToolStream, EachLineIsOnePoint) {
    struct {
        char const *expr, *in, *out;
    } const cases[] = {
        {"X*Y", "1 2\n3 4\n", "2\n12\n"},
        {"X*Y", "1 2\n3 4", "2\n12\n"},                     // no end on the last line
        {"X-Y", " \t-1\t\t-2  \r\n+5 1e1\r\n", "1\n-5\n"},  // tabs, CRLF, signs
        {"X+0.5", "0.1\n", "0.6\n"},
        {"VEC(X, -X)", "2\n", "2 -2\n"},
        {"3", "1\n2\n", "3\n3\n"},  // a law of no input reads nothing of its line
        {"X*2", "\n# a comment\n  \t\n1\n  # indented\n3\n", "2\n6\n"},
        {"X", "", ""},
        {"X", "1 2 3\n4 five\n", "1\n4\n"},  // values past the law's inputs are not read
    };
    for (auto const &c : cases) {
        tool_run const r = run_law({"eval", c.expr, "-"}, c.in);
        EXPECT_EQ(r.status, 0) << c.expr << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.expr;
    }
}

TEST_F(ToolStream, ABadLineStopsWithItsNumberAfterTheLinesBeforeIt) {
    struct {
        char const *expr, *in, *message;
    } const cases[] = {
        {"X*Y", "1 2\n3\n5 6\n", "law: line 2: the law takes 2 inputs, the line has 1 value\n"},
        {"X*Y", "1 2\n\n5\n", "law: line 3: the law takes 2 inputs, the line has 1 value\n"},
        {"X", "1\n2x\n", "law: line 2: \"2x\" is not a number\n"},
        {"X", "1\n--2\n", "law: line 2: \"--2\" is not a number\n"},
        {"X", "1\n+-2\n", "law: line 2: \"+-2\" is not a number\n"},
        {"X", "1\n1e999\n", "law: line 2: \"1e999\" is not a number\n"},
        {"SQRT(X)", "4\n-4\n", "law: line 2: "},
        // Infinities and NaN are no results, also where the point holds them.
        {"EXP(X)", "1\n1000\n", "law: line 2: the value overflows"},
        {"X", "-1\n-inf\n", "law: line 2: the value overflows"},
        {"VEC(X,0*X)", "1\ninf\n", "law: line 2: output 1 of 2 overflows"},
        {"X", "1\nnan\n", "law: line 2: the value is not a number"},
    };
    for (auto const &c : cases) {
        tool_run const r = run_law({"eval", c.expr, "-"}, c.in);
        EXPECT_EQ(r.status, 1) << c.in;
        EXPECT_EQ(r.out, r.out.substr(0, r.out.find('\n') + 1)) << "only line 1 was written";
        EXPECT_EQ(lines_of(r.out).size(), 1u) << c.in;
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
    }
}

// Random doubles of every magnitude, written with 17 digits, come back as the same doubles, in
// no more characters than that.
TEST_F(ToolStream, ValuesReadBackExactly) {
    std::mt19937_64 gen(20261205);
    std::vector<double> values;
    std::string in;
    char buf[64];
    while (values.size() < 5000) {
        std::uint64_t const bits = gen();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v)) continue;
        values.push_back(v);
        std::snprintf(buf, sizeof buf, "%.17g\n", v);
        in += buf;
    }
    tool_run const r = run_law({"eval", "X", "-"}, in);
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> const out = lines_of(r.out);
    ASSERT_EQ(out.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        double back = 0;
        std::from_chars(out[i].data(), out[i].data() + out[i].size(), back);
        EXPECT_EQ(std::memcmp(&back, &values[i], sizeof back), 0) << out[i];
        std::snprintf(buf, sizeof buf, "%.17g", values[i]);
        EXPECT_LE(out[i].size(), std::strlen(buf)) << out[i];
    }
}

TEST_F(ToolStream, LargeInputsAndLongLines) {
    std::string in;
    long const n = 200000;
    for (long i = 0; i < n; ++i) in += std::to_string(i) + " " + std::to_string(i % 7) + "\n";
    tool_run const r = run_law({"eval", "X+Y", "-"}, in);
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> const out = lines_of(r.out);
    ASSERT_EQ(out.size(), static_cast<std::size_t>(n));
    for (long i : {0L, 1L, 99999L, n - 1})
        EXPECT_EQ(out[static_cast<std::size_t>(i)], std::to_string(i + i % 7));

    // A line longer than the read buffer.
    std::string const longline =
        std::string(3 << 20, ' ') + "7" + std::string(1 << 20, '\t') + "\n";
    tool_run const l = run_law({"eval", "2X", "-"}, "1\n" + longline + "2\n");
    EXPECT_EQ(l.status, 0) << l.err;
    EXPECT_EQ(l.out, "2\n14\n4\n");
}

}  // namespace
