// Laws as plain C++ functions: the text of a few by hand, and random laws compiled into one
// translation unit whose values are compared with the library's bit for bit.
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "compiled_code.h"
#include "law_generator.h"
#include "law_test.h"

namespace {

class LawFunction : public LawTest {};

law_function_code function_of(law const *l, char const *name = "f") {
    law const *const laws[] = {l};
    return law_function(laws, name);
}

TEST_F(LawFunction, WritesOneStatementPerDistinctNodeInEvaluationOrder) {
    law_ptr const l = adopt(str_to_law("X*Y+SIN(X*Y)-0.5"));
    EXPECT_EQ(function_of(l.get()).code,
              "double f([[maybe_unused]] double const *x) {\n"
              "    double const v0 = x[0] * x[1];\n"
              "    double const v1 = x[0] * x[1];\n"
              "    double const v2 = std::sin(v1);\n"
              "    double const v3 = v0 + v2;\n"
              "    double const v4 = v3 - 0.5;\n"
              "    return v4;\n}\n");
    // A part of no input that raises keeps its formula, over double literals (1/2 is not 0).
    law_ptr const raising = adopt(str_to_law("ARCSECH(0)+X"));
    EXPECT_EQ(function_of(raising.get()).code,
              "double f([[maybe_unused]] double const *x) {\n"
              "    double const v0 = std::log((1 + std::sqrt(1 - 0.0 * 0.0)) / 0.0);\n"
              "    double const v1 = v0 + x[0];\n"
              "    return v1;\n}\n");
    law_ptr const v = adopt(str_to_law("VEC(Z,2)"));
    EXPECT_EQ(function_of(v.get(), "g").code,
              "void g([[maybe_unused]] double const *x, double *out) {\n"
              "    out[0] = x[2];\n    out[1] = 2.0;\n}\n");
}

TEST_F(LawFunction, RefusesWhatHasNoPlainForm) {
    law_ptr const norm = adopt(str_to_law("X+TERM(NORM(VEC(X,Y)),1)"));
    law_function_code const f = function_of(norm.get());
    EXPECT_EQ(f.code, "");
    EXPECT_EQ(f.refusal, "NORM (norm_law) has no plain C++ form");
    EXPECT_EQ(function_of(nullptr).refusal, "a null law has no value");
    // The sum of two vectors is called by the compiled tape too, not compiled.
    law_ptr const sum = adopt(str_to_law("VEC(X,Y)+VEC(Y,X)"));
    EXPECT_EQ(function_of(sum.get()).refusal, "+ (plus_law) has no plain C++ form");
    // Compositions nest the walk: beyond a depth the law is refused, never the stack.
    law_ptr const sine = adopt(str_to_law("SIN(X)"));
    law_ptr nested = sine;
    for (int i = 0; i < 1000; ++i) nested = make_law<composite_law>(nested.get(), sine.get());
    EXPECT_EQ(function_of(nested.get()).refusal, "the law nests too deeply to write");
}

TEST_F(LawFunction, WritesOnlyTheValuesTheOutputsRead) {
    // TERM takes one component: the others are not written.
    law_ptr const term = adopt(str_to_law("TERM(VEC(SIN(X),COS(X),X*Y),3)"));
    EXPECT_EQ(function_of(term.get()).code,
              "double f([[maybe_unused]] double const *x) {\n"
              "    double const v0 = x[0] * x[1];\n"
              "    return v0;\n}\n");
    // A composition writes the outer law at the inner law's values, padded with zeros.
    law_ptr const composed = adopt(str_to_law("(X+Y) O SIN(X)"));
    EXPECT_EQ(function_of(composed.get()).code,
              "double f([[maybe_unused]] double const *x) {\n"
              "    double const v0 = std::sin(x[0]);\n"
              "    double const v1 = v0 + 0.0;\n"
              "    return v1;\n}\n");
    // A chain of a hundred thousand sums is written without recursion.
    std::string text = "X";
    for (int i = 0; i < 100000; ++i) text += "+X";
    law_ptr const sum = adopt(str_to_law(text.c_str()));
    ASSERT_TRUE(sum);
    EXPECT_NE(function_of(sum.get()).code.find("double const v99999 = v99998 + x[0];"),
              std::string::npos);
}

// What l gives at x, as bits; empty when it raises.
// The bits of v; every NaN is one (its sign and payload carry nothing, and the compiler may fold
// a NaN constant's sign differently from the library).
std::uint64_t bits_of(double v) {
    return std::bit_cast<std::uint64_t>(std::isnan(v) ? std::numeric_limits<double>::quiet_NaN()
                                                      : v);
}

std::vector<std::uint64_t> value_bits(law const *l, double const *x) {
    std::vector<double> y(static_cast<std::size_t>(l->return_dim()));
    try {
        l->evaluate(x, y.data());
    } catch (vorn_exception const &) {
        return {};
    }
    std::vector<std::uint64_t> bits;
    for (double v : y) bits.push_back(bits_of(v));
    return bits;
}

// The class names of a law's tree, through the families' public members.
void collect_classes(law const *l, std::set<std::string> &out) {
    std::vector<law const *> todo{l};
    while (!todo.empty()) {
        law const *at = todo.back();
        todo.pop_back();
        if (!at || !out.insert(at->class_name()).second) continue;
        if (auto const *u = law_cast<unary_law>(at)) todo.push_back(u->fsub());
        if (auto const *b = law_cast<binary_law>(at))
            todo.insert(todo.end(), {b->fleft(), b->fright()});
        if (auto const *m = law_cast<multiple_law>(at))
            todo.insert(todo.end(), m->fsub(), m->fsub() + m->fsub_num());
    }
}

// Laws written as plain functions into one translation unit, compiled, and compared with the
// library's values bit for bit.
class written_laws {
  public:
    // Writes l; false when it is refused.
    bool take(law_ptr l) {
        std::string const name = "fn_" + std::to_string(laws_.size());
        law_function_code const f = function_of(l.get(), name.c_str());
        if (f.code.empty()) return false;
        std::string const call =
            l->return_dim() == 1 ? "out[0] = " + name + "(x);" : name + "(x, out);";
        source_ += f.code + "static void call_" + name.substr(3) +
                   "(double const *x, double *out) { " + call + " }\n\n";
        collect_classes(l.get(), classes_);
        laws_.push_back(std::move(l));
        return true;
    }
    std::size_t size() const { return laws_.size(); }
    std::set<std::string> const &classes() const { return classes_; }

    // Compiles the functions and compares them with the laws at each point where the law
    // raises nothing (the functions have no domain checks); returns the comparisons made.
    int compare_at(std::vector<std::array<double, 4>> const &points) const {
        compiled_code const compiled(
            source_ + function_table("void (*const law_functions[])(double const *, double *)",
                                     "call_", laws_.size()));
        EXPECT_TRUE(compiled.loaded()) << compiled.errors().substr(0, 4000);
        if (!compiled.loaded()) return 0;
        auto const functions =
            compiled.symbol<void (*const *)(double const *, double *)>("law_functions");
        EXPECT_TRUE(functions);
        if (!functions) return 0;
        int compared = 0;
        for (std::size_t i = 0; i < laws_.size(); ++i) {
            SCOPED_TRACE(laws_[i]->text());
            for (auto const &x : points) {
                std::vector<std::uint64_t> const expected = value_bits(laws_[i].get(), x.data());
                if (expected.empty()) continue;
                std::vector<double> y(expected.size());
                functions[i](x.data(), y.data());
                std::vector<std::uint64_t> got;
                for (double v : y) got.push_back(bits_of(v));
                EXPECT_EQ(got, expected) << "at " << x[0] << " " << x[1] << " " << x[2];
                ++compared;
            }
        }
        return compared;
    }

  private:
    std::vector<law_ptr> laws_;
    std::string source_ = "#include <cmath>\n\n";
    std::set<std::string> classes_;
};

// The classes that compile themselves into the evaluation tape: each has a plain form.
std::set<std::string> const compiled_classes = {"constant_law",
                                                "identity_law",
                                                "plus_law",
                                                "minus_law",
                                                "times_law",
                                                "division_law",
                                                "exponent_law",
                                                "negate_law",
                                                "less_than_law",
                                                "greater_than_law",
                                                "less_than_or_equal_law",
                                                "greater_than_or_equal_law",
                                                "equal_law",
                                                "not_equal_law",
                                                "and_law",
                                                "or_law",
                                                "composite_law",
                                                "arctan_law",
                                                "log_law",
                                                "mod_law",
                                                "max_law",
                                                "min_law",
                                                "not_law",
                                                "even_law",
                                                "odd_law",
                                                "int_law",
                                                "prime_law",
                                                "set_law",
                                                "natural_log_law",
                                                "exp_law",
                                                "floor_law",
                                                "ceil_law",
                                                "rand_law",
                                                "sin_law",
                                                "cos_law",
                                                "tan_law",
                                                "cot_law",
                                                "sec_law",
                                                "csc_law",
                                                "arcsin_law",
                                                "arccos_law",
                                                "arccot_law",
                                                "arcsec_law",
                                                "arccsc_law",
                                                "sinh_law",
                                                "cosh_law",
                                                "tanh_law",
                                                "coth_law",
                                                "sech_law",
                                                "csch_law",
                                                "arcsinh_law",
                                                "arccosh_law",
                                                "arctanh_law",
                                                "arccoth_law",
                                                "arcsech_law",
                                                "arccsch_law",
                                                "abs_law",
                                                "sqrt_law",
                                                "cross_law",
                                                "dot_law",
                                                "piecewise_law",
                                                "term_law",
                                                "vector_law"};

std::vector<std::string> missing(std::set<std::string> const &seen) {
    std::vector<std::string> out;
    for (std::string const &c : compiled_classes)
        if (!seen.count(c)) out.push_back(c);
    return out;
}

// Each class that compiles itself, at points on both sides of its branches: the quadrants of
// ARCTAN(Y,X), the pieces of PIECEWISE, the signs of MOD, whole and odd numbers, primes past
// 32 bits, the poles.
TEST_F(LawFunction, EveryCompiledClassGivesTheLibrarysBitsOnEachBranch) {
    allow_blocks_in_prototype_caches();
    char const *const texts[] = {"ARCTAN(X)",
                                 "ARCTAN(Y,X)",
                                 "ARCTAN(X*Y,X-1)",
                                 "PIECEWISE(X<0,-X,X<1,X^2,SQRT(X))",
                                 "PIECEWISE(X>Y,X)",
                                 "PIECEWISE(X,Y,Z)",
                                 "PIECEWISE(X=0,1,Y=0,2)",
                                 "PIECEWISE(Y)",
                                 "MOD(X,Y)",
                                 "MOD(-X,3)",
                                 "MOD(X,0.5)",
                                 "LOG(X)",
                                 "LOG(Y,2)",
                                 "LOG(X,0.5)",
                                 "MIN(X,Y,Z)",
                                 "MAX(X,-X)",
                                 "MIN(-X,X)",
                                 "MAX(X,Y,1)",
                                 "MIN(X)",
                                 "MAX(VEC(X,Y),Z)",
                                 "X<Y",
                                 "X>Y",
                                 "X<=Y",
                                 "X>=Y",
                                 "X=Y",
                                 "X!=Y",
                                 "X<0 AND Y>0",
                                 "X AND X",
                                 "X<0 OR Y>0",
                                 "Y OR Y",
                                 "NOT(X<Y)",
                                 "VEC(X,Y*2,Z)",
                                 "-VEC(X,-Y)",
                                 "TERM(VEC(X,Y,Z),2)",
                                 "TERM(VEC(X,Y),3)",
                                 "DOT(VEC(X,Y,Z),VEC(Z,Y,X))",
                                 "DOT(X,VEC(Y,Z))",
                                 "DOT(VEC(X,Y),VEC(1,Y,Z))",
                                 "CROSS(VEC(X,Y,Z),VEC(Z,X,Y))",
                                 "CROSS(0,VEC(1,Y,Z))",
                                 "CROSS(VEC(X,Y,Z),VEC(X,Y,Z))",
                                 "(X*Y+Z) O VEC(SIN(X),Y)",
                                 "SIN(X) O (X^2)",
                                 "X^Y",
                                 "X^2",
                                 "X^-1.5",
                                 "(X-1)/(Y+0.25)",
                                 "EVEN?(X)",
                                 "ODD?(X)",
                                 "INT?(Y)",
                                 "PRIME?(X)",
                                 "PRIME?(X*X)",
                                 "PRIME?(X+4294967302)",
                                 "PRIME?(Y*1E15+37)",
                                 "RAND(X)",
                                 "SET(X)",
                                 "FLOOR(X)",
                                 "CEIL(Y)",
                                 "ABS(X)",
                                 "SQRT(X)",
                                 "LN(X)",
                                 "EXP(X)",
                                 "SIN(X)",
                                 "COS(X)",
                                 "TAN(X)",
                                 "COT(X)",
                                 "SEC(X)",
                                 "CSC(X)",
                                 "ARCSIN(X)",
                                 "ARCCOS(X)",
                                 "ARCCOT(X)",
                                 "ARCSEC(X)",
                                 "ARCCSC(X)",
                                 "SINH(X)",
                                 "COSH(X)",
                                 "TANH(X)",
                                 "COTH(X)",
                                 "SECH(X*100)",
                                 "CSCH(X*100)",
                                 "ARCSINH(X)",
                                 "ARCCOSH(X)",
                                 "ARCTANH(X)",
                                 "ARCCOTH(X)",
                                 "ARCSECH(X)",
                                 "ARCCSCH(X)"};
    written_laws written;
    for (char const *text : texts) {
        SCOPED_TRACE(text);
        law_ptr const l = adopt(str_to_law(text));
        ASSERT_TRUE(l) << TEST_get_error();
        EXPECT_TRUE(written.take(l)) << function_of(l.get()).refusal;
    }
    std::vector<std::array<double, 4>> points;
    double const values[] = {-7, -2, -1, -0.5, 0, 0.5, 1, 2, 3, 9};
    for (double x : values)
        for (double y : values) points.push_back({x, y, x - 2 * y, 0});
    EXPECT_GT(written.compare_at(points), 5000);
    EXPECT_EQ(missing(written.classes()), std::vector<std::string>{});
}

TEST_F(LawFunction, RandomLawsComputeTheLibrarysValues) {
    allow_blocks_in_prototype_caches();
    constexpr std::size_t wanted = 600;
    generated::law_generator gen(23);
    written_laws written;
    int refused = 0;
    // A few laws of each class at the root, so that each class that compiles itself is written
    // at least once (LOG of a constant base, TERM of a constant index are rare otherwise).
    for (law const *p : gen.prototypes())
        for (int attempt = 0, taken = 0; attempt < 1000 && taken < 2; ++attempt)
            if (law_ptr l = gen.make_rooted(p, 3); l && l->return_dim() >= 1 && written.take(l))
                ++taken;
    for (int attempt = 0; written.size() < wanted && attempt < 200000; ++attempt) {
        law_ptr l = gen.make(3);
        if (l->return_dim() < 1 || !written.take(l)) {
            ++refused;
            continue;
        }
        // The derivatives too, as the tool's --deriv writes them.
        if (l->return_dim() != 1 || l->take_dim() == 0) continue;
        try {
            written.take(adopt(l->derivative(0)));
        } catch (vorn_exception const &) {
            // a class of no derivative
        }
    }
    ASSERT_GE(written.size(), wanted);
    RecordProperty("written", static_cast<int>(written.size()));
    std::vector<std::array<double, 4>> const points = {
        {0.3, 0.7, 1.1, 2.5}, {-0.4, 1.9, 0.05, -3}, {2, 0.5, -1.5, 4}, {-2.5, -0.75, 0, 1}};
    EXPECT_GT(written.compare_at(points), 1500);
    for (std::string const &c : missing(written.classes())) ADD_FAILURE() << c << " never written";
    RecordProperty("refused", refused);
}

}  // namespace
