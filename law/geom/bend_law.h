#pragma once
// BEND(root, axis, direction, radius) bends space about an axis: the line from the root along
// the direction (the neutral line) is wrapped, without stretching, onto the circle of the given
// radius in the plane normal to the axis whose centre lies at root + radius N, with
// N = axis x direction. A point at distance h from the neutral plane along N comes to distance
// radius - h from the bending axis; distances along the axis stay. UNBEND with the same members
// is its inverse; an unbend may also be given the law it undoes (a bend over other members, say),
// which it holds and answers as its inverse. The members are laws of no input (else LAW_BASE_C):
// three vectors and a number (four, else LAW_DIM); an axis parallel to the direction raises
// LAW_BEND_PARALLEL, a zero axis or direction LAW_BAD_UNIT_VECTOR, a radius that is not a finite
// nonzero length (|radius| at least resabs) LAW_BAD_RANGE. A negative radius bends the other way.
#include <law/base/vector.h>
#include <law/core/counted_array.h>
#include <law/geom/built_law.h>

law_ptr bend_tree(law **subs, int n);
law_ptr unbend_tree(law **subs, int n);
// Each map is the other's inverse over the same members.
law *unbend_over(law **subs, int n);
law *bend_over(law **subs, int n);

// The members of a bend given by its geometry.
law_array bend_members(ZEM::position const &root, ZEM::unit_vector const &axis,
                       ZEM::unit_vector const &direction, double radius);
template <>
struct built_members<law_id::bend_law> {
    static law_array make(ZEM::position const &root, ZEM::unit_vector const &axis,
                          ZEM::unit_vector const &direction, double radius) {
        return bend_members(root, axis, direction, radius);
    }
};
template <>
struct built_members<law_id::unbend_law> : built_members<law_id::bend_law> {};

using bend_law = built_law_of<law_id::bend_law, bend_tree, no_member_rule, unbend_over>;
using unbend_law = built_law_of<law_id::unbend_law, unbend_tree, no_member_rule, bend_over>;
