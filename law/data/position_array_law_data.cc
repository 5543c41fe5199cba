#include <law/data/position_array_law_data.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include <law/base/tolerance.h>
#include <law/core/lawutil_errors.h>

namespace {
// The number of points of a lattice; LAW_DIM for a count below 1 or a lattice too large to index.
int checked_size(int const *dims, int ndims) {
    long long size = 1;
    for (int i = 0; i < ndims; ++i) {
        if (dims[i] < 1) law_error(LAW_DIM);
        size *= dims[i];
        if (size > INT_MAX) law_error(LAW_DIM);
    }
    return static_cast<int>(size);
}
}  // namespace

base_position_array_law_data::base_position_array_law_data(ZEM::position const *points,
                                                           int const *dims, int ndims) {
    if (ndims < 1) return;
    if (!dims || !points) law_error(LAW_DIM);
    int const size = checked_size(dims, ndims);
    dims_ = VORN_ARRAY(int, ndims);
    std::copy(dims, dims + ndims, dims_);
    points_ = VORN_ARRAY(ZEM::position, size);
    std::copy(points, points + size, points_);
    ndims_ = ndims;
}

base_position_array_law_data::~base_position_array_law_data() {
    vorn_discard(points_);
    vorn_discard(dims_);
}

int base_position_array_law_data::get_data_size() const {
    int size = 1;
    for (int i = 0; i < ndims_; ++i) size *= dims_[i];
    return size;
}

void base_position_array_law_data::index_to_xyz(int i, int &x, int &y, int &z) const {
    x = y = z = 0;
    if (!is_lattice()) return;
    int const nx = dims_[0], nxy = dims_[0] * dims_[1];
    z = i / nxy;
    y = i % nxy / nx;
    x = i % nx;
}

void base_position_array_law_data::reset_point(int i) {
    if (!is_lattice()) return;
    if (i < 0 || i >= get_data_size()) law_error(LAW_DIM);
    int xyz[3];
    index_to_xyz(i, xyz[0], xyz[1], xyz[2]);
    double c[3];
    for (int k = 0; k < 3; ++k) c[k] = dims_[k] == 1 ? 1.0 : double(xyz[k]) / (dims_[k] - 1);
    points_[i] = ZEM::position(c[0], c[1], c[2]);
}

double base_position_array_law_data::Distance(int i, int j) const {
    return distance(points_[i], points_[j]);
}

void base_position_array_law_data::update_point(int const *indices, int n, ZEM::vector const &move,
                                                double falloff) {
    if (n <= 0) return;  // nothing listed, nothing moves
    int const size = points_ ? get_data_size() : 0;
    for (int k = 0; k < n; ++k)
        if (indices[k] < 0 || indices[k] >= size) law_error(LAW_DIM);
    falloff = std::min(falloff, 1.0);
    if (falloff > 0 && n != size && is_lattice()) {
        std::vector<double> ratios(size);
        calc_movement_ratios(indices, n, falloff, ratios.data());
        for (int i = 0; i < size; ++i) points_[i] += move * ratios[i];
        return;
    }
    for (int k = 0; k < n; ++k) points_[indices[k]] += move;
}

void base_position_array_law_data::calc_movement_ratios(int const *indices, int n, double falloff,
                                                        double *ratios) const {
    int const nx = dims_[0], ny = dims_[1], nz = dims_[2], size = nx * ny * nz;
    // Lattice neighbours of a point along each axis, where they exist.
    auto for_each_neighbour = [&](int i, auto &&visit) {
        int x, y, z;
        index_to_xyz(i, x, y, z);
        if (x > 0) visit(i - 1);
        if (x < nx - 1) visit(i + 1);
        if (y > 0) visit(i - nx);
        if (y < ny - 1) visit(i + nx);
        if (z > 0) visit(i - nx * ny);
        if (z < nz - 1) visit(i + nx * ny);
    };
    std::vector<double> dist(size, -1.0);
    std::vector<int> active, changed;
    std::vector<char> is_changed(size, 0);
    for (int k = 0; k < n; ++k) {
        dist[indices[k]] = 0;
        active.push_back(indices[k]);
    }
    // Wave relaxation: each wave offers the newly improved points' distances to their neighbours.
    while (!active.empty()) {
        for (int i : active)
            for_each_neighbour(i, [&](int j) {
                double const offer = dist[i] + Distance(i, j);
                if (dist[j] < 0 || dist[j] > offer) {
                    dist[j] = offer;
                    if (!is_changed[j]) is_changed[j] = 1, changed.push_back(j);
                }
            });
        for (int j : changed) is_changed[j] = 0;
        active.swap(changed);
        changed.clear();
    }
    double const m = *std::max_element(dist.begin(), dist.end());
    for (int i = 0; i < size; ++i)
        ratios[i] = std::fabs(m) > 1e-6 ? std::max(0.0, 1 - dist[i] / m / falloff) : 1.0;
}

law_data *base_position_array_law_data::deep_copy(pointer_map *) const {
    return make_one(points_, dims_, ndims_);
}

void base_position_array_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(base_position_array_law_data));
    if (points_) acc.addSize(sizeof(ZEM::position) * get_data_size());
    if (dims_) acc.addSize(sizeof(int) * ndims_);
}

bool base_position_array_law_data::operator==(law_data const &other) const {
    if (other.type() != type()) return 0;
    auto const &o = static_cast<base_position_array_law_data const &>(other);
    if (ndims_ != o.ndims_ || !std::equal(dims_, dims_ + ndims_, o.dims_)) return 0;
    if (!points_ || !o.points_) return points_ == o.points_;
    ZEM::position const &a = points_[0], &b = o.points_[0];
    double const tol = get_resabs();
    for (int k = 0; k < 3; ++k)
        if (std::fabs(a[k] - b[k]) > tol) return 0;
    return distance(a, b) <= tol;
}
