#include <string>
#include <thread>
#include <vector>

#include "law_test.h"

namespace {

class Parser : public LawTest {
  protected:
    void SetUp() override {
        LawTest::SetUp();
        TEST_set_error("stale message");
    }
};

law_ptr parse(std::string const &text, law_data **data = nullptr, int count = 0) {
    return adopt(str_to_law(text.c_str(), data, count));
}

std::string read_and_print(std::string const &text) {
    law_ptr const l = parse(text);
    return l ? l->text() : "null: " + std::string(TEST_get_error());
}

std::string class_of(law_ptr const &l) { return l ? l->class_name() : "null"; }

double value_at(law_ptr const &l, double x, double y = 0, double z = 0) {
    double const in[3] = {x, y, z};
    return first_value(l.get(), in);
}

// ---------------------------------------------------------------- reading what is written

TEST_F(Parser, EmptyTextIsZeroAndNullIsNothing) {
    law_ptr const zero = parse("");
    ASSERT_TRUE(zero);
    EXPECT_EQ(class_of(zero), "constant_law");
    EXPECT_EQ(value_at(zero, 5), 0.0);
    for (char const *text : {"NULL", "null", "n u l l", " Null\t\n"}) {
        EXPECT_FALSE(parse(text)) << text;
        EXPECT_STREQ(TEST_get_error(), "") << "a null text is no failure: " << text;
    }
}

// Texts and how the law read from them prints: grouping, implicit products and names.
TEST_F(Parser, ReadsTheLanguageAsItGroups) {
    struct {
        char const *text, *printed;
    } const cases[] = {
        {"x^2+2x", "X^2+2*X"},
        {"X-Y-Z", "(X-Y)-Z"},
        {"X-(Y-Z)", "X-(Y-Z)"},
        {"X/Y*Z", "(X/Y)*Z"},
        {"-X^2", "-X^2"},
        {"-(X^2)", "-(X^2)"},
        {"2^-X", "2^-X"},
        {"X^Y^Z", "(X^Y)^Z"},
        {"-X*Y", "-X*Y"},
        {"X<=Y", "X<=Y"},
        {"X OR Y AND Z", "XORYANDZ"},
        {"(X OR Y) AND Z", "(XORY)ANDZ"},
        {"NOT X=Y", "NOT(X=Y)"},
        {"((X+1))", "X+1"},
        {"(X+1)*(X-1)", "(X+1)*(X-1)"},
        {"SIN X+1", "SIN(X)+1"},
        {"SINX+1", "SIN(X)+1"},
        {"SIN(X)O(X+1)", "(SIN(X))O(X+1)"},
        {"SIN X O Y", "(SIN(X))O(Y)"},
        {"3sin(x)", "3*SIN(X)"},
        {"2AND X", "2ANDX"},
        {"2E5", "2*E5"},
        {"X<1ANDX>0", "X<1ANDX>0"},
        {"SINH(X)+COSH(X)", "SINH(X)+COSH(X)"},
        {"EXP(X)*E", "EXP(X)*E"},
        {"TAN(T)+U", "TAN(T)+U"},
        {"MAX(X,Y,1)", "MAX(X,Y,1)"},
        {"X--1", "X--1"},
        {"1e-5+X", "1e-05+X"},
    };
    for (auto const &c : cases) EXPECT_EQ(read_and_print(c.text), c.printed) << c.text;
}

TEST_F(Parser, ExponentNotationBindsTheStarBeforeE) {
    for (char const *text : {"2*E+3", "2E+3", "2e+3"}) {
        law_ptr const l = parse(text);
        ASSERT_TRUE(l) << text;
        EXPECT_EQ(class_of(l), "constant_law") << text;
        EXPECT_EQ(value_at(l, 0), 2000.0) << text;
    }
    law_ptr const product = parse("2E5");  // 2 times the fifth input, labelled E
    ASSERT_TRUE(product);
    EXPECT_EQ(class_of(product), "times_law");
    double const in[5] = {0, 0, 0, 0, 7};
    EXPECT_EQ(first_value(product.get(), in), 14.0);
}

TEST_F(Parser, SpellingsOfOneLawReadAlike) {
    law_ptr const a = parse("SIN(X)+1");
    for (char const *text : {"SINX+1", "SIN X+1", "sin (x) + 1", "(SIN(X))+(1)"}) {
        law_ptr const b = parse(text);
        ASSERT_TRUE(b) << text;
        EXPECT_TRUE(*a == *b) << text;
    }
}

TEST_F(Parser, NegativeLiteralsAreNegatedConstants) {
    law_ptr const l = parse("-2");
    ASSERT_TRUE(l);
    EXPECT_EQ(class_of(l), "negate_law");
    EXPECT_EQ(class_of(adopt(str_to_law("X+-1"))), "plus_law");
    EXPECT_EQ(value_at(parse("X+-1"), 3), 2.0);
}

TEST_F(Parser, VariablesTakeTheirIndexFromLetterOrNumber) {
    struct {
        char const *text;
        int index;
        char letter;
    } const cases[] = {{"X", 0, 'X'},  {"U", 0, 'U'},  {"T", 0, 'T'},  {"Y", 1, 'Y'},
                       {"V", 1, 'V'},  {"Z", 2, 'Z'},  {"A3", 2, 'A'}, {"X1", 0, 'X'},
                       {"y1", 0, 'Y'}, {"E1", 0, 'E'}, {"D2", 1, 'D'}, {"Q2.5", 1, 'Q'}};
    for (auto const &c : cases) {
        law_ptr const l = parse(c.text);
        auto const *v = law_cast<identity_law>(l.get());
        ASSERT_TRUE(v) << c.text;
        EXPECT_EQ(v->index(), c.index) << c.text;
        EXPECT_EQ(v->letter(), c.letter) << c.text;
    }
    EXPECT_TRUE(*parse("X1") == *parse("X"));
}

TEST_F(Parser, NamedConstantsBuildTheirOwnClass) {
    EXPECT_EQ(class_of(parse("PI")), "pi_law");
    EXPECT_EQ(class_of(parse("e")), "e_law");
    EXPECT_EQ(class_of(parse("TRUE")), "true_law");
    EXPECT_EQ(class_of(parse("FALSE")), "false_law");
    EXPECT_EQ(class_of(parse("EXP(1)")), "exp_law") << "a longer name beats E";
}

TEST_F(Parser, EmptyArgumentsReadAsZero) {
    law_ptr const l = parse("MAX(X,)");
    auto const *m = law_cast<multiple_law>(l.get());
    ASSERT_TRUE(m);
    ASSERT_EQ(m->fsub_num(), 2);
    EXPECT_EQ(class_of(share(m->fsub()[1])), "constant_law");
    EXPECT_EQ(value_at(share(m->fsub()[1]), 9), 0.0);
    law_ptr const max_of_nothing = parse("MAX()");
    auto const *one = law_cast<multiple_law>(max_of_nothing.get());
    ASSERT_TRUE(one);
    EXPECT_EQ(one->fsub_num(), 1);
    EXPECT_EQ(read_and_print("SIN()"), "SIN(0)");
    EXPECT_EQ(read_and_print("X+"), "X+0");
}

TEST_F(Parser, TextAfterAnOperandIsDropped) {
    EXPECT_EQ(read_and_print("MAX(X,Y)Z"), "MAX(X,Y)");
    EXPECT_EQ(read_and_print("SIN(X)Y"), "SIN(X)");
    EXPECT_EQ(read_and_print("XY"), "Y") << "of two operands in a row the last wins";
}

// ---------------------------------------------------------------- references

TEST_F(Parser, LawReferencesShareTheHeldLaw) {
    law_ptr const held[2] = {parse("X+1"), parse("SIN(Y)")};
    law_data_ptr const d0 = adopt<law_data>(new law_law_data(held[0].get()));
    law_data_ptr const d1 = adopt<law_data>(new law_law_data(held[1].get()));
    law_data *data[2] = {d0.get(), d1.get()};

    EXPECT_FALSE(parse("LAW2", data, 1));
    EXPECT_STREQ(TEST_get_error(), "law 2 was not given");
    int const before = held[1]->ref_count();
    law_ptr const l = parse("LAW2", data, 2);
    EXPECT_EQ(l.get(), held[1].get());
    EXPECT_EQ(held[1]->ref_count(), before + 1);
    EXPECT_EQ(read_and_print("LAW"), "null: law 1 was not given");
    law_ptr const sum = parse("LAW+LAW2*2", data, 2);
    ASSERT_TRUE(sum);
    EXPECT_EQ(sum->text(), "X+1+SIN(Y)*2");
}

TEST_F(Parser, ReferenceNumbersOutsideTheDataAreRefused) {
    law_ptr const x = parse("X");
    law_data_ptr const d = adopt<law_data>(new law_law_data(x.get()));
    law_data_ptr const empty = adopt<law_data>(new law_law_data());
    law_data *data[2] = {d.get(), empty.get()};
    struct {
        char const *text, *message;
    } const cases[] = {
        {"LAW0", "law 0 was not given"},
        {"LAW3", "law 3 was not given"},
        {"LAW99999999999999999999", "law 1e+20 was not given"},
        {"LAW2", "law 2 holds no law"},
        {"X+LAW7", "law 7 was not given"},
    };
    for (auto const &c : cases) {
        EXPECT_FALSE(parse(c.text, data, 2)) << c.text;
        EXPECT_STREQ(TEST_get_error(), c.message) << c.text;
    }
    EXPECT_FALSE(parse("LAW1", nullptr, 5)) << "a count without data gives nothing";
    EXPECT_STREQ(TEST_get_error(), "law 1 was not given");
}

TEST_F(Parser, LawDataReferencesSelectFromTheArray) {
    law_data_ptr const line = adopt(get_law_data("LINE")->deep_copy());
    law_data_ptr const circle = adopt(get_law_data("CIRCLE")->deep_copy());
    std::string const name = "CUR";
    law_data *data[2] = {line.get(), circle.get()};
    for (std::string const arg : {"LINE2", "CIRCLE2", "Y", "LAW2"}) {
        law_ptr const l = parse(name + "(" + arg + ")", data, 2);
        auto const *u = law_cast<unary_data_law>(l.get());
        ASSERT_TRUE(u) << arg << ": " << TEST_get_error();
        EXPECT_EQ(u->fsub(), circle.get()) << "the name only lets the reader see a reference";
    }
    EXPECT_FALSE(parse(name + "(LINE3)", data, 2));
    EXPECT_STREQ(TEST_get_error(), "law data 3 was not given");
    EXPECT_FALSE(parse(name + "()", data, 2));
    EXPECT_EQ(std::string(TEST_get_error()), "law data expected at )");
    EXPECT_FALSE(parse(name + " LINE1", data, 2));
    EXPECT_EQ(std::string(TEST_get_error()),
              name + " needs its argument in brackets at " + name + "LINE1");
}

TEST_F(Parser, LawsOfSeveralLawDataWrapWrittenLaws) {
    law_data_ptr const line = adopt(get_law_data("LINE")->deep_copy());
    std::string const name = "CURVEPERP";
    law_data *data[1] = {line.get()};
    law_ptr const l = parse(name + "(LINE1,VEC(X+1,Y,0))", data, 1);
    auto const *m = law_cast<multiple_data_law>(l.get());
    ASSERT_TRUE(m) << TEST_get_error();
    ASSERT_EQ(m->fsize(), 2);
    EXPECT_EQ(m->fsubs()[0], line.get());
    ASSERT_EQ(m->fsubs()[1]->type(), law_law_data_type);
    EXPECT_EQ(static_cast<law_law_data const *>(m->fsubs()[1])->data_law()->text(), "VEC(X+1,Y,0)");
    EXPECT_FALSE(parse(name + "(LINE2,VEC(X,Y,0))", data, 1));
    EXPECT_STREQ(TEST_get_error(), "law data 2 was not given");
}

// ---------------------------------------------------------------- refusing what is not a law

TEST_F(Parser, UnreadableTextsGiveAMessageAndNull) {
    std::string const long_number(40, '1');
    struct {
        std::string text, message;
    } const cases[] = {
        {"X#", "bad syntax at #"},
        {"X + $Y", "bad syntax at $Y"},
        {"X\r", "bad syntax at \r"},
        {"SIN SIN X", "bad syntax at SINX"},
        {"(X+1", "unbalanced brackets at (X+1"},
        {"X+1)", "unbalanced brackets at )"},
        {"(()", "unbalanced brackets at (()"},
        {"()", "bad syntax at ()"},
        {"X+()", "bad syntax at ()"},
        {"MAX X", "MAX needs its arguments in brackets at MAXX"},
        {"MAX", "MAX needs its arguments in brackets at MAX"},
        {long_number, "number longer than 32 characters at " + long_number},
        {".", "bad number at ."},
        {"1.2.3+X", "bad number at 1.2.3+X"},
        {"X0", "variable numbers run from 1 to 100000 at X0"},
        {"X100001", "variable numbers run from 1 to 100000 at X100001"},
        {"A1E+300", "variable numbers run from 1 to 100000 at A1E+300"},
        {",", "bad syntax at ,"},
        {"X,Y", "bad syntax at ,Y"},
    };
    for (auto const &c : cases) {
        EXPECT_FALSE(parse(c.text)) << c.text;
        EXPECT_EQ(std::string(TEST_get_error()), c.message) << c.text;
    }
    EXPECT_FALSE(str_to_law(nullptr));
    EXPECT_STREQ(TEST_get_error(), "no text to read");
}

TEST_F(Parser, AFailureInsideReleasesWhatWasBuilt) {
    // The left side is built before the right side fails; the fixture checks nothing leaks.
    for (char const *text : {"SIN(X)*COS(X)+LAW1", "MAX(X,Y,LAW3)", "X+(Y*(Z-#))"}) {
        EXPECT_FALSE(parse(text)) << text;
        EXPECT_STRNE(TEST_get_error(), "") << text;
    }
}

std::string repeated(std::string const &unit, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += unit;
    return out;
}

TEST_F(Parser, NestingHasNoLimit) {
    auto chain = [](int terms) { return "X" + repeated("+X", terms - 1); };
    for (std::string const &text :
         {repeated("(", 5000) + "X" + repeated(")", 5000), repeated("-", 5000) + "X", chain(5000),
          repeated("SIN(", 5000) + "X" + repeated(")", 5000)}) {
        law_ptr const l = parse(text);
        ASSERT_TRUE(l) << text.size() << " characters: " << TEST_get_error();
        EXPECT_TRUE(*parse(l->text()) == *l) << text.size() << " characters";
    }
    // -(-(...(-X))) with an odd number of minus signs is -X.
    EXPECT_EQ(value_at(parse(repeated("-", 5001) + "X"), 2.0), -2.0);
    EXPECT_EQ(value_at(parse(chain(5000)), 0.5), 2500.0);
}

// A parser slower than linear would not finish these within the test's time limit.
TEST_F(Parser, LongTextsAreReadOrRefused) {
    auto balanced = [](int levels) {
        std::string s = "X";
        for (int i = 0; i < levels; ++i) s = "(" + s + ")+(" + s + ")";
        return s;
    };
    struct {
        std::string text;
        bool accepted;
    } const cases[] = {
        {"X" + repeated("+X", 50000), true},
        {"X" + repeated("^X", 50000), true},
        {repeated("-", 100000) + "X", true},
        {repeated("(", 50000) + repeated(")", 50000), false},
        {"MAX(X" + repeated(",X", 33000) + ")", true},
        {balanced(13), true},
        {repeated("X", 100000), true},
        {repeated("SIN", 30000) + "X", false},
        {"X" + repeated("+", 100000), false},
        {repeated("1", 100000), false},
        {repeated("(X)", 33000), true},
    };
    for (auto const &c : cases) {
        law_ptr const l = parse(c.text);
        EXPECT_EQ(static_cast<bool>(l), c.accepted)
            << c.text.substr(0, 20) << ": " << TEST_get_error();
    }
}

TEST_F(Parser, ThreadsReadAtOnceWithTheirOwnMessages) {
    std::vector<std::thread> threads;
    std::vector<int> good(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &good] {
            for (int i = 0; i < 200; ++i) {
                law_ptr const ok = adopt(str_to_law("SIN(X)^2+COS(X)^2"));
                bool const read = ok && value_at(ok, i * 0.1) > 0.999;
                law_ptr const bad = adopt(str_to_law(t % 2 ? "X#" : "(X"));
                bool const message = std::string(TEST_get_error()) ==
                                     (t % 2 ? "bad syntax at #" : "unbalanced brackets at (X");
                good[t] += read && !bad && message;
            }
        });
    }
    for (auto &th : threads) th.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(good[t], 200) << "thread " << t;
}

}  // namespace
