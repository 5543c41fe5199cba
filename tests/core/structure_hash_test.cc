// Equality with the structure hash in front of it: laws that operator== finds equal are never
// told apart by their hashes, whatever the grouping of their chains or the roundings of their
// constants; laws the hash tells apart are unequal.
#include <cmath>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <law/lang/str_to_law.h>
#include <law/ops/law_builders.h>

#include "law_test.h"

namespace {

class StructureHash : public LawTest {};

law_ptr parse(std::string const &text) {
    law_ptr l = adopt(str_to_law(text.c_str()));
    EXPECT_TRUE(l) << "cannot read " << text;
    return l;
}

// Equality the long way: the family rules written out again, without any hash.
bool equal_by_walk(law const *a, law const *b) {
    if (a == b) return true;
    if (!a || !b || a->type() != b->type()) return false;
    if (auto const *x = law_cast<binary_law>(a)) {
        auto const *y = static_cast<binary_law const *>(b);
        if (equal_by_walk(x->fleft(), y->fleft()) && equal_by_walk(x->fright(), y->fright()))
            return true;
        if (!(x->commutative() && x->associative())) return false;
        std::vector<law *> xs = binary_law::chain_operands(x), ys = binary_law::chain_operands(y);
        if (xs.size() != ys.size()) return false;
        std::vector<bool> used(ys.size());
        for (law *o : xs) {
            bool found = false;
            for (std::size_t j = 0; j < ys.size() && !found; ++j)
                if (!used[j] && equal_by_walk(o, ys[j])) used[j] = found = true;
            if (!found) return false;
        }
        return true;
    }
    if (auto const *u = law_cast<unary_law>(a))
        return equal_by_walk(u->fsub(), static_cast<unary_law const *>(b)->fsub());
    return a->same(a, b);
}

TEST_F(StructureHash, ChainsInAnyGroupingAndOrderHashAlike) {
    std::vector<std::pair<char const *, char const *>> const equal = {
        {"X+(Y+Z)", "(Z+X)+Y"},
        {"X*Y*Z*2", "2*(Z*(Y*X))"},
        {"SIN(X+Y)*COS(Y)", "COS(Y)*SIN(Y+X)"},
        {"MAX(X,Y,1)", "MAX(1,Y,X)"},
        {"DOT(X,VEC(1,Y))", "DOT(VEC(1,Y),X)"},
        {"X1+X", "X+X"},
    };
    for (auto const &[a, b] : equal) {
        law_ptr const x = parse(a), y = parse(b);
        EXPECT_TRUE(*x == *y) << a << " against " << b;
        EXPECT_TRUE(x->may_equal(*y)) << a << " against " << b;
    }
    for (auto const &[a, b] :
         std::vector<std::pair<char const *, char const *>>{{"X-Y", "Y-X"},
                                                            {"X/Y", "Y/X"},
                                                            {"SIN(X)", "COS(X)"},
                                                            {"X+Y", "X+Z"},
                                                            {"X^2", "X^3"}}) {
        EXPECT_FALSE(*parse(a) == *parse(b)) << a << " against " << b;
    }
}

// Constants are the same within 1e-14: pairs that close, at random and around the values that
// rounding makes of sums, compare equal inside larger laws, as the walk finds them.
TEST_F(StructureHash, ConstantsWithinTheToleranceAreNeverToldApart) {
    std::mt19937_64 rng(29);
    std::uniform_real_distribution<double> value(-2000, 2000), offset(-9e-15, 9e-15);
    int pairs = 0;
    for (int k = 0; k < 20000; ++k) {
        double const a = k % 4 == 0 ? std::ldexp(std::round(value(rng)), -3) : value(rng);
        double const b = a + offset(rng);
        law_ptr const x = build::times(build::constant(a), X());
        law_ptr const y = make_law<sin_law>(build::times(X(), build::constant(b)).get());
        law_ptr const x2 = make_law<sin_law>(x.get());
        bool const walk = equal_by_walk(x2.get(), y.get());
        ASSERT_EQ(*x2 == *y, walk) << a << " and " << b;
        pairs += walk ? 1 : 0;
    }
    EXPECT_GT(pairs, 19000);
    law_ptr const sum = parse("SIN(0.30000000000000004*X)"), typed = parse("SIN(0.3*X)");
    EXPECT_TRUE(*sum == *typed);
    EXPECT_FALSE(*parse("SIN(0.3001*X)") == *typed);
}

// A class of a program's own compares its laws its own way; the hash does not overrule it.
class loose_law : public binary_law {
  public:
    static int id() {
        static int const assigned = new_law_id();
        return assigned;
    }
    int type() const override { return id(); }
    int isa(int t) const override { return t == id() || binary_law::isa(t); }
    char const *class_name() const override { return "loose_law"; }
    char const *symbol(law_symbol_type) const override { return "~"; }
    loose_law(law *a, law *b) : binary_law(a, b) {}
    law *make_one(law *a, law *b) const override { return new loose_law(a, b); }
    void evaluate(double const *x, double *y) const override { y[0] = first_value(fleft(), x); }
    // Only the left sides matter.
    int same(law const *a, law const *b) const override {
        return same_law(static_cast<binary_law const *>(a)->fleft(),
                        static_cast<binary_law const *>(b)->fleft());
    }
};

TEST_F(StructureHash, AProgramsOwnClassComparesItsOwnWay) {
    law_ptr const a = make_law<loose_law>(X().get(), C(1).get());
    law_ptr const b = make_law<loose_law>(X().get(), C(2).get());
    EXPECT_TRUE(*a == *b);
    law_ptr const sa = make_law<sin_law>(a.get()), sb = make_law<sin_law>(b.get());
    EXPECT_TRUE(*sa == *sb);
}

// Hashes worked out from several threads at once agree with one worked out alone.
TEST_F(StructureHash, ThreadsAgreeOnTheHash) {
    std::string text = "X";
    for (int i = 1; i < 300; ++i) text = "SIN(" + text + ")+" + std::to_string(i) + "*X";
    law_ptr const shared = parse(text);
    std::vector<std::uint64_t> seen(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            law_ptr const mine = parse(text);
            seen[t] = shared->structure_hash() == mine->structure_hash() ? 1 : 0;
        });
    for (auto &th : threads) th.join();
    for (auto s : seen) EXPECT_EQ(s, 1u);
}

}  // namespace
