#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "law_test.h"

namespace {

class ListUtils : public LawTest {};

law_ptr parse(char const *text) { return adopt(str_to_law(text)); }

binary_law const *prototype_named(char const *name) {
    for (law_list const *n = law_list::head(); n; n = n->next()) {
        law const *p = n->prototype();
        if (p && p->isa(binary_law::id()) && std::string(p->symbol(law_symbol_default)) == name)
            return static_cast<binary_law const *>(p);
    }
    return nullptr;
}

TEST_F(ListUtils, LawDataPrototypesAreFoundByExactName) {
    law_data const *line = get_law_data("LINE");
    ASSERT_TRUE(line);
    EXPECT_STREQ(line->symbol(law_symbol_default), "LINE");
    EXPECT_EQ(get_law_data("LIN"), nullptr);
    EXPECT_EQ(get_law_data("LINE1"), nullptr);
    EXPECT_EQ(get_law_data("line"), nullptr);
    EXPECT_EQ(get_law_data(nullptr), nullptr);
}

std::vector<std::string> asso_texts(law_ptr const &l) {
    int n = -1;
    law **list = get_asso_list(static_cast<binary_law const *>(l.get()), &n);
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) out.push_back(list[i]->text());
    vorn_discard(list);
    if (n == 0) {
        EXPECT_EQ(list, nullptr);
    }
    return out;
}

TEST_F(ListUtils, AssociativeChainsFlattenLeftToRight) {
    using texts = std::vector<std::string>;
    EXPECT_EQ(asso_texts(parse("(X+Y)+(Z+1)")), (texts{"X", "Y", "Z", "1"}));
    EXPECT_EQ(asso_texts(parse("X*(Y*Z)*2")), (texts{"X", "Y", "Z", "2"}));
    EXPECT_EQ(asso_texts(parse("(X+Y)*Z")), (texts{"X+Y", "Z"})) << "only the law's own class";
    EXPECT_EQ(asso_texts(parse("X-Y-Z")), texts{}) << "minus is not associative";
    law_ptr const sum = parse("X+Y");
    law *left = static_cast<binary_law const *>(sum.get())->fleft();
    int const before = left->ref_count();
    int n = 0;
    law **list = get_asso_list(static_cast<binary_law const *>(sum.get()), &n);
    EXPECT_EQ(left->ref_count(), before) << "the leaves get no reference";
    vorn_discard(list);
}

TEST_F(ListUtils, ListLawsNestToTheLeft) {
    binary_law const *plus = prototype_named("+");
    binary_law const *minus = prototype_named("-");
    ASSERT_TRUE(plus && minus);
    law_ptr const x = parse("X"), y = parse("Y"), z = parse("Z");
    law *list[3] = {x.get(), y.get(), z.get()};
    law_ptr const sum = adopt(make_list_law(list, 3, plus));
    EXPECT_EQ(sum->text(), "X+Y+Z");
    EXPECT_EQ(static_cast<binary_law const *>(sum.get())->fright(), z.get());
    law_ptr const difference = adopt(make_list_law(list, 3, minus));
    EXPECT_EQ(difference->text(), "(X-Y)-Z");
    law_ptr const one = adopt(make_list_law(list, 1, plus));
    EXPECT_EQ(one.get(), x.get());
    EXPECT_EQ(make_list_law(list, 0, plus), nullptr);
    EXPECT_EQ(x->ref_count(), 4) << "held here, by the sum, the difference and the one-law list";
}

struct singularity_case {
    std::vector<double> values;
    double lo, hi;
    std::vector<double> kept;  // in order; each keeps the order it came with
};

TEST_F(ListUtils, SingularitiesAreSortedClippedAndThinned) {
    double const tol = get_resabs();
    double const nan = std::numeric_limits<double>::quiet_NaN();
    singularity_case const cases[] = {
        {{3, 1, 2}, 0, 5, {1, 2, 3}},
        {{-1, 0.5, 7}, 0, 5, {0.5}},
        {{-0.5 * tol, -2 * tol, 5 + 0.5 * tol, 5 + 2 * tol}, 0, 5, {-0.5 * tol, 5 + 0.5 * tol}},
        // A point is compared with its sorted predecessor even when that one was dropped.
        {{1 + 1.2 * tol, 1, 1 + 0.5 * tol}, 0, 5, {1}},
        {{1, 1 + 1.5 * tol}, 0, 5, {1, 1 + 1.5 * tol}},
        {{nan, 2, nan}, 0, 5, {2}},
        {{8, 9}, 0, 5, {}},
    };
    for (auto const &c : cases) {
        long const blocks = vorn_live_blocks();
        int const n = static_cast<int>(c.values.size());
        double *values = VORN_ARRAY(double, n);
        int *orders = VORN_ARRAY(int, n);
        for (int i = 0; i < n; ++i) {
            values[i] = c.values[i];
            orders[i] = 100 + i;
        }
        double *const given = values;
        int const m = sort_singularities(&values, &orders, n, c.lo, c.hi);
        ASSERT_EQ(m, static_cast<int>(c.kept.size())) << c.values[0];
        EXPECT_EQ(values == given, m == n) << "arrays are replaced exactly when points go";
        for (int k = 0; k < m; ++k) {
            EXPECT_EQ(values[k], c.kept[k]);
            int const from = static_cast<int>(
                std::find(c.values.begin(), c.values.end(), c.kept[k]) - c.values.begin());
            EXPECT_EQ(orders[k], 100 + from) << "the order travels with its value";
        }
        if (m == 0) {
            EXPECT_TRUE(values == nullptr && orders == nullptr);
        }
        vorn_discard(values);
        vorn_discard(orders);
        EXPECT_EQ(vorn_live_blocks(), blocks);
    }
    double *none = nullptr;
    int *no_orders = nullptr;
    EXPECT_EQ(sort_singularities(&none, &no_orders, 0, 0, 1), 0);
}

}  // namespace
