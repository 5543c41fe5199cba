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
#include <law/geom/built_law.h>

#include <law/core/counted_array.h>

law_ptr bend_tree(law **subs, int n);
law_ptr unbend_tree(law **subs, int n);
// The members of a bend given by its geometry.
law_array bend_members(ZEM::position const &root, ZEM::unit_vector const &axis,
                       ZEM::unit_vector const &direction, double radius);

// The bend and the unbend differ in the map they build, and each is the other's inverse.
template <int Id, law_ptr (*Build)(law **, int)>
class bending_law final : public table_law<Id, built_law> {
    using base = table_law<Id, built_law>;

  public:
    bending_law() : base(nullptr, 0, law_ptr()) {}  // the prototype
    bending_law(law **subs, int n) : base(subs, n, Build(subs, n)) {}
    bending_law(law **subs, int n, law *related) requires(Id == law_id::unbend_law)
        : bending_law(subs, n) {
        related_ = law_ptr::share(related);
    }
    bending_law(ZEM::position const &root, ZEM::unit_vector const &axis,
                ZEM::unit_vector const &direction, double radius)
        : bending_law(bend_members(root, axis, direction, radius)) {}
    law *make_one(law **subs, int n) const override { return new bending_law(subs, n); }

  protected:
    // The other map over the same members.
    law *sub_inverse() const override;

  private:
    explicit bending_law(law_array &&members) : bending_law(members.data(), members.size()) {}

    law_ptr related_;  // the law this one undoes, when its maker named one
};

using bend_law = bending_law<law_id::bend_law, bend_tree>;
using unbend_law = bending_law<law_id::unbend_law, unbend_tree>;
template <>
law *bend_law::sub_inverse() const;
template <>
law *unbend_law::sub_inverse() const;
