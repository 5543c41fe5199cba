// Laws as plain C++ functions: the text of a few by hand, and random laws compiled into one
// translation unit whose values are compared with the library's bit for bit.
#include <bit>
#include <cstdint>
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
    law_ptr const r = adopt(str_to_law("X+RAND(X)"));
    law_function_code const f = function_of(r.get());
    EXPECT_EQ(f.code, "");
    EXPECT_EQ(f.refusal, "RAND (rand_law) has no plain C++ form");
    EXPECT_EQ(function_of(nullptr).refusal, "a null law has no value");
    law_ptr const dot = adopt(str_to_law("DOT(VEC(X,Y),VEC(Y,X))"));
    EXPECT_NE(function_of(dot.get()).refusal, "");
}

// What l gives at x, as bits; empty when it raises.
std::vector<std::uint64_t> value_bits(law const *l, double const *x) {
    std::vector<double> y(static_cast<std::size_t>(l->return_dim()));
    try {
        l->evaluate(x, y.data());
    } catch (vorn_exception const &) {
        return {};
    }
    std::vector<std::uint64_t> bits;
    for (double v : y) bits.push_back(std::bit_cast<std::uint64_t>(v));
    return bits;
}

TEST_F(LawFunction, RandomLawsComputeTheLibrarysValues) {
    allow_blocks_in_prototype_caches();
    constexpr std::size_t wanted = 500;
    generated::law_generator gen(23);
    std::vector<law_ptr> laws;
    std::string source = "#include <cmath>\n\n";
    auto take = [&](law_ptr l) {
        std::string const name = "fn_" + std::to_string(laws.size());
        law_function_code const f = function_of(l.get(), name.c_str());
        if (f.code.empty()) return false;
        std::string const call =
            l->return_dim() == 1 ? "out[0] = " + name + "(x);" : name + "(x, out);";
        source += f.code + "static void call_" + name.substr(3) +
                  "(double const *x, double *out) { " + call + " }\n\n";
        laws.push_back(std::move(l));
        return true;
    };
    int refused = 0;
    for (int attempt = 0; laws.size() < wanted && attempt < 200000; ++attempt) {
        law_ptr l = gen.make(3);
        if (l->return_dim() < 1 || !take(l)) {
            ++refused;
            continue;
        }
        // The derivatives too, as the tool's --deriv writes them.
        if (l->return_dim() != 1 || l->take_dim() == 0) continue;
        try {
            take(adopt(l->derivative(0)));
        } catch (vorn_exception const &) {
            // a class of no derivative
        }
    }
    ASSERT_GE(laws.size(), wanted);
    source += "extern \"C\" void (*const law_functions[])(double const *, double *) = {\n";
    for (std::size_t i = 0; i < laws.size(); ++i) source += "    call_" + std::to_string(i) + ",\n";
    source += "};\n";

    compiled_code const compiled(source);
    ASSERT_TRUE(compiled.loaded()) << compiled.errors().substr(0, 4000);
    auto const functions =
        compiled.symbol<void (*const *)(double const *, double *)>("law_functions");
    ASSERT_TRUE(functions);
    double const points[][4] = {{0.3, 0.7, 1.1, 2.5}, {-0.4, 1.9, 0.05, -3}, {2, 0.5, -1.5, 4}};
    int compared = 0;
    for (std::size_t i = 0; i < laws.size(); ++i) {
        SCOPED_TRACE(laws[i]->text());
        for (auto const &x : points) {
            std::vector<std::uint64_t> const expected = value_bits(laws[i].get(), x);
            if (expected.empty()) continue;  // the law's domain check; the function has none
            std::vector<double> y(expected.size());
            functions[i](x, y.data());
            std::vector<std::uint64_t> got;
            for (double v : y) got.push_back(std::bit_cast<std::uint64_t>(v));
            EXPECT_EQ(got, expected);
            ++compared;
        }
    }
    EXPECT_GT(compared, 1000);
    RecordProperty("refused", refused);
    RecordProperty("compared", compared);
}

}  // namespace
