// What a caller of the C++ API may get wrong: null laws and arrays, indices and limits out of
// range, degenerate paths and vectors. Each is refused with a "lawutil" code that names it;
// none crashes, reads out of bounds or answers with a made-up value.
#include <cmath>
#include <limits>

#include <law/geom/geom.h>
#include <law/numeric/extrema.h>
#include <law/numeric/nintegrate.h>
#include <law/numeric/nroot.h>

#include "geom_test_util.h"

namespace {

class CallerMisuse : public LawTest {};

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST_F(CallerMisuse, NullLawsAndArraysAreRefused) {
    // A step law of no members has nothing to evaluate.
    law_ptr const empty_step = adopt<law>(new step_law(nullptr, 0));
    double const x[1] = {0.5};
    double y[1] = {7};
    EXPECT_LAW_ERROR(empty_step->evaluate(x, y), LAW_NULL_LAW);
    EXPECT_EQ(y[0], 7);
    // A positive count with no array.
    EXPECT_LAW_ERROR(law_ptr l = adopt<law>(new step_law(nullptr, 3)), LAW_NULL_LAW);
    EXPECT_LAW_ERROR(law_ptr l = adopt<law>(new vector_law(nullptr, 2)), LAW_NULL_LAW);
    law_ptr const x_law = X();
    law *holes[2] = {x_law.get(), nullptr};
    // A vector with a hole is refused where it would read the hole.
    law_ptr const holed = adopt<law>(new vector_law(holes, 2));
    double two[2];
    EXPECT_LAW_ERROR(holed->evaluate(x, two), LAW_NULL_LAW);
    EXPECT_LAW_ERROR(law_ptr d = adopt(holed->derivative(0)), LAW_NULL_LAW);
    double v = 7;
    EXPECT_LAW_ERROR(Nintegrate(nullptr, 0, 1, &v), LAW_NULL_LAW);
    EXPECT_LAW_ERROR(Nintegrate(X().get(), 0, 1, nullptr), LAW_NULL_LAW);
    int count = 0;
    EXPECT_LAW_ERROR(Nroot(nullptr, 0, 1, &count), LAW_NULL_LAW);
    EXPECT_LAW_ERROR(Nmin(nullptr, 0, 1), LAW_NULL_LAW);
}

TEST_F(CallerMisuse, IndicesOutOfRangeAreRefused) {
    law_ptr const v = parse("VEC(X,2*X)");
    // Components count from 1, as the array constructor reads them.
    EXPECT_LAW_ERROR(law_ptr t = adopt<law>(new term_law(v.get(), 0)), LAW_TL_SYNTAX);
    EXPECT_LAW_ERROR(law_ptr t = adopt<law>(new term_law(v.get(), -1)), LAW_TL_SYNTAX);
    EXPECT_LAW_ERROR(law_ptr t = adopt<law>(new term_law(static_cast<law *>(nullptr), 1)),
                     LAW_NULL_LAW);
    law_ptr const second = adopt<law>(new term_law(v.get(), 2));
    EXPECT_EQ(values(second.get(), {3}), std::vector<double>{6});
    // An index past what an int holds is refused, not wrapped.
    EXPECT_FALSE(adopt(str_to_law("TERM(VEC(X,Y),3000000000)")));
    law_ptr const too_far = C(3000000000.0);
    law *members[2] = {v.get(), too_far.get()};
    EXPECT_LAW_ERROR(law_ptr t = adopt<law>(new term_law(members, 2)), LAW_TL_SYNTAX);
}

TEST_F(CallerMisuse, IntegralsOverLimitsThatAreNotNumbersAreRefused) {
    law_ptr const f = parse("X^2");
    double v = 7;
    EXPECT_LAW_ERROR(Nintegrate(f.get(), 0, inf, &v), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(Nintegrate(f.get(), -inf, 0, &v), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(Nintegrate(f.get(), nan, 1, &v), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(Nintegrate(f.get(), 0, 1, &v, nan), LAW_BAD_TOLERANCE);
    EXPECT_EQ(v, 7);
    // The integral of x^2 over [0, 3] is 9.
    EXPECT_GT(Nintegrate(f.get(), 0, 3, &v), 0);
    EXPECT_NEAR(v, 9, 1e-10);
    // A law that is not a number on part of the range never reads as converged.
    law_ptr const hole = parse("SQRT(X)");
    EXPECT_ANY_THROW(Nintegrate(hole.get(), -1, 1, &v));
}

TEST_F(CallerMisuse, DegenerateGeometryIsRefused) {
    // A path that stays at one point has no tangent to twist about.
    EXPECT_LAW_ERROR(over<twist_path_law>({parse("VEC(0,1,0)"), parse("VEC(1,0,0)"), X()}),
                     LAW_NO_TANGENT);
    // The tangent of (x^2, x^3, 0) vanishes at 0, between the ends -1 and 1; over [0.5, 1] it
    // does not, and the frame is made.
    law_ptr const cusp = parse("VEC(X^2,X^3,0)"), start = parse("VEC(0,0,1)");
    EXPECT_LAW_ERROR(over<min_rotation_law>({cusp, start, C(-1), C(1)}), LAW_NO_TANGENT);
    EXPECT_TRUE(over<min_rotation_law>({cusp, start, C(0.5), C(1)}));
    // A domain that runs backwards has no point to evaluate.
    law_ptr const backwards = over<domain_law>({X(), C(1), C(0)});
    double const x[1] = {0.5};
    double y[1];
    EXPECT_LAW_ERROR(backwards->evaluate(x, y), LAW_BAD_DOMAN);
    // A cross product needs two vectors; the scalar 0 stands for the zero vector.
    EXPECT_LAW_ERROR(over<cross_law>({X(), X(1, 'Y')}), LAW_DIM);
    law_ptr const with_zero = over<cross_law>({parse("VEC(X,1,0)"), C(0)});
    EXPECT_EQ(values(with_zero.get(), {2}), (std::vector<double>{0, 0, 0}));
    // The reader refuses what the constructors refuse, and a law of one law data given two.
    for (char const *text : {"TWIST(VEC(0,1,0),VEC(1,0,0),X)", "CROSS(X,Y)",
                             "MINROT(VEC(X^2,X^3,0),VEC(0,0,1),-1,1)", "CURI(HELIX1,HELIX1)"})
        EXPECT_FALSE(adopt(str_to_law(text))) << text;
}

class ExactContracts : public LawTest {};

TEST_F(ExactContracts, DomainLawsHaveNoSymbolForOtherSyntaxes) {
    for (char const *text : {"DOMAIN(X,0,1)", "PDOMAIN(X,0,1)"}) {
        law_ptr const l = parse(text);
        EXPECT_STREQ(l->symbol(law_symbol_other), "") << text;
    }
    EXPECT_STREQ(parse("DOMAIN(X,0,1)")->symbol(), "DOMAIN");
    EXPECT_STREQ(parse("PDOMAIN(X,0,1)")->symbol(), "PDOMAIN");
}

TEST_F(ExactContracts, NminQuickWithOneSampleOrNoneStartsFromA) {
    // Minima at 0.15475 and, deeper, at 0.95716 (found by sampling at steps of 1e-5): a search
    // from a = 0 finds the first, the best of eleven samples leads to the second.
    law_ptr const f = parse("(X-0.05)^2*(X-0.9)^2-0.1*X+1");
    for (int samples : {-1, 0, 1})
        EXPECT_NEAR(Nmin_quick(f.get(), 0, 1, samples, 0.01, 1e-9), 0.15475, 1e-4) << samples;
    EXPECT_NEAR(Nmin_quick(f.get(), 0, 1, 11, 0.01, 1e-9), 0.95716, 1e-4);
}

}  // namespace
