// The code generator: its line formats, numbering, printing and records, against programs
// written out by hand.
#include <string>
#include <thread>
#include <vector>

#include "law_test.h"

namespace {

class LawCode : public LawTest {};

law_ptr parse(char const *text) {
    law_ptr l = adopt(str_to_law(text));
    EXPECT_TRUE(l) << text;
    return l;
}

std::string program(law *l, char const *name, char const *prefix = "p") {
    lawcode const code(l, name, prefix);
    return captured([&] { code.print(); });
}

std::string wrapped(std::string const &printed, std::string const &lines,
                    std::string const &clean_up) {
    return "\n// Automatic code for the law\n// " + printed + "\n\n" + lines + "\n// clean up\n\n" +
           clean_up + "\n// End of Automatic code\n\n";
}

// The lines of the chain in chain order (the first line is the requested law).
std::vector<std::string> chain_texts(lawcode const &code) {
    std::vector<std::string> out;
    for (codeline const *c = code.first(); c; c = c->next())
        out.push_back(c->text() ? c->text() : "");
    return out;
}

TEST_F(LawCode, ANamedConstantIsOneLineWithNothingToCleanUp) {
    law_ptr const two = C(2);
    EXPECT_EQ(program(two.get(), "a"), wrapped("2", "law *a= new constant_law(2);\n", ""));
}

TEST_F(LawCode, ANamedSumSkipsANumberBetweenItsSides) {
    law_ptr const l = parse("X+1");
    EXPECT_EQ(program(l.get(), "f"), wrapped("X+1",
                                             "law *p2= new constant_law(1);   // 1\n"
                                             "law *p0= new identity_law(0);   // X\n"
                                             "law *f= new plus_law(p0,p2);\n",
                                             "p0->remove();\np2->remove();\n"));
}

TEST_F(LawCode, AnonymousLinesTakeTheRunningNumber) {
    struct {
        char const *text;
        std::vector<std::string> chain;
    } const cases[] = {
        {"X+1",
         {"law *p0= new plus_law(p1,p2);   // X+1\n", "law *p1= new identity_law(0);   // X\n",
          "law *p2= new constant_law(1);   // 1\n"}},
        {"SIN(Y)",
         {"law *p0= new sin_law(p1);  // SIN(Y);\n", "law *p1= new identity_law(1);   // Y\n"}},
        {"Z", {"law *p0= new identity_law(2);   // Z\n"}},
    };
    for (auto const &c : cases) {
        law_ptr const l = parse(c.text);
        lawcode const code(l.get(), nullptr, "p");
        EXPECT_EQ(chain_texts(code), c.chain) << c.text;
    }
}

TEST_F(LawCode, NamedUnaryAndArrayElementForms) {
    law_ptr const s = parse("SIN(X)");
    lawcode const named(s.get(), "g", "q");
    EXPECT_EQ(chain_texts(named),
              (std::vector<std::string>{"law *g= new sin_law(q0);\n",
                                        "law *q0= new identity_law(0);   // X\n"}));
    EXPECT_EQ(named.first()->remove_text(), nullptr);

    lawcode const element(s.get(), "out[3]", "q");
    EXPECT_STREQ(element.first()->text(), "out[3]= new sin_law(q0);  // SIN(X);\n");
    EXPECT_STREQ(element.first()->remove_text(), "out[3]->remove();\n");

    law_ptr const sum = parse("X+1");
    lawcode const binary(sum.get(), "out[0]", "q");
    EXPECT_STREQ(binary.first()->text(), "out[0]= new plus_law(q0,q2);   // X+1\n");

    law_ptr const two = C(2);
    lawcode const leaf(two.get(), "out[1]", "q");
    EXPECT_STREQ(leaf.first()->text(), "out[1]= new constant_law(2);   // 2\n");
    EXPECT_STREQ(leaf.first()->remove_text(), "out[1]->remove();\n");
}

TEST_F(LawCode, SeveralMembersGoIntoALawArrayWithDistinctNumbers) {
    law_ptr const v = parse("VEC(X+1,SIN(Y))");
    EXPECT_EQ(program(v.get(), nullptr),
              wrapped("VEC(X+1,SIN(Y))",
                      "law *p1[2];\n"
                      "law *p5= new identity_law(1);   // Y\n"
                      "p1[1]= new sin_law(p5);  // SIN(Y);\n"
                      "law *p4= new constant_law(1);   // 1\n"
                      "law *p2= new identity_law(0);   // X\n"
                      "p1[0]= new plus_law(p2,p4);   // X+1\n"
                      "law *p0= new vector_law(p1,2);   // VEC(X+1,SIN(Y))\n",
                      "p0->remove();\np1[0]->remove();\np2->remove();\np4->remove();\n"
                      "p1[1]->remove();\np5->remove();\n"));
    // Named, the array takes the number after the current one.
    law_ptr const m = parse("MAX(X,2)");
    lawcode const code(m.get(), "m", "p");
    EXPECT_EQ(chain_texts(code),
              (std::vector<std::string>{"law *m= new max_law(p1,2);\n",
                                        "p1[0]= new identity_law(0);   // X\n",
                                        "p1[1]= new constant_law(2);   // 2\n", "law *p1[2];\n"}));
}

TEST_F(LawCode, ALawOfLawDataGetsAnEmptyLine) {
    law_data_ptr const line = adopt(get_law_data("LINE")->deep_copy());
    law_data_ptr const x = adopt<law_data>(new law_law_data(X().get()));
    law_data *data[2] = {x.get(), line.get()};
    law_ptr const curve = adopt<law>(new map_law(data, 2));
    law_ptr const sum = make_law<plus_law>(X().get(), curve.get());
    lawcode const code(sum.get(), "f", "p");
    EXPECT_EQ(chain_texts(code),
              (std::vector<std::string>{"law *f= new plus_law(p0,p2);\n",
                                        "law *p0= new identity_law(0);   // X\n", ""}));
    EXPECT_EQ(code.first()->next()->next()->remove_text(), nullptr);
}

TEST_F(LawCode, ConstantsReadBackAsTheSameDouble) {
    struct {
        double value;
        char const *argument;
        char const *comment;
    } const cases[] = {
        {0.1 + 0.2, "0.30000000000000004", "0.3"},  // the comment is the printed law
        {1e21, "1e+21", "1e+21"},
        {-0.0, "-0.0", "-0"},  // "-0" would read as the integer 0
    };
    for (auto const &c : cases) {
        law_ptr const k = C(c.value);
        lawcode const code(k.get(), "out[0]", "p");
        EXPECT_EQ(
            std::string(code.first()->text()),
            std::string("out[0]= new constant_law(") + c.argument + ");   // " + c.comment + "\n");
    }
    // The named constants have constructors of no argument.
    law_ptr const pi = parse("PI");
    lawcode const code(pi.get(), "a", "p");
    EXPECT_STREQ(code.first()->text(), "law *a= new pi_law();\n");
}

TEST_F(LawCode, AddLinksAfterTheLastLineAndNullMakesALineOfTheName) {
    law_ptr const l = parse("X+1");
    lawcode const code(l.get(), "f", "p");
    lawutil_context()->generated_variables = 7;
    codeline *first = code.first();
    // A line of no law takes its text over: the fixture's count of blocks sees it freed.
    first->add(nullptr, zem_new_str_from("law *extra[1];\n"), "p");
    law_ptr const y = parse("Y");
    first->add(y.get(), nullptr, "p");
    std::vector<std::string> texts = chain_texts(code);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[3], "law *extra[1];\n");
    EXPECT_EQ(texts[4], "law *p7= new identity_law(1);   // Y\n");
    codeline const *last = first;
    while (last->next()) last = last->next();
    EXPECT_EQ(last->prev()->prev()->prev(), first->next());
}

TEST_F(LawCode, PastFindsTheSameObjectOrAnEqualLawOfItsClass) {
    law_ptr const x = X(0, 'X'), two = C(2), pi = parse("PI");
    pastlawcode head(nullptr, nullptr, -1);
    pastlawcode *tail = new pastlawcode(&head, x.get(), 4);
    tail = new pastlawcode(tail, two.get(), 5);
    new pastlawcode(tail, pi.get(), 6);
    EXPECT_EQ(head.past(x.get()), 4);
    EXPECT_EQ(head.past(X(0, 'T').get()), 4);  // letters are not compared
    EXPECT_EQ(head.past(C(2 + 1e-15).get()), 5);
    EXPECT_EQ(head.past(C(3).get()), -1);
    EXPECT_EQ(head.past(X(1).get()), -1);
    // A constant 3.14159... is of another class than PI.
    EXPECT_EQ(head.past(C(3.141592653589793).get()), -1);
    EXPECT_EQ(head.past(pi.get()), 6);
    EXPECT_EQ(head.next()->next()->past(x.get()), -1);
}

TEST_F(LawCode, GenerationKeepsItsStateInTheThreadContext) {
    law_ptr const l = parse("X+Y*2");
    lawcode const code(l.get(), nullptr, "p");
    lawutil_thread_ctx const *ctx = lawutil_context();
    EXPECT_EQ(ctx->generated_variables, 5);
    EXPECT_EQ(ctx->record_head, nullptr);
    EXPECT_EQ(ctx->record_tail, nullptr);
}

TEST_F(LawCode, ThreadsGenerateAtOnceWithoutSharingNumbers) {
    law_ptr const l = parse("SIN(X)*COS(Y)+MAX(X,Y,3)");
    std::vector<std::string> const expected = [&] {
        lawcode const code(l.get(), "f", "p");
        return chain_texts(code);
    }();
    std::vector<int> agree(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                lawcode const code(l.get(), "f", "p");
                agree[t] += chain_texts(code) == expected;
            }
        });
    }
    for (auto &t : threads) t.join();
    EXPECT_EQ(agree, std::vector<int>(4, 200));
}

TEST_F(LawCode, BadInputRaisesAClearError) {
    law_ptr const l = parse("X+1");
    EXPECT_LAW_ERROR(lawcode(nullptr, "f", "p"), LAW_EVAL);
    for (char const *name :
         {"1f", "f g", "int", "law", "f[", "f[x]", "f[]", "p0", "p12[1]", "\xc3\xa9"}) {
        SCOPED_TRACE(name);
        EXPECT_LAW_ERROR(lawcode(l.get(), name, "p"), LAW_SYNTAX);
    }
    for (char const *prefix : {static_cast<char const *>(nullptr), "", "2p", "a-b", "new"})
        EXPECT_LAW_ERROR(lawcode(l.get(), "f", prefix), LAW_SYNTAX);
    // A member missing from a tree fails the generation and leaves nothing behind.
    law_ptr const half = make_law<plus_law>(X().get(), nullptr);
    EXPECT_LAW_ERROR(lawcode(half.get(), "f", "p"), LAW_EVAL);
    EXPECT_EQ(lawutil_context()->record_head, nullptr);
    // Names that are fine: a prefix-like name with letters after the prefix, an empty name.
    lawcode const pa(l.get(), "pa", "p");
    lawcode const anonymous(l.get(), "", "p");
    EXPECT_STREQ(anonymous.first()->text(), "law *p0= new plus_law(p1,p2);   // X+1\n");
}

// The walk does not deepen the stack, and the program grows with the tree, not with the square
// of it: a balanced sum of 50,001 distinct constants (100,001 nodes)
// and a chain of 1,000 sums (as deep as the parser reads and the printer, which recurses, prints
// under the sanitizers), whose comments would otherwise repeat the whole chain on every line.
TEST_F(LawCode, LargeTreesGiveLinearOutput) {
    std::vector<law_ptr> level;
    for (int i = 0; i <= 50000; ++i) level.push_back(C(i * 0.001));
    while (level.size() > 1) {
        std::vector<law_ptr> next;
        for (std::size_t i = 0; i + 1 < level.size(); i += 2)
            next.push_back(make_law<plus_law>(level[i].get(), level[i + 1].get()));
        if (level.size() % 2) next.push_back(level.back());
        level = std::move(next);
    }
    law_ptr chain = X();
    for (int i = 0; i < 1000; ++i) chain = make_law<plus_law>(chain.get(), C(i).get());
    for (law_ptr const &l : {level[0], chain}) {
        std::string const out = program(l.get(), "f");
        long const nodes = l.get() == chain.get() ? 2001 : 100001;
        long lines = 0;
        for (char c : out) lines += c == '\n';
        EXPECT_GT(lines, 2 * nodes);
        EXPECT_LT(out.size(), static_cast<std::size_t>(nodes) * 160 + l->text().size());
    }
    std::string const long_chain = program(chain.get(), "f");
    EXPECT_NE(long_chain.find("law *p0= new plus_law(p1,p"), std::string::npos);
    EXPECT_NE(long_chain.find(");   // plus_law of 1999 nodes\n"), std::string::npos);
}

}  // namespace
