#pragma once
// The library's searches as the subcommands use them: roots and extrema of a law of one input.
#include <vector>

#include <law/law.h>

namespace law_tool {

// Raises tool_error unless l takes at most one input and returns one value; `what` names the
// subcommand in the message.
void check_one_variable(law const &l, char const *what);

// The roots of l on [a, b], ascending; raises tool_error with the library's message.
std::vector<double> roots_of(law const &l, double a, double b);

// The critical points of l on [a, b] where its derivative changes sign, ascending.
std::vector<double> extrema_of(law const &l, double a, double b);

}  // namespace law_tool
