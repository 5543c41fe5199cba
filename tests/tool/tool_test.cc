// The law tool's subcommands, argument handling, exit codes and output formats.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "law_test.h"
#include "tool_checks.h"
#include "tool_runner.h"

namespace {

class Tool : public LawTest {};

// The single value printed by "law eval".
double value_of(tool_run const &r) {
    EXPECT_EQ(r.status, 0) << r.err;
    double v = NAN;
    std::string const text = r.out.substr(0, r.out.find('\n'));
    auto const [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_TRUE(ec == std::errc() && ptr == text.data() + text.size()) << "'" << r.out << "'";
    return v;
}

double eval_at(std::string const &expr, std::vector<std::string> point) {
    point.insert(point.begin(), {"eval", expr});
    return value_of(run_law(point));
}

TEST_F(Tool, PrintWritesTheDefaultSyntax) {
    struct {
        char const *in, *out;
    } const cases[] = {
        {"sin(x)^2 + 2x", "SIN(X)^2+2*X"},
        {"X-Y-Z", "(X-Y)-Z"},
        {"x - (y - z)", "X-(Y-Z)"},
        {"(x^2)^3", "(X^2)^3"},
        {"-x^2", "-X^2"},
        {"((X+1))", "X+1"},
        {"pi", "PI"},
        {"0.5", "0.5"},
    };
    for (auto const &c : cases) {
        tool_run const r = run_law({"print", c.in});
        EXPECT_EQ(r.status, 0) << c.in << ": " << r.err;
        EXPECT_EQ(r.out, std::string(c.out) + "\n") << c.in;
        // A leading minus before "^" is noted (ToolSurprise); nothing else is.
        EXPECT_EQ(r.err.empty(), c.in[0] != '-') << c.in << ": " << r.err;
    }
}

TEST_F(Tool, PrintedTextReadsBackToItself) {
    for (char const *expr : {"x*y/(z+1)", "exp(-x^2)/sqrt(2*pi)", "max(x, y, 3)", "x<1 and y>0",
                             "vec(cos(t), sin(t), t/2)", "2^-x", "ln(abs(x)+1)"}) {
        tool_run const once = run_law({"print", expr});
        ASSERT_EQ(once.status, 0) << expr << ": " << once.err;
        std::string const text = once.out.substr(0, once.out.size() - 1);
        EXPECT_EQ(run_law({"print", text}).out, once.out) << expr;
    }
}

TEST_F(Tool, EvalPrintsEachOutputAsTheShortestRoundTripText) {
    struct {
        std::vector<std::string> args;
        char const *out;
    } const cases[] = {
        {{"eval", "X*Y", "3", "-2"}, "-6\n"},
        {{"eval", "X", "-3"}, "-3\n"},
        {{"eval", "X", "-.5"}, "-0.5\n"},
        {{"eval", "X", "+4"}, "4\n"},
        {{"eval", "X+Y", "0.1", "0.2"}, "0.30000000000000004\n"},
        {{"eval", "1/3"}, "0.3333333333333333\n"},
        {{"eval", "X", "1e21"}, "1e+21\n"},
        {{"eval", "-X", "0"}, "-0\n"},
        {{"eval", "SIN(X)", "PI/2"}, "1\n"},
        {{"eval", "VEC(X, 2X, -1)", "1.5"}, "1.5 3 -1\n"},
        {{"eval", "X+Z", "1", "100", "2"}, "3\n"},
        {{"eval", "X", "1", "2"}, "1\n"},  // values past the law's inputs are not read
        {{"eval", "LAW1*LAW2", "--law", "X+1", "--law", "LAW1^2", "2"}, "27\n"},
        {{"eval", "--law", "X-1", "LAW1", "--", "-4"}, "-5\n"},
    };
    for (auto const &c : cases) {
        tool_run const r = run_law(c.args);
        EXPECT_EQ(r.status, 0) << c.args[1] << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[1];
    }
}

TEST_F(Tool, BadInputFailsWithTheMessageAndStatusOne) {
    expect_failures({
        {{"print", "X#"}, 1, "bad syntax at #"},
        {{"eval", "X#", "1"}, 1, "cannot read \"X#\""},
        {{"print", "LAW2", "--law", "X"}, 1, "law 2 was not given"},
        {{"print", "X", "--law", "(("}, 1, "cannot read"},
        {{"eval", "SQRT(X)", "-1"}, 1, "domain"},
        {{"eval", "X*Y", "1"}, 1, "the law takes 2 inputs, the point has 1 value"},
        {{"eval", "X", "abc"}, 1, "cannot read \"abc\""},
        {{"eval", "X", "X+1"}, 1, "\"X+1\" is not a number"},
        {{"integrate", "X*Y", "0", "1"}, 1, "one input"},
        {{"print", "NULL"}, 1, "cannot read \"NULL\""},
    });
}

TEST_F(Tool, MisuseFailsWithUsageAndStatusTwo) {
    expect_failures({
        {{}, 2, "no subcommand"},
        {{"frobnicate"}, 2, "unknown subcommand 'frobnicate'"},
        {{"eval"}, 2, "missing operand"},
        {{"print", "X", "Y"}, 2, "unexpected operand 'Y'"},
        {{"eval", "X", "--wat"}, 2, "unknown option --wat"},
        {{"integrate", "X", "0", "1", "-q"}, 2, "unexpected operand '-q'"},
        {{"eval", "X", "--law"}, 2, "--law needs a value"},
        {{"deriv", "X", "--order", "two"}, 2, "--order needs a whole number"},
        {{"deriv", "X", "--order", "-1"}, 2, "--order needs a whole number"},
        {{"deriv", "X", "--wrt=1.5"}, 2, "--wrt needs a whole number"},
        {{"simplify", "X", "--level", "7"}, 2, "--level"},
        {{"integrate", "X", "0", "1", "--tol", "small"}, 2, "--tol needs a number"},
        {{"integrate", "X", "0", "1", "--verbose=yes"}, 2, "--verbose takes no value"},
        {{"plot", "X", "0"}, 2, "missing operand"},
        {{"plot", "X", "0", "1", "--samples", "1"}, 2, "--samples"},
    });
    tool_run const r = run_law({"eval", "X", "--wat"});
    EXPECT_NE(r.err.find("usage: law eval"), std::string::npos) << r.err;
}

TEST_F(Tool, HelpListsEverySubcommandAndEachHasAnExample) {
    char const *const subcommands[] = {"print", "eval", "deriv", "simplify", "integrate",
                                       "plot",  "info", "code",  "repl",     "roots",
                                       "solve", "min",  "max",   "bounds",   "roots2d"};
    tool_run const overview = run_law({"--help"});
    EXPECT_EQ(overview.status, 0);
    for (char const *name : subcommands) {
        EXPECT_NE(overview.out.find(std::string("  ") + name + " "), std::string::npos) << name;
        tool_run const one = run_law({name, "--help"});
        EXPECT_EQ(one.status, 0) << name;
        EXPECT_EQ(one.out.rfind(std::string("usage: law ") + name, 0), 0u) << one.out;
        std::size_t const example = one.out.find("Example:\n");
        ASSERT_NE(example, std::string::npos) << one.out;
        EXPECT_NE(one.out.find("law " + std::string(name), example), std::string::npos) << one.out;
    }
}

TEST_F(Tool, DerivativeReadsBackAndHasTheRightValues) {
    struct {
        std::vector<std::string> args;
        std::vector<std::string> point;
        double expected;
    } const cases[] = {
        {{"X^3"}, {"2"}, 12},
        {{"X^3", "--order", "2"}, {"2"}, 12},
        {{"X^3", "--order", "3"}, {"5"}, 6},
        {{"X^3", "--order", "0"}, {"2"}, 8},
        {{"SIN(X)*Y", "--wrt", "1"}, {"0.5", "7"}, std::sin(0.5)},
        {{"SIN(X)*Y", "--wrt=0"}, {"0.5", "7"}, 7 * std::cos(0.5)},
        {{"EXP(2X)"}, {"0"}, 2},
        {{"LAW1^2", "--law", "X+1"}, {"3"}, 8},
    };
    for (auto const &c : cases) {
        std::vector<std::string> args{"deriv"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        tool_run const d = run_law(args);
        ASSERT_EQ(d.status, 0) << c.args[0] << ": " << d.err;
        std::string const text = d.out.substr(0, d.out.size() - 1);
        EXPECT_NEAR(eval_at(text, c.point), c.expected, 1e-12 * (1 + std::fabs(c.expected)))
            << c.args[0] << " gave " << text;
    }
}

TEST_F(Tool, SimplifyKeepsValuesAndTracesOnStandardError) {
    for (char const *expr : {"X*2+3X", "X-X", "(X^2)^3", "COS(X)^2+SIN(X)^2", "X/X+Y"}) {
        tool_run const s = run_law({"simplify", expr, "--trace"});
        ASSERT_EQ(s.status, 0) << expr << ": " << s.err;
        std::vector<std::string> const out = lines_of(s.out);
        ASSERT_EQ(out.size(), 1u) << s.out;
        for (char const *x : {"0.3", "1.7"}) {
            std::vector<std::string> point{x, "2.5"};
            std::vector<std::string> simple_point{x, "2.5"};
            EXPECT_NEAR(eval_at(out[0], simple_point), eval_at(expr, point), 1e-12)
                << expr << " became " << out[0];
        }
    }
    EXPECT_EQ(run_law({"simplify", "X*2", "--level=2"}).status, 0);

    tool_run const traced = run_law({"simplify", "X-X", "--trace"});
    EXPECT_EQ(traced.out, "0\n");
    EXPECT_NE(traced.err.find("X-X -> "), std::string::npos) << traced.err;
    EXPECT_EQ(run_law({"simplify", "X-X"}).err, "");
}

// What a new user tries first: derivatives in the rules' forms, DOMAIN against PDOMAIN, vectors
// and zero vectors, polynomial identities at level 2, and a product of two vectors.
TEST_F(Tool, DerivativesAndSimplifiedFormsAreTheRules) {
    struct expected_output {
        std::vector<std::string> args;
        std::string out;
    } const cases[] = {
        {{"deriv", "1/X"}, "-(X^-2)"},
        {{"deriv", "(X+1)/(X-1)"}, "((-1+X)-(1+X))*(-1+X)^-2"},
        {{"deriv", "(X+1)/(X-1)", "--level", "2"}, "-(2*(-1+X)^-2)"},
        {{"deriv", "SQRT(X)*SQRT(X+1)"}, "0.5*(X^0.5)^-1*(1+X)^0.5+0.5*((1+X)^0.5)^-1*X^0.5"},
        {{"simplify", "DOMAIN(X,0,1)"}, "X"},
        {{"simplify", "PDOMAIN(X,0,1)"}, "PDOMAIN(X,0,1)"},
        {{"simplify", "CROSS(VEC(X,Y,Z),VEC(1,2,3))"}, "VEC(3*Y-2*Z,Z-3*X,2*X-Y)"},
        {{"simplify", "BEND(VEC(0,0,0),VEC(0,0,1),VEC(1,0,0),2)"},
         "BEND(VEC(0,0,0),VEC(0,0,1),VEC(1,0,0),2)"},
        {{"simplify", "(X+1)^2-(X^2+2*X+1)", "--level", "2"}, "0"},
        {{"simplify", "(X+Y)^3-X^3-3*X^2*Y-3*X*Y^2-Y^3", "--level", "2"}, "0"},
        {{"eval", "DOT(VEC(1,2),VEC(3,4))"}, "11"},
    };
    for (auto const &c : cases) {
        tool_run const r = run_law(c.args);
        EXPECT_EQ(r.status, 0) << c.args[1] << ": " << r.err;
        EXPECT_EQ(r.out, c.out + "\n") << c.args[1];
    }
    tool_run const perp = run_law({"deriv", "CYCLIDE_PERP(2,1,1.5,VEC(0,0,0))"});
    EXPECT_EQ(perp.status, 0) << perp.err;
    tool_run const vectors = run_law({"eval", "VEC(1,2)*VEC(3,4)"});
    EXPECT_NE(vectors.status, 0);
    EXPECT_NE(vectors.err.find("One side of times must be a scalar"), std::string::npos)
        << vectors.err;
    EXPECT_NE(run_law({"deriv", "X", "--level", "3"}).status, 0);
}

TEST_F(Tool, IntegrateReportsValueErrorAndEvaluations) {
    EXPECT_NEAR(value_of(run_law({"integrate", "SIN(X)", "0", "PI"})), 2, 1e-10);
    EXPECT_NEAR(value_of(run_law({"integrate", "X^2", "0", "1"})), 1.0 / 3, 1e-12);
    EXPECT_NEAR(value_of(run_law({"integrate", "X", "-1", "-3"})), 4, 1e-12);
    EXPECT_NEAR(value_of(run_law({"integrate", "5", "0", "2"})), 10, 1e-12);

    // The adaptive integrator's second line: its error estimate and the evaluations, which a
    // 21-point rule on one interval makes 21 for a polynomial; --verbose adds the intervals.
    tool_run const adaptive = run_law({"integrate", "X^3", "0", "2", "--verbose"});
    std::vector<std::string> const said = lines_of(adaptive.out);
    ASSERT_EQ(said.size(), 3u) << adaptive.out;
    EXPECT_NEAR(std::stod(said[0]), 4, 1e-13);
    EXPECT_EQ(said[1].rfind("error: ", 0), 0u);
    EXPECT_NE(said[1].find("evaluations: 21"), std::string::npos) << said[1];
    EXPECT_EQ(said[2], "intervals: 1");

    tool_run const verbose =
        run_law({"integrate", "EXP(X)", "0", "1", "--method", "romberg", "--verbose"});
    std::vector<std::string> const lines = lines_of(verbose.out);
    ASSERT_EQ(lines.size(), 2u) << verbose.out;
    EXPECT_EQ(lines[1].rfind("levels: ", 0), 0u);
    EXPECT_NE(lines[1].find("met"), std::string::npos);

    // A tolerance that cannot be met within the levels still gives the best estimate.
    tool_run const tight = run_law({"integrate", "SQRT(X)", "0", "1", "--method", "romberg",
                                    "--tol", "0", "--min-level", "2", "--max-level", "4"});
    EXPECT_EQ(tight.status, 0);
    EXPECT_NEAR(value_of(tight), 2.0 / 3, 0.05);
    EXPECT_NE(tight.err.find("warning: tolerance 0 not met within 4 levels"), std::string::npos)
        << tight.err;
}

TEST_F(Tool, InfoDescribesTheLaw) {
    tool_run const r = run_law({"info", "SQRT(X)+LN(Y)"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (char const *line : {"expression: SQRT(X)+LN(Y)\n", "inputs: 2\n", "outputs: 1\n",
                             "class: plus_law\n", "kind: nonlinear\n", "domain of input 0 (X): ",
                             "domain of input 1 (Y): ", "memory: ", "nodes: 5 (5 distinct)\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << " in\n" << r.out;

    struct {
        char const *expr, *kind;
    } const kinds[] = {{"0", "zero"},      {"3", "integer constant"}, {"2.5", "constant"},
                       {"2X+1", "linear"}, {"X^2", "nonlinear"},      {"PI", "constant"}};
    for (auto const &k : kinds) {
        tool_run const i = run_law({"info", k.expr});
        EXPECT_NE(i.out.find(std::string("kind: ") + k.kind + "\n"), std::string::npos)
            << k.expr << ":\n"
            << i.out;
    }
    EXPECT_NE(run_law({"info", "VEC(X,Y,Z)"}).out.find("outputs: 3\n"), std::string::npos);
}

TEST_F(Tool, InteractiveSessionEvaluatesAtTheCurrentPoint) {
    tool_run const r = run_law({"repl"},
                               "X^2\n"
                               ":at 3\n"
                               "X^2\n"
                               ":deriv\n"
                               ":at PI/2 -1\n"
                               "SIN(X)*Y\n"
                               ":deriv 1\n"
                               "X#\n"
                               ":nonsense\n"
                               ":simplify\n"
                               ":quit\n"
                               "X\n");
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> const out = lines_of(r.out);
    ASSERT_EQ(out.size(), 8u) << r.out;
    EXPECT_EQ(out[0], "X^2   (takes 1 input; set them with :at)");
    EXPECT_EQ(out[1], "point: 3");
    EXPECT_EQ(out[2], "X^2 = 9");
    EXPECT_EQ(out[3].substr(out[3].find(" = ")), " = 6");
    EXPECT_EQ(out[4], "point: 1.5707963267948966 -1");
    EXPECT_EQ(out[5], "SIN(X)*Y = -1");
    EXPECT_EQ(out[6].substr(out[6].find(" = ")), " = 1");
    // :simplify takes the current expression, SIN(X)*Y, not the derivative shown before it.
    EXPECT_EQ(out[7].substr(out[7].find(" = ")), " = -1");
    EXPECT_NE(r.err.find("law: cannot read \"X#\": bad syntax at #"), std::string::npos);
    EXPECT_NE(r.err.find("law: unknown command :nonsense"), std::string::npos);
}

// A law longer than a command line allows comes from a file or from standard input.
TEST_F(Tool, LawsComeFromFilesAndStandardInput) {
    std::string const path = ::testing::TempDir() + "law_tool_test_law.txt";
    // About a megabyte: the sum 1 + 2 + ... + 124800 times X, in brackets of brackets of 800 terms.
    std::string text;
    long long expected = 0, term = 0;
    for (int outer = 0; outer < 12; ++outer) {
        text += outer ? "+(" : "(";
        for (int inner = 0; inner < 13; ++inner) {
            text += inner ? "+(" : "(";
            for (int i = 0; i < 800; ++i) {
                text += (i ? "+" : "") + std::to_string(++term) + "*X";
                expected += term;
            }
            text += ")";
        }
        text += ")";
    }
    ASSERT_GT(text.size(), 1000000u);
    {
        std::FILE *f = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(f);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    EXPECT_EQ(value_of(run_law({"eval", "@" + path, "2"})), 2.0 * static_cast<double>(expected));
    EXPECT_EQ(run_law({"deriv", "@-"}, "X^3\n").out, "3*X^2\n");
    tool_run const missing = run_law({"print", "@" + path + ".none"});
    EXPECT_NE(missing.status, 0);
    EXPECT_NE(missing.err.find("cannot open "), std::string::npos);
    tool_run const both = run_law({"eval", "@-", "-"}, "X\n1\n");
    EXPECT_NE(both.status, 0);
    std::remove(path.c_str());
}

// A message about a long text shows its start and its length, not the whole text.
TEST_F(Tool, MessagesShowTheStartOfLongTexts) {
    tool_run const r = run_law({"print", std::string(5000, '#')});
    EXPECT_NE(r.status, 0);
    EXPECT_LT(r.err.size(), 300u) << r.err;
    EXPECT_NE(r.err.find("(5000 characters)"), std::string::npos);
}

// With LAW_PERF_MAP=1, the code of each compiled law is named in the profilers' map.
TEST_F(Tool, ProfilersFindTheCodeOfCompiledLawsByItsText) {
#if !defined(__x86_64__) || !defined(__linux__)
    GTEST_SKIP() << "no machine code on this machine";
#endif
    char dir_template[] = "/tmp/law-perf-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    std::string const dir = dir_template;
    // The plot samples the law many times, so it compiles; the map is named by the tool's pid.
    tool_run const r = run_shell(
        "LAW_PERF_MAP=1 law plot 'SIN(X)*X+1' 0 3 -o p.svg >/dev/null & pid=$!; wait $pid; "
        "cat /tmp/perf-$pid.map; rm -f /tmp/perf-$pid.map",
        dir);
    std::system(("rm -rf '" + dir + "'").c_str());
    ASSERT_EQ(r.status, 0) << r.err;
    bool named = false;
    for (std::string const &line : lines_of(r.out)) {
        unsigned long start = 0, size = 0;
        char name[64] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "%lx %lx %63[^\n]", &start, &size, name), 3) << line;
        EXPECT_GT(start, 0u);
        EXPECT_GT(size, 0u);
        named = named || std::string(name) == "law SIN(X)*X+1";
    }
    EXPECT_TRUE(named) << r.out;
}

}  // namespace

TEST_F(Tool, CurvesAndSurfacesComeFromDataNumberedAfterTheLaws) {
    // A helix of radius 2 rising 3 per turn has curvature r / (r^2 + c^2), c = 3 / (2 pi).
    double const c = 3 / (2 * M_PI);
    EXPECT_NEAR(eval_at("CURC(HELIX1)", {"0.5", "--data", "HELIX major (2, 0, 0) pitch 3"}),
                2 / (4 + c * c), 1e-15);
    // The sphere is the third entry: two laws come before it.
    EXPECT_NEAR(eval_at("MEANCUR(SPHERE3)+LAW1-LAW2",
                        {"0", "0", "--law", "5", "--law", "5", "--data", "SPHERE radius 4"}),
                0.25, 1e-15);
    tool_run const chain =
        run_law({"eval", "DWIRE(CHAIN1,1)", "1.5", "--data", "CHAIN {LINE} {CIRCLE [0, PI]}"});
    EXPECT_EQ(chain.status, 0) << chain.err;
    EXPECT_EQ(chain.out, "-0.479425538604203 0.8775825618903728 0\n") << "(-sin 0.5, cos 0.5, 0)";
    expect_failures({
        {{"eval", "CUR(LINE1)", "1", "--data", "LINE dir (0, 0, 0)"},
         1,
         "cannot read the law data \"LINE dir (0, 0, 0)\": LINE: LAW_DIM: Bad law dimensions"},
        {{"eval", "CUR(SPHERE1)", "1", "--data", "SPHERE"}, 1, "Unknown law_data type"},
        {{"eval", "CUR(LINE2)", "1", "--data", "LINE"}, 1, "law data 2 was not given"},
        {{"eval", "CUR(LINE1)", "1", "--data", "KNOT"}, 1, "law data name expected at 'KNOT'"},
    });
}
