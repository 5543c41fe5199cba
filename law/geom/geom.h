#pragma once
// Vector, structural and geometric laws.
#include "law/geom/arctan_law.h"
#include "law/geom/cross_law.h"
#include "law/geom/derivative_law.h"
#include "law/geom/domain_law.h"
#include "law/geom/dot_law.h"
#include "law/geom/extremum_laws.h"
#include "law/geom/log_law.h"
#include "law/geom/map_law.h"
#include "law/geom/piecewise_law.h"
#include "law/geom/step_law.h"
#include "law/geom/term_law.h"
#include "law/geom/vector_law.h"
