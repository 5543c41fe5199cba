#include <law/geom/bend_law.h>

#include <cmath>

#include <law/base/tolerance.h>
#include <law/geom/tree_arithmetic.h>
#include <law/lang/law_list.h>
#include <law/ops/arctan_law.h>

namespace {
law_list bend_registration(new bend_law());
law_list unbend_registration(new unbend_law());

ZEM::vector vector_member(law const *l) {
    if (l->take_dim() != 0) law_error(LAW_BASE_C);
    if (l->return_dim() != 3) law_error(LAW_DIM);
    return l->evaluateM_V(nullptr);
}

// The frame of a bend: the root O, the unit axis A, the unit direction D made normal to A,
// N = A x D, and the radius R.
struct bend_frame {
    ZEM::position o;
    ZEM::vector a, d, n;
    double r;

    static bend_frame of(law **subs, int count) {
        if (count != 4 || !subs || !subs[0] || !subs[1] || !subs[2] || !subs[3]) law_error(LAW_DIM);
        ZEM::vector const root = vector_member(subs[0]), axis = vector_member(subs[1]),
                          direction = vector_member(subs[2]);
        if (subs[3]->take_dim() != 0) law_error(LAW_BASE_C);
        if (subs[3]->return_dim() != 1) law_error(LAW_DIM);
        double const r = subs[3]->eval(0.0);
        if (axis.len() < get_resabs() || direction.len() < get_resabs())
            law_error(LAW_BAD_UNIT_VECTOR);
        if (biparallel(axis, direction, get_resnor())) law_error(LAW_BEND_PARALLEL);
        if (!std::isfinite(r) || std::abs(r) < get_resabs()) law_error(LAW_BAD_RANGE);
        ZEM::vector const a = normalise(axis);
        ZEM::vector const d = normalise(direction - (direction % a) * a);
        return {ZEM::origin + root, a, d, a * d, r};
    }
};
}  // namespace

law_array bend_members(ZEM::position const &root, ZEM::unit_vector const &axis,
                       ZEM::unit_vector const &direction, double radius) {
    if (biparallel(axis, direction, get_resnor())) law_error(LAW_BEND_PARALLEL);
    law_array members(4);
    members.push(make_law<vector_law>(root));
    members.push(make_law<vector_law>(axis));
    members.push(make_law<vector_law>(direction));
    members.push(build::constant(radius));
    return members;
}

// With q = P - O, s = q.D, h = q.N and phi = s / R:
//   bend(P) = O + (q.A) A + R N + (R - h)(sin(phi) D - cos(phi) N).
law_ptr bend_tree(law **subs, int n) {
    using namespace tree;
    bend_frame const f = bend_frame::of(subs, n);
    law_ptr const A = vec(f.a), D = vec(f.d), N = vec(f.n), R = num(f.r);
    law_ptr const q = point_input() - vec(f.o - ZEM::origin);
    law_ptr const phi = dot(q, D) / R;
    return vec(f.o - ZEM::origin + f.r * f.n) + dot(q, A) * A +
           (R - dot(q, N)) * (sin(phi) * D - cos(phi) * N);
}

// With r = P - O - R N, the bend's angle phi is the angle of (r.D, -r.N) (both times the sign
// of R) and the distance from the bending axis is |r - (r.A) A|:
//   unbend(P) = O + (r.A) A + R phi D + (R - sign(R) |r - (r.A) A|) N.
law_ptr unbend_tree(law **subs, int n) {
    using namespace tree;
    bend_frame const f = bend_frame::of(subs, n);
    law_ptr const A = vec(f.a), D = vec(f.d), N = vec(f.n), R = num(f.r);
    law_ptr const sign = num(f.r < 0 ? -1.0 : 1.0);
    law_ptr const r = point_input() - vec(f.o - ZEM::origin + f.r * f.n);
    law_ptr const x = dot(r, D), y = dot(r, N);
    law_ptr const phi =
        make_law<arctan_law>(std::array<law *, 2>{(sign * x).get(), (-(sign * y)).get()}.data(), 2);
    law_ptr const rho = sqrt(x * x + y * y);
    return vec(f.o - ZEM::origin) + dot(r, A) * A + R * phi * D + (R - sign * rho) * N;
}

law *unbend_over(law **subs, int n) { return new unbend_law(subs, n); }
law *bend_over(law **subs, int n) { return new bend_law(subs, n); }
