// What other expression tools write, met with this syntax's spelling: "did you mean" hints that
// read back, a unary plus read and noted, and messages in the user's own text.
#include <string>
#include <vector>

#include "law_test.h"
#include "tool_checks.h"
#include "tool_runner.h"

namespace {

class ToolHints : public LawTest {};

TEST_F(ToolHints, OtherToolsSpellingsGetTheSpellingHere) {
    expect_failures({
        {{"eval", "X**2", "3"}, 1, "did you mean 'X^2'? (a power is written ^ here)"},
        {{"eval", "ATAN2(1,2)"}, 1, "did you mean 'ARCTAN(1,2)'?"},
        {{"eval", "asin(x)", "0.5"}, 1, "did you mean 'ARCSIN(x)'? (ASIN is written ARCSIN"},
        {{"eval", "ACOS(X)", "0.5"}, 1, "did you mean 'ARCCOS(X)'?"},
        {{"eval", "atan(x)", "1"}, 1, "did you mean 'ARCTAN(x)'?"},
        {{"eval", "POW(X,2)", "3"}, 1, "did you mean 'X^2'? (POW(A,B) is written A^B here)"},
        {{"eval", "pow(x+1, 2*y)", "1", "1"}, 1, "did you mean '(x+1)^(2*y)'?"},
        {{"eval", "LOG10(X)", "100"}, 1, "did you mean 'LOG(X)'?"},
        {{"eval", "x**2 + atan2(y, x)", "1", "1"},
         1,
         "did you mean 'x^2 + ARCTAN(y, x)'? (a power is written ^ here; ATAN2(Y,X)"},
        // An unknown name: the nearest registered one, or the list.
        {{"eval", "SINN(X)", "1"}, 1, "did you mean 'SIN(X)'? (SINN is no function here; SIN is)"},
        {{"eval", "sqrtt(x)+coss(x)", "1"}, 1, "did you mean 'SQRT(x)+COS(x)'?"},
        {{"eval", "frobnicate(x)", "1"}, 1, "frobnicate is no function here (law help syntax"},
    });
}

// Each suggestion is what this syntax reads, and gives the value the other tool would.
TEST_F(ToolHints, SuggestionsGiveTheOtherToolsValue) {
    struct {
        char const *written, *value;
    } const cases[] = {
        {"X**3", "8"},
        {"POW(X,3)", "8"},
        {"LOG10(X*50)", "2"},
        {"ATAN2(X,-X)", "2.356194490192345"},  // 3/4 pi: atan2 takes y first
    };
    for (auto const &c : cases) {
        std::string const err = run_law({"eval", c.written, "2"}).err;
        std::size_t const from = err.find("did you mean '");
        ASSERT_NE(from, std::string::npos) << err;
        std::size_t const start = from + 14;
        std::string const suggestion = err.substr(start, err.find('\'', start) - start);
        tool_run const r = run_law({"eval", suggestion, "2"});
        EXPECT_EQ(r.status, 0) << suggestion << ": " << r.err;
        EXPECT_EQ(r.out, std::string(c.value) + "\n") << c.written << " as " << suggestion;
    }
}

TEST_F(ToolHints, AUnaryPlusIsReadAndNoted) {
    struct {
        char const *written, *value;
    } const cases[] = {{"+1", "1"},   {"+X*2", "6"},      {"(+X)-(-X)", "6"},
                       {"2*+X", "6"}, {"MAX(+X,1)", "3"}, {"1 + +X", "4"}};
    for (auto const &c : cases) {
        tool_run const r = run_law({"eval", c.written, "3"});
        EXPECT_EQ(r.status, 0) << c.written << ": " << r.err;
        EXPECT_EQ(r.out, std::string(c.value) + "\n") << c.written;
        EXPECT_NE(r.err.find("no unary plus"), std::string::npos) << r.err;
    }
    // An exponent's sign is no unary plus, and a plus with nothing after it stays an error.
    EXPECT_EQ(run_law({"eval", "1E+2"}).err, "");
    EXPECT_EQ(run_law({"eval", "+"}).status, 1);
}

TEST_F(ToolHints, LowerCaseLogIsNotedAsBaseTen) {
    tool_run const r = run_law({"eval", "log(x)", "100"});
    EXPECT_EQ(r.out, "2\n");
    EXPECT_NE(r.err.find("the natural logarithm is ln(A)"), std::string::npos) << r.err;
    EXPECT_EQ(run_law({"eval", "LOG(X)", "100"}).err, "");
    EXPECT_EQ(run_law({"eval", "log(x,2)", "8"}).err, "");
}

TEST_F(ToolHints, MessagesQuoteTheUsersOwnText) {
    expect_failures({
        {{"eval", "sin(x) # 2", "1"}, 1, "bad syntax at # 2"},
        {{"eval", "foo bar(x)", "1"}, 1, "at foo bar(x)"},
    });
}

}  // namespace
