#pragma once
// A parameter curve held as parameter-curve law data: the straight line (u, v) = root + t dir in
// the parameter plane of a surface. Its curvature is that of the curve it traces on the surface.
// Registered with the parser as UVLINE.
#include <law/base/par_pos.h>
#include <law/data/path_law_data.h>
#include <law/data/surface_law_data.h>

class uv_line_law_data : public base_pcurve_law_data {
  public:
    // Keeps a reference to the surface; law data that is not a surface: LAW_DATA_UNKNOWN, a
    // range that is not finite or runs backwards: LAW_BAD_DOMAN.
    uv_line_law_data(base_surface_law_data const *surface, ZEM::par_pos const &root,
                     ZEM::par_pos const &dir, double start, double end);
    // The u axis of the unit square of a plane: the registry's prototype.
    uv_line_law_data();

    base_surface_law_data const &surface() const { return *surface_; }
    ZEM::par_pos const &root() const { return root_; }
    ZEM::par_pos const &direction() const { return dir_; }

    char const *symbol(law_symbol_type) const override { return "UVLINE"; }
    void print(T4_ostream &out) const override;
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    bool operator==(law_data const &other) const override;
    // (u, v, 0) and its derivatives.
    ZEM::vector eval(double t, int nderiv = 0, int side = 0) const override;
    double curvature(double t) const override;

  protected:
    ~uv_line_law_data() override;

  private:
    base_surface_law_data const *surface_;
    ZEM::par_pos root_, dir_;
};
