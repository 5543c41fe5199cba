#pragma once
// Umbrella header of the law library.
#include <law/base/base.h>
#include <law/core/core.h>
#include <law/data/data.h>
#include <law/geom/geom.h>
#include <law/intersect/intersect.h>
#include <law/lang/lang.h>
#include <law/numeric/numeric.h>
#include <law/ops/ops.h>
#include <law/spline/spline.h>
