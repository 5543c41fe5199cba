// What a newcomer would otherwise meet unawares: output that means nothing, output that was lost.
#include <string>
#include <vector>

#include "law_test.h"
#include "tool_checks.h"
#include "tool_runner.h"

namespace {

class ToolSurprise : public LawTest {};

TEST_F(ToolSurprise, ResultsThatMeanNothingAreErrors) {
    expect_failures({
        {{"integrate", "X", "0", "inf"}, 1, "The integral does not seem to converge"},
        {{"integrate", "X", "-inf", "0"}, 1, "The integral does not seem to converge"},
        {{"integrate", "X", "nan", "0"}, 1, "limits that are numbers; A is nan, B is 0"},
        {{"integrate", "1E+300*1E+300", "0", "1"},
         1,
         "no value where one is needed (at 0.5: the value is inf)"},
        {{"integrate", "X*1E+308", "0", "10"}, 1, "(at 5: the value is inf)"},
        {{"integrate", "X", "0", "inf", "--method", "romberg"},
         1,
         "romberg integration needs finite limits; A is 0, B is inf"},
        {{"integrate", "1E+300*1E+300", "0", "1", "--method", "romberg"}, 1, "no finite value"},
        {{"plot", "LN(X)", "-2", "-1", "-o", "-"}, 1, "nothing to draw"},
        {{"plot", "SQRT(X)", "-5", "-1", "-o", "-"}, 1, "nothing to draw"},
    });
}

TEST_F(ToolSurprise, MisreadOperandsAreUsageErrors) {
    expect_failures({
        {{"deriv", "X^2*Y", "--wrt", "5"}, 2, "--wrt 5 is past the law's 2 inputs"},
        {{"deriv", "X", "--wrt", "1"}, 2, "--wrt 1 is past the law's 1 input"},
        {{"eval", "X", "2 3 4"}, 2, "holds 3 numbers"},
        {{"eval", "X+Y", "1", " 2\t3 "}, 2, "holds 2 numbers"},
        {{"integrate", "X", "0 1", "2"}, 2, "holds 2 numbers"},
    });
    // What stays as it was: a law of no input differentiates by input 0, and a value may be an
    // expression with blanks in it.
    EXPECT_EQ(run_law({"deriv", "5"}).out, "0\n");
    EXPECT_EQ(run_law({"eval", "X", "2 * 3"}).out, "6\n");
}

TEST_F(ToolSurprise, OutputThatCannotBeWrittenIsAFailure) {
    std::vector<std::string> const commands[] = {
        {"print", "X+1"},
        {"eval", "X", "1"},
        {"deriv", "X^2"},
        {"simplify", "X+X"},
        {"integrate", "X", "0", "1"},
        {"info", "X"},
        {"plot", "X", "0", "1", "-o", "-"},
        {"--help"},
        {"eval", "--help"},
    };
    for (std::vector<std::string> const &args : commands) {
        tool_run const r = run_law_into("/dev/full", args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_NE(r.err.find("cannot write"), std::string::npos) << args[0] << ": " << r.err;
    }
}

// Readings the language keeps but a writer may not mean are noted on standard error, with the
// law as read; --strict refuses them.
TEST_F(ToolSurprise, SurprisingReadingsAreNotedAndStrictRefusesThem) {
    struct {
        std::vector<std::string> args;
        char const *out, *note;
    } const cases[] = {
        {{"eval", "X+1e2", "3", "4"},
         "7\n",
         "law: note: '1E2' reads as 1*E2, the variable E2; write 1E+2 for the number\n"},
        {{"eval", "XY", "3", "5"},
         "5\n",
         "law: note: 'X' takes no part in the law; the law reads as Y\n"},
        {{"print", "MAX(X,Y)Z"},
         "MAX(X,Y)\n",
         "law: note: 'Z' takes no part in the law; the law reads as MAX(X,Y)\n"},
        {{"eval", "X+", "2"},
         "2\n",
         "law: note: an empty operand reads as 0; the law reads as X+0\n"},
        {{"print", "VEC()"},
         "VEC(0)\n",
         "law: note: an empty operand reads as 0; the law reads as VEC(0)\n"},
        {{"print", ""}, "0\n", "law: note: an empty operand reads as 0; the law reads as 0\n"},
        {{"eval", "LAW1", "--law", "2E5", "1", "1", "1", "1", "7"},
         "14\n",
         "law: note: '2E5' reads as 2*E5, the variable E5; write 2E+5 for the number\n"},
    };
    for (auto const &c : cases) {
        tool_run const r = run_law(c.args);
        EXPECT_EQ(r.status, 0) << c.args[1] << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[1];
        EXPECT_EQ(r.err, c.note) << c.args[1];

        std::vector<std::string> strict = c.args;
        strict.insert(strict.begin() + 1, "--strict");
        tool_run const refused = run_law(strict);
        EXPECT_EQ(refused.status, 1) << c.args[1];
        EXPECT_EQ(refused.out, "") << c.args[1];
        std::string const message = "law: " + std::string(c.note).substr(11);
        EXPECT_EQ(refused.err, message.substr(0, message.size() - 1) + " (--strict)\n");
    }
    tool_run const plain = run_law({"eval", "--strict", "X*Y+2E+3", "3", "5"});
    EXPECT_EQ(plain.out, "2015\n");
    EXPECT_EQ(plain.err, "");
}

// Echoed input is cut and its control bytes escaped: neither megabytes nor escape sequences reach
// the terminal.
TEST_F(ToolSurprise, EchoedInputIsShortAndPrintable) {
    std::string long_law;
    for (int i = 0; i < 25000; ++i) long_law += "X+";
    long_law += "#" + std::string(50000, 'Y');
    tool_run const r = run_law({"print", long_law});
    EXPECT_EQ(r.status, 1);
    EXPECT_LT(r.err.size(), 300u) << r.err;
    EXPECT_NE(r.err.find("(100001 characters)"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("bad syntax at #YYY"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("…"), std::string::npos) << r.err;

    tool_run const escape = run_law({"eval", "X", "\x1b[31m\t\x7f"});
    EXPECT_EQ(escape.status, 1);
    EXPECT_NE(escape.err.find("\"\\x1B[31m\\t\\x7F\""), std::string::npos) << escape.err;
    for (char c : escape.err) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20);

    tool_run const line = run_law({"eval", "X", "-"}, "1\n" + std::string(10000000, 'q') + "\n");
    EXPECT_EQ(line.status, 1);
    EXPECT_LT(line.err.size(), 200u);
    EXPECT_NE(line.err.find("line 2: \"qqq"), std::string::npos) << line.err;

    // Characters of several bytes are never cut in two.
    std::string accents, shown;
    for (int i = 0; i < 100; ++i) accents += "\u00e9";
    for (int i = 0; i < 80; ++i) shown += "\u00e9";
    tool_run const wide = run_law({accents});
    EXPECT_EQ(wide.status, 2);
    EXPECT_NE(wide.err.find("'" + shown + "…'"), std::string::npos) << wide.err;
}

}  // namespace
