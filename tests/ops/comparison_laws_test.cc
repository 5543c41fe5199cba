#include <limits>

#include "ops_test_util.h"

namespace {

class ComparisonLaws : public LawTest {};

using build::constant;

template <class T>
law_ptr op(law_ptr const &a, law_ptr const &b) {
    return make_law<T>(a.get(), b.get());
}

using maker = law_ptr (*)(law_ptr const &, law_ptr const &);

TEST_F(ComparisonLaws, ExactComparisonsWithNaN) {
    double const nan = std::numeric_limits<double>::quiet_NaN();
    struct {
        maker make;
        char const *name;
        double less, equal, greater, with_nan;
    } const cases[] = {
        {op<less_than_law>, "<", 1, 0, 0, 0},    {op<less_than_or_equal_law>, "<=", 1, 1, 0, 0},
        {op<greater_than_law>, ">", 0, 0, 1, 0}, {op<greater_than_or_equal_law>, ">=", 0, 1, 1, 0},
        {op<equal_law>, "=", 0, 1, 0, 0},        {op<not_equal_law>, "!=", 1, 0, 1, 1},
    };
    for (auto const &c : cases) {
        law_ptr const l = c.make(X(), constant(1));
        EXPECT_EQ(l->eval(0.5), c.less) << c.name;
        EXPECT_EQ(l->eval(1), c.equal) << c.name;
        EXPECT_EQ(l->eval(1.5), c.greater) << c.name;
        EXPECT_EQ(l->eval(nan), c.with_nan) << c.name;
        EXPECT_EQ(c.make(constant(nan), X())->eval(nan), c.with_nan) << c.name;
        EXPECT_EQ(l->precedence(), 4);
        EXPECT_EQ(l->date(), 30100);
        EXPECT_EQ(text(l), std::string("X") + c.name + "1");
    }
    // No tolerance: 0.1 + 0.2 is not 0.3.
    EXPECT_EQ(op<equal_law>(X(), build::plus(constant(0.1), constant(0.2)))->eval(0.3), 0);
}

TEST_F(ComparisonLaws, AndOrShortCircuit) {
    law_ptr const log_x = fn<natural_log_law>(X());
    EXPECT_EQ(op<and_law>(constant(0), log_x)->eval(-1), 0);
    EXPECT_EQ(op<or_law>(constant(1), log_x)->eval(-1), 1);
    EXPECT_LAW_ERROR(op<and_law>(constant(1), log_x)->eval(-1), LAW_LN);
    EXPECT_LAW_ERROR(op<or_law>(constant(0), log_x)->eval(-1), LAW_LN);
    EXPECT_EQ(op<and_law>(constant(2), constant(3))->eval(0), 1);
    EXPECT_EQ(op<and_law>(constant(2), constant(0))->eval(0), 0);
    EXPECT_EQ(op<or_law>(constant(0), constant(0))->eval(0), 0);
    EXPECT_EQ(op<or_law>(constant(-1), constant(0))->eval(0), 1);
    EXPECT_EQ(op<or_law>(constant(0), constant(-0.5))->eval(0), 1);
    law_ptr const x = X();
    EXPECT_EQ(op<or_law>(x, x)->eval(0), 0);
    EXPECT_EQ(op<or_law>(x, x)->eval(3), 1);
}

TEST_F(ComparisonLaws, PrintingAndIdentity) {
    law_ptr const range =
        op<and_law>(op<less_than_law>(X(), constant(1)), op<greater_than_law>(X(), constant(0)));
    EXPECT_EQ(text(range), "X<1ANDX>0");
    EXPECT_EQ(range->eval(0.5), 1);
    EXPECT_EQ(range->eval(1), 0);
    law_ptr const either = op<or_law>(range, op<equal_law>(X(), constant(5)));
    EXPECT_EQ(text(either), "X<1ANDX>0ORX=5");
    EXPECT_EQ(text(op<and_law>(either, X())), "(X<1ANDX>0ORX=5)ANDX");
    EXPECT_EQ(text(fn<not_law>(op<less_than_law>(X(), constant(1)))), "NOT(X<1)");
    EXPECT_EQ(text(op<less_than_law>(build::plus(X(), constant(1)), constant(2))), "X+1<2");
    law_ptr const ne = op<not_equal_law>(X(), constant(1));
    EXPECT_STREQ(ne->symbol(law_symbol_default), "!=");
    EXPECT_STREQ(ne->symbol(law_symbol_other), "<>");
    EXPECT_STREQ(either->symbol(law_symbol_other), "or");
    EXPECT_STREQ(ne->class_name(), "not_equal_law");
    EXPECT_TRUE(ne->isa(law_id::binary_law));
    EXPECT_FALSE(ne->isa(equal_law::id()));
    EXPECT_EQ(range->precedence(), 2);
    EXPECT_EQ(either->precedence(), 1);
    law_ptr const rebuilt =
        adopt(static_cast<binary_law const *>(ne.get())->make_one(X().get(), constant(1).get()));
    EXPECT_TRUE(*rebuilt == *ne);
    // The comparisons take the family's derivative: none.
    EXPECT_LAW_ERROR(ne->derivative(0)->remove(), LAW_DERIV);
    // A vector side compares its first component.
    law_ptr const v = vec({X(), constant(9)});
    EXPECT_EQ(op<less_than_law>(v, constant(1))->eval(0.5), 1);
}

}  // namespace
