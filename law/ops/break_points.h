#pragma once
// Where the laws whose value or derivative jumps, or that have poles, break: the points they add
// to the singular points of their members. A point is where a sub-law meets a value, found by the
// numeric layer's search for zeros on a finite interval.
#include <vector>

#include <law/core/singular_points.h>

class law;

// The points of [start, end] where the scalar law a is zero, appended with the given order. On an
// unbounded interval (or one too long to search) only a kink is looked for, where a linear law
// or a law with an inverse is zero.
void add_zeros(law const *a, double start, double end, int order, std::vector<singular_point> &out);
// Where a equals b.
void add_crossings(law const *a, law const *b, double start, double end, int order,
                   std::vector<singular_point> &out);
// Where a crosses a whole number (finite intervals only).
void add_whole_crossings(law const *a, double start, double end, int order,
                         std::vector<singular_point> &out);
