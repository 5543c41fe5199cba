// law.Law: reading, printing, dimensions, equality, operators, derivatives, simplification and
// pickling through the law's text.
#include <law/core/law_law_data.h>
#include <law/data/law_data_text.h>
#include <law/lang/str_to_law.h>
#include <law/ops/law_builders.h>

#include "errors.h"
#include "py_law.h"
#include "spelling_hints.h"

namespace py = pybind11;

namespace law_py {
namespace {

constexpr int max_derivative_order = 64;  // as the tool's deriv --order

bool is_real_number(py::handle h) {
    if (PyFloat_Check(h.ptr()) || PyLong_Check(h.ptr())) return true;
    // NumPy's scalars and the other registered reals; never an array.
    static py::handle const real = kept(py::module_::import("numbers").attr("Real"));
    return PyObject_IsInstance(h.ptr(), real.ptr()) == 1;
}

// The law data of l in the order its text numbers them, each with a reference.
std::vector<law_data_ptr> data_of(law const &l) {
    law_data **data = nullptr;
    int n = 0;
    vorn_ptr<char> const text(l.string_and_data(&data, &n));
    std::vector<law_data_ptr> out;
    for (int i = 0; i < n; ++i) out.push_back(adopt(data[i]));
    vorn_discard(data);
    for (law_data_ptr const &d : out)
        if (!d) refuse(LAW_DATA_UNKNOWN, "the law names law data it does not hold");
    return out;
}

// What a pickle keeps: the text and the texts of the law data it names.
py::tuple law_state(py_law const &self) {
    py::list data;
    for (law_data_ptr const &d : data_of(*self.l)) {
        std::string const text = law_data_text(*d);
        if (!adopt(read_law_data(text.c_str())))
            refuse(LAW_DATA_SAVE, "the law data " + shown_text(text) +
                                      " has no text that reads back, so the law cannot be pickled");
        data.append(text);
    }
    return py::make_tuple(self.l->text(), py::tuple(data));
}

py_law law_from_state(py::tuple const &state) {
    if (state.size() != 2) throw py::value_error("a Law's state is (text, law data texts)");
    std::vector<law_data_ptr> data;
    for (py::handle t : state[1]) data.push_back(data_from_text(t.cast<std::string>()));
    return {read_law(state[0].cast<std::string>(), {}, data)};
}

std::string law_repr(py_law const &self) {
    std::string out = "Law(" + py::repr(py::str(self.l->text())).cast<std::string>();
    std::vector<law_data_ptr> const data = data_of(*self.l);
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += i ? ", " : ", data=[";
        out += "LawData(" + py::repr(py::str(law_data_text(*data[i]))).cast<std::string>() + ")";
    }
    return out + (data.empty() ? ")" : "])");
}

// A binary operator of the library over two values that stand for laws; NotImplemented for any
// other, so that Python tries the other operand's method.
template <class Op>
py::object binary(py::handle a, py::handle b) {
    law_ptr const x = law_from(a), y = law_from(b);
    if (!x || !y) return py::reinterpret_borrow<py::object>(Py_NotImplemented);
    return wrap(make_law<Op>(x.get(), y.get()));
}

template <class Op>
void bind_operator(py::class_<py_law> &c, char const *name, char const *reflected) {
    c.def(
        name, [](py::handle a, py::handle b) { return binary<Op>(a, b); }, py::is_operator());
    c.def(
        reflected, [](py::handle a, py::handle b) { return binary<Op>(b, a); }, py::is_operator());
}

py_law derivative(py_law const &self, int which, int order) {
    law const &l = *self.l;
    // A law of no input still has a derivative by input 0: zero.
    if (which < 0 || (which > 0 && which >= l.take_dim()))
        refuse(LAW_DIM, "input " + std::to_string(which) + " is not among the law's " +
                            count_text(l.take_dim(), "input") + " (they are numbered from 0)");
    if (order < 0 || order > max_derivative_order)
        refuse(LAW_BAD_RANGE,
               "the order of a derivative runs from 0 to " + std::to_string(max_derivative_order));
    law_ptr d;
    {
        py::gil_scoped_release const unlocked;
        d = adopt(repeated_derivative(&l, which, order));
    }
    if (!d) refuse(LAW_DERIV, "the law has no derivative");
    return {d};
}

py_law simplified(py_law const &self, int level) {
    if (level < 0 || level > 2) refuse(LAW_BAD_RANGE, "the simplification level is 0, 1 or 2");
    law_ptr s;
    {
        py::gil_scoped_release const unlocked;
        s = adopt(self.l->simplify(level));
    }
    if (!s) refuse(LAW_EVAL, "the law could not be simplified");
    return {s};
}

std::vector<law_ptr> laws_of(py::iterable items) {
    std::vector<law_ptr> out;
    for (py::handle h : items) out.push_back(law_argument(h, "laws= holds laws"));
    return out;
}

std::vector<law_data_ptr> data_of(py::iterable items) {
    std::vector<law_data_ptr> out;
    for (py::handle h : items) {
        if (py::isinstance<py_law_data>(h))
            out.push_back(h.cast<py_law_data const &>().d);
        else if (py::isinstance<py::str>(h))
            out.push_back(data_from_text(h.cast<std::string>()));
        else
            throw py::type_error("data= holds LawData or their texts");
    }
    return out;
}

constexpr char law_doc[] =
    R"doc(A law: a function of take_dim real inputs to return_dim real outputs.

Law(text, *, laws=(), data=()) reads the law syntax ('law help syntax'): X, Y, Z (or X1, X2,
...) are the inputs, LAW1, LAW2, ... the given laws and the law data are numbered after them,
as the tool numbers --law and --data:

    >>> f = law.Law("SIN(X)*Y")
    >>> f(0.5, 2.0)
    0.958851077208406
    >>> law.Law("CURC(HELIX1)", data=[law.LawData("HELIX major (2, 0, 0) pitch 3")])(0.5)
    0.4730399553928322

Law(number) is a constant law. Laws combine with + - * / ** and negation (with laws and
numbers), the functions law.sin, law.exp, ... and the inputs law.X, law.Y, law.Z. Equality
compares the laws' trees; laws pickle through their text.)doc";

}  // namespace

double real_value(py::handle h, char const *what) {
    if (!is_real_number(h))
        throw py::type_error(std::string(what) + ": a real number, not " +
                             std::string(py::str(py::type::handle_of(h).attr("__name__"))));
    double const v = PyFloat_AsDouble(h.ptr());
    if (v == -1 && PyErr_Occurred()) throw py::error_already_set();
    return v;
}

law_ptr law_from(py::handle h) {
    if (py::isinstance<py_law>(h)) return h.cast<py_law const &>().l;
    if (is_real_number(h)) return make_law<constant_law>(real_value(h, "a law"));
    return {};
}

law_ptr law_argument(py::handle h, char const *what) {
    law_ptr l = law_from(h);
    if (!l)
        throw py::type_error(std::string(what) + ": a Law or a real number, not " +
                             std::string(py::str(py::type::handle_of(h).attr("__name__"))));
    return l;
}

py::object wrap(law_ptr l) { return py::cast(py_law{std::move(l)}); }

law_ptr read_law(std::string const &text, std::vector<law_ptr> const &laws,
                 std::vector<law_data_ptr> const &data) {
    std::vector<law_data_ptr> held;
    for (law_ptr const &l : laws) held.push_back(adopt<law_data>(new law_law_data(l.get())));
    held.insert(held.end(), data.begin(), data.end());
    std::vector<law_data *> raw;
    for (law_data_ptr const &d : held) raw.push_back(d.get());
    auto const parse = [&](std::string const &t) {
        TEST_clear_error();
        return adopt(str_to_law(t.c_str(), raw.data(), static_cast<int>(raw.size())));
    };
    law_ptr l;
    std::string why;
    {
        py::gil_scoped_release const unlocked;
        l = parse(text);
        if (!l) {
            why = TEST_get_error();
            if (why.empty()) why = "the text reads as no law";
            // As the tool does: what another tool writes (X**2, ATAN2, POW) spelled here.
            std::string const hint =
                law_tool::hint_text(law_tool::hint_for(text), [&](std::string const &t) {
                    try {
                        return parse(t).get() != nullptr;
                    } catch (vorn_exception const &) {
                        return false;
                    }
                });
            if (!hint.empty()) why += "; " + hint;
        }
    }
    if (!l) refuse(LAW_SYNTAX, "cannot read " + shown_text(text) + ": " + why);
    return l;
}

void bind_law(py::module_ &m) {
    py::class_<py_law> c(m, "Law", law_doc);
    c.def(py::init([](std::string const &text, py::iterable laws, py::iterable data) {
              return py_law{read_law(text, laws_of(laws), data_of(data))};
          }),
          py::arg("text"), py::kw_only(), py::arg("laws") = py::tuple(),
          py::arg("data") = py::tuple());
    c.def(py::init([](py::handle value) { return py_law{law_argument(value, "Law(value)")}; }),
          py::arg("value"));
    c.def_property_readonly(
        "text", [](py_law const &self) { return self.l->text(); },
        "The law in the default syntax; Law(text) reads it back (with the law's data).");
    c.def_property_readonly(
        "take_dim", [](py_law const &self) { return self.l->take_dim(); }, "The number of inputs.");
    c.def_property_readonly(
        "return_dim", [](py_law const &self) { return self.l->return_dim(); },
        "The number of outputs.");
    c.def_property_readonly(
        "data",
        [](py_law const &self) {
            py::list out;
            for (law_data_ptr &d : data_of(*self.l)) out.append(py_law_data{std::move(d)});
            return py::tuple(out);
        },
        "The law data the law refers to, in the order its text numbers them.");
    c.def("__str__", [](py_law const &self) { return self.l->text(); });
    c.def("__repr__", law_repr);
    c.def(
        "__eq__",
        [](py_law const &self, py::handle other) -> py::object {
            if (!py::isinstance<py_law>(other))
                return py::reinterpret_borrow<py::object>(Py_NotImplemented);
            return py::bool_(same_law(self.l.get(), other.cast<py_law const &>().l.get()));
        },
        py::is_operator());
    // Equal laws may be written differently (X+Y and Y+X); their dimensions agree.
    c.def("__hash__", [](py_law const &self) {
        return py::hash(py::make_tuple("Law", self.l->take_dim(), self.l->return_dim()));
    });
    bind_operator<plus_law>(c, "__add__", "__radd__");
    bind_operator<minus_law>(c, "__sub__", "__rsub__");
    bind_operator<times_law>(c, "__mul__", "__rmul__");
    bind_operator<division_law>(c, "__truediv__", "__rtruediv__");
    bind_operator<exponent_law>(c, "__pow__", "__rpow__");
    c.def("__neg__", [](py_law const &self) { return py_law{build::negate(self.l)}; });
    c.def("__pos__", [](py_law const &self) { return self; });
    c.def("__abs__",
          [](py_law const &self) { return py_law{read_law("ABS(LAW1)", {self.l}, {})}; });
    // NumPy's operators leave a Law operand to the Law's own: 2.0 * law.X is a Law.
    c.attr("__array_ufunc__") = py::none();
    c.def("derivative", derivative, py::arg("which") = 0, py::arg("order") = 1,
          R"doc(The order-th derivative with respect to input `which` (0 for X), symbolic and
simplified; order 0 gives the law itself.)doc");
    c.def("simplify", simplified, py::arg("level") = 1,
          "The law simplified by the library's rewrite rules (level 2 adds the deep rules).");
    // A law is never changed once built: a copy is the law itself.
    c.def("__copy__", [](py::object self) { return self; });
    c.def(
        "__deepcopy__", [](py::object self, py::handle) { return self; }, py::arg("memo"));
    c.def(py::pickle(&law_state, &law_from_state));
    bind_evaluation(c);
}

}  // namespace law_py
