#pragma once
// Splines: Bezier segments and patches, B-spline curves and surfaces, the fitting of laws by
// splines, IGES output.
#include <law/spline/bezier.h>
#include <law/spline/bezier_patch.h>
#include <law/spline/bezier_segment.h>
#include <law/spline/iges_curve.h>
#include <law/spline/iges_surface.h>
#include <law/spline/iges_writer.h>
#include <law/spline/knot_removal_strategy.h>
#include <law/spline/law_to_sw_surface.h>
#include <law/spline/patch_breakpoint_list.h>
#include <law/spline/power_patch.h>
#include <law/spline/sample_sw_surfaces.h>
#include <law/spline/segment_test.h>
#include <law/spline/span_to_bezier.h>
#include <law/spline/surface_evaluator.h>
#include <law/spline/sw_curve.h>
#include <law/spline/sw_surface.h>
