// law.frame, law.fit_curve and law.fit_surface, and the spline objects the fits give:
// SplineCurve and SplineSurface, with their degrees, knots, control points and weights as NumPy
// arrays, callable on parameters, and written to IGES.
#include <cmath>
#include <limits>
#include <memory>

#include <pybind11/numpy.h>

#include "broadcast.h"
#include "errors.h"
#include "py_law.h"
#include "tool_methods.h"

namespace py = pybind11;

namespace law_py {
namespace {

constexpr int max_frame_samples = 10'000'000;
// law.Frame, the named tuple frame returns; held for the life of the process.
PyObject *frame_type = nullptr;
// Below this many points a spline is evaluated without releasing the GIL.
constexpr std::ptrdiff_t unlocked_points = 4096;

struct py_spline_curve {
    std::unique_ptr<sw_curve> c;
    double accuracy;
    double measured = 0;
};

// A surface fills its evaluation caches as it evaluates, so it is evaluated only while the
// GIL is held: Python threads take turns.
struct py_spline_surface {
    std::unique_ptr<sw_surface> s;
    double accuracy;
    double measured = 0;
};

void check_box_side(double a, double b, char const *what) {
    if (!(a < b) || !std::isfinite(b - a))
        refuse(LAW_BAD_BOUNDS, std::string(what) +
                                   " needs finite ends with the first below the "
                                   "second; they are " +
                                   number_text(a) + " and " + number_text(b));
}

law_ptr space_curve(py::handle f, char const *what) {
    law_ptr l = law_argument(f, what);
    if (l->take_dim() > 1 || l->return_dim() != 3)
        refuse(LAW_DIM, std::string(what) +
                            " needs a space curve: a law of one input and three outputs; this "
                            "one takes " +
                            count_text(l->take_dim(), "input") + " and has " +
                            count_text(l->return_dim(), "output"));
    return l;
}

// As the tool's fit: a law of one output f stands for the plane curve (t, f(t), 0).
law_ptr fitted_curve(py::handle f) {
    law_ptr l = law_argument(f, "fit_curve");
    if (l->take_dim() > 1 || (l->return_dim() != 1 && l->return_dim() != 3))
        refuse(LAW_DIM,
               "fit_curve needs a law of one input and one or three outputs; this one takes " +
                   count_text(l->take_dim(), "input") + " and has " +
                   count_text(l->return_dim(), "output"));
    if (l->return_dim() == 3) return l;
    law_ptr const t = make_law<identity_law>(0, 'X'), zero = make_law<constant_law>(0.0);
    law *parts[3] = {t.get(), l.get(), zero.get()};
    return make_law<vector_law>(parts, 3);
}

py::array_t<double> rows_of_three(std::vector<double> const &v) {
    py::array_t<double> out({static_cast<py::ssize_t>(v.size() / 3), py::ssize_t{3}});
    std::copy(v.begin(), v.end(), out.mutable_data());
    return out;
}

py::array_t<double> array_of(double const *v, int n) {
    return py::array_t<double>(static_cast<py::ssize_t>(n), v);
}

py::array_t<double> weights_of(double const *w, int n) {
    py::array_t<double> out(static_cast<py::ssize_t>(n));
    std::fill_n(out.mutable_data(), n, 1.0);
    if (w) std::copy_n(w, n, out.mutable_data());
    return out;
}

std::string path_text(py::handle path) {
    return py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
}

void check_written(bool written, std::string const &path) {
    if (!written) {
        PyErr_SetString(PyExc_OSError, ("cannot write " + path).c_str());
        throw py::error_already_set();
    }
}

void put_point(double *to, ZEM::position const &p) {
    to[0] = p.x();
    to[1] = p.y();
    to[2] = p.z();
}

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

py::object curve_points(py_spline_curve const &self, py::args const &t) {
    if (t.size() != 1) throw py::type_error("a spline curve takes one parameter");
    broadcast_columns const at(t, 1);
    py::array_t<double> values = values_array(at.shape(), 3, false);
    double *const to = values.mutable_data();
    auto const run = [&] {
        for (std::ptrdiff_t k = 0; k < at.size(); ++k) {
            double const u = at.value(0, k);
            ZEM::position p(nan, nan, nan);
            if (std::isfinite(u)) self.c->eval(u, &p);
            put_point(to + 3 * k, p);
        }
    };
    if (at.size() < unlocked_points) {
        run();
    } else {
        py::gil_scoped_release const unlocked;
        run();
    }
    return values;
}

py::object surface_points(py_spline_surface &self, py::args const &st) {
    if (st.size() != 2) throw py::type_error("a spline surface takes two parameters, s and t");
    broadcast_columns const at(st, 2);
    py::array_t<double> values = values_array(at.shape(), 3, false);
    double *const to = values.mutable_data();
    for (std::ptrdiff_t k = 0; k < at.size(); ++k) {
        double const s = at.value(0, k), t = at.value(1, k);
        ZEM::position p(nan, nan, nan);
        if (std::isfinite(s) && std::isfinite(t)) self.s->eval(s, t, &p);
        put_point(to + 3 * k, p);
    }
    return values;
}

py::object frame(py::handle f, double a, double b, int n) {
    law_ptr const curve = space_curve(f, "frame");
    check_box_side(a, b, "frame");
    if (n < 1 || n > max_frame_samples)
        refuse(LAW_BAD_SAMPLES,
               "frame takes from 1 to " + std::to_string(max_frame_samples) + " samples");
    methods::frame_samples s;
    {
        py::gil_scoped_release const unlocked;
        s = methods::frames(*curve, a, b, n);
    }
    return py::handle(frame_type)(rows_of_three(s.points), rows_of_three(s.tangents),
                                  rows_of_three(s.normals));
}

py_spline_curve fit_curve(py::handle f, double a, double b, double tol, int strategy, bool keep) {
    law_ptr const curve = fitted_curve(f);
    check_box_side(a, b, "fit_curve");
    if (!(tol > 0)) refuse(LAW_BAD_TOLERANCE, "the tolerance is a number above 0");
    if (strategy < 0 || strategy > 2)
        refuse(LAW_BAD_RANGE, "the knot removal strategy is 0, 1 or 2");
    auto const how = static_cast<knot_removal_strategy>(strategy);
    py::gil_scoped_release const unlocked;
    py_spline_curve out{methods::fit_curve(*curve, a, b, tol, how), 0};
    out.accuracy = methods::curve_accuracy(*curve, *out.c);
    out.measured = methods::measured_distance(*curve, *out.c).distance;
    methods::judge_fit(out.accuracy, out.measured, tol, keep);
    return out;
}

py_spline_surface fit_surface(py::handle f, double s0, double s1, double t0, double t1, double tol,
                              bool keep) {
    law_ptr const l = law_argument(f, "fit_surface");
    if (l->take_dim() != 2 || l->return_dim() != 3)
        refuse(LAW_DIM, "surfaces are laws of 2 inputs and 3 outputs; this one takes " +
                            count_text(l->take_dim(), "input") + " and has " +
                            count_text(l->return_dim(), "output"));
    check_box_side(s0, s1, "fit_surface");
    check_box_side(t0, t1, "fit_surface");
    py::gil_scoped_release const unlocked;
    py_spline_surface out{nullptr, 0};
    out.s =
        methods::fit_surface(*l, ZEM::interval(s0, s1), ZEM::interval(t0, t1), tol, out.accuracy);
    out.measured = methods::measured_distance(*l, *out.s).distance;
    methods::judge_fit(out.accuracy, out.measured, tol > 0 ? tol : resfit, keep);
    return out;
}

void bind_curve(py::module_ &m) {
    py::class_<py_spline_curve> c(m, "SplineCurve",
                                  "A B-spline curve in space, as law.fit_curve gives it.");
    c.def_property_readonly(
        "degree", [](py_spline_curve const &self) { return self.c->get_degree(); },
        "The polynomial degree of the spans.");
    c.def_property_readonly(
        "knots",
        [](py_spline_curve const &self) {
            return array_of(self.c->get_knot_vector(), self.c->get_num_knots());
        },
        "The knot vector: len(control_points) + degree + 1 values.");
    c.def_property_readonly(
        "control_points",
        [](py_spline_curve const &self) {
            double const *p = self.c->get_control_points();
            return rows_of_three(std::vector<double>(p, p + 3 * self.c->get_K()));
        },
        "The control points, an array of shape (n, 3).");
    c.def_property_readonly(
        "weights",
        [](py_spline_curve const &self) {
            return weights_of(self.c->get_weights(), self.c->get_K());
        },
        "The weight of each control point (all 1 for a polynomial spline).");
    c.def_property_readonly(
        "range",
        [](py_spline_curve const &self) {
            return py::make_tuple(self.c->get_min_t(), self.c->get_max_t());
        },
        "The parameter range (t0, t1).");
    c.def_property_readonly(
        "accuracy", [](py_spline_curve const &self) { return self.accuracy; },
        "The distance from the law the fit reached, as the tool reports it (sw_curve_accuracy).");
    c.def_property_readonly(
        "measured", [](py_spline_curve const &self) { return self.measured; },
        "The largest distance from the law measured at many parameters of every span "
        "(sw_curve_distance), as 'law fit' prints it.");
    c.def("__call__", curve_points,
          "The points at the parameters t (a number or an array): shape t.shape + (3,). Beyond "
          "the range the curve goes on along its end tangent; a parameter that is not finite "
          "gives NaN.");
    c.def(
        "write_iges",
        [](py_spline_curve const &self, py::handle path) {
            std::string const p = path_text(path);
            check_written(methods::write_iges(*self.c, p), p);
        },
        py::arg("path"), "Writes the curve as an IGES file (entity 126, millimetres).");
    c.def(
        "write_step",
        [](py_spline_curve const &self, py::handle path) {
            std::string const p = path_text(path);
            check_written(methods::write_step(*self.c, p), p);
        },
        py::arg("path"),
        "Writes the curve as a STEP file (ISO 10303-21, AP214: B_SPLINE_CURVE_WITH_KNOTS, "
        "millimetres), "
        "as 'law fit --step' does.");
    c.def("__repr__", [](py_spline_curve const &self) {
        return "<SplineCurve degree " + std::to_string(self.c->get_degree()) + ", " +
               count_text(self.c->get_K(), "control point") + ", range [" +
               number_text(self.c->get_min_t()) + ", " + number_text(self.c->get_max_t()) + "]>";
    });
}

void bind_surface(py::module_ &m) {
    py::class_<py_spline_surface> c(
        m, "SplineSurface",
        "A tensor-product B-spline surface, as law.fit_surface gives it. Its control points "
        "form a net of shape (n_s, n_t); control_points lists them with the s index running "
        "fastest (point (i, j) at row i + n_s * j).");
    c.def_property_readonly(
        "degree",
        [](py_spline_surface const &self) {
            return py::make_tuple(self.s->get_degree1(), self.s->get_degree2());
        },
        "The degrees (in s, in t).");
    c.def_property_readonly(
        "knots",
        [](py_spline_surface const &self) {
            return py::make_tuple(array_of(self.s->get_knot_vector1(), self.s->get_num_knots1()),
                                  array_of(self.s->get_knot_vector2(), self.s->get_num_knots2()));
        },
        "The knot vectors (in s, in t).");
    c.def_property_readonly(
        "shape",
        [](py_spline_surface const &self) {
            return py::make_tuple(self.s->get_num_control_points1(),
                                  self.s->get_num_control_points2());
        },
        "The size of the control net (n_s, n_t).");
    c.def_property_readonly(
        "control_points",
        [](py_spline_surface const &self) {
            int const n = self.s->get_num_control_points1() * self.s->get_num_control_points2();
            std::vector<double> v;
            for (int k = 0; k < n; ++k) {
                ZEM::position const &p = self.s->get_control_points()[k];
                v.insert(v.end(), {p.x(), p.y(), p.z()});
            }
            return rows_of_three(v);
        },
        "The control points, an array of shape (n_s * n_t, 3), s index fastest.");
    c.def_property_readonly(
        "weights",
        [](py_spline_surface const &self) {
            return weights_of(self.s->get_weights(), self.s->get_num_control_points1() *
                                                         self.s->get_num_control_points2());
        },
        "The weight of each control point (all 1 for a polynomial spline).");
    c.def_property_readonly(
        "range",
        [](py_spline_surface const &self) {
            return py::make_tuple(py::make_tuple(self.s->get_min_s(), self.s->get_max_s()),
                                  py::make_tuple(self.s->get_min_t(), self.s->get_max_t()));
        },
        "The parameter ranges ((s0, s1), (t0, t1)).");
    c.def_property_readonly(
        "accuracy", [](py_spline_surface const &self) { return self.accuracy; },
        "The distance from the law the fit reached, as the tool reports it.");
    c.def_property_readonly(
        "measured", [](py_spline_surface const &self) { return self.measured; },
        "The largest distance from the law measured on a grid in every patch "
        "(sw_surface_distance), as 'law fit2' prints it.");
    c.def("__call__", surface_points,
          "The points at the parameters (s, t) (numbers or arrays, broadcast): shape "
          "broadcast shape + (3,). Parameters that are not finite give NaN; beyond the range "
          "raises LawError.");
    c.def(
        "write_iges",
        [](py_spline_surface const &self, py::handle path) {
            std::string const p = path_text(path);
            check_written(methods::write_iges(*self.s, p), p);
        },
        py::arg("path"), "Writes the surface as an IGES file (entity 128, millimetres).");
    c.def(
        "write_step",
        [](py_spline_surface const &self, py::handle path) {
            std::string const p = path_text(path);
            check_written(methods::write_step(*self.s, p), p);
        },
        py::arg("path"),
        "Writes the surface as a STEP file (ISO 10303-21, AP214: B_SPLINE_SURFACE_WITH_KNOTS, "
        "millimetres), "
        "as 'law fit2 --step' does.");
    c.def("__repr__", [](py_spline_surface const &self) {
        return "<SplineSurface degree (" + std::to_string(self.s->get_degree1()) + ", " +
               std::to_string(self.s->get_degree2()) + "), control net " +
               std::to_string(self.s->get_num_control_points1()) + " x " +
               std::to_string(self.s->get_num_control_points2()) + ">";
    });
}

}  // namespace

void bind_geometry(py::module_ &m) {
    bind_curve(m);
    bind_surface(m);
    py::object type =
        py::module_::import("collections").attr("namedtuple")("Frame", "points tangents normals");
    type.attr("__module__") = "law";
    type.attr("__doc__") =
        "Frames along a curve: points, unit tangents and rotation-minimising unit normals, "
        "each an array of shape (n, 3); the binormals are numpy.cross(tangents, normals).";
    m.attr("Frame") = type;
    frame_type = type.release().ptr();
    m.def("frame", frame, py::arg("curve"), py::arg("a"), py::arg("b"), py::arg("n") = 5,
          R"doc(The frames of a space curve (one input, three outputs) at n parameters evenly from a
to b (numpy.linspace(a, b, n)), as 'law frame' computes them: a Frame of points, unit
tangents and the normals that turn least about the tangent (MINROT), started at the Frenet
normal at a.)doc");
    m.def("fit_curve", fit_curve, py::arg("f"), py::arg("a"), py::arg("b"), py::arg("tol") = 1e-3,
          py::arg("strategy") = 0, py::arg("keep") = false,
          R"doc(A cubic B-spline within tol of the curve f over [a, b], as 'law fit' fits it: f is a
space curve (one input, three outputs), or a law of one output for the plane curve
(t, f(t), 0). strategy chooses how knots are removed (0: those that stay within tolerance;
1: none; 2: every one that can go). A fit farther from f than tol (by its accuracy or by the
distance measured densely) raises LawError, unless keep=True.)doc");
    m.def("fit_surface", fit_surface, py::arg("f"), py::arg("s0"), py::arg("s1"), py::arg("t0"),
          py::arg("t1"), py::arg("tol") = 1e-3, py::arg("keep") = false,
          "A bicubic B-spline surface within tol of f (two inputs, three outputs) over "
          "[s0, s1] x [t0, t1], as 'law fit2' fits it; a fit farther from f than tol raises "
          "LawError, unless keep=True.");
}

}  // namespace law_py
