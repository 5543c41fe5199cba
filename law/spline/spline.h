#pragma once
// Splines: Bezier segments, B-spline curves, the fitting of laws by splines, IGES output.
#include <law/spline/bezier.h>
#include <law/spline/bezier_segment.h>
#include <law/spline/iges_curve.h>
#include <law/spline/iges_writer.h>
#include <law/spline/knot_removal_strategy.h>
#include <law/spline/segment_test.h>
#include <law/spline/span_to_bezier.h>
#include <law/spline/sw_curve.h>
