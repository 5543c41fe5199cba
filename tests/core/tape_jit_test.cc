// The machine code of a tape gives the interpreter's bits, and gives the point back to the law
// exactly where the interpreter would give it back or raise an error.
#include <pthread.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#if defined(__x86_64__)
#include <xmmintrin.h>
#endif

#include <law/eval/code_arena.h>
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
    if (!machine_code_expected) GTEST_SKIP() << "no machine code on this machine";
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
    EXPECT_GT(jitted, 1000);
    EXPECT_GT(given_back, 100);
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

// X*1+(SIN(X*1)+(X*2+(SIN(X*2)+...))): n products and sines alive at the innermost sine, each
// kept in the frame over the calls after it.
std::string values_live_across_calls(int n) {
    std::string text = "X";
    for (int k = n; k >= 1; --k) {
        std::string const p = "X*" + std::to_string(k);
        text = p + "+(SIN(" + p + ")+(" + text + "))";
    }
    return text;
}

TEST_F(MachineCodeOfTapes, ManyValuesLiveAcrossCalls) {
    if (!machine_code_expected) GTEST_SKIP() << "no machine code on this machine";
    // Every left side waits for the whole right side, so thirty products and sines are alive
    // at the innermost sine, more than the registers hold.
    constexpr int n = 30;
    law_ptr l;
    std::unique_ptr<eval_tape> const t = tape_of(values_live_across_calls(n).c_str(), l);
    ASSERT_TRUE(t && t->jitted());
    double const x = 0.3;
    double want = x;
    for (int k = n; k >= 1; --k) want = x * k + (std::sin(x * k) + want);
    run_result const got = machine(*t, {x});
    ASSERT_TRUE(got.done);
    EXPECT_NEAR(got.values[0], want, 1e-12);
    EXPECT_TRUE(got == interpreted(*t, {x}));
}

// ---------------------------------------------------------------- floating-point modes

#if defined(__x86_64__)
// Runs the vector unit in another mode for the scope's life.
class vector_unit_mode {
  public:
    explicit vector_unit_mode(unsigned mode) : before_(_mm_getcsr()) { _mm_setcsr(mode); }
    ~vector_unit_mode() { _mm_setcsr(before_); }
    vector_unit_mode(vector_unit_mode const &) = delete;
    vector_unit_mode &operator=(vector_unit_mode const &) = delete;

  private:
    unsigned before_;
};

constexpr unsigned default_mode = 0x1f80, flush_to_zero = 0x8000, denormals_are_zero = 0x40;
constexpr unsigned round_down = 0x2000, round_up = 0x4000, round_to_zero = 0x6000;
constexpr double tiny = 1e-310;  // below the smallest normal double

TEST_F(MachineCodeOfTapes, EveryModeOfTheVectorUnitGivesTheInterpretersBits) {
    // Maxima and minima of values a tiny step apart (which a flush to zero makes equal for a
    // subtraction, not for a comparison), sine and cosine pairs, and arithmetic that rounds
    // to other bits in each rounding direction, at tiny, normal and exact values.
    char const *const texts[] = {
        "MAX(X,Y)", "MIN(X,Y)",    "MAX(X,1E-310)", "MIN(X*Y,Y)",   "SIN(X)*COS(X)+COS(Y)",
        "X/3+Y/7",  "X*0.1-Y*0.3", "SQRT(X)+X^2/Y", "X<Y AND Y!=0", "PIECEWISE(X<Y,X/Y,Y-X)"};
    double const values[] = {0, tiny, -tiny, 2 * tiny, 1e-300, 0.1, 1 / 3.0, 1, 2.5, -7};
    unsigned const modes[] = {flush_to_zero,
                              denormals_are_zero,
                              flush_to_zero | denormals_are_zero,
                              default_mode | round_down,
                              default_mode | round_up,
                              default_mode | round_to_zero,
                              default_mode | flush_to_zero | round_to_zero};
    for (char const *text : texts) {
        law_ptr l;
        std::unique_ptr<eval_tape> const t = tape_of(text, l);
        ASSERT_TRUE(t && t->jitted()) << text;
        for (unsigned mode : modes)
            for (double a : values)
                for (double b : values) {
                    std::vector<double> const x = {a, b + tiny};
                    run_result got, want;
                    {
                        vector_unit_mode const in(mode | default_mode);
                        got = machine(*t, x);
                        want = interpreted(*t, x);
                    }
                    EXPECT_TRUE(got == want)
                        << text << " in mode " << std::hex << mode << " at " << a << ", " << b;
                }
    }
}

TEST_F(MachineCodeOfTapes, SineAndCosinePairsRoundAsTheTwoAloneInEveryDirection) {
    // The pair runs in every rounding direction (only a flush to zero sends it to the
    // interpreter): it must give the bits of the sine and the cosine computed alone.
    law_ptr l;
    std::unique_ptr<eval_tape> const t = tape_of("VEC(SIN(X),COS(X))", l);
    ASSERT_TRUE(t && t->jitted());
    for (unsigned mode : {default_mode, default_mode | round_down, default_mode | round_up,
                          default_mode | round_to_zero})
        for (int i = -400; i <= 400; ++i) {
            double const x = std::ldexp(1.0 + i * 0.01237, i / 20) * (i % 2 ? -1 : 1);
            run_result got, want;
            {
                vector_unit_mode const in(mode);
                got = machine(*t, {x});
                want = interpreted(*t, {x});
            }
            EXPECT_TRUE(got == want) << "mode " << std::hex << mode << " at " << x;
        }
}

TEST_F(MachineCodeOfTapes, ALawEvaluatesInAnotherModeAsItsOwnTreeDoes) {
    // Through the public entry: a compiled MAX of values a tiny step apart under a flush to
    // zero gives what the same law gives walking its tree.
    law_ptr const compiled = adopt(str_to_law("MAX(X,Y)"));
    law_ptr const walked = adopt(str_to_law("MAX(X,Y)"));
    // Y - X is below the smallest normal double, so the flush makes it 0 and X stays the
    // maximum; a comparison of the two would take Y.
    double const x[2] = {2 * tiny, 3 * tiny};
    double y = 0;
    for (int i = 0; i < 40; ++i) compiled->evaluate(x, &y);
    ASSERT_TRUE(compiled->compiled());
    vector_unit_mode const in(default_mode | flush_to_zero);
    double want = 0;
    walked->evaluate(x, &want);
    compiled->evaluate(x, &y);
    EXPECT_TRUE(same_bits(y, want)) << y << " against " << want;
}
#endif

// ---------------------------------------------------------------- frames and the code arena

// Runs f on a thread of its own with a stack of the given size.
template <class F>
void on_small_stack(std::size_t stack_bytes, F f) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, stack_bytes);
    pthread_t thread;
    ASSERT_EQ(pthread_create(
                  &thread, &attr,
                  [](void *p) -> void * {
                      (*static_cast<F *>(p))();
                      return nullptr;
                  },
                  &f),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

TEST_F(MachineCodeOfTapes, FramesOfSeveralPagesGiveTheInterpretersBits) {
    if (!machine_code_expected) GTEST_SKIP() << "no machine code on this machine";
    // 800 values live over calls: a frame of more than a page, grown a page at a time.
    law_ptr l;
    std::unique_ptr<eval_tape> const t = tape_of(values_live_across_calls(400).c_str(), l);
    ASSERT_TRUE(t && t->jitted());
    run_result got;
    on_small_stack(64 << 10, [&] { got = machine(*t, {0.3}); });
    ASSERT_TRUE(got.done);
    EXPECT_TRUE(got == interpreted(*t, {0.3}));
}

TEST_F(MachineCodeOfTapes, CodeOfLawsThatDieIsUsedAgain) {
    if (!machine_code_expected) GTEST_SKIP() << "no machine code on this machine";
    auto const compile_many = [](int n, std::vector<std::unique_ptr<eval_tape>> &tapes,
                                 std::vector<law_ptr> &laws) {
        for (int i = 0; i < n; ++i) {
            std::string const text =
                "SIN(X)*" + std::to_string(i + 2) + "+X^2/" + std::to_string(i + 3);
            laws.push_back(adopt(str_to_law(text.c_str())));
            tapes.push_back(tape_builder::compile(laws.back().get()));
            ASSERT_TRUE(tapes.back() && tapes.back()->jitted()) << text;
        }
    };
    std::vector<std::unique_ptr<eval_tape>> tapes;
    std::vector<law_ptr> laws;
    code_arena::usage const before = code_arena::in_use();
    compile_many(2000, tapes, laws);
    code_arena::usage const held = code_arena::in_use();
    // The code of a small law is a block of a few cache lines, not a page of its own.
    EXPECT_LE(held.taken - before.taken, std::size_t{2000} * 256);
    tapes.clear();
    EXPECT_EQ(code_arena::in_use().taken, before.taken);
    compile_many(2000, tapes, laws);
    EXPECT_EQ(code_arena::in_use().mapped, held.mapped) << "freed blocks were not used again";
    for (std::size_t i = 0; i < tapes.size(); ++i)
        EXPECT_TRUE(machine(*tapes[i], {0.7}) == interpreted(*tapes[i], {0.7}));
}

TEST_F(MachineCodeOfTapes, ThreadsCompileRunAndFreeCodeAtOnce) {
    if (!machine_code_expected) GTEST_SKIP() << "no machine code on this machine";
    allow_blocks_in_prototype_caches();
    // Each thread compiles laws of its own into the shared arena, runs them against the
    // interpreter and frees them, while the others do the same.
    constexpr int threads = 4, rounds = 30, per_round = 20;
    std::atomic<int> mismatches{0}, uncompiled{0};
    code_arena::usage const before = code_arena::in_use();
    std::vector<std::thread> pool;
    for (int w = 0; w < threads; ++w)
        pool.emplace_back([&, w] {
            for (int r = 0; r < rounds; ++r) {
                std::vector<std::pair<law_ptr, std::unique_ptr<eval_tape>>> held;
                for (int i = 0; i < per_round; ++i) {
                    std::string const text = "MAX(X*" + std::to_string(w + 2) + ",SIN(X)+" +
                                             std::to_string(r * per_round + i) + ")";
                    law_ptr l = adopt(str_to_law(text.c_str()));
                    std::unique_ptr<eval_tape> t = tape_builder::compile(l.get());
                    if (!t || !t->jitted()) {
                        ++uncompiled;
                        continue;
                    }
                    held.emplace_back(std::move(l), std::move(t));
                }
                for (auto const &[l, t] : held)
                    for (double x : {-1.5, 0.25, 3.0})
                        if (!(machine(*t, {x}) == interpreted(*t, {x}))) ++mismatches;
            }
        });
    for (std::thread &t : pool) t.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(uncompiled.load(), 0);
    EXPECT_EQ(code_arena::in_use().taken, before.taken);
}

}  // namespace
