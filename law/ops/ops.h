#pragma once
// The ops subsystem of the law library: operators, functions, comparisons and logic.
#include "law/core/law.h"
#include "law/ops/arithmetic_laws.h"
#include "law/ops/comparison_laws.h"
#include "law/ops/composite_law.h"
#include "law/ops/elementary_laws.h"
#include "law/ops/negate_law.h"
#include "law/ops/vector_function_laws.h"
