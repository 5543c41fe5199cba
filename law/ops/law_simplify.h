#pragma once
// The rule engine behind law::simplify.
#include <string>

#include <law/core/law.h>

// A new reference to l simplified at the given level (debug: the trace level).
law *law_simplify(law const *l, int level, int debug);

// One bottom-up pass of rule list `mode` over l; a new reference. Sets changed when anything
// was rewritten.
law *simplify_pass(law *l, int &changed, int mode);

// The main list's pass over l untraced, as the simplification of a law that holds l would make
// it (a derivative's simplification runs silent); a new reference.
law *untraced_main_pass(law *l);

// The debug level of the simplification running now (0: silent, 1: rules, 3: every node).
int simplify_debug_level();

// The text of a law for a message of the simplifier: its beginning, when it is long.
std::string message_text(law const *l);

// Prints the trace line of an applied rule when tracing is on and the rule has a name.
void trace_rule(char const *name, law const *before, law const *after);

// Rounds of a phase after which the engine reports a rule cycle and stops with what it has.
inline constexpr int simplify_round_limit = 200;
