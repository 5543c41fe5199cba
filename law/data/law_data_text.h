#pragma once
// Reading law data back from the text that their print writes:
//   NAME field field ...
// where a field is a value with or without a name before it, and a value is a number (or an
// expression of no input, such as 2*PI), a tuple "(a, b, c)", a range "[a, b]" or law data in
// braces "{NAME ...}". For example
//   HELIX centre (0, 0, 0) axis (0, 0, 1) major (2, 0, 0) pitch 1 [0, 4*PI]
//   CHAIN {LINE root (0, 0, 0) dir (1, 0, 0) [0, 1]} {CIRCLE major (1, 0, 0) [0, PI]}
// Fields left out take the defaults of the class's constructor.
#include <law/core/law_data.h>

// A new reference to the law data the text describes; null, with the reason in TEST_get_error,
// when the text describes none.
law_data *read_law_data(char const *text);

// The text that read_law_data reads back: the law data's print.
std::string law_data_text(law_data const &d);
