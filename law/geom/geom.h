#pragma once
// Vector, structural and geometric laws.
#include "law/geom/cross_law.h"
#include "law/geom/domain_law.h"
#include "law/geom/dot_law.h"
#include "law/geom/term_law.h"
#include "law/geom/vector_law.h"
