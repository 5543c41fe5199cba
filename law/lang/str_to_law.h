#pragma once
// Reading laws from text: the inverse of the printer (law::string with the default syntax).
//
// The text is read case-blind and without blanks; function and operator names come from the
// registry of parsable prototypes (law_list), law data names from law_data_list. "LAW<n>" stands
// for the law held by data[n-1] (a law_law_data), and "<NAME><n>" for data[n-1] as the argument
// of a law of law data, as in CUR(SWEDGE1).
//
// Limits. Brackets must balance; laws nest to any depth (the reading keeps its own stack, so a sum
// of a million terms or ten thousand nested functions reads like a short law). Numbers are at
// most 32 characters; variable numbers run from 1 to law_parse_variable_limit; reference numbers
// from 1 to count. Any text is read or refused in time O(n log n) of its length.
#include <string>
#include <vector>

#include <law/core/constant_law.h>

class law;
class law_data;

// Largest variable number (X100000 is input index 99999).
inline constexpr int law_parse_variable_limit = law_variable_limit;

// Reads a law from text. Returns a new reference, or null for "NULL" and for text that cannot be
// read. Every call clears the calling thread's message (TEST_get_error()); a failure leaves a
// message there: "bad syntax at <rest of the text>", "law <n> was not given", "unbalanced
// brackets at <rest>", and so on. Raises no error.
law *str_to_law(char const *text, law_data **data = nullptr, int count = 0);

// The work of the last str_to_law on this thread, in steps: tokens read, plus summaries of
// stretches folded in split searches. Lets a test see how reading grows with the text.
long last_law_reading_steps();

// A reading that the text's writer may not have meant; the language keeps it, a tool may say so.
enum class law_reading_kind {
    dropped_text,          // text that takes no part in the law: the X of XY, the Z of MAX(X,Y)Z
    empty_operand,         // an operand with no text, read as 0: X+, SIN(), MAX(X,)
    exponent_as_variable,  // a digit, E and a number without a sign: 1E2 is 1*E2
    negated_base,          // a leading minus before "^": -X^2 is (-X)^2; the text is the power
                           // (the printer writes such a power so, and it is noted all the same)
};

struct law_reading_note {
    law_reading_kind kind;
    int position;      // in the text as read: upper case, blanks removed, implicit "*" inserted
    std::string text;  // the text concerned: "X", "", "1E2"
};

// str_to_law, also listing in notes (cleared first) the readings above, in the order met.
law *str_to_law_noted(char const *text, std::vector<law_reading_note> &notes,
                      law_data **data = nullptr, int count = 0);
