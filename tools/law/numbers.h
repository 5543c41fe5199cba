#pragma once
// Reading and writing numbers: the shortest text that reads back to the same double, written
// plainly (100000, 0.001) from 1e-4 up to 1e17 and with an exponent (1e+17, 1e-05) outside.
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

namespace law_tool {

// Longest text write_number produces ("-2.2250738585072014e-308" and the like).
inline constexpr int max_number_chars = 32;

// Writes v at out (room for max_number_chars) and returns its end: the shortest text that reads
// back to v, or to v rounded to printed_digits() significant digits when those are set.
char *write_number(char *out, double v);

// Significant digits of printed numbers, 0 (the default) for as many as reading back needs.
int printed_digits();
void set_printed_digits(int digits);

std::string number_text(double v);

// Reads a whole word as a double: an optional sign, then what std::from_chars accepts (decimal,
// exponent, inf, nan). None when the word is anything else or out of range.
std::optional<double> read_number(std::string_view word);

// Reads [first, last) as a double into v; returns the end of what was read, or null when no
// number starts at first. Accepts a leading '+', which std::from_chars does not.
inline char const *read_number_at(char const *first, char const *last, double &v) {
    char const *start = first;
    if (start != last && *start == '+' && start + 1 != last && start[1] != '-' && start[1] != '+')
        ++start;
    auto const [ptr, ec] = std::from_chars(start, last, v);
    return ec == std::errc() ? ptr : nullptr;
}

// An interval given by its ends in either order, the same interval: puts a before b. Raises
// tool_error naming `what` when an end is not finite or the ends are equal.
void order_ends(double &a, double &b, char const *what);

// Reads an integer option value within [lo, hi]; raises usage_error naming the option.
int read_int_option(std::string_view option, std::string_view text, int lo, int hi);
// The same for what is not an option, named as it is written (":deriv").
int read_int_for(std::string const &what, std::string_view text, int lo, int hi);
// Reads a real option value; raises usage_error naming the option.
double read_real_option(std::string_view option, std::string_view text);

}  // namespace law_tool
