#pragma once
// Where a sphere meets an infinite circular cylinder. On the cylinder, with the angle theta
// measured from the side nearest the sphere's centre and the height z along the axis from that
// centre's level, the intersection is z^2 = R^2 - (r - D)^2 - 4 r D sin^2(theta / 2) (sphere
// radius R, cylinder radius r, distance D of the centre from the axis): every branch has a
// closed form, and each comes back as a law of one parameter T built from it, regular over its
// whole interval (its speed never vanishes; the figure-eight crosses itself at one point).
#include <law/base/interval.h>
#include <law/base/vector.h>

class law;

// What the two surfaces share; the number of branches follows from it.
enum sphere_cylinder_case : int {
    sphere_cylinder_empty = 0,       // no branch
    sphere_cylinder_tangent_point,   // one branch: a point, from a constant law over [0, 0]
    sphere_cylinder_tangent_circle,  // one circle: centre on the axis, radii equal
    sphere_cylinder_two_circles,     // centre on the axis, the sphere the wider
    sphere_cylinder_two_loops,       // the cylinder passes through the sphere
    sphere_cylinder_one_loop,        // the cylinder bites into the sphere's side
    sphere_cylinder_figure_eight     // the sphere touches the far side (Viviani's curve)
};

// The case's name as the tool prints it ("one loop").
char const *sphere_cylinder_case_name(sphere_cylinder_case c);

// Intersects the sphere of the given centre and radius with the cylinder through cylinder_point
// along axis (of any nonzero length) of radius cylinder_radius. Returns the number of branches
// n; *branches receives a new array of n laws of one input and three outputs (each a new
// reference that the caller removes), *ranges their parameter intervals; both arrays are
// allocated with vorn_allocate and released by the caller with vorn_discard (null when n is 0).
// which, when not null, receives the case. Radii or distances within get_resabs of a tangency
// count as the tangency, so that every point of every branch lies within get_resabs of both
// surfaces. Non-finite input, a radius that is not positive or a zero axis raise LAW_BAD_SOLID.
int sphere_cylinder_intersect(ZEM::position const &centre, double radius,
                              ZEM::position const &cylinder_point, ZEM::vector const &axis,
                              double cylinder_radius, law ***branches, ZEM::interval **ranges,
                              sphere_cylinder_case *which = nullptr);
