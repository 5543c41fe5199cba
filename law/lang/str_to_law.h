#pragma once
// Reading laws from text: the inverse of the printer (law::string with the default syntax).
//
// Limits. Texts nested deeper than law_parse_depth_limit levels (brackets, or operators and
// function names applied one inside another) are refused, so that every law the parser returns
// can be printed, evaluated, differentiated and destroyed without exhausting the stack.
class law;
class law_data;

// Deepest nesting of brackets and of operators and functions that str_to_law accepts.
inline constexpr int law_parse_depth_limit = 1000;

// Reads a law from text. "LAW<n>" refers to data[n-1] (a law_law_data) and "<NAME><n>" names
// data[n-1] as an argument of a law of law data. Returns a new reference, or null for "NULL"
// and for text that cannot be read; a failure leaves its message in TEST_get_error().
law *str_to_law(char const *text, law_data **data = nullptr, int count = 0);
