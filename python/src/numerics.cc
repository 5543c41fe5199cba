// law.integrate, law.roots, law.minimize, law.maximize, law.roots2d and law.bounds: the
// arguments checked as the tool checks them, then the tool's own method (tool_methods.h), run
// with the GIL released.
#include <cmath>
#include <string>

#include <pybind11/numpy.h>

#include "errors.h"
#include "py_law.h"
#include "tool_methods.h"

namespace py = pybind11;

namespace law_py {
namespace {

void check_one_variable(law const &l, char const *what) {
    if (l.take_dim() > 1 || l.return_dim() != 1)
        refuse(LAW_DIM, std::string(what) +
                            " needs a law of one input and one output; this one takes " +
                            count_text(l.take_dim(), "input") + " and returns " +
                            count_text(l.return_dim(), "value"));
}

void check_ends(double a, double b) {
    if (!std::isfinite(a) || !std::isfinite(b))
        refuse(LAW_BAD_BOUNDS,
               "the ends must be finite; they are " + number_text(a) + " and " + number_text(b));
}

law_ptr one_variable(py::handle f, double a, double b, char const *what) {
    law_ptr l = law_argument(f, what);
    check_one_variable(*l, what);
    check_ends(a, b);
    return l;
}

double integrate(py::handle f, double a, double b, double tol) {
    law_ptr const l = law_argument(f, "integrate");
    check_one_variable(*l, "integrate");
    if (std::isnan(a) || std::isnan(b))
        refuse(LAW_BAD_BOUNDS,
               "the limits must be numbers; they are " + number_text(a) + " and " + number_text(b));
    if (!(tol >= 0)) refuse(LAW_BAD_TOLERANCE, "the tolerance is a number of at least 0");
    py::gil_scoped_release const unlocked;
    return methods::integrate(*l, a, b, tol);
}

// A search that ran out of evaluations may have missed roots: an error, or with keep a
// RuntimeWarning and the roots found, as 'law roots' and its --keep do.
void check_resolved(root_report const &r, bool keep) {
    if (r.complete) return;
    std::string const what = missing_roots_reason(r);
    if (!keep) refuse(LAW_ROOTS_UNRESOLVED, what + "; keep=True returns the roots found");
    if (PyErr_WarnEx(PyExc_RuntimeWarning, what.c_str(), 1) != 0) throw py::error_already_set();
}

py::array_t<double> roots(py::handle f, double a, double b, bool keep) {
    law_ptr const l = one_variable(f, a, b, "roots");
    root_report r;
    {
        py::gil_scoped_release const unlocked;
        r = methods::roots(*l, a, b);
    }
    check_resolved(r, keep);
    return py::array_t<double>(static_cast<py::ssize_t>(r.roots.size()), r.roots.data());
}

template <double (*Search)(law const &, double, double)>
py::tuple extremum(py::handle f, double a, double b, char const *what) {
    law_ptr const l = one_variable(f, a, b, what);
    double x = 0, value = 0;
    {
        py::gil_scoped_release const unlocked;
        x = Search(*l, a, b);
        value = first_value(l.get(), &x);
    }
    return py::make_tuple(x, value);
}

py::array_t<double> roots2d(py::handle f, double x0, double x1, double y0, double y1,
                            py::object cell, bool quadtree) {
    law_ptr const l = law_argument(f, "roots2d");
    if (l->take_dim() > 2)
        refuse(LAW_DIM, "roots2d needs a law of at most two inputs; this one takes " +
                            count_text(l->take_dim(), "input"));
    check_ends(x0, x1);
    check_ends(y0, y1);
    rec2d const box(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
    if (!cell.is_none() && !quadtree)
        refuse(LAW_BAD_RANGE, "cell= sets the cells of quadtree=True");
    double const size = cell.is_none() ? methods::default_cell(box) : cell.cast<double>();
    if (!(size > 0)) refuse(LAW_BAD_RANGE, "cell= needs a number above 0");
    std::vector<complex_number> zeros;
    {
        py::gil_scoped_release const unlocked;
        zeros = quadtree ? methods::quadtree_zeros(*l, box, size) : methods::all_zeros(*l, box);
    }
    py::array_t<double> out({static_cast<py::ssize_t>(zeros.size()), py::ssize_t{2}});
    auto view = out.mutable_unchecked<2>();
    for (std::size_t k = 0; k < zeros.size(); ++k) {
        view(k, 0) = zeros[k].re;
        view(k, 1) = zeros[k].im;
    }
    return out;
}

py::object as_result(std::vector<double> const &v) {
    if (v.size() == 1) return py::float_(v[0]);
    return py::array_t<double>(static_cast<py::ssize_t>(v.size()), v.data());
}

py::tuple bounds(py::handle f, py::args ends, py::handle tolerance) {
    double const tol = real_value(tolerance, "tol");
    law_ptr const l = law_argument(f, "bounds");
    std::size_t const inputs = static_cast<std::size_t>(l->take_dim());
    if (ends.size() != 0 && ends.size() != 2 * inputs)
        refuse(LAW_BAD_BOUNDS, "bounds needs a low and a high end for each of the law's " +
                                   count_text(static_cast<long>(inputs), "input") + ", or none");
    if (!(tol > 0)) refuse(LAW_BAD_TOLERANCE, "the tolerance is a number above 0");
    std::vector<double> lo(inputs), hi(inputs);
    for (std::size_t i = 0; i < inputs && ends.size(); ++i) {
        lo[i] = real_value(ends[2 * i], "bounds' ends");
        hi[i] = real_value(ends[2 * i + 1], "bounds' ends");
        check_ends(lo[i], hi[i]);
    }
    std::size_t const outputs = static_cast<std::size_t>(l->return_dim());
    std::vector<double> min(outputs), max(outputs);
    {
        py::gil_scoped_release const unlocked;
        bool const given = ends.size() != 0;
        methods::bounds(*l, min.data(), max.data(), given ? lo.data() : nullptr,
                        given ? hi.data() : nullptr, tol);
    }
    return py::make_tuple(as_result(min), as_result(max));
}

}  // namespace

void bind_numerics(py::module_ &m) {
    m.def("integrate", integrate, py::arg("f"), py::arg("a"), py::arg("b"), py::arg("tol") = 1e-10,
          R"doc(The integral of f (one input, one output) from a to b, as 'law integrate' computes
it (adaptive Gauss-Kronrod on pieces cut at the law's singular points, with extrapolation;
a or b may be infinite), within tol or 1e-10 of the integral's size. Raises LawError when
the tolerance cannot be met or the integral does not converge, saying why.)doc");
    m.def("roots", roots, py::arg("f"), py::arg("a"), py::arg("b"), py::arg("keep") = false,
          R"doc(The roots of f (one input, one output) on [a, b], ascending, as 'law roots' finds
them (Nroot_all: every root): a NumPy array. A law too busy for the search's evaluations to
resolve (SIN(X) on [0, 1E5]) raises LawError LAW_ROOTS_UNRESOLVED, since roots may be
missing; keep=True returns the roots found with a RuntimeWarning, as 'law roots --keep'.)doc");
    m.def(
        "minimize",
        [](py::handle f, double a, double b) {
            return extremum<methods::argmin>(f, a, b, "minimize");
        },
        py::arg("f"), py::arg("a"), py::arg("b"),
        "(x, f(x)) where f (one input, one output) is smallest on [a, b], as 'law min' finds it.");
    m.def(
        "maximize",
        [](py::handle f, double a, double b) {
            return extremum<methods::argmax>(f, a, b, "maximize");
        },
        py::arg("f"), py::arg("a"), py::arg("b"),
        "(x, f(x)) where f (one input, one output) is largest on [a, b], as 'law max' finds it.");
    m.def("roots2d", roots2d, py::arg("f"), py::arg("x0"), py::arg("x1"), py::arg("y0"),
          py::arg("y1"), py::arg("cell") = py::none(), py::arg("quadtree") = false,
          R"doc(The points of the box [x0, x1] x [y0, y1] where every output of f (a law of at most
two inputs) is zero, as 'law roots2d' finds them: an array of shape (n, 2), ordered by x then
y. Every zero is found (plane_zeros: cells dropped or settled by interval arithmetic and the
interval Newton test); zeros that form a curve raise LawError. quadtree=True searches as
'law roots2d --quadtree' instead (Nroot2D on the sum of squares, to about 1e-4; it can miss
zeros), with cells at most cell across (an eighth of the box's diagonal when not given).)doc");
    m.def("bounds", bounds, py::arg("f"), py::arg("tol") = 1e-3,
          R"doc(bounds(f, lo0, hi0, lo1, hi1, ..., tol=1e-3): the smallest and largest values of f
over the box, as 'law bounds' finds them: for a law of one input its least and greatest
values (LawError when it is unbounded, naming the pole), for more inputs from samples refined
where the law bends by more than tol; with no ends, over the inputs' own domains. Returns
(min, max): floats for a scalar law, arrays of return_dim values for a vector law.)doc");
}

}  // namespace law_py
