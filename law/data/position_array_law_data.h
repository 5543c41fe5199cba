#pragma once
// Law data over a lattice of points (nx by ny by nz for three dimensions), such as the control
// points of a deformation, with the smooth movement of a chosen group of them.
#include <law/base/vector.h>
#include <law/core/law_data.h>

class base_position_array_law_data : public law_data {
  public:
    // Copies dims and as many points as their product; ndims below 1 gives no points.
    base_position_array_law_data(ZEM::position const *points, int const *dims, int ndims);

    ZEM::position const *get_data() const { return points_; }
    int const *get_dims() const { return dims_; }
    int get_dimension() const { return ndims_; }
    int get_data_size() const;  // the product of the dims; 1 with no dims

    // Lattice coordinates of point i (all 0 unless the lattice has three dimensions).
    void index_to_xyz(int i, int &x, int &y, int &z) const;
    // Puts point i of a three-dimensional lattice back at its place in the unit cube.
    void reset_point(int i);
    // Moves the n listed points by move; with a falloff in (0, 1] on a three-dimensional
    // lattice the others follow, less the farther they lie along the lattice.
    void update_point(int const *indices, int n, ZEM::vector const &move, double falloff);

    int type() const override { return position_array_law_data_type; }
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    bool operator==(law_data const &other) const override;

    // A new law data of the implementing class over the points and dims.
    virtual base_position_array_law_data *make_one(ZEM::position const *points, int const *dims,
                                                   int ndims) const = 0;

  protected:
    ~base_position_array_law_data() override;
    double Distance(int i, int j) const;
    // For each point, how much of the movement of the listed points it takes: 1 at the listed
    // points, falling to 0 at falloff times the largest lattice path distance from them.
    void calc_movement_ratios(int const *indices, int n, double falloff, double *ratios) const;

  private:
    bool is_lattice() const { return ndims_ == 3; }

    ZEM::position *points_ = nullptr;
    int *dims_ = nullptr;
    int ndims_ = 0;
};
