// The family bases own, print, compare and copy their sub-laws; tested with small classes of
// their own so that these rules do not depend on any operator.
#include <string>
#include <vector>

#include "law_test.h"

namespace {

// A binary law with a chosen symbol, precedence and algebra, summing its sides.
class test_binary_law : public binary_law {
  public:
    test_binary_law(law *l, law *r, int prec = 5, int algebra = 1)
        : binary_law(l, r), prec_(prec), algebra_(algebra) {}
    char const *class_name() const override { return "test_binary_law"; }
    int type() const override { return 200 + prec_; }
    char const *symbol(law_symbol_type) const override { return "#"; }
    int precedence() const override { return prec_; }
    int associative() const override { return algebra_; }
    int commutative() const override { return algebra_; }
    law *make_one(law *l, law *r) const override {
        return new test_binary_law(l, r, prec_, algebra_);
    }
    void evaluate(double const *x, double *y) const override {
        y[0] = first_value(fleft(), x) + first_value(fright(), x);
    }

  private:
    int prec_, algebra_;
};

class test_unary_law : public unary_law {
  public:
    explicit test_unary_law(law *s) : unary_law(s) {}
    char const *class_name() const override { return "test_unary_law"; }
    int type() const override { return 300; }
    char const *symbol(law_symbol_type) const override { return "-"; }
    law *make_one(law *s) const override { return new test_unary_law(s); }
    void evaluate(double const *x, double *y) const override { y[0] = -sub_value(x); }
};

class test_multiple_law : public multiple_law {
  public:
    test_multiple_law(law **s, int n, int comm = 0) : multiple_law(s, n), comm_(comm) {}
    char const *class_name() const override { return "test_multiple_law"; }
    int type() const override { return 301; }
    char const *symbol(law_symbol_type) const override { return "F"; }
    int commutative() const override { return comm_; }
    law *make_one(law **s, int n) const override { return new test_multiple_law(s, n, comm_); }

  private:
    int comm_;
};

law_ptr bin(law_ptr const &a, law_ptr const &b, int prec = 5, int algebra = 1) {
    return adopt<law>(new test_binary_law(a.get(), b.get(), prec, algebra));
}
law_ptr neg(law_ptr const &a) { return adopt<law>(new test_unary_law(a.get())); }
law_ptr multi(std::vector<law_ptr> const &subs, int comm = 0) {
    std::vector<law *> raw;
    for (auto const &s : subs) raw.push_back(s.get());
    return adopt<law>(new test_multiple_law(raw.data(), static_cast<int>(raw.size()), comm));
}

class Families : public LawTest {};

TEST_F(Families, BinaryPrinterParenthesisesByPrecedence) {
    law_ptr const x = X(), y = X(1, 'Y'), z = X(2, 'Z');
    // An associative chain of one class takes no parentheses.
    EXPECT_EQ(bin(bin(x, y), z)->text(), "X#Y#Z");
    // A non-associative one does, on either side.
    EXPECT_EQ(bin(bin(x, y, 5, 0), z, 5, 0)->text(), "(X#Y)#Z");
    EXPECT_EQ(bin(x, bin(y, z, 5, 0), 5, 0)->text(), "X#(Y#Z)");
    // A tighter-binding side takes none, a looser one does.
    EXPECT_EQ(bin(bin(x, y, 6), z, 5)->text(), "X#Y#Z");
    EXPECT_EQ(bin(bin(x, y, 5), z, 6)->text(), "(X#Y)#Z");
    // Leaves (precedence 8) never take parentheses below 8; at 8 everything does.
    EXPECT_EQ(bin(x, C(-1), 7)->text(), "X#-1");
    EXPECT_EQ(bin(x, y, 8)->text(), "(X)#(Y)");
}

// Chains far deeper than the call stack could follow print, with the brackets each level needs,
// and are destroyed.
TEST_F(Families, DeepChainsPrintOnEitherSide) {
    constexpr int n = 100000;
    law_ptr const x = X();
    law_ptr left = x, right = x;
    for (int i = 1; i < n; ++i) {
        left = bin(left, x);          // X#X#...#X, associative
        right = bin(x, right, 5, 0);  // X#(X#(...)), not associative
    }
    std::string expected_left = "X";
    for (int i = 1; i < n; ++i) expected_left += "#X";
    std::string opening, closing;
    for (int i = 2; i < n; ++i) {
        opening += "X#(";
        closing += ')';
    }
    EXPECT_EQ(left->text(), expected_left);
    EXPECT_EQ(right->text(), opening + "X#X" + closing);
}

TEST_F(Families, UnaryMinusPrintsBareExceptOverBinaryLaws) {
    EXPECT_EQ(neg(X())->text(), "-X");
    EXPECT_EQ(neg(neg(X()))->text(), "--X");
    EXPECT_EQ(neg(bin(X(), C(1)))->text(), "-(X#1)");
    EXPECT_EQ(multi({X(), X(1, 'Y'), C(1)})->text(), "F(X,Y,1)");
    EXPECT_EQ(multi({})->text(), "F()");
}

TEST_F(Families, CommutativeChainsCompareInAnyOrder) {
    law_ptr const x = X(), y = X(1, 'Y'), z = X(2, 'Z');
    EXPECT_TRUE(*bin(x, y) == *bin(y, x));
    EXPECT_TRUE(*bin(bin(x, y), z) == *bin(z, bin(y, x)));
    EXPECT_FALSE(*bin(bin(x, y), z) == *bin(bin(x, y), y));
    EXPECT_FALSE(*bin(x, y, 5, 0) == *bin(y, x, 5, 0));
    EXPECT_TRUE(*multi({x, y}, 1) == *multi({y, x}, 1));
    EXPECT_FALSE(*multi({x, y}, 0) == *multi({y, x}, 0));
    EXPECT_FALSE(*multi({x, y}) == *multi({x}));
}

TEST_F(Families, DimensionsComeFromTheSubLaws) {
    law_ptr const sum = bin(X(2, 'Z'), C(1));
    EXPECT_EQ(sum->take_dim(), 3);
    EXPECT_EQ(sum->return_dim(), 1);
    law_ptr const empty = multi({});
    EXPECT_EQ(empty->take_dim(), 0);
    EXPECT_EQ(empty->return_dim(), 0);
    EXPECT_EQ(neg(X(1))->take_dim(), 2);
}

// Hooks that record their calls and delegate to the library's own map.
struct recording_map {
    static inline int made = 0, destroyed = 0, law_requests = 0;
    static pointer_map *make() {
        ++made;
        install_default_pointer_map();
        pointer_map *m = make_pointer_map();
        install();
        return m;
    }
    static void destroy(pointer_map *m) {
        ++destroyed;
        install_default_pointer_map();
        destroy_pointer_map(m);
        install();
    }
    static law *get(pointer_map *m, law const *l) {
        ++law_requests;
        install_default_pointer_map();
        law *copy = pm_get_law(m, l);
        install();
        return copy;
    }
    static void install() {
        set_make_pointer_map_func(make);
        set_destroy_pointer_map_func(destroy);
        set_pm_get_law_func(get);
    }
};

TEST_F(Families, DeepCopyKeepsSharedSubLawsShared) {
    law_ptr const shared = neg(X());
    law_ptr const sum = bin(shared, shared);
    recording_map::made = recording_map::destroyed = recording_map::law_requests = 0;
    recording_map::install();
    law_ptr const copy = adopt(sum->deep_copy(nullptr));
    install_default_pointer_map();
    EXPECT_EQ(recording_map::made, 1);
    EXPECT_EQ(recording_map::destroyed, 1);
    EXPECT_EQ(recording_map::law_requests, 2);
    auto const *c = law_cast<binary_law>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c->fleft(), shared.get());
    EXPECT_EQ(c->fleft(), c->fright());
    EXPECT_TRUE(*copy == *sum);

    // A map that is passed in is left to its owner.
    pointer_map *map = make_pointer_map();
    law_ptr const again = adopt(sum->deep_copy(map));
    destroy_pointer_map(map);
    EXPECT_EQ(again->text(), "-X#-X");
}

TEST_F(Families, DomainsMeetAcrossSides) {
    struct bounded_law : identity_law {
        double lo, hi;
        bounded_law(double a, double b) : lo(a), hi(b) {}
        int term_domain(int, ZEM::interval &out) const override {
            out = ZEM::interval(lo, hi);
            return 1;
        }
        int in_domain(double const *x) const override { return x[0] >= lo && x[0] <= hi; }
    };
    law_ptr const a = adopt<law>(new bounded_law(0, 2)), b = adopt<law>(new bounded_law(1, 3));
    law_ptr const both = bin(a, b);
    ZEM::interval d;
    EXPECT_TRUE(both->term_domain(0, d));
    EXPECT_EQ(d, ZEM::interval(1, 2));
    double const inside = 1.5, outside = 2.5;
    EXPECT_TRUE(both->in_domain(&inside));
    EXPECT_FALSE(both->in_domain(&outside));
    law_ptr const m = multi({a, b});
    EXPECT_TRUE(m->term_domain(0, d));
    EXPECT_EQ(d, ZEM::interval(1, 2));
}

TEST_F(Families, SetDomainWrapsTheRebuiltLaw) {
    law_ptr const sum = bin(X(), C(1));
    ZEM::interval const box[1] = {ZEM::interval(0, 1)};
    law_ptr const unwrapped = adopt(sum->set_domain(box, 1));
    EXPECT_EQ(unwrapped->text(), "X#1");
    law_ptr const wrapped = adopt(sum->set_domain(box, 0));
    EXPECT_EQ(wrapped->text(), "DOMAIN(X#1,0,1)");
    ZEM::interval d;
    wrapped->term_domain(0, d);
    EXPECT_EQ(d, ZEM::interval(0, 1));
    double const x = 0.5;
    EXPECT_EQ(wrapped->evaluateM_R(&x), 1.5);
}

TEST_F(Families, AccountingAndSearchWalkTheTree) {
    law_ptr const x = X();
    law_ptr const tree = bin(neg(x), multi({x, C(2)}));
    VOID_LIST found;
    tree->hasa(identity_law::id(), found);
    EXPECT_EQ(found.count(), 1);  // the one shared identity, listed once
    VOID_LIST all;
    tree->hasa(law::id(), all);
    EXPECT_EQ(all.count(), 5);
    SizeAccumulator small, big;
    neg(x)->full_size(small, 1);
    tree->full_size(big, 1);
    EXPECT_GT(big.getSize(), small.getSize());
}

TEST_F(Families, SearchEntersASharedSubLawOnce) {
    // Each level squares the one below: 2^80 paths down, 81 laws, found in the order a walk of
    // every path finds them (each level's members before it, the deepest first).
    law_ptr square = X();
    std::vector<law const *> expected{square.get()};
    for (int i = 0; i < 80; ++i) {
        square = bin(square, square);
        expected.push_back(square.get());
    }
    VOID_LIST all;
    square->hasa(law::id(), all);
    ASSERT_EQ(all.count(), 81);
    for (int i = 0; i < 81; ++i) EXPECT_EQ(all[i], expected[static_cast<std::size_t>(i)]);
}

TEST_F(Families, StringAndDataCollectsWrappedLawData) {
    law_data_ptr const d = adopt<law_data>(new law_law_data(X().get()));
    EXPECT_STREQ(d->symbol(law_symbol_default), "LAW");
    law_data **data = nullptr;
    int count = -1;
    law_ptr const sum = bin(X(), C(1));
    vorn_ptr<char> const text(sum->string_and_data(&data, &count));
    EXPECT_STREQ(text.get(), "X#1");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(data, nullptr);
}

}  // namespace
