#pragma once
// Vector, structural and geometric laws.
#include <law/geom/cross_law.h>
#include <law/geom/domain_law.h>
#include <law/geom/dot_law.h>
#include <law/geom/map_law.h>
#include <law/geom/piecewise_law.h>
#include <law/geom/step_law.h>
#include <law/geom/term_law.h>
#include <law/geom/vector_function_laws.h>
#include <law/geom/vector_law.h>
