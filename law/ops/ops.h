#pragma once
// The ops subsystem of the law library: operators, functions, comparisons and logic.
#include <law/ops/arctan_law.h>
#include <law/ops/arithmetic_laws.h>
#include <law/ops/comparison_laws.h>
#include <law/ops/composite_law.h>
#include <law/ops/elementary_laws.h>
#include <law/ops/extremum_laws.h>
#include <law/ops/law_builders.h>
#include <law/ops/law_multiple.h>
#include <law/ops/law_simplify.h>
#include <law/ops/log_law.h>
#include <law/ops/negate_law.h>
#include <law/ops/operator_rules.h>
#include <law/ops/srule.h>
