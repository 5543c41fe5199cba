// Misuse of the counting protocol is reported, never fatal: null objects are accepted, and a
// count that leaves its range while a tree is destroyed is a warning, not an exception out of a
// destructor.
#include "law_test.h"

namespace {

// Users hold laws through pointers that may be null and call the protocol through them; the
// sanitizer's member-call check would flag the call itself, which is the point of the test.
template <class T>
__attribute__((no_sanitize("undefined"))) void add_then_remove(T const *p) {
    asm("" : "+r"(p));  // as a caller's pointer, whose value the compiler does not know
    p->add();
    p->remove();
}

// A law whose destructor releases its sub-law once more than it holds.
class over_releasing_law : public unary_law {
  public:
    explicit over_releasing_law(law *s) : unary_law(s) {}
    ~over_releasing_law() override { fsub()->remove(); }
    char const *class_name() const override { return "over_releasing_law"; }
    int type() const override { return 302; }
    char const *symbol(law_symbol_type) const override { return "OVER"; }
    law *make_one(law *s) const override { return new over_releasing_law(s); }
    void evaluate(double const *x, double *y) const override { y[0] = sub_value(x); }
};

class UseCountTest : public LawTest {};

TEST_F(UseCountTest, NullLawsAndLawDataAreAccepted) {
    add_then_remove(static_cast<law const *>(nullptr));
    add_then_remove(static_cast<law_data const *>(nullptr));
    law_ptr const x = X();
    add_then_remove(x.get());
    EXPECT_EQ(x->ref_count(), 1);
}

TEST_F(UseCountTest, OverReleaseDuringDestructionWarnsAndFinishes) {
    sys_clear_warnings();
    law *sub = X().release();
    law *tree = new over_releasing_law(sub);
    sub->remove();  // the tree holds the only reference now
    EXPECT_NO_THROW(tree->remove());
    // Once for the release below zero, once for the sub-law destroyed with its count at -1.
    EXPECT_EQ(sys_warning_count(), 2);
    EXPECT_EQ(sys_last_warning(), lawutil_code(BAD_LAW_USE_COUNT));
    sys_clear_warnings();
}

TEST_F(UseCountTest, WrappedLawOverReleasedByItsDataWarns) {
    sys_clear_warnings();
    law *sub = X().release();
    law *tree = new over_releasing_law(sub);
    sub->remove();
    // The last reference goes with a law data, outside any law's destruction.
    law_data *wrap = new law_law_data(tree);
    tree->remove();
    EXPECT_NO_THROW(wrap->remove());
    EXPECT_EQ(sys_last_warning(), lawutil_code(BAD_LAW_USE_COUNT));
    sys_clear_warnings();
}

}  // namespace
