// Printing then reading gives the law back: on the printer's own forms, and on
// random trees built from every registered prototype (the test grows as classes
// register themselves).
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "law_generator.h"
#include "law_test.h"

namespace {

class ParserRoundTrip : public LawTest {};

using generated::law_generator;

// Every form that the printer is known to write reads back to a law printing
// the same way.
TEST_F(ParserRoundTrip, PrintedFormsReadBackUnchanged) {
    for (char const *text : {"X+Y+Z",
                             "(A1-B2)-C3",
                             "A1-(B2-C3)",
                             "(X+1)*(X-1)",
                             "(X^2)^3",
                             "X^-1",
                             "X+-1",
                             "-X^2",
                             "X<1ANDX>0",
                             "(SIN(X))O(X+1)",
                             "-(X+1)",
                             "-SIN(X)",
                             "VEC(X,Y,1)",
                             "0.3333333333333333",
                             "1e+21*X",
                             "0.001",
                             "PI*E",
                             "NOT(X=Y)",
                             "XORYANDZ",
                             "X4+A3+Y1",
                             "X<=Y",
                             "X!=Y",
                             "MAX(X,Y)-MIN(X,Y)",
                             "SQRT(ABS(X))",
                             "ARCTAN(Y,X)",
                             "X*(Y/Z)",
                             "(X*Y)/Z"}) {
        law_ptr const l = adopt(str_to_law(text));
        ASSERT_TRUE(l) << text << ": " << TEST_get_error();
        EXPECT_EQ(l->text(), text);
    }
}

// The law's first values at a few points, or nothing when it raises there.
std::vector<double> sample(law const *l) {
    std::vector<double> out;
    std::vector<double> x(static_cast<std::size_t>(std::max(l->take_dim(), 1)) + 1);
    std::vector<double> y(static_cast<std::size_t>(std::max(l->return_dim(), 1)));
    for (double t : {0.3, 0.7, 1.3}) {
        for (std::size_t i = 0; i < x.size(); ++i) x[i] = t + 0.1 * static_cast<double>(i);
        try {
            l->evaluate(x.data(), y.data());
            out.insert(out.end(), y.begin(), y.end());
        } catch (vorn_exception const &) {
            out.push_back(-12345.678);  // the same raise on both sides
        }
    }
    return out;
}

bool same_values(std::vector<double> const &a, std::vector<double> const &b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        bool const both_nan = std::isnan(a[i]) && std::isnan(b[i]);
        if (!both_nan && !(a[i] == b[i] || std::abs(a[i] - b[i]) <= 1e-9 * (1 + std::abs(a[i]))))
            return false;
    }
    return true;
}

struct printed {
    std::string text;
    std::vector<law_data_ptr> data;
    std::vector<law_data *> raw;
};

printed print_with_data(law const *l) {
    printed out;
    law_data **data = nullptr;
    int count = 0;
    char *text = l->string_and_data(&data, &count);
    out.text = text;
    vorn_discard(text);
    for (int i = 0; i < count; ++i) {
        out.data.push_back(adopt(data[i]));
        out.raw.push_back(data[i]);
    }
    vorn_discard(data);
    return out;
}

TEST_F(ParserRoundTrip, RandomTreesOfRegisteredClassesReadBackEqual) {
    law_generator gen(20261205);
    ASSERT_GT(gen.prototype_count(), 4u);
    for (int i = 0; i < 10000; ++i) {
        law_ptr const l = gen.make(1 + i % 6);
        printed const p = print_with_data(l.get());
        law_ptr const back = adopt(str_to_law(p.text.c_str(), const_cast<law_data **>(p.raw.data()),
                                              static_cast<int>(p.raw.size())));
        ASSERT_TRUE(back) << p.text << ": " << TEST_get_error();
        EXPECT_TRUE(*back == *l) << p.text << " read back as " << back->text();
        EXPECT_EQ(print_with_data(back.get()).text, p.text);
        std::vector<double> const values = sample(l.get());
        if (same_values(values, sample(l.get()))) {  // not for random laws
            EXPECT_TRUE(same_values(values, sample(back.get()))) << p.text;
        }
    }
}

// Texts that would read as something else if printed by precedence alone: a name run together
// with the letters before it, a prefix name that binds less tightly than a minus, a product with
// E before a signed number, and the constants that print as words.
TEST_F(ParserRoundTrip, FormsThatWouldReadOtherwiseTakeBrackets) {
    law_ptr const t = X(0, 'T'), two = C(2), e = make_law<e_law>();
    law_ptr const two_e = make_law<times_law>(two.get(), e.get());
    law_ptr const not_x = make_law<not_law>(X().get());
    struct form {
        law_ptr law;
        char const *text;
    };
    for (form const &f :
         {form{make_law<and_law>(t.get(), X().get()), "(T)ANDX"},
          form{make_law<or_law>(t.get(), X().get()), "TORX"},
          form{make_law<and_law>(X().get(), t.get()), "XANDT"},
          form{make_law<negate_law>(not_x.get()), "-(NOT(X))"},
          form{make_law<plus_law>(two_e.get(), C(3).get()), "2*E+(3)"},
          form{make_law<minus_law>(two_e.get(), C(1).get()), "2*E-(1)"},
          form{make_law<plus_law>(two_e.get(), X().get()), "2*E+X"}, form{C(INFINITY), "inf"},
          form{make_law<times_law>(X().get(), C(NAN).get()), "X*nan"}}) {
        EXPECT_EQ(f.law->text(), f.text);
        law_ptr const back = adopt(str_to_law(f.text));
        ASSERT_TRUE(back) << f.text << ": " << TEST_get_error();
        EXPECT_EQ(back->text(), f.text);
        EXPECT_TRUE(*back == *f.law) << f.text;
    }
    double const at = 2.0;
    EXPECT_TRUE(std::isnan(first_value(adopt(str_to_law("X*nan")).get(), &at)));
    EXPECT_EQ(first_value(adopt(str_to_law("-INF")).get(), &at), -INFINITY);
}

// A prefix name that takes less than what stands before it is refused, not read without it.
TEST_F(ParserRoundTrip, TextBeforeALooserPrefixNameIsRefused) {
    for (char const *text : {"X+NOT(Y)", "-NOT(X)", "X*-NOT Y"}) {
        EXPECT_FALSE(adopt(str_to_law(text))) << text;
        EXPECT_NE(std::string(TEST_get_error()).find("text before NOT at "), std::string::npos);
    }
    EXPECT_TRUE(adopt(str_to_law("((NOT X))")));
}

// Negative constants come back as negated constants: not the same class, but
// the same print and the same values.
TEST_F(ParserRoundTrip, NegativeConstantsReadBackAsNegations) {
    law_ptr const minus_two = C(-2);
    law_ptr const power = make_law<times_law>(X().get(), minus_two.get());
    law_ptr const back = adopt(str_to_law(power->text().c_str()));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text(), "X*-2");
    EXPECT_FALSE(*back == *power);
    double const at = 1.5;
    EXPECT_EQ(first_value(back.get(), &at), -3.0);
}

}  // namespace
