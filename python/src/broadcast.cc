#include "broadcast.h"

#include "py_law.h"

#include <algorithm>
#include <string>

namespace py = pybind11;

namespace law_py {
namespace {

struct numpy_functions {
    py::handle asarray, broadcast_shapes, broadcast_to, ascontiguousarray;
};

numpy_functions const &numpy() {
    static numpy_functions const f = [] {
        py::module_ const np = py::module_::import("numpy");
        return numpy_functions{kept(np.attr("asarray")), kept(np.attr("broadcast_shapes")),
                               kept(np.attr("broadcast_to")), kept(np.attr("ascontiguousarray"))};
    }();
    return f;
}

using double_array = py::array_t<double, py::array::c_style | py::array::forcecast>;

// The input as an array of doubles; booleans and integers convert, other kinds are refused.
double_array real_array(py::handle input) {
    py::array const a = numpy().asarray(input);
    char const kind = a.dtype().kind();
    if (kind != 'b' && kind != 'i' && kind != 'u' && kind != 'f')
        throw py::type_error("law inputs are real numbers; this one has the dtype " +
                             std::string(py::str(a.dtype())));
    double_array d = double_array::ensure(a);
    if (!d) throw py::error_already_set();
    return d;
}

}  // namespace

broadcast_columns::broadcast_columns(py::args const &inputs, std::size_t used) {
    std::vector<double_array> arrays;
    py::list shapes;
    for (py::handle input : inputs) {
        arrays.push_back(real_array(input));
        shapes.append(arrays.back().attr("shape"));
    }
    py::tuple const shape = numpy().broadcast_shapes(*shapes);
    for (py::handle d : shape) {
        shape_.push_back(d.cast<py::ssize_t>());
        if (__builtin_mul_overflow(size_, shape_.back(), &size_))
            throw std::bad_alloc();  // no array of that many points can exist
    }
    repeated_.resize(used);
    for (std::size_t i = 0; i < used; ++i) {
        double_array &a = arrays[i];
        if (a.size() == 1 && size_ > 1) {
            repeated_[i].assign(static_cast<std::size_t>(std::min(size_, chunk_points)), *a.data());
            columns_.push_back(repeated_[i].data());
        } else if (a.size() == size_) {
            // An array of as many values as the result lines up with it point for point.
            columns_.push_back(a.data());
            held_.push_back(std::move(a));
        } else {
            double_array b = double_array::ensure(
                numpy().ascontiguousarray(numpy().broadcast_to(a, shape), "float64"));
            if (!b) throw py::error_already_set();
            columns_.push_back(b.data());
            held_.push_back(std::move(b));
        }
    }
}

py::array_t<double> values_array(std::vector<py::ssize_t> const &shape, int width, bool flat) {
    std::vector<py::ssize_t> full = shape;
    if (width != 1 || !flat) full.push_back(width);
    return py::array_t<double>(full);
}

py::object call_result(py::array_t<double> const &values, std::vector<py::ssize_t> const &shape,
                       int width, bool flat) {
    if (shape.empty() && width == 1 && flat) return py::float_(*values.data());
    return values;
}

}  // namespace law_py
