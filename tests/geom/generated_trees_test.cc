#include <cmath>
#include <random>
#include <string>

#include <law/geom/geom.h>

#include "geom_test_util.h"

namespace {

class StructuralTrees : public LawTest {};

// Random smooth laws of X built from the structural classes, as text.
class tree_maker {
  public:
    explicit tree_maker(unsigned seed) : rng_(seed) {}

    std::string make(int depth) {
        if (depth == 0) return leaf();
        auto sub = [&] { return make(depth - 1); };
        switch (pick(8)) {
            case 0:
                return "TERM(VEC(" + sub() + "," + sub() + "),2)";
            case 1:
                return "DOT(VEC(" + sub() + "," + sub() + "),VEC(" + sub() + "," + sub() + "))";
            case 2:
                return "ARCTAN(" + sub() + ")";
            case 3:
                return "ARCTAN(" + sub() + ",EXP(" + sub() + "))";
            case 4:
                return "LOG(EXP(" + sub() + ")+1,3)";
            case 5:
                return "TERM(CROSS(VEC(" + sub() + "," + sub() + ",X),VEC(1," + sub() + "," +
                       sub() + "))," + std::to_string(1 + pick(3)) + ")";
            case 6:
                return "DOMAIN(" + sub() + ",-10,10)";
            default:
                return "(" + sub() + ")*(" + sub() + ")";
        }
    }

  private:
    std::string leaf() {
        switch (pick(3)) {
            case 0:
                return "X";
            case 1:
                return "SIN(X)";
            default:
                return std::to_string(pick(5) - 2);
        }
    }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::mt19937 rng_;
};

TEST_F(StructuralTrees, DerivativesOfGeneratedTreesMatchDifferenceQuotients) {
    tree_maker maker(20260105);
    for (int i = 0; i < 60; ++i) {
        std::string const text = maker.make(1 + i % 3);
        SCOPED_TRACE(text);
        law_ptr const l = parse(text.c_str());
        if (!l) continue;
        law_ptr const d = adopt(l->derivative(0));
        for (double x : {-0.7, 0.3, 1.1}) {
            double const exact = values(d.get(), {x})[0];
            double const approx = slope(l.get(), {x}, 0)[0];
            EXPECT_NEAR(exact, approx, 1e-5 * std::max(1.0, std::fabs(approx))) << " at " << x;
        }
    }
}

TEST_F(StructuralTrees, SimplifiedTreesKeepTheirValues) {
    tree_maker maker(7);
    for (int i = 0; i < 60; ++i) {
        std::string const text = maker.make(1 + i % 3);
        SCOPED_TRACE(text);
        law_ptr const l = parse(text.c_str());
        if (!l) continue;
        law_ptr const s = adopt(l->simplify(law::simplify_afresh));
        for (double x : {-0.7, 0.3, 1.1})
            EXPECT_NEAR(values(s.get(), {x})[0], values(l.get(), {x})[0], 1e-9) << " at " << x;
    }
}

}  // namespace
