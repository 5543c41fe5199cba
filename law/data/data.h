#pragma once
// Law data: the objects through which laws reach geometry and other laws.
#include <law/data/analytic_curves.h>
#include <law/data/analytic_surfaces.h>
#include <law/data/path_law_data.h>
#include <law/data/position_array_law_data.h>
#include <law/data/surface_law_data.h>
#include <law/data/transform_law_data.h>
