#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include <law/geom/geom.h>
#include <law/ops/ops.h>

#include "geom_test_util.h"

namespace {

class StructuralLaws : public LawTest {};

constexpr double pi = std::numbers::pi;

struct construction_case {
    char const *what;
    std::function<void()> build;
    lawutil_error code;
};

TEST_F(StructuralLaws, ConstructorsRefuseBadMembersWithTheirCodes) {
    auto const cases = std::vector<construction_case>{
        {"term of three",
         [] {
             over<term_law>({X(), C(1), C(2)});
         },
         LAW_TL_NUM},
        {"term of one", [] { over<term_law>({X()}); }, LAW_TL_NUM},
        {"term index not whole",
         [] {
             over<term_law>({X(), C(1.5)});
         },
         LAW_TL_SYNTAX},
        {"term index a variable",
         [] {
             over<term_law>({X(), X()});
         },
         LAW_TL_SYNTAX},
        {"term index zero",
         [] {
             over<term_law>({X(), C(0)});
         },
         LAW_TL_SYNTAX},
        {"dot of one", [] { over<dot_law>({X()}); }, LAW_DOT_NUM},
        {"dot of three",
         [] {
             over<dot_law>({X(), X(), X()});
         },
         LAW_DOT_NUM},
        {"cross of one", [] { over<cross_law>({X()}); }, LAW_CROSS_NUM},
        {"derivative of f alone", [] { over<derivative_law>({X()}); }, LAW_DL_NUM},
        {"derivative of four",
         [] {
             over<derivative_law>({X(), X(), C(1), C(1)});
         },
         LAW_DL_NUM},
        {"derivative in a constant",
         [] {
             over<derivative_law>({X(), C(1)});
         },
         LAW_DL_NUM},
        {"derivative of order -1",
         [] {
             over<derivative_law>({X(), X(), C(-1)});
         },
         LAW_DL_NUM},
        {"log of three",
         [] {
             over<log_law>({X(), C(2), C(3)});
         },
         LAW_BASE_C},
        {"log to a variable base",
         [] {
             over<log_law>({X(), X()});
         },
         LAW_BASE_C},
        {"step of two",
         [] {
             over<step_law>({X(), C(1)});
         },
         LAW_STEP_NUM},
        {"step at a variable",
         [] {
             over<step_law>({X(), X(), X()});
         },
         LAW_STEP_ODD},
        {"steps descending",
         [] {
             over<step_law>({X(), C(2), X(1), C(1), X(2)});
         },
         LAW_STEP_ORDER},
        {"arctan of three",
         [] {
             over<arctan_law>({X(), X(), X()});
         },
         LAW_SYNTAX},
    };
    for (auto const &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_LAW_ERROR(c.build(), c.code);
    }
}

struct value_case {
    char const *text;
    std::vector<double> at;
    std::vector<double> expected;
};

TEST_F(StructuralLaws, EvaluateAsDefined) {
    auto const cases = std::vector<value_case>{
        {"VEC(X,2*X,Y)", {3, 5}, {3, 6, 5}},
        {"TERM(VEC(X1,X2,X3),2)", {7, 8, 9}, {8}},
        {"TERM(VEC(X,Y),3)", {1, 2}, {0}},
        {"STEP(X,1,2*X)", {0.5}, {0.5}},
        {"STEP(X,1,2*X)", {1}, {2}},
        {"STEP(X,1,2*X,1,3*X)", {1}, {3}},
        {"PIECEWISE(X<0,-X,X)", {-2}, {2}},
        {"PIECEWISE(X<0,-X,X)", {3}, {3}},
        {"PIECEWISE(X<0,-X,X>5,10)", {3}, {10}},
        {"ARCTAN(Y,X)", {-1, 1}, {3 * pi / 4}},
        {"ARCTAN(Y,X)", {-1, -1}, {-3 * pi / 4}},
        {"ARCTAN(Y,X)", {2, 1}, {std::atan(0.5)}},
        {"ARCTAN(Y,X)", {0, -1}, {-pi / 2}},
        {"ARCTAN(Y,X)", {0, 1}, {pi / 2}},
        {"ARCTAN(X)", {1}, {pi / 4}},
        {"LOG(X,2)", {8}, {3}},
        {"LOG(X)", {1000}, {3}},
        {"MOD(X,3)", {-1}, {2}},
        {"MOD(X,3)", {7.5}, {1.5}},
        {"DOT(X,Y)", {2, 3}, {6}},
        {"DOT(VEC(1,2),VEC(3,4,5))", {}, {11}},
        {"DOT(2,VEC(3,4,5))", {}, {6}},
        {"CROSS(VEC(1,0,0),VEC(0,1,0))", {}, {0, 0, 1}},
        {"CROSS(VEC(X,Y,1),VEC(1,2,3))", {2, 5}, {13, -5, -1}},
        {"MAX(X,Y,1)", {0.5, -2}, {1}},
        {"MAX(X,Y)", {3, -2}, {3}},
        {"MIN(X,Y,1)", {0.5, -2}, {-2}},
        {"DOMAIN(X^2,0,1)", {0.5}, {0.25}},
        {"PDOMAIN(X^2,0,1)", {0.5}, {0.25}},
    };
    for (auto const &c : cases) {
        SCOPED_TRACE(c.text);
        law_ptr const l = parse(c.text);
        if (!l) continue;
        std::vector<double> const y = values(l.get(), c.at);
        ASSERT_EQ(y.size(), c.expected.size());
        for (std::size_t i = 0; i < y.size(); ++i) EXPECT_NEAR(y[i], c.expected[i], 1e-12);
    }
}

TEST_F(StructuralLaws, EvaluationErrorsAreRaisedWhereTheyArise) {
    EXPECT_LAW_ERROR(parse("LOG(X,1)")->eval(2), LAW_BASE_P);
    EXPECT_LAW_ERROR(parse("LOG(X,0)")->eval(2), LAW_BASE_P);
    EXPECT_LAW_ERROR(parse("LOG(X,2)")->eval(0), LAW_LOG);
    EXPECT_LAW_ERROR(parse("MOD(X,0)")->eval(1), LAW_ZERODIVIDE);
    EXPECT_LAW_ERROR(parse("CROSS(VEC(1,2),VEC(1,2,3))")->evaluateM_V(nullptr), LAW_EVALVM);
    law_ptr const log = parse("LOG(X,2)");
    double inside = 4, outside = -1;
    EXPECT_TRUE(log->in_domain(&inside));
    EXPECT_FALSE(log->in_domain(&outside));
}

// A law of three outputs that counts its evaluations.
class counted_vector : public law {
  public:
    char const *class_name() const override { return "counted_vector"; }
    void evaluate(double const *x, double *y) const override {
        ++calls;
        y[0] = x[0];
        y[1] = 1;
        y[2] = 2;
    }
    mutable int calls = 0;

  protected:
    int return_size() const override { return 3; }
};

TEST_F(StructuralLaws, CrossOfOneLawWithItselfIsZeroWithoutEvaluating) {
    auto const v = adopt(new counted_vector);
    law_ptr const c = make_law<cross_law>(v.get(), v.get());
    EXPECT_EQ(c->evaluateR_V(3.0), ZEM::vector(0, 0, 0));
    EXPECT_EQ(v->calls, 0);
}

TEST_F(StructuralLaws, WideMembersNeverOverrunTheAnswer) {
    // Members of different widths are cut or padded to the law's own width.
    law_ptr const step = parse("STEP(X,1,VEC(X,2,3))");
    ASSERT_EQ(step->return_dim(), 3);
    EXPECT_EQ(values(step.get(), {0.5}), (std::vector<double>{0.5, 0, 0}));
    EXPECT_EQ(values(step.get(), {2}), (std::vector<double>{2, 2, 3}));
    law_ptr const piece = parse("PIECEWISE(X<0,VEC(1,2),X)");
    ASSERT_EQ(piece->return_dim(), 2);
    EXPECT_EQ(values(piece.get(), {3}), (std::vector<double>{3, 0}));
    law_ptr const dot = parse("DOT(VEC(1,2,3,4,5,6),VEC(1,1,1,1,1,1,1))");
    EXPECT_EQ(values(dot.get(), {}), (std::vector<double>{21}));
}

TEST_F(StructuralLaws, NumericalDerivativeLaw) {
    EXPECT_NEAR(parse("D(X^3,X,2)")->eval(1), 6, 1e-5);
    EXPECT_NEAR(parse("D(X^3,X)")->eval(2), 12, 1e-6);
    law_ptr const mixed = parse("D(X^2*Y^3,Y,2)");
    EXPECT_NEAR(values(mixed.get(), {2, 1})[0], 24, 1e-4);
    // Near the end of a domain the stencil stays inside it.
    law_ptr const root = parse("D(SQRT(X),X)");
    EXPECT_NEAR(root->eval(2.0), 0.5 / std::sqrt(2.0), 1e-7);
    for (int side : {1, -1}) EXPECT_NEAR(root->eval(4.0, side), 0.25, 1e-7);
    law_ptr const bounded = parse("D(DOMAIN(X^2,0,1),X)");
    EXPECT_NEAR(bounded->eval(1.0), 2.0, 1e-6);
    EXPECT_NEAR(bounded->eval(0.0), 0.0, 1e-6);
}

struct derivative_case {
    char const *text;
    std::vector<double> at;
    int which;
};

// The symbolic derivative of every class agrees with a difference quotient of its values.
TEST_F(StructuralLaws, SymbolicDerivativesMatchDifferenceQuotients) {
    auto const cases = std::vector<derivative_case>{
        {"VEC(X^2,SIN(X),3)", {0.7}, 0},
        {"TERM(VEC(X^2,X^3),2)", {1.3}, 0},
        {"DOT(VEC(X,Y,1),VEC(Y,X^2,X))", {0.4, 1.2}, 0},
        {"DOT(VEC(X,Y,1),VEC(Y,X^2,X))", {0.4, 1.2}, 1},
        {"CROSS(VEC(X,Y,1),VEC(Y,X^2,X))", {0.4, 1.2}, 0},
        {"CROSS(VEC(X,Y,1),VEC(Y,X^2,X))", {0.4, 1.2}, 1},
        {"MAX(X^2,X,0.5)", {0.2}, 0},
        {"MAX(X^2,X,0.5)", {1.7}, 0},
        {"MIN(X^2,SIN(X))", {0.3}, 0},
        {"MIN(Y*X,X)", {2, 3}, 1},
        {"ARCTAN(X^2)", {0.8}, 0},
        {"ARCTAN(Y,X)", {-0.5, 0.7}, 0},
        {"ARCTAN(Y,X)", {-0.5, -0.7}, 1},
        {"LOG(X^2+1,3)", {1.5}, 0},
        {"LOG(X)", {2}, 0},
        {"STEP(X^2,1,SIN(X))", {0.5}, 0},
        {"STEP(X^2,1,SIN(X))", {1.5}, 0},
        {"PIECEWISE(X<0,-X^3,X^2)", {-0.5}, 0},
        {"PIECEWISE(X<0,-X^3,X^2)", {0.5}, 0},
        {"DOMAIN(X^3,0,2)", {1}, 0},
        {"PDOMAIN(X*Y,0,2,0,2)", {1, 1.5}, 1},
    };
    for (auto const &c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in input " + std::to_string(c.which));
        law_ptr const l = parse(c.text);
        if (!l) continue;
        law_ptr const d = adopt(l->derivative(c.which));
        std::vector<double> const exact = values(d.get(), c.at);
        std::vector<double> const approx = slope(l.get(), c.at, c.which);
        ASSERT_GE(exact.size(), approx.size());
        for (std::size_t i = 0; i < approx.size(); ++i) EXPECT_NEAR(exact[i], approx[i], 1e-6);
    }
}

TEST_F(StructuralLaws, DerivativeLawDifferentiatesToHigherOrderAndMixedPartials) {
    law_ptr const d = parse("D(X^3*Y,X)");
    law_ptr const dx = adopt(d->derivative(0));
    auto const *again = law_cast<derivative_law>(dx.get());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->order(), 2);
    EXPECT_NEAR(values(dx.get(), {1, 2})[0], 12, 1e-4);
    law_ptr const dy = adopt(d->derivative(1));
    EXPECT_NEAR(values(dy.get(), {2, 5})[0], 12, 1e-5);
    EXPECT_DOUBLE_EQ(adopt(parse("MOD(X,3)")->derivative(0))->eval(1), 0);
}

struct rule_case {
    char const *text;
    char const *rule;
    char const *result;
};

TEST_F(StructuralLaws, SimplificationRulesNameThemselves) {
    auto const cases = std::vector<rule_case>{
        {"VEC(X^2)", "vec(c)=c", "X^2"},
        {"VEC(0,0,0)", "vec(0)=0", "0"},
        {"TERM(VEC(X,Y,Z),2)", "term(vec)=sub", "Y"},
        {"TERM(0,2)", "term(vec)=sub", "0"},
        {"DOMAIN(X,0,1)", "domain(A)=A", "X"},
        {"DOT(VEC(0,0,0),VEC(X,Y,Z))", "Dot(0,A)=Dot(A,0)=0", "0"},
        {"DOT(VEC(X,Y),VEC(2,3,4))", "dot(vec,vec)", "X*2+Y*3"},
        {"CROSS(VEC(X,Y,Z),0)", "Cross(0,A)=Cross(A,0)=0", "0"},
        {"CROSS(VEC(1,0,0),VEC(0,1,0))", "cross(vec,vec)", "VEC(0*0-0*1,0*0-1*0,1*1-0*0)"},
    };
    for (auto const &c : cases) {
        SCOPED_TRACE(c.text);
        law_ptr const l = parse(c.text);
        if (!l) continue;
        char const *rule = nullptr;
        law_ptr const s = adopt(l->sub_simplify(1, rule));
        ASSERT_TRUE(s);
        EXPECT_STREQ(rule, c.rule);
        EXPECT_EQ(s->text(), c.result);
    }
    for (char const *kept : {"PDOMAIN(X,0,1)", "VEC(X,Y)", "TERM(X,1)", "DOT(X,Y)", "ARCTAN(Y,X)",
                             "LOG(X,2)", "STEP(X,1,Y)", "PIECEWISE(X<0,1,2)"}) {
        SCOPED_TRACE(kept);
        law_ptr const l = parse(kept);
        EXPECT_FALSE(adopt(l->sub_simplify(1)));
    }
}

TEST_F(StructuralLaws, CommutativeClassesCompareInAnyOrder) {
    EXPECT_TRUE(*parse("DOT(X,Y)") == *parse("DOT(Y,X)"));
    EXPECT_TRUE(*parse("MAX(X,Y,1)") == *parse("MAX(1,X,Y)"));
    EXPECT_TRUE(*parse("MIN(X,2)") == *parse("MIN(2,X)"));
    EXPECT_FALSE(*parse("CROSS(VEC(X,Y,1),VEC(Y,X,1))") == *parse("CROSS(VEC(Y,X,1),VEC(X,Y,1))"));
    EXPECT_FALSE(*parse("MOD(X,Y)") == *parse("MOD(Y,X)"));
}

TEST_F(StructuralLaws, DomainsAndTheirSurvival) {
    law_ptr const d = parse("DOMAIN(X*Y,0,1,2,3)");
    ZEM::interval range;
    ASSERT_TRUE(d->term_domain(1, range));
    EXPECT_EQ(range, ZEM::interval(2, 3));
    EXPECT_FALSE(d->term_domain(2, range));
    double inside[] = {0.5, 2.5}, outside[] = {0.5, 3.5};
    EXPECT_TRUE(d->in_domain(inside));
    EXPECT_FALSE(d->in_domain(outside));

    ZEM::interval const box[] = {ZEM::interval(-1, 4), ZEM::interval(5, 6)};
    law_ptr const narrowed = adopt(d->set_domain(box));
    ASSERT_TRUE(law_isa<domain_law>(narrowed.get()));
    ASSERT_TRUE(narrowed->term_domain(1, range));
    EXPECT_EQ(range, ZEM::interval(5, 6));

    law_ptr const kept = adopt(parse("PDOMAIN(X,0,1)")->simplify(law::simplify_afresh));
    ASSERT_TRUE(kept->term_domain(0, range));
    EXPECT_EQ(range, ZEM::interval(0, 1));
    EXPECT_GE(parse("PDOMAIN(X,0,1)")->date(), 60000);

    law_ptr const dd = adopt(parse("DOMAIN(X^2,0,1)")->derivative(0));
    ASSERT_TRUE(dd->term_domain(0, range));
    EXPECT_EQ(range, ZEM::interval(0, 1));

    law_ptr const inv = adopt(parse("PDOMAIN(X+1,0,1)")->inverse());
    ASSERT_TRUE(inv);
    EXPECT_NEAR(inv->eval(1.5), 0.5, 1e-12);
}

TEST_F(StructuralLaws, StepDomainIsTheUnionOfItsLaws) {
    law_ptr const s = parse("STEP(DOMAIN(X,0,1),1,DOMAIN(X,1,3))");
    ZEM::interval range;
    ASSERT_TRUE(s->term_domain(0, range));
    EXPECT_EQ(range, ZEM::interval(0, 3));
}

TEST_F(StructuralLaws, VectorAndTermConstructors) {
    law_ptr const v = make_law<vector_law>(ZEM::vector(1, 2, 3));
    EXPECT_EQ(v->evaluateM_V(nullptr), ZEM::vector(1, 2, 3));
    law_ptr const p = make_law<vector_law>(ZEM::par_pos(4, 5));
    EXPECT_EQ(values(p.get(), {}), (std::vector<double>{4, 5}));
    law_ptr const t = make_law<term_law>(v.get(), 3);
    EXPECT_EQ(t->text(), "TERM(VEC(1,2,3),3)");
    EXPECT_DOUBLE_EQ(t->eval(0), 3);
}

TEST_F(StructuralLaws, EmptyMemberListsEvaluateWithoutReadingMembers) {
    for (char const *text : {"MAX()", "MIN()", "VEC()", "DOMAIN()", "PDOMAIN()", "PIECEWISE()"}) {
        SCOPED_TRACE(text);
        law_ptr const l = adopt(str_to_law(text));
        if (!l) continue;  // refusing the text is as good
        std::vector<double> const y = values(l.get(), {1});
        EXPECT_LE(y.size(), 1u);
    }
}

TEST_F(StructuralLaws, EveryClassPrintsAndReadsBack) {
    for (char const *text :
         {"D(X^3,X,2)", "MAX(X,Y,1)", "MIN(X,2)", "VEC(X,Y,1)", "TERM(VEC(X,Y),2)", "DOMAIN(X,0,1)",
          "PDOMAIN(X,0,1)", "DOT(X,Y)", "ARCTAN(X)", "ARCTAN(Y,X)", "CROSS(VEC(X,1,2),VEC(1,2,3))",
          "LOG(X,2)", "LOG(X)", "MOD(X,3)", "STEP(X,1,2*X)", "PIECEWISE(X<0,-X,X)"}) {
        SCOPED_TRACE(text);
        law_ptr const l = parse(text);
        if (!l) continue;
        EXPECT_EQ(l->text(), text);
        EXPECT_EQ(l->precedence(), 8);
        law_ptr const copy = adopt(l->deep_copy());
        EXPECT_TRUE(*copy == *l);
    }
}

}  // namespace
