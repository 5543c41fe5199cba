#pragma once
// Law data over a surface or a pattern of the kernel; the kernel's wrappers implement them.
#include <law/base/par_pos.h>
#include <law/base/vector.h>
#include <law/core/law_data.h>

class base_surface_law_data : public law_data {
  public:
    int type() const override { return surface_law_data_type; }

    // The point (du = dv = 0) or the partial derivative of orders du in u and dv in v at uv,
    // approached from side (-1 below, 1 above, 0 either).
    virtual ZEM::vector eval(ZEM::par_pos const &uv, int du = 0, int dv = 0,
                             int side = 0) const = 0;
    // The parameters of the foot of the perpendicular from p, searched from guess when given.
    virtual ZEM::par_pos point_perp(ZEM::position const &p,
                                    ZEM::par_pos const *guess = nullptr) const = 0;
    // The unit normal at uv (the direction of the u partial cross the v partial).
    virtual ZEM::unit_vector normal(ZEM::par_pos const &uv) const = 0;
    // Curvatures at uv, positive where the surface bends away from its normal (a sphere with
    // outward normals has curvature 1/r).
    virtual double gaussian_curvature(ZEM::par_pos const &uv) const = 0;
    virtual double mean_curvature(ZEM::par_pos const &uv) const = 0;
    virtual double max_curvature(ZEM::par_pos const &uv) const = 0;
    virtual double min_curvature(ZEM::par_pos const &uv) const = 0;
    // The parameter range of input which (0 for u, 1 for v); returns 1.
    virtual int term_domain(int which, ZEM::interval &out) const = 0;
    // The point of the surface's spline approximation at uv.
    virtual ZEM::vector eval_approx(ZEM::par_pos const &uv) const = 0;
};

class base_pattern_law_data : public law_data {
  public:
    int type() const override { return pattern_law_data_type; }

    // The 13 values of the pattern's transform at x (the layout of law::evaluateM_T).
    virtual void eval(double const *x, double *answer) const = 0;
    // The range of input which; returns 1.
    virtual int term_domain(int which, ZEM::interval &out) const = 0;
    // The number of inputs the pattern takes.
    virtual int take_size() const = 0;
};
