#pragma once
// Real inputs broadcast together as NumPy broadcasts them, each read as one contiguous column of
// doubles: the arrays the batch evaluation reads without copying where they already are one.
#include <cstddef>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

namespace law_py {

// Points per call of a batch evaluation (whose count is an int): an input of one value is
// repeated over a chunk, not over every point.
inline constexpr std::ptrdiff_t chunk_points = 1 << 20;

class broadcast_columns {
  public:
    // Reads every input (a number, a sequence or an array of any real dtype, in any layout) and
    // keeps a column for the first `used` of them; the others only take part in the shape.
    // Raises TypeError for values that are not real numbers (complex, objects, text) and
    // ValueError for shapes that do not broadcast.
    broadcast_columns(pybind11::args const &inputs, std::size_t used);

    std::vector<pybind11::ssize_t> const &shape() const { return shape_; }
    std::ptrdiff_t size() const { return size_; }
    // The values of input i at the points from first on, at least to the end of first's chunk
    // (first a multiple of chunk_points); the memory lives as long as this object.
    double const *column(std::size_t i, std::ptrdiff_t first) const {
        return columns_[i] + (repeated_[i].empty() ? first : 0);
    }
    // Input i at point k.
    double value(std::size_t i, std::ptrdiff_t k) const {
        return columns_[i][repeated_[i].empty() ? k : 0];
    }

  private:
    std::vector<pybind11::ssize_t> shape_;
    std::ptrdiff_t size_ = 1;
    std::vector<pybind11::object> held_;         // the arrays columns point into
    std::vector<std::vector<double>> repeated_;  // per input: its one value over a chunk, or empty
    std::vector<double const *> columns_;
};

// An array for `width` values at each point of shape: of that shape when width is 1 and
// `flat` is true, else with one more axis of length width.
pybind11::array_t<double> values_array(std::vector<pybind11::ssize_t> const &shape, int width,
                                       bool flat);
// What a call returns: a float for the one value at a point given as numbers, the array else.
pybind11::object call_result(pybind11::array_t<double> const &values,
                             std::vector<pybind11::ssize_t> const &shape, int width, bool flat);

}  // namespace law_py
