#pragma once
// Exact surfaces held as surface law data: a plane and a sphere. They serve the tests and the
// command-line tool. Registered with the parser as PLANE and SPHERE.
#include <law/data/surface_law_data.h>

// Shared part: the parameter ranges, and a spline approximation that is the surface itself.
class analytic_surface_law_data : public base_surface_law_data {
  public:
    analytic_surface_law_data(ZEM::interval const &u_range, ZEM::interval const &v_range);
    ZEM::interval const &u_range() const { return u_range_; }
    ZEM::interval const &v_range() const { return v_range_; }

    int term_domain(int which, ZEM::interval &out) const override;
    ZEM::vector eval_approx(ZEM::par_pos const &uv) const override { return eval(uv); }

  protected:
    int same_ranges(analytic_surface_law_data const &o) const;

  private:
    ZEM::interval u_range_, v_range_;
};

// P(u, v) = root + u U + v V.
class plane_law_data : public analytic_surface_law_data {
  public:
    plane_law_data(ZEM::position const &root = ZEM::origin,
                   ZEM::vector const &u_dir = ZEM::vector(1, 0, 0),
                   ZEM::vector const &v_dir = ZEM::vector(0, 1, 0),
                   ZEM::interval const &u_range = ZEM::interval(0, 1),
                   ZEM::interval const &v_range = ZEM::interval(0, 1));

    char const *symbol(law_symbol_type) const override { return "PLANE"; }
    void print(T4_ostream &out) const override;
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    bool operator==(law_data const &other) const override;

    ZEM::vector eval(ZEM::par_pos const &uv, int du = 0, int dv = 0, int side = 0) const override;
    ZEM::par_pos point_perp(ZEM::position const &p,
                            ZEM::par_pos const *guess = nullptr) const override;
    ZEM::unit_vector normal(ZEM::par_pos const &uv) const override;
    double gaussian_curvature(ZEM::par_pos const &) const override { return 0; }
    double mean_curvature(ZEM::par_pos const &) const override { return 0; }
    double max_curvature(ZEM::par_pos const &) const override { return 0; }
    double min_curvature(ZEM::par_pos const &) const override { return 0; }

  private:
    ZEM::position root_;
    ZEM::vector u_dir_, v_dir_;
};

// Longitude u and latitude v about the pole Z, from the meridian of X (made perpendicular to Z):
// P(u, v) = centre + r (cos v cos u X + cos v sin u Y + sin v Z), Y = Z x X; normals point
// outwards. u in [0, 2 pi], v in [-pi/2, pi/2] unless given.
class sphere_law_data : public analytic_surface_law_data {
  public:
    sphere_law_data(ZEM::position const &centre = ZEM::origin, double radius = 1,
                    ZEM::vector const &pole = ZEM::vector(0, 0, 1),
                    ZEM::vector const &meridian = ZEM::vector(1, 0, 0),
                    ZEM::interval const &u_range = ZEM::interval(0, 2 * M_PI),
                    ZEM::interval const &v_range = ZEM::interval(-M_PI / 2, M_PI / 2));
    ZEM::position const &centre() const { return centre_; }
    double radius() const { return radius_; }

    char const *symbol(law_symbol_type) const override { return "SPHERE"; }
    void print(T4_ostream &out) const override;
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    bool operator==(law_data const &other) const override;

    ZEM::vector eval(ZEM::par_pos const &uv, int du = 0, int dv = 0, int side = 0) const override;
    ZEM::par_pos point_perp(ZEM::position const &p,
                            ZEM::par_pos const *guess = nullptr) const override;
    ZEM::unit_vector normal(ZEM::par_pos const &uv) const override;
    double gaussian_curvature(ZEM::par_pos const &) const override;
    double mean_curvature(ZEM::par_pos const &) const override { return 1 / radius_; }
    double max_curvature(ZEM::par_pos const &) const override { return 1 / radius_; }
    double min_curvature(ZEM::par_pos const &) const override { return 1 / radius_; }

  private:
    // An exact copy: rebuilding from the parameters would normalise the axes again.
    sphere_law_data(sphere_law_data const &other);

    ZEM::position centre_;
    double radius_;
    ZEM::unit_vector x_, y_, z_;
};
