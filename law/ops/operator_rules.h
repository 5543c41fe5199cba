#pragma once
// The rewrite rules of the arithmetic operators and composition. Each returns a replacement
// (new reference) at the first rule that applies, naming it in rule_name, or null. The classes'
// sub_simplify forward here.
#include <law/core/law.h>

class plus_law;
class minus_law;
class times_law;
class division_law;
class exponent_law;
class composite_law;

law *plus_rules(plus_law const *l, char const *&rule_name);
law *minus_rules(minus_law const *l, char const *&rule_name);
law *times_rules(times_law const *l, char const *&rule_name);
law *division_rules(division_law const *l, char const *&rule_name);
law *exponent_rules(exponent_law const *l, char const *&rule_name);
law *composite_rules(composite_law const *l, char const *&rule_name);
