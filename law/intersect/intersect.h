#pragma once
// Intersections of simple solids whose branches come back as laws.
#include <law/intersect/sphere_cylinder_intersect.h>
