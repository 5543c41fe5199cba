#pragma once
// Vector, structural and geometric laws.
#include "law/geom/domain_law.h"
