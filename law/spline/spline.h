#pragma once
// Spline surfaces and the fitting of laws of two inputs.
#include <law/spline/bezier_patch.h>
#include <law/spline/power_patch.h>
#include <law/spline/sw_surface.h>
