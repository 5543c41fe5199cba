#pragma once
// Law data: the objects through which laws reach geometry and other laws, and the laws that
// evaluate them.
#include <law/data/affine_law_data.h>
#include <law/data/analytic_curves.h>
#include <law/data/analytic_surfaces.h>
#include <law/data/chain_law_data.h>
#include <law/data/curve_law.h>
#include <law/data/curve_measure_laws.h>
#include <law/data/data_derivative_law.h>
#include <law/data/data_operation_law.h>
#include <law/data/data_value_law.h>
#include <law/data/law_data_text.h>
#include <law/data/linear_pattern_law_data.h>
#include <law/data/map_law.h>
#include <law/data/path_law_data.h>
#include <law/data/position_array_law_data.h>
#include <law/data/surface_law_data.h>
#include <law/data/transform_law_data.h>
#include <law/data/transform_laws.h>
#include <law/data/uv_line_law_data.h>
