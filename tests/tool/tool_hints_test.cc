// What other expression tools write, met with this syntax's spelling: "did you mean" hints that
// read back, a unary plus read and noted, and messages in the user's own text.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
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

TEST_F(ToolHints, MessagesSayWhatIsWrongInTheUsersOwnText) {
    expect_failures({
        {{"eval", "sin(x) # 2", "1"}, 1, "bad syntax at # 2"},
        {{"eval", "X", "1E+400"}, 1, "\"1E+400\" is out of the range of a double"},
        {{"eval", "X", "-1e999"}, 1, "\"-1e999\" is out of the range of a double"},
        {{"eval", "LAW1", "--law", "LAW1+1"}, 1, "--law 1 names LAW1, itself"},
        {{"eval", "LAW1", "--law", "X", "--law", "law3*2"},
         1,
         "--law 2 names law3, a law given after"},
        {{"eval", "HELIX1", "0", "--data", "HELIX garbage"}, 1, "'garbage' has no value after it"},
        {{"eval", "X", "1", "-o", "out.csv"}, 1, "-o is no option of this subcommand"},
        {{"eval", "CUR(HELIX1)", "0", "--data", "LINE"},
         1,
         "HELIX1 names the first --data, which is a LINE: write LINE1"},
        {{"eval", "CUR(HELIX1)+LAW1", "0", "--law", "X", "--data", "HELIX"},
         1,
         "HELIX1 names --law 1, which is a law: write LAW1"},
    });
    // What is right stays right: the data by its own kind, and a later law naming an earlier.
    EXPECT_EQ(run_law({"eval", "CUR(LINE1)", "2", "--data", "LINE"}).out, "2 0 0\n");
    EXPECT_EQ(run_law({"eval", "LAW2", "3", "--law", "X^2", "--law", "LAW1+1"}).out, "10\n");
}

// A line along the x axis from (-5, 0, 0) meets the torus of radii 2 and 1 about the z axis
// where |x| is 1 or 3: at t = 2, 4, 6 and 8.
TEST_F(ToolHints, ALawOfVaryingValueCountEvaluates) {
    tool_run const r = run_law({"eval", "CONIC_LINE(VEC(-5,0,0),VEC(1,0,0),2,1)"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> words;
    for (std::size_t at = 0; at < r.out.size();) {
        std::size_t const end = r.out.find_first_of(" \n", at);
        words.push_back(r.out.substr(at, end - at));
        at = end + 1;
    }
    ASSERT_EQ(words.size(), 4u) << r.out;
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(std::stod(words[k]), 2.0 * (k + 1), 1e-9);
    tool_run const info = run_law({"info", "CONIC_LINE(VEC(-5,0,0),VEC(1,0,0),2,1)"});
    EXPECT_NE(info.out.find("outputs: as many as the inputs give"), std::string::npos) << info.err;
}

// An interval is the same whichever end comes first (an integral changes sign, as it should).
TEST_F(ToolHints, ReversedIntervalsAreTheSameInterval) {
    std::vector<std::vector<std::string>> const forward = {
        {"roots", "SIN(X)", "1", "10"},
        {"min", "X^2-X", "-1", "2"},
        {"bounds", "SIN(X)", "0", "10"},
        {"frame", "VEC(COS(X),SIN(X),X)", "0", "1", "--samples", "3"},
        {"fit", "SIN(X)", "0", "3", "--strategy", "1"},
        {"fit2", "VEC(X,Y,X*Y)", "0", "1", "0", "2"},
        {"plot", "SIN(X)", "0", "3", "-o", "-"},
    };
    for (std::vector<std::string> args : forward) {
        tool_run const once = run_law(args);
        std::size_t const a = 2 + (args[0] == "fit2" ? 0 : 0);
        std::swap(args[a], args[a + 1]);
        if (args[0] == "fit2") std::swap(args[4], args[5]);
        tool_run const reversed = run_law(args);
        ASSERT_EQ(reversed.status, 0) << args[0] << ": " << reversed.err;
        // The timing lines of the fits differ from run to run.
        auto const untimed = [](std::string const &out) {
            std::string kept;
            for (std::string const &line : lines_of(out))
                if (line.rfind("time:", 0) != 0) kept += line + "\n";
            return kept;
        };
        EXPECT_EQ(untimed(reversed.out), untimed(once.out)) << args[0];
    }
    EXPECT_NEAR(std::stod(run_law({"integrate", "X", "2", "0"}).out), -2, 1e-14);
    expect_failures(
        {{{"plot", "X", "1", "1", "-o", "-"}, 1, "plot needs two different finite ends"},
         {{"frame", "VEC(X,X,X)", "0", "inf"}, 1, "frame needs two different finite"}});
}

TEST_F(ToolHints, EverySubcommandTakesStrictAndHelpListsThemInOrder) {
    std::string const overview = run_law({"--help"}).out;
    std::vector<std::string> listed;
    std::vector<std::string> const lines = lines_of(overview.substr(overview.find("Subcommands:")));
    for (std::size_t i = 1; i < lines.size() && !lines[i].empty(); ++i)
        listed.push_back(lines[i].substr(2, lines[i].find(' ', 2) - 2));
    for (std::string const &name : listed)
        EXPECT_EQ(run_law({name, "--strict", "--help"}).status, 0) << name;
    auto const at = [&](char const *name) {
        return std::find(listed.begin(), listed.end(), name) - listed.begin();
    };
    EXPECT_LT(at("eval"), at("integrate"));
    EXPECT_LT(at("roots"), at("solve"));
    EXPECT_LT(at("fit"), at("fit2"));
    EXPECT_LT(at("fit2"), at("plot2"));
    EXPECT_LT(at("plot"), at("plot2"));
    for (std::vector<std::string> const &args : {std::vector<std::string>{"roots", "XY", "0", "1"},
                                                 {"bounds", "XY", "0", "1"},
                                                 {"roots2d", "XY", "0", "1", "0", "1"},
                                                 {"code", "XY"}}) {
        std::vector<std::string> strict = args;
        strict.push_back("--strict");
        EXPECT_NE(run_law(strict).err.find("(--strict)"), std::string::npos) << args[0];
    }
}

}  // namespace

namespace {

class ToolLimits : public LawTest {};

std::string deep_nest() {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "SIN(";
    text += "X";
    text += std::string(20000, ')');
    return text;
}

// A timeout stops the work with a message and nothing half printed; the progress line is for a
// terminal, so none comes through a pipe.
TEST_F(ToolLimits, TimeoutStopsLongWork) {
    auto const start = std::chrono::steady_clock::now();
    tool_run const r = run_law({"deriv", "@-", "--timeout", "0.5"}, deep_nest());
    double const seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "law: deriv stopped after 0.5 s (--timeout)\n");
    EXPECT_LT(seconds, 20);
    // Work that ends in time is untouched.
    EXPECT_EQ(run_law({"roots", "SIN(X)", "1", "4", "--timeout", "30"}).out, "3.141592653589793\n");
    expect_failures({{{"eval", "X", "1", "--timeout", "-1"}, 2, "--timeout needs a number"},
                     {{"repl", "--timeout", "1"}, 2, "not a session"}});
}

TEST_F(ToolLimits, InterruptStopsWithAMessage) {
    char dir_template[] = "/tmp/law-limits-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    std::string const dir = dir_template;
    {
        std::ofstream out(dir + "/deep.law");
        out << deep_nest();
    }
    tool_run const r = run_shell("timeout -s INT 1 law deriv @deep.law; echo \"status $?\"", dir);
    EXPECT_NE(r.err.find("law: interrupted"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "status 124\n");
    std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
