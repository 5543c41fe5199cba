#pragma once
// Symbolic derivatives for the subcommands that show or draw them.
#include <law/law.h>

namespace law_tool {

// The order-th derivative of l with respect to input wrt (l itself for order 0); raises tool_error
// with the library's message when the law has none.
law_ptr nth_derivative(law const &l, int wrt, int order);

// Raises usage_error, naming the option or command what, when l has no input wrt.
void check_input_index(char const *what, int wrt, law const &l);

}  // namespace law_tool
