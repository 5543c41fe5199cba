#pragma once
// Small tools over law trees for the benchmarks: reading with a clear failure, and node counts.
#include <string>

#include <law/law.h>

namespace bench {

// Reads a law; a text the parser refuses raises std::runtime_error with the parser's message.
law_ptr parse_law(std::string const &text);

// The law measured for a case: the parsed text, or its derivative(0) when differentiated.
law_ptr case_law(std::string const &text, bool differentiated);

// Nodes of the tree as printed, a shared sub-law counted at each use; stops counting at cap.
long tree_nodes(law const *l, long cap = 100000000);

// Distinct law objects reachable from l.
long distinct_nodes(law const *l);

// The first value of l at x.
double value_at(law const *l, double x);

}  // namespace bench
