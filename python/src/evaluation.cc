// Law.__call__: a law at numbers gives a float (an array for a vector law); at arrays it gives
// the values at every point of their broadcast shape through the batch entry point, with the
// GIL released; at laws it gives the composition.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include <law/core/eval_buffer.h>
#include <law/ops/composite_law.h>

#include "broadcast.h"
#include "errors.h"
#include "py_law.h"

namespace py = pybind11;

namespace law_py {
namespace {

enum class on_error { raise, nan };

on_error error_mode(py::handle errors) {
    if (py::isinstance<py::str>(errors)) {
        std::string const mode = errors.cast<std::string>();
        if (mode == "raise") return on_error::raise;
        if (mode == "nan") return on_error::nan;
    }
    throw py::value_error("errors= is \"raise\" (the default) or \"nan\"");
}

void check_inputs(law const &l, std::size_t given) {
    if (given < static_cast<std::size_t>(l.take_dim()))
        throw py::type_error("the law takes " + count_text(l.take_dim(), "input") + "; " +
                             std::to_string(given) + " given");
}

// The law at one point x (at least take_dim values).
py::object value_at(law const &l, double const *x, on_error mode) {
    int const outputs = l.return_dim();
    eval_buffer y(std::max(outputs, 1));
    try {
        l.evaluate(x, y);
    } catch (vorn_exception const &) {
        if (mode == on_error::raise) throw;
        std::fill_n(y.data(), outputs, std::numeric_limits<double>::quiet_NaN());
    }
    if (outputs == 1) return py::float_(y[0]);
    py::array_t<double> out(outputs);
    std::copy_n(y.data(), outputs, out.mutable_data());
    return out;
}

template <int N>
py::object value_at_numbers(py_law const &self, std::array<double, N> const &x) {
    check_inputs(*self.l, N);
    return value_at(*self.l, x.data(), on_error::raise);
}

// The law at every point into values (return_dim per point, point after point), a chunk at a
// time; with mode nan a failing point's values are NaN.
void evaluate_points(law const &l, broadcast_columns const &points, double *values, on_error mode) {
    std::ptrdiff_t const n = points.size();
    int const inputs = l.take_dim(), outputs = l.return_dim();
    std::vector<int> errors(mode == on_error::nan ? std::min(n, chunk_points) : 0);
    int *const codes = errors.empty() ? nullptr : errors.data();
    std::vector<double const *> in(static_cast<std::size_t>(inputs));
    std::vector<double> by_output;  // the values output by output, for the row layout
    std::vector<double *> out(static_cast<std::size_t>(outputs));
    double const none = 0;
    for (std::ptrdiff_t first = 0; first < n; first += chunk_points) {
        int const m = static_cast<int>(std::min(chunk_points, n - first));
        double *const to = values + first * outputs;
        if (inputs <= 1) {
            // One input (or none) is an array of points already.
            l.evaluate_many(inputs ? points.column(0, first) : &none, to, m, codes);
            continue;
        }
        for (int i = 0; i < inputs; ++i) in[i] = points.column(i, first);
        if (outputs == 1) {
            out[0] = to;
            l.evaluate_many(in.data(), out.data(), m, codes);
            continue;
        }
        by_output.resize(static_cast<std::size_t>(m) * outputs);
        for (int j = 0; j < outputs; ++j) out[j] = by_output.data() + std::ptrdiff_t{j} * m;
        l.evaluate_many(in.data(), out.data(), m, codes);
        for (int k = 0; k < m; ++k)
            for (int j = 0; j < outputs; ++j) to[std::ptrdiff_t{k} * outputs + j] = out[j][k];
    }
}

py::object values_over(law const &l, py::args const &args, on_error mode) {
    broadcast_columns const points(args, static_cast<std::size_t>(l.take_dim()));
    int const outputs = l.return_dim();
    py::array_t<double> values = values_array(points.shape(), outputs, true);
    {
        py::gil_scoped_release const unlocked;
        evaluate_points(l, points, values.mutable_data(), mode);
    }
    return call_result(values, points.shape(), outputs, true);
}

// f(g) is f O g (g may give several values, one for each of f's inputs); f(g, h, ...) is
// f O VEC(g, h, ...).
py::object composed(py_law const &self, py::args const &args) {
    std::vector<law_ptr> inner;
    for (py::handle a : args) inner.push_back(law_argument(a, "a law's arguments"));
    if (inner.size() == 1) return wrap(make_law<composite_law>(self.l.get(), inner[0].get()));
    std::vector<law *> raw;
    for (law_ptr const &l : inner) raw.push_back(l.get());
    return wrap(make_law<composite_law>(self.l.get(), raw.data(), static_cast<int>(raw.size())));
}

py::object call(py_law const &self, py::args const &args, py::kwargs const &kwargs) {
    on_error mode = on_error::raise;
    for (auto const &[key, value] : kwargs) {
        if (key.cast<std::string>() != "errors")
            throw py::type_error("unexpected keyword argument '" + key.cast<std::string>() + "'");
        mode = error_mode(value);
    }
    bool numbers = true;
    for (py::handle a : args) {
        if (py::isinstance<py_law>(a)) return composed(self, args);
        numbers = numbers && (PyFloat_Check(a.ptr()) || PyLong_Check(a.ptr()));
    }
    check_inputs(*self.l, args.size());
    if (!numbers) return values_over(*self.l, args, mode);
    std::vector<double> x(std::max<std::size_t>(args.size(), 1));
    for (std::size_t i = 0; i < args.size(); ++i) x[i] = real_value(args[i], "a law's inputs");
    return value_at(*self.l, x.data(), mode);
}

constexpr char call_doc[] = R"doc(The law's values.

f(x, y, ...) with numbers gives a float (a NumPy array of return_dim values for a vector
law). With arrays (or sequences) the inputs broadcast as NumPy broadcasts them and the
values come from the library's batch evaluation with the GIL released: shape (n,) for a
scalar law at n points, (n, return_dim) for a vector law. Inputs past take_dim take part in
the shape only.

errors="raise" (the default) raises the LawError of the first point outside the law's
domain; errors="nan" gives NaN at the failing points only. f(g) with a law g is the
composition f O g.)doc";

}  // namespace

void bind_evaluation(py::class_<py_law> &c) {
    // Numbers at one point go straight to the law, without the batch's set-up: a float argument
    // matches these before the general form.
    c.def(
        "__call__", [](py_law const &self, double x) { return value_at_numbers<1>(self, {x}); },
        py::arg("x").noconvert());
    c.def(
        "__call__",
        [](py_law const &self, double x, double y) {
            return value_at_numbers<2>(self, {x, y});
        },
        py::arg("x").noconvert(), py::arg("y").noconvert());
    c.def(
        "__call__",
        [](py_law const &self, double x, double y, double z) {
            return value_at_numbers<3>(self, {x, y, z});
        },
        py::arg("x").noconvert(), py::arg("y").noconvert(), py::arg("z").noconvert());
    c.def("__call__", call, call_doc);
}

}  // namespace law_py
