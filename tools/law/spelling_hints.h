#pragma once
// What other expression tools write that this syntax spells otherwise (X**2, ATAN2(Y,X),
// POW(X,2), ASIN, LOG10, a unary plus), and names close to a registered one (SINN for SIN):
// the text rewritten in this syntax, with why.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace law_tool {

struct spelling_hint {
    std::string rewritten;             // the text in this syntax; empty when nothing applies
    std::vector<std::string> reasons;  // "a power is written ^ here", ...
    bool only_unary_plus = false;      // the one change is a dropped unary '+'
};

// The hint for a text the parser refused.
spelling_hint hint_for(std::string_view text);

// "did you mean 'X^2'? (a power is written ^ here)" when the rewritten text reads, else the
// reasons alone; empty when there is no hint.
std::string hint_text(spelling_hint const &h,
                      std::function<bool(std::string const &)> const &reads);

// A note for a text that reads, where another tool would read it otherwise: "log" is the
// natural logarithm in NumPy, SymPy and mathjs, LOG is to base 10 here. Empty when none.
std::string reading_hint(std::string_view text);

}  // namespace law_tool
