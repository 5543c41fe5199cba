#pragma once
// Spline surfaces and the fitting of laws of two inputs.
#include <law/spline/bezier_patch.h>
#include <law/spline/law_to_sw_surface.h>
#include <law/spline/patch_breakpoint_list.h>
#include <law/spline/power_patch.h>
#include <law/spline/sample_sw_surfaces.h>
#include <law/spline/surface_evaluator.h>
#include <law/spline/sw_surface.h>
