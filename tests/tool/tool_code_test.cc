// law code: the generator's program on standard output, and its refusals.
#include <string>

#include "law_test.h"
#include "tool_runner.h"

namespace {

class ToolCode : public LawTest {};

TEST_F(ToolCode, PrintsTheProgramOfTheLaw) {
    tool_run const sum = run_law({"code", "x + 1"});
    EXPECT_EQ(sum.status, 0) << sum.err;
    EXPECT_EQ(sum.out,
              "\n// Automatic code for the law\n// X+1\n\n"
              "law *p2= new constant_law(1);   // 1\n"
              "law *p0= new identity_law(0);   // X\n"
              "law *f= new plus_law(p0,p2);\n"
              "\n// clean up\n\np0->remove();\np2->remove();\n"
              "\n// End of Automatic code\n\n");
    tool_run const two = run_law({"code", "2", "--name", "a"});
    EXPECT_EQ(two.out,
              "\n// Automatic code for the law\n// 2\n\nlaw *a= new constant_law(2);\n"
              "\n// clean up\n\n\n// End of Automatic code\n\n");
    tool_run const named = run_law({"code", "sin(y)", "--name", "out[1]", "--prefix", "tmp_"});
    EXPECT_NE(named.out.find("law *tmp_0= new identity_law(1);   // Y\n"
                             "out[1]= new sin_law(tmp_0);  // SIN(Y);\n"),
              std::string::npos)
        << named.out;
    EXPECT_NE(named.out.find("out[1]->remove();\ntmp_0->remove();\n"), std::string::npos);
}

TEST_F(ToolCode, RefusesNamesThatAreNotVariablesAndUnreadableLaws) {
    for (auto const &args : {std::vector<std::string>{"code", "X", "--name", "2x"},
                             {"code", "X", "--name", "double"},
                             {"code", "X", "--prefix", "a b"},
                             {"code", "X", "--name", "p3"}}) {
        tool_run const r = run_law(args);
        EXPECT_EQ(r.status, 2) << args[3];
        EXPECT_NE(r.err.find("must make C++ variable names"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    tool_run const bad = run_law({"code", "SIN(X"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err.rfind("law: ", 0), 0u) << bad.err;
}

TEST_F(ToolCode, WritesTheLawAndItsGradientAsPlainFunctions) {
    tool_run const f = run_law({"code", "X*Y+SIN(X)", "--function", "g", "--deriv"});
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_EQ(f.out,
              "#include <cmath>\n\n"
              "double g([[maybe_unused]] double const *x) {\n"
              "    double const v0 = x[0] * x[1];\n"
              "    double const v1 = std::sin(x[0]);\n"
              "    double const v2 = v0 + v1;\n"
              "    return v2;\n}\n\n"
              "void g_gradient([[maybe_unused]] double const *x, double *out) {\n"
              "    double const v0 = std::cos(x[0]);\n"
              "    double const v1 = x[1] + v0;\n"
              "    out[0] = v1;\n"
              "    out[1] = x[0];\n}\n");
    tool_run const norm = run_law({"code", "NORM(VEC(X,Y))", "--function", "r"});
    EXPECT_EQ(norm.status, 1);
    EXPECT_EQ(norm.err,
              "law: cannot write the law as a plain function: NORM (norm_law) has no plain C++ "
              "form\n");
    // The two-member arc tangent is its quadrants' pieces; a remainder, its formula.
    tool_run const pieces =
        run_law({"code", "PIECEWISE(X<0,ARCTAN(Y,X),MOD(X,2))", "--function", "h"});
    EXPECT_EQ(pieces.status, 0) << pieces.err;
    EXPECT_NE(pieces.out.find("std::atan("), std::string::npos) << pieces.out;
    EXPECT_NE(pieces.out.find("x[0] - std::floor(x[0] / 2.0) * 2.0"), std::string::npos)
        << pieces.out;
    EXPECT_EQ(run_law({"code", "X", "--function", "for"}).status, 2);
    EXPECT_EQ(run_law({"code", "X", "--deriv"}).status, 2);
}

}  // namespace
