#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "law_test.h"

namespace {

class LawCore : public LawTest {};

TEST_F(LawCore, UseCountProtocolDestroysAtZero) {
    law *l = new constant_law(2.0);
    EXPECT_EQ(l->ref_count(), 1);
    l->add();
    l->remove();
    EXPECT_EQ(l->ref_count(), 1);
    long const alive = law::live_count();
    l->remove();
    EXPECT_EQ(law::live_count(), alive - 1);
}

TEST_F(LawCore, IdsFollowTheClassTable) {
    EXPECT_EQ(law::id(), 14);
    EXPECT_EQ(constant_law::id(), 23);
    EXPECT_EQ(identity_law::id(), 58);
    EXPECT_EQ(pi_law::id(), 91);
    EXPECT_EQ(law_id::wire_law, 125);
    EXPECT_EQ(law_facts(law_id::sin_law).symbol_default, std::string("SIN"));
    // Ids are alphabetical by class name, with `law` itself at 14.
    std::string previous;
    for (int id = 0; id < law_class_count; ++id) {
        if (!law_facts(id).name || id == law::id()) continue;
        EXPECT_LT(previous, law_facts(id).name) << id;
        previous = law_facts(id).name;
    }
    law_ptr const pi = adopt<law>(new pi_law);
    EXPECT_TRUE(pi->isa(pi_law::id()));
    EXPECT_TRUE(pi->isa(constant_law::id()));
    EXPECT_TRUE(pi->isa(law::id()));
    EXPECT_FALSE(pi->isa(identity_law::id()));
}

TEST_F(LawCore, NewLawIdsStartAfterTheLibrary) {
    // The table holds ids 0 to 125 (two of them unused); the counter starts at 126.
    static_assert(law_class_count == 126 && law_id::first_free == 126);
    int const first = new_law_id();
    EXPECT_GE(first, 127);
    EXPECT_EQ(new_law_id(), first + 1);
}

TEST_F(LawCore, LeavesPrintAsWritten) {
    EXPECT_EQ(C(0.1)->text(), "0.1");
    EXPECT_EQ(C(1e21)->text(), "1e+21");
    EXPECT_EQ(C(-0.0)->text(), "-0");
    EXPECT_EQ(C(1e-20)->text(), "1e-20");
    EXPECT_EQ(C(100)->text(), "100");
    // Sixteen significant digits at most, fewer where they hold the value exactly.
    EXPECT_EQ(C(1.0 / 3)->text(), "0.3333333333333333");
    EXPECT_EQ(C(2.0 / 3)->text(), "0.6666666666666666");
    EXPECT_EQ(C(0.1 + 0.2)->text(), "0.3");
    EXPECT_EQ(C(1e300 / 3)->text(), "3.333333333333334e+299");
    // Seventeen digits print as the double their sixteen read back as, so a print read back
    // prints the same: 0x1.fffffffffffffp+128's sixteen digits read back as 2^129.
    EXPECT_EQ(C(std::nextafter(0x1p129, 0.0))->text(), "6.80564733841877e+38");
    std::uint64_t bits = 0x9e3779b97f4a7c15u;
    for (int i = 0; i < 20000; ++i) {
        bits = bits * 6364136223846793005u + 1442695040888963407u;
        double const v = std::bit_cast<double>(bits >> 1);  // finite or not, never negative
        std::string const once = C(v)->text();
        law_ptr const again = adopt(str_to_law(once.c_str()));
        if (std::isfinite(v)) {
            ASSERT_TRUE(again) << once;
        }
        if (again) {
            EXPECT_EQ(again->text(), once);
        }
    }
    EXPECT_EQ(C(-123456.789e-7)->text(), "-0.0123456789");
    EXPECT_EQ(C(INFINITY)->text(), "inf");
    EXPECT_EQ(C(-INFINITY)->text(), "-inf");
    EXPECT_EQ(X(0, 'X')->text(), "X");
    EXPECT_EQ(X(1, 'Y')->text(), "Y");
    EXPECT_EQ(X(2, 'X')->text(), "X3");
    EXPECT_EQ(X(0, 'Y')->text(), "Y1");
    EXPECT_EQ(X(3, 'X')->text(), "X4");
    law_ptr const pi = adopt<law>(new pi_law), f = adopt<law>(new false_law);
    EXPECT_EQ(pi->text(), "PI");
    EXPECT_EQ(pi->text(law_symbol_other), "Pi");
    EXPECT_EQ(f->text(), "FALSE");
    EXPECT_EQ(f->text(law_symbol_other), "false");
}

TEST_F(LawCore, EqualityComparesTypesThenStructure) {
    law_ptr const one = C(1.0), t = adopt<law>(new true_law);
    EXPECT_TRUE(one->same(one.get(), t.get()));
    EXPECT_FALSE(*one == *t);
    EXPECT_TRUE(*X(0, 'X') == *X(0, 'T'));
    EXPECT_FALSE(*X(0) == *X(1));
    EXPECT_TRUE(*one == *one);
}

TEST_F(LawCore, DimensionsAndEvaluation) {
    law_ptr const z = X(2, 'Z');
    EXPECT_EQ(z->take_dim(), 3);
    EXPECT_EQ(z->return_dim(), 1);
    double const p[3] = {1, 2, 3};
    EXPECT_EQ(z->evaluateM_R(p), 3);
    EXPECT_EQ(C(4)->take_dim(), 0);
    EXPECT_EQ(adopt<law>(new e_law)->eval(0), 2.718281828459045);
}

TEST_F(LawCore, EntryPointsOfOneValuePadTheirPoint) {
    // A law of more inputs handed one or two values reads zeros for the rest, never past them.
    law_ptr const z = X(2, 'Z');
    EXPECT_EQ(z->eval(5.0), 0.0);
    EXPECT_EQ(z->evaluateDR_R(5.0, 0), 0.0);
    EXPECT_EQ(z->evaluateC_R(complex_number(1, 2)), 0.0);
    EXPECT_EQ(X(1, 'Y')->evaluateC_R(complex_number(1, 2)), 2.0);
    // The term domain of ARCCOS maps its ends through the inverse of a law of many inputs.
    law_ptr const l = adopt(str_to_law("D(X^2*A3+X43*ARCCOS(C4)*A3,X*X)"));
    EXPECT_NE(l.get(), nullptr);
    // A2 O X hands A2 one value: its second input reads 0, and its forms keep one input.
    law_ptr const c = adopt(str_to_law("(A2)O(X)"));
    law_ptr const s = adopt(c->simplify(1, 0));
    EXPECT_EQ(s->take_dim(), 1);
    EXPECT_EQ(s->eval(3.0), 0.0);
    // Its derivative inside a 0/0 is evaluated at the one-input point of the quotient.
    law_ptr const q = adopt(str_to_law("D(X,V*XV,X^1999X^3*A2OX^2/)"));
    EXPECT_EQ(q.get(), nullptr);
    EXPECT_NE(std::string(TEST_get_error()).find("LAW_LHOSPITAL"), std::string::npos);
}

TEST_F(LawCore, ScalarZeroStandsForTheZeroVector) {
    EXPECT_EQ(C(0)->evaluateR_V(1.0), ZEM::vector());
    EXPECT_LAW_ERROR(C(1)->evaluateR_V(1.0), LAW_EVALV);
    EXPECT_EQ(C(1)->evaluateM_V(nullptr), ZEM::vector());
    EXPECT_LAW_ERROR(C(0)->evaluateR_UV(1.0), LAW_BAD_UNIT_VECTOR);
    EXPECT_EQ(C(1)->evaluateM_T(nullptr), ZEM::transf());
    EXPECT_EQ(X(0)->evaluateM_MAT(nullptr), ZEM::matrix());
}

TEST_F(LawCore, DerivativeEntryPointsWriteTheLawsValuesOnly) {
    // A constant vector's derivative is the number 0: every value of the answer is 0.
    law_ptr const v = adopt(str_to_law("VEC(1,2,X^0)"));
    std::array<double, 4> answer{7, 7, 7, 7};
    double const t = 0.5;
    v->evaluateDM(&t, answer.data(), 1);
    EXPECT_EQ(answer, (std::array<double, 4>{0, 0, 0, 7}));
    // A power of vectors has one value and a derivative of three: an error, not a write past.
    law_ptr const w = adopt<law>(new vector_law(ZEM::vector(-INFINITY, -INFINITY, -INFINITY)));
    law_ptr const power = adopt<law>(new exponent_law(w.get(), w.get()));
    ASSERT_EQ(power->return_dim(), 1);
    EXPECT_LAW_ERROR(power->evaluateDM_R(&t, 1), LAW_DIM);
}

TEST_F(LawCore, DerivativesAreCachedPerInput) {
    law_ptr const z = X(2, 'Z');
    law_ptr const d = adopt(z->derivative(3));
    EXPECT_EQ(d->eval(0), 0.0);
    EXPECT_TRUE(z->cached_derivative(3));
    EXPECT_FALSE(z->cached_derivative(2));
    EXPECT_FALSE(z->cached_derivative(10));
    law_ptr const d2 = adopt(z->derivative(2));
    EXPECT_EQ(d2->eval(0), 1.0);
    law_ptr const again = adopt(z->derivative(2));
    EXPECT_EQ(again.get(), d2.get());
    z->reset_derivative(2);
    EXPECT_FALSE(z->cached_derivative(2));
    law_ptr const same = adopt(z->nth_derivative(0));
    EXPECT_EQ(same.get(), z.get());
    law_ptr const uv = adopt(z->uv_partials(0, 0));
    EXPECT_EQ(uv.get(), z.get());
}

TEST_F(LawCore, SelfReferencesInCachesAreNotCounted) {
    law_ptr const x = X();
    law_ptr const inv = adopt(x->inverse());
    EXPECT_EQ(inv.get(), x.get());
    x->set_derivative(0, x.get());
    law_ptr const d = adopt(x->derivative(0));
    EXPECT_EQ(d.get(), x.get());
    EXPECT_EQ(x->ref_count(), 3);  // x, inv and d; the caches hold none
}

TEST_F(LawCore, ClassificationIsRecorded) {
    law_ptr const small = C(1e-9);
    EXPECT_TRUE(small->zero(1e-6));
    EXPECT_TRUE(small->zero(1e-12));  // recorded: holds for every later tolerance
    EXPECT_TRUE(C(3)->integer());
    EXPECT_FALSE(C(3.5)->integer());
    EXPECT_TRUE(C(3.5)->constant());
    EXPECT_FALSE(X()->constant());
    EXPECT_FALSE(X(1)->constant());  // two inputs
    EXPECT_TRUE(X()->linear());
    EXPECT_TRUE(X()->identity());
    EXPECT_FALSE(C(1)->identity());
}

TEST_F(LawCore, SimplifyCachesByLevel) {
    law_ptr const x = X();
    law_ptr const s1 = adopt(x->simplify(1, 0));
    EXPECT_TRUE(x->is_simplified(1));
    EXPECT_FALSE(x->is_simplified(2));
    law_ptr const s2 = adopt(x->simplify(2, 0));
    EXPECT_TRUE(x->is_simplified(2));
    law_ptr const s3 = adopt(x->simplify(law::simplify_afresh, 0));
    EXPECT_TRUE(x->is_simplified(1));
    EXPECT_FALSE(x->is_simplified(2));
}

TEST_F(LawCore, TransformFromThirteenValues) {
    // Three unit axes, origin (1, 2, 3), scale 1: a translation.
    struct axes_law : law {
        double z_sign;
        explicit axes_law(double s) : z_sign(s) {}
        char const *class_name() const override { return "axes_law"; }
        void evaluate(double const *, double *a) const override {
            double const v[13] = {1, 0, 0, 0, 1, 0, 0, 0, z_sign, 1, 2, 3, 1};
            for (int i = 0; i < 13; ++i) a[i] = v[i];
        }
        int return_size() const override { return 13; }
    };
    law_ptr const straight = adopt<law>(new axes_law(1));
    ZEM::transf const t = straight->evaluateM_T(nullptr);
    EXPECT_EQ(t, translate_transf(ZEM::vector(1, 2, 3)));
    law_ptr const flipped = adopt<law>(new axes_law(-1));
    ZEM::transf const r = flipped->evaluateM_T(nullptr);
    EXPECT_TRUE(r.reflect());
    ZEM::position const p = ZEM::position(0, 0, 1) * r;
    EXPECT_NEAR(p.z(), 2, 1e-12);
}

TEST_F(LawCore, ThreadsShareLawsSafely) {
    // Eight threads differentiate, simplify, classify and evaluate the same laws at once: the
    // caches fill once, under each law's own lock, and every thread sees the same answers.
    char const *const texts[] = {"X^3*SIN(X)", "EXP(X)/(1+X^2)", "VEC(COS(X),SIN(X),X/5)",
                                 "LN(X^2+1)*COS(X)"};
    std::vector<law_ptr> shared;
    for (char const *t : texts) shared.push_back(adopt(str_to_law(t)));
    std::vector<double> expected;
    for (law_ptr const &l : shared) {
        law_ptr const copy = adopt(l->deep_copy());
        law_ptr const d = adopt(copy->nth_derivative(2));
        expected.push_back(first_value(d.get(), std::array<double, 1>{0.7}.data()));
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 50; ++round) {
                std::size_t const k = (t + round) % shared.size();
                law const *l = shared[k].get();
                law_ptr const d2 = adopt(l->nth_derivative(2));
                double const x = 0.7;
                EXPECT_NEAR(first_value(d2.get(), &x), expected[k], 1e-12);
                law_ptr const s = adopt(l->simplify(1, 0));
                EXPECT_FALSE(l->constant());
                EXPECT_NEAR(first_value(s.get(), &x), first_value(l, &x), 1e-12);
            }
        });
    for (auto &t : threads) t.join();
}

TEST_F(LawCore, ErrorsCarryTheLawutilModule) {
    // The fixed table holds its 94 codes and the null pair alone; the library's own codes are a
    // table of their own that reports the same module.
    message_module const &fixed = get_lawutil_main_law_errmod();
    EXPECT_EQ(fixed.size(), 94);
    EXPECT_STREQ(fixed.entry(0).name, "LAW_EVAL");
    EXPECT_STREQ(fixed.entry(93).name, "LAW_VEC_NUM");
    EXPECT_EQ(fixed.entry(94).name, nullptr);
    EXPECT_EQ(fixed.entry(94).text, nullptr);
    EXPECT_STREQ(fixed.entry(86).name, "BAD_LAW_USE_COUNT");
    EXPECT_STREQ(fixed.entry(87).name, "BAD_LAW_DATA_USE_COUNT");
    EXPECT_STREQ(fixed.name(), "lawutil");
    message_module const &own = get_lawutil_own_errmod();
    EXPECT_EQ(own.size(), LAWUTIL_CODE_COUNT - 94);
    EXPECT_STREQ(own.name(), "lawutil");
    for (int code = 0; code < LAWUTIL_CODE_COUNT; ++code) {
        try {
            law_error(static_cast<lawutil_error>(code));
        } catch (vorn_exception const &e) {
            EXPECT_EQ(lawutil_local_code(e), code);
            EXPECT_STREQ(e.module(), "lawutil");
        }
    }
    try {
        law_error(LAW_NULL_LAW, "the law is null");
    } catch (vorn_exception const &e) {
        EXPECT_STREQ(e.code_name(), "LAW_NULL_LAW");
        EXPECT_STREQ(e.detail(), "the law is null");
        EXPECT_STREQ(e.what(),
                     "LAW_NULL_LAW: A law or an array of laws that is needed is null "
                     "(the law is null)");
    }
    try {
        law_error(BAD_LAW_USE_COUNT);
        FAIL();
    } catch (vorn_exception const &e) {
        EXPECT_EQ(lawutil_local_code(e), 86);
        EXPECT_STREQ(e.code_name(), "BAD_LAW_USE_COUNT");
        EXPECT_STREQ(e.module(), "lawutil");
        EXPECT_STREQ(e.what(),
                     "BAD_LAW_USE_COUNT: The law destructor was called with a non-zero use count.");
    }
    EXPECT_LAW_ERROR(C(1)->derivative(-1), LAW_DERIV);
}

}  // namespace
