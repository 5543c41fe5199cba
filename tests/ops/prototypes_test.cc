#include <memory>

#include <law/core/law_polynomial.h>
#include <law/lang/law_list.h>

#include "ops_test_util.h"

namespace {

class OperatorPrototypes : public LawTest {};

// Runs an operation of a law over missing sub-laws: a lawutil error is a fine answer, a crash
// is not.
template <class F>
void tolerated(F &&operation) {
    try {
        operation();
    } catch (vorn_exception const &) {
    }
}

bool one_or_two_operands(law const *l) {
    int const base = law_facts(l->type()).base;
    return base == law_id::unary_law || base == law_id::binary_law;
}

TEST_F(OperatorPrototypes, EveryOperationOfAPrototypeFailsCleanly) {
    allow_blocks_in_prototype_caches();
    int seen = 0;
    for (law_list const *node = law_list::head(); node; node = node->next()) {
        law const *p = node->prototype();
        if (!p || p->type() >= law_class_count || !one_or_two_operands(p)) continue;
        ++seen;
        SCOPED_TRACE(p->class_name());
        EXPECT_GE(p->take_dim(), 0);
        EXPECT_GE(p->return_dim(), 0);
        EXPECT_NO_THROW(p->text());
        double x[4] = {0.5, 0.5, 0.5, 0.5}, y[4] = {};
        tolerated([&] { p->evaluate(x, y); });
        tolerated([&] { adopt(p->derivative(0)); });
        tolerated([&] {
            int failed = 0;
            p->estimate_bounds(ZEM::interval(0, 1), failed);
        });
        tolerated([&] { std::unique_ptr<law_polynomial>(p->polynomial(nullptr)); });
        tolerated([&] { adopt(p->sub_simplify(1)); });
        tolerated([&] { adopt(p->inverse()); });
        ZEM::interval d;
        tolerated([&] { p->term_domain(0, d); });
        tolerated([&] { p->in_domain(x); });
        EXPECT_GE(p->date(), 20200);
    }
    // 36 scalar functions, negate, 4 vector functions, 6 operators and 8 truth-valued laws.
    EXPECT_EQ(seen, 55);
}

TEST_F(OperatorPrototypes, OddShapesStayInsideTheirBuffers) {
    using build::constant;
    // FRENET of a plane curve: the internal law gives two components, the law three.
    law_ptr const circle = vec({fn<cos_law>(X()), fn<sin_law>(X())});
    ZEM::vector const n = fn<frenet_law>(circle)->evaluateR_V(0.25);
    EXPECT_NEAR(n.x(), -std::cos(0.25), 1e-9);
    EXPECT_NEAR(n.y(), -std::sin(0.25), 1e-9);
    EXPECT_EQ(n.z(), 0);
    // NORM of five components needs more than the stack buffers.
    law_ptr const five = vec({X(), X(), X(), X(), X()});
    law_ptr const unit = fn<norm_law>(five);
    ASSERT_EQ(unit->return_dim(), 5);
    double const at = 2;
    double out[5];
    unit->evaluate(&at, out);
    for (double v : out) EXPECT_NEAR(v, 1 / std::sqrt(5.0), 1e-12);
    // A sum of five and three components, and a scalar times five components.
    law_ptr const sum = build::plus(five, vec({constant(1), constant(2), constant(3)}));
    sum->evaluate(&at, out);
    EXPECT_EQ(out[2], 5);
    EXPECT_EQ(out[4], 2);
    build::times(constant(3), five)->evaluate(&at, out);
    EXPECT_EQ(out[4], 6);
    // The outer law reads four inputs of an inner law that gives one.
    law_ptr const outer = build::plus(X(0), X(3));
    EXPECT_DOUBLE_EQ(build::compose(outer, fn<exp_law>(X()))->eval(0), 1);
}

}  // namespace
