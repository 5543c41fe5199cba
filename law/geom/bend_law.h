#pragma once
// BEND(root, axis, direction, radius) bends space about an axis: the line from the root along
// the direction (the neutral line) is wrapped, without stretching, onto the circle of the given
// radius in the plane normal to the axis whose centre lies at root + radius N, with
// N = axis x direction. A point at distance h from the neutral plane along N comes to distance
// radius - h from the bending axis; distances along the axis stay. UNBEND with the same members
// is its inverse. The members are laws of no input (else LAW_BASE_C): three vectors and a number
// (four, else LAW_DIM); an axis parallel to the direction raises LAW_BEND_PARALLEL, a zero axis
// or direction LAW_BAD_UNIT_VECTOR, a radius that is not a finite nonzero length (|radius| at
// least resabs) LAW_BAD_RANGE. A negative radius bends the other way.
#include <law/base/vector.h>
#include <law/geom/built_law.h>

#include <law/core/counted_array.h>

law_ptr bend_tree(law **subs, int n);
law_ptr unbend_tree(law **subs, int n);
// The members of a bend given by its geometry.
law_array bend_members(ZEM::position const &root, ZEM::unit_vector const &axis,
                       ZEM::unit_vector const &direction, double radius);

class bend_law final : public table_law<law_id::bend_law, built_law> {
  public:
    bend_law() : table_law(nullptr, 0, law_ptr()) {}  // the prototype
    bend_law(law **subs, int n) : table_law(subs, n, bend_tree(subs, n)) {}
    bend_law(ZEM::position const &root, ZEM::unit_vector const &axis,
             ZEM::unit_vector const &direction, double radius)
        : bend_law(bend_members(root, axis, direction, radius)) {}
    law *make_one(law **subs, int n) const override { return new bend_law(subs, n); }

  protected:
    // The unbend of the same members.
    law *sub_inverse() const override;

  private:
    explicit bend_law(law_array &&members) : bend_law(members.data(), members.size()) {}
};

class unbend_law final : public table_law<law_id::unbend_law, built_law> {
  public:
    unbend_law() : table_law(nullptr, 0, law_ptr()) {}  // the prototype
    unbend_law(law **subs, int n) : table_law(subs, n, unbend_tree(subs, n)) {}
    unbend_law(ZEM::position const &root, ZEM::unit_vector const &axis,
               ZEM::unit_vector const &direction, double radius)
        : unbend_law(bend_members(root, axis, direction, radius)) {}
    law *make_one(law **subs, int n) const override { return new unbend_law(subs, n); }

  protected:
    // The bend of the same members.
    law *sub_inverse() const override;

  private:
    explicit unbend_law(law_array &&members) : unbend_law(members.data(), members.size()) {}
};
