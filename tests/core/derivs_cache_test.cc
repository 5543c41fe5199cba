// The cache of a curve law's position and derivatives at chosen parameters.
#include <atomic>

#include <law/core/derivs_cache.h>

#include "law_test.h"

namespace {

std::atomic<int> evaluations{0};

// P(t) = sum of c[i][k] t^k per component: a cubic curve whose derivatives are exact, counting
// its evaluations so that a test can see whether the cache answered.
class cubic_curve_law : public law {
  public:
    using coefficients = std::array<std::array<double, 4>, 3>;
    explicit cubic_curve_law(coefficients const &c) : c_(c) {}
    static int id() {
        static int const own = new_law_id();
        return own;
    }
    int type() const override { return id(); }
    int isa(int t) const override { return t == id() || law::isa(t); }
    char const *class_name() const override { return "cubic_curve_law"; }
    char const *symbol(law_symbol_type) const override { return "CUBIC"; }
    int same(law const *a, law const *b) const override {
        return a->type() == b->type() && static_cast<cubic_curve_law const *>(a)->c_ ==
                                             static_cast<cubic_curve_law const *>(b)->c_;
    }
    void evaluate(double const *x, double *answer) const override {
        ++evaluations;
        for (int i = 0; i < 3; ++i)
            answer[i] = ((c_[i][3] * x[0] + c_[i][2]) * x[0] + c_[i][1]) * x[0] + c_[i][0];
    }

  protected:
    law *deriv(int which) const override {
        if (which != 0) return new constant_law(0);
        coefficients d{};
        for (int i = 0; i < 3; ++i)
            for (int k = 1; k < 4; ++k) d[i][k - 1] = k * c_[i][k];
        return new cubic_curve_law(d);
    }
    int take_size() const override { return 1; }
    int return_size() const override { return 3; }

  private:
    coefficients c_;
};

// (t, t^2, t^3) + (1, 2, 3): every derivative up to the third is non-zero.
law_ptr twisted_cubic() {
    return make_law<cubic_curve_law>(
        cubic_curve_law::coefficients{{{1, 1, 0, 0}, {2, 0, 1, 0}, {3, 0, 0, 1}}});
}

void expect_vector(ZEM::vector const &got, ZEM::vector const &want, char const *what) {
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], want[k], 1e-12) << what << " [" << k << "]";
}

}  // namespace

class DerivsCache : public LawTest {};

TEST_F(DerivsCache, RecordAnswersOnlyAtItsParameter) {
    law_ptr const curve = twisted_cubic();
    derivs_data r;
    EXPECT_EQ(r.parameter(), 0);
    EXPECT_TRUE(r.third() == ZEM::vector());
    r.set(curve.get(), 2.0, 1.0);
    expect_vector(r.position(), {3, 6, 11}, "position");
    expect_vector(r.first(), {1, 4, 12}, "first");
    expect_vector(r.second(), {0, 2, 12}, "second");
    expect_vector(r.third(), {0, 0, 6}, "third");

    ZEM::vector p, q3;
    EXPECT_EQ(r.get(1.0, p), -1);  // the record lies beyond 1
    EXPECT_EQ(r.get(3.0, p), 0);   // and before 3
    EXPECT_TRUE(p == ZEM::vector());
    EXPECT_EQ(r.get(2.0 + 1e-12, p, NULL_REF, NULL_REF, q3), 1);
    EXPECT_TRUE(p == r.position());
    EXPECT_TRUE(q3 == r.third());

    derivs_data copy(r), assigned;
    assigned = r;
    for (derivs_data const *d : {&copy, &assigned}) {
        EXPECT_EQ(d->parameter(), 2.0);
        EXPECT_TRUE(d->second() == r.second());
    }
}

TEST_F(DerivsCache, RecordEvaluatesOnlyWhatIsAsked) {
    law_ptr const curve = twisted_cubic();
    derivs_data r;
    ZEM::vector q2;
    int const before = evaluations;
    r.eval(curve.get(), 1.0, 2.0, NULL_REF, NULL_REF, q2);
    EXPECT_EQ(evaluations - before, 1);
    expect_vector(q2, ZEM::vector(0, 2, 6) * 4.0, "second scaled");
    EXPECT_EQ(r.parameter(), 1.0);
    EXPECT_TRUE(r.position() == ZEM::vector());  // the record's own vectors were not asked
}

TEST_F(DerivsCache, SetupSortsAndDropsRepeats) {
    law_ptr const curve = twisted_cubic();
    r3_law_cache cache;
    double const params[] = {0.5, 0.0, 0.5, 1.0, 1.0 + 1e-7};
    ZEM::interval const range(0, 1);
    cache.setup(curve.get(), 5, params, range);
    ASSERT_EQ(cache.size(), 3);
    EXPECT_EQ(cache.records()[0].parameter(), 0.0);
    EXPECT_EQ(cache.records()[1].parameter(), 0.5);
    EXPECT_EQ(cache.records()[2].parameter(), 1.0);
    EXPECT_TRUE(cache.param_range() == range);
    EXPECT_EQ(curve->ref_count(), 2);
}

TEST_F(DerivsCache, CachedParametersCostNoEvaluation) {
    law_ptr const curve = twisted_cubic();
    r3_law_cache cache;
    double const params[] = {0.0, 0.25, 0.75};
    cache.setup(curve.get(), 3, params, ZEM::interval(0, 1));

    ZEM::vector p, q1, q2, q3;
    int before = evaluations;
    cache.evaluate(0.25 + 1e-13, p, q1, q2, q3);
    EXPECT_EQ(evaluations, before);
    EXPECT_TRUE(p == cache.records()[1].position());
    EXPECT_TRUE(q3 == cache.records()[1].third());

    before = evaluations;
    cache.evaluate(0.5, p, q1);
    EXPECT_EQ(evaluations - before, 2);
    expect_vector(p, {1.5, 2.25, 3.125}, "fresh position");
    expect_vector(q1, {1, 1, 0.75}, "fresh first");
    EXPECT_EQ(cache.size(), 3);

    before = evaluations;
    cache.evaluate(2.0, p);  // beyond every record
    EXPECT_EQ(evaluations - before, 1);
    expect_vector(p, {3, 6, 11}, "beyond");
}

TEST_F(DerivsCache, DerivativesAreScaledToTheRangeLength) {
    law_ptr const curve = twisted_cubic();
    r3_law_cache cache;
    double const t = 3.0;
    cache.setup(curve.get(), 1, &t, ZEM::interval(2, 5));
    ZEM::vector p, q1, q2, q3;
    cache.evaluate(t, p, q1, q2, q3);
    expect_vector(p, curve->evaluateDR_V(t, 0), "position");
    expect_vector(q1, curve->evaluateDR_V(t, 1) * 3.0, "first");
    expect_vector(q2, curve->evaluateDR_V(t, 2) * 9.0, "second");
    expect_vector(q3, curve->evaluateDR_V(t, 3) * 27.0, "third");
    // Away from the record the same scaling applies.
    cache.evaluate(4.0, p, q1, q2, q3);
    expect_vector(q3, curve->evaluateDR_V(4.0, 3) * 27.0, "fresh third");
}

TEST_F(DerivsCache, LawsThatAreNotCurvesAreRefusedOrRaise) {
    r3_law_cache empty;
    double const params[] = {0.0, 1.0};
    empty.setup(nullptr, 2, params, ZEM::interval(0, 1));
    EXPECT_EQ(empty.size(), 0);
    ZEM::vector p;
    EXPECT_LAW_ERROR(empty.evaluate(0.0, p), LAW_EVAL);

    // Two inputs and one output: not taken.
    law_ptr const surface_like = make_law<plus_law>(X(0).get(), X(1).get());
    r3_law_cache refused;
    refused.setup(surface_like.get(), 2, params, ZEM::interval(0, 1));
    EXPECT_EQ(refused.size(), 0);
    EXPECT_EQ(surface_like->ref_count(), 1);

    // One input, one output: taken, but it is no curve into 3-space.
    law_ptr const scalar = X();
    r3_law_cache wrong;
    EXPECT_LAW_ERROR(wrong.setup(scalar.get(), 2, params, ZEM::interval(0, 1)), LAW_EVALDV);
    EXPECT_EQ(wrong.size(), 0);
    EXPECT_LAW_ERROR(wrong.evaluate(0.5, p), LAW_EVALDV);
}

TEST_F(DerivsCache, AssignmentSharesTheLawAndCopiesRecords) {
    law_ptr const curve = twisted_cubic(), other = twisted_cubic();
    double const params[] = {0.0, 1.0};
    r3_law_cache a, b;
    a.setup(curve.get(), 2, params, ZEM::interval(2, 5));
    b.setup(other.get(), 1, params, ZEM::interval(0, 1));
    b = a;
    EXPECT_EQ(other->ref_count(), 1);
    EXPECT_EQ(curve->ref_count(), 3);
    ASSERT_EQ(b.size(), 2);
    EXPECT_NE(b.records(), a.records());
    EXPECT_TRUE(b.records()[1].third() == a.records()[1].third());
    EXPECT_TRUE(b.param_range() == ZEM::interval(2, 5));
    ZEM::vector q1a, q1b;
    a.evaluate(0.5, NULL_REF, q1a);
    b.evaluate(0.5, NULL_REF, q1b);
    EXPECT_TRUE(q1a == q1b);  // the scale came along
    b = b;
    EXPECT_EQ(b.size(), 2);
}
