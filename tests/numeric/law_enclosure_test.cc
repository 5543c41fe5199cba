// Ranges of a law over a box by interval arithmetic: every value the law takes in the box lies in
// them (checked at random points of random boxes for random laws), and they are tight where the
// answer is known.
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include <law/numeric/law_enclosure.h>

#include "law_generator.h"
#include "numeric_test_util.h"

namespace {

class Enclosure : public LawTest {};

// Random law texts over the classes with interval rules.
class text_generator {
  public:
    explicit text_generator(unsigned seed) : rng_(seed) {}

    std::string make(int depth) {
        if (depth == 0 || pick(4) == 0) return leaf();
        static char const *const unary[] = {"SIN",  "COS",   "TAN",    "EXP",    "LN",
                                            "SQRT", "ABS",   "COSH",   "SINH",   "TANH",
                                            "-",    "FLOOR", "ARCSIN", "ARCCOS", "CEIL"};
        static char const *const binary[] = {"+", "-", "*", "/"};
        switch (pick(5)) {
            case 0:
            case 1:
                return std::string(unary[pick(15)]) + "(" + make(depth - 1) + ")";
            case 2:
                return "(" + make(depth - 1) + ")" + binary[pick(4)] + "(" + make(depth - 1) + ")";
            case 3: {
                char const *const powers[] = {"2", "3", "-1", "-2", "0.5", "1.7", "X", "4"};
                return "(" + make(depth - 1) + ")^" + powers[pick(8)];
            }
            default:
                return std::string(pick(2) ? "MAX(" : "MIN(") + make(depth - 1) + "," +
                       make(depth - 1) + ")";
        }
    }

  private:
    std::size_t pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
    }
    std::string leaf() {
        char const *const leaves[] = {"X", "Y", "X", "Y", "0.5", "2", "3.25", "PI"};
        return leaves[pick(8)];
    }
    std::mt19937 rng_;
};

// Every value of l at random points of the box lies in its enclosure; returns false when the
// enclosure was estimated from samples (no promise then).
bool holds_every_value(law const *l, std::vector<value_range> const &box, std::mt19937 &rng,
                       std::string const &what) {
    law_enclosure enclose;
    std::vector<value_range> const r = enclose(l, box);
    if (enclose.estimated()) return false;
    EXPECT_EQ(static_cast<int>(r.size()), l->return_dim()) << what;
    std::vector<double> x(2), y(static_cast<std::size_t>(l->return_dim()));
    for (int k = 0; k < 200; ++k) {
        for (std::size_t i = 0; i < 2; ++i)
            x[i] = std::uniform_real_distribution<double>(box[i].lo, box[i].hi)(rng);
        if (k < 4) x = {k % 2 ? box[0].hi : box[0].lo, k / 2 ? box[1].hi : box[1].lo};
        try {
            l->evaluate(x.data(), y.data());
        } catch (vorn_exception const &) {
            continue;  // outside the law's domain: no value to hold
        }
        for (std::size_t j = 0; j < y.size(); ++j) {
            if (std::isnan(y[j])) continue;
            EXPECT_TRUE(r[j].lo <= y[j] && y[j] <= r[j].hi)
                << what << " at (" << x[0] << ", " << x[1] << "): " << y[j] << " outside ["
                << r[j].lo << ", " << r[j].hi << "]";
        }
    }
    return true;
}

std::vector<value_range> random_box(std::mt19937 &rng) {
    std::vector<value_range> box;
    for (int i = 0; i < 2; ++i) {
        double const a = std::uniform_real_distribution<double>(-4, 4)(rng);
        double const w = std::pow(10.0, std::uniform_real_distribution<double>(-6, 0.5)(rng));
        box.push_back({a, a + w});
    }
    return box;
}

TEST_F(Enclosure, HoldsEveryValueOfRandomLaws) {
    std::mt19937 rng(7);
    text_generator texts(11);
    int checked = 0;
    for (int n = 0; n < 3000; ++n) {
        std::string const text = texts.make(4);
        law_ptr const l = adopt(str_to_law(text.c_str()));
        ASSERT_TRUE(l) << text;
        if (holds_every_value(l.get(), random_box(rng), rng, text)) ++checked;
    }
    EXPECT_GT(checked, 2900);  // the classes these texts use all have rules
}

TEST_F(Enclosure, HoldsEveryValueOfLawsOfAnyClass) {
    std::mt19937 rng(3);
    generated::law_generator gen(5);
    int checked = 0;
    for (int n = 0; n < 4000; ++n) {
        law_ptr const l = gen.make(3);
        if (l->take_dim() > 2 || l->return_dim() < 1) continue;
        if (holds_every_value(l.get(), random_box(rng), rng, l->text())) ++checked;
    }
    EXPECT_GT(checked, 300);
}

TEST_F(Enclosure, TightWhereTheRangeIsKnown) {
    struct {
        char const *text;
        value_range x, y, want;
    } const cases[] = {
        {"X^2+Y^2", {-1, 2}, {1, 3}, {1, 13}},
        {"SIN(X)", {0.5, 2}, {0, 0}, {std::sin(0.5), 1}},
        {"COS(X)", {-4, -2}, {0, 0}, {-1, std::cos(-2)}},
        {"EXP(X)*Y", {0, 1}, {-1, 2}, {-M_E, 2 * M_E}},
        {"SQRT(X)", {-1, 4}, {0, 0}, {0, 2}},
        {"ABS(X-Y)", {0, 1}, {0, 1}, {0, 1}},
        {"MAX(X,Y)", {0, 1}, {2, 3}, {2, 3}},
    };
    for (auto const &c : cases) {
        law_ptr const l = parse_law(c.text);
        law_enclosure enclose;
        std::vector<value_range> const box{c.x, c.y};
        value_range const r = enclose(l.get(), box)[0];
        EXPECT_FALSE(enclose.estimated()) << c.text;
        EXPECT_NEAR(r.lo, c.want.lo, 1e-12) << c.text;
        EXPECT_NEAR(r.hi, c.want.hi, 1e-12) << c.text;
    }
    // Defined nowhere in the box: empty. A pole in the box: no bound.
    law_enclosure enclose;
    std::vector<value_range> const negative{{-3, -1}, {0, 1}};
    EXPECT_TRUE(enclose(parse_law("LN(X)").get(), negative)[0].is_empty());
    EXPECT_TRUE(enclose(parse_law("SQRT(X)+Y").get(), negative)[0].is_empty());
    std::vector<value_range> const across{{-1, 1}, {0, 1}};
    value_range const pole = enclose(parse_law("1/X").get(), across)[0];
    EXPECT_TRUE(std::isinf(pole.lo) && std::isinf(pole.hi));
}

}  // namespace
