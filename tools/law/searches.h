#pragma once
// The library's searches as the subcommands use them: roots and extrema of a law of one input,
// by the method that --method names.
#include <initializer_list>
#include <string_view>
#include <vector>

#include <law/law.h>

namespace law_tool {

class arguments;

// Raises tool_error unless l takes at most one input and returns one value; `what` names the
// subcommand in the message.
void check_one_variable(law const &l, char const *what);

// The value of --method: one of `names`, the first when the option is not given; raises
// usage_error naming them otherwise.
std::string_view method_of(arguments const &args, std::initializer_list<char const *> names);

// What roots_of does with a search that ran out of evaluations before it resolved the law
// everywhere: `quiet` takes its roots as they are (plot markers); `fail` raises tool_error, since
// roots may be missing; `keep` warns on standard error and gives those found. Both `fail` and
// `keep` also note the stretches where l is zero.
enum class unresolved_search { quiet, fail, keep };

// The roots of l on [a, b] by all_roots (Nroot with by_nroot), ascending; raises tool_error with
// the library's message.
std::vector<double> roots_of(law const &l, double a, double b, bool by_nroot = false,
                             unresolved_search unresolved = unresolved_search::quiet);

// The critical points of l on [a, b] where its derivative changes sign, ascending.
std::vector<double> extrema_of(law const &l, double a, double b);

// Raises tool_error with the library's message of a raised error and the detail it carries
// ("The law is unbounded on the interval (it grows without bound near 0)").
[[noreturn]] void report_law_error_in_full(vorn_exception const &e);

}  // namespace law_tool
