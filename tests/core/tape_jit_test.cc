// The machine code of a tape gives the interpreter's bits, and gives the point back to the law
// exactly where the interpreter would give it back or raise an error.
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <law/eval/tape_builder.h>

#include "law_generator.h"
#include "law_test.h"

namespace {

class MachineCodeOfTapes : public LawTest {};

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// What one run gave: the values, or none when the point went back to the law (or, for the
// interpreter, when it raised). Values are compared bit for bit, NaNs as NaNs.
struct run_result {
    bool done = false;
    std::vector<double> values;
    bool operator==(run_result const &o) const {
        return done == o.done && same_bits(values, o.values);
    }
};

template <class Run>
run_result run_at(eval_tape const &t, std::vector<double> const &x, Run run) {
    run_result r;
    r.values.assign(static_cast<std::size_t>(std::max(t.output_count(), 1)), 0.0);
    try {
        r.done = run(x.data(), r.values.data());
    } catch (vorn_exception const &) {
        r.done = false;
    }
    if (!r.done) r.values.clear();
    return r;
}

run_result interpreted(eval_tape const &t, std::vector<double> const &x) {
    return run_at(t, x, [&t](double const *p, double *y) { return t.interpret(p, y); });
}
run_result machine(eval_tape const &t, std::vector<double> const &x) {
    return run_at(t, x, [&t](double const *p, double *y) { return t.run(p, y); });
}

std::vector<double> point(law const *l, double t) {
    std::vector<double> x(static_cast<std::size_t>(std::max(l->take_dim(), 1)));
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = t + 0.37 * static_cast<double>(i);
    return x;
}

std::unique_ptr<eval_tape> tape_of(char const *text, law_ptr &keep) {
    keep = adopt(str_to_law(text));
    EXPECT_TRUE(keep) << text;
    return keep ? tape_builder::compile(keep.get()) : nullptr;
}

#if defined(__x86_64__) && defined(__linux__)
constexpr bool machine_code_expected = true;
#else
constexpr bool machine_code_expected = false;
#endif

TEST_F(MachineCodeOfTapes, RandomTreesGiveTheInterpretersBitsAndRareCases) {
    allow_blocks_in_prototype_caches();
    generated::law_generator gen(20261207);
    // Zeros and tiny values for 0/0 and divisors near zero, negatives for square roots and
    // logarithms, and values that are not numbers.
    double const ts[] = {-1.3, -0.2, -1e-12, -0.0, 0, 1e-16, 1e-12, 0.3, 0.7, 1, 1.9, 40, inf, nan};
    int jitted = 0, given_back = 0;
    for (int i = 0; i < 4000; ++i) {
        law_ptr const l = gen.make(1 + i % 7);
        std::unique_ptr<eval_tape> const t = tape_builder::compile(l.get());
        if (!t || !t->jitted()) continue;
        std::vector<double> const x0 = point(l.get(), ts[0]);
        // Laws of random values differ from call to call by design.
        if (!(interpreted(*t, x0) == interpreted(*t, x0))) continue;
        ++jitted;
        for (double v : ts) {
            std::vector<double> const x = point(l.get(), v);
            run_result const want = interpreted(*t, x);
            given_back += want.done ? 0 : 1;
            EXPECT_TRUE(machine(*t, x) == want) << l->text() << " at " << v;
        }
    }
    if (machine_code_expected) {
        EXPECT_GT(jitted, 1000);
        EXPECT_GT(given_back, 100);
    }
}

TEST_F(MachineCodeOfTapes, EdgesOfEachOperation) {
    if (!machine_code_expected) GTEST_SKIP() << "no machine code on this machine";
    // Signed zeros, infinities and NaNs through maxima and minima; the square root just below
    // 0 and further down; divisors near zero; comparisons and truth of NaNs; branches.
    char const *const texts[] = {"MAX(X,Y)", "MIN(X,Y)", "MAX(X,0)", "MIN(0,X)", "SQRT(X)", "1/X",
                                 "X/Y", "X/1E-12", "SIN(X)/X", "X<Y", "X>=Y", "X=Y", "X!=Y",
                                 "X AND Y", "NOT X", "ABS(X)-X", "-X*Y+2",
                                 "PIECEWISE(X<0,LN(-X),X>5,1/(X-7),SQRT(X))", "X>0 AND LN(X)>1",
                                 "X^Y+LN(X)*Y", "VEC(SIN(X),COS(Y),X*Y)",
                                 // A sine and cosine of one value come as a pair; on a path
                                 // that skips the first, the second is computed alone.
                                 "SIN(X)*COS(X)+COS(Y)-SIN(Y)", "PIECEWISE(Y<0,SIN(X),COS(X))",
                                 "VEC(COS(X*Y),SIN(X*Y),SIN(X))"};
    double const values[] = {-inf, -1, -1e-11, -1e-12, -0.0, 0, 1e-16, 1e-12, 1, 7, inf, nan};
    for (char const *text : texts) {
        law_ptr l;
        std::unique_ptr<eval_tape> const t = tape_of(text, l);
        ASSERT_TRUE(t && t->jitted()) << text;
        for (double a : values)
            for (double b : values) {
                std::vector<double> x = {a, b};
                x.resize(static_cast<std::size_t>(std::max(l->take_dim(), 2)), 0.5);
                EXPECT_TRUE(machine(*t, x) == interpreted(*t, x))
                    << text << " at " << a << ", " << b;
            }
    }
}

TEST_F(MachineCodeOfTapes, ManyValuesLiveAcrossCalls) {
    if (!machine_code_expected) GTEST_SKIP() << "no machine code on this machine";
    // X*1+(SIN(X*1)+(X*2+(SIN(X*2)+...))): every left side waits for the whole right side, so
    // thirty products and sines are alive at the innermost sine, more than the registers hold,
    // and each is kept over the calls after it.
    constexpr int n = 30;
    std::string text = "X";
    for (int k = n; k >= 1; --k) {
        std::string const p = "X*" + std::to_string(k);
        text = p + "+(SIN(" + p + ")+(" + text + "))";
    }
    law_ptr l;
    std::unique_ptr<eval_tape> const t = tape_of(text.c_str(), l);
    ASSERT_TRUE(t && t->jitted());
    double const x = 0.3;
    double want = x;
    for (int k = n; k >= 1; --k) want = x * k + (std::sin(x * k) + want);
    run_result const got = machine(*t, {x});
    ASSERT_TRUE(got.done);
    EXPECT_NEAR(got.values[0], want, 1e-12);
    EXPECT_TRUE(got == interpreted(*t, {x}));
}

}  // namespace
