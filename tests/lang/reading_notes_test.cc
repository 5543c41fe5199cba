// The readings a writer may not have meant are listed, and listing them changes no reading.
#include <string>
#include <vector>

#include "law_generator.h"
#include "law_test.h"

namespace {

class ReadingNotes : public LawTest {};

struct noted {
    law_ptr law;
    std::vector<law_reading_note> notes;
};

noted read_noted(std::string const &text) {
    noted out;
    out.law = adopt(str_to_law_noted(text.c_str(), out.notes));
    return out;
}

TEST_F(ReadingNotes, EachSurpriseIsNotedWithItsText) {
    using enum law_reading_kind;
    struct {
        char const *text;
        law_reading_kind kind;
        int position;
        char const *noted_text;
        char const *read_as;
    } const cases[] = {
        {"XY", dropped_text, 0, "X", "Y"},
        {"MAX(X,Y)Z", dropped_text, 8, "Z", "MAX(X,Y)"},
        {"SIN(X)Y", dropped_text, 6, "Y", "SIN(X)"},
        {"(X)Y", dropped_text, 0, "(X)", "Y"},
        {"X+", empty_operand, 2, "", "X+0"},
        {"SIN()", empty_operand, 4, "", "SIN(0)"},
        {"MAX(X,)", empty_operand, 6, "", "MAX(X,0)"},
        {"", empty_operand, 0, "", "0"},
        {"  ", empty_operand, 0, "", "0"},
        {"x+1e2", exponent_as_variable, 2, "1E2", "X+1*E2"},
        {"2.5E3", exponent_as_variable, 0, "2.5E3", "2.5*E3"},
        {"-X^2", negated_base, 0, "-X^2", "-X^2"},
        {"EXP(-X^2)", negated_base, 4, "-X^2", "EXP(-X^2)"},
        {"X*-Y^2", negated_base, 2, "-Y^2", "X*-Y^2"},
        {"-(X+1)^2", negated_base, 0, "-(X+1)^2", "-(X+1)^2"},
        {"-X^2^3", negated_base, 0, "-X^2", "(-X^2)^3"},
    };
    for (auto const &c : cases) {
        noted const r = read_noted(c.text);
        ASSERT_TRUE(r.law) << c.text << ": " << TEST_get_error();
        EXPECT_EQ(r.law->text(), c.read_as) << c.text;
        ASSERT_EQ(r.notes.size(), 1u) << c.text;
        EXPECT_EQ(r.notes[0].kind, c.kind) << c.text;
        EXPECT_EQ(r.notes[0].position, c.position) << c.text;
        EXPECT_EQ(r.notes[0].text, c.noted_text) << c.text;
    }
}

TEST_F(ReadingNotes, WhatReadsAsWrittenHasNoNote) {
    for (char const *text :
         {"X*Y", "MAX(X,Y)*Z", "2E+3", "2*E+3", "1E-5*X", "SIN X+1", "-(X^2)", "(-X)^2", "2^-X",
          "X-Y^2", "((X+1))", "2X", "E2", "X2*E", "VEC(1,2,3)", "2AND X", "NULL"}) {
        noted const r = read_noted(text);
        EXPECT_TRUE(r.notes.empty()) << text << ": " << r.notes.size() << " notes, the first on '"
                                     << (r.notes.empty() ? "" : r.notes[0].text) << "'";
    }
}

// Printed laws are what a program writes; they must read back without a note, and the noted
// reading is the plain one. The one exception is a power of a negated base, which the printer
// writes as -X^2: its note says how that text reads, for whoever types it.
TEST_F(ReadingNotes, PrintedLawsReadBackWithoutNotes) {
    generated::law_generator gen(20261206);
    for (int i = 0; i < 3000; ++i) {
        law_ptr const l = gen.make(1 + i % 6);
        std::string const text = l->text();
        noted const r = read_noted(text);
        law_ptr const plain = adopt(str_to_law(text.c_str()));
        if (!plain) continue;  // laws of law data need the data to read back
        ASSERT_TRUE(r.law) << text;
        EXPECT_TRUE(*r.law == *plain) << text;
        for (law_reading_note const &n : r.notes)
            EXPECT_EQ(n.kind, law_reading_kind::negated_base)
                << text << ": note on '" << n.text << "'";
    }
}

}  // namespace
