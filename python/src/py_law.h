#pragma once
// The Python objects of the package, law.Law and law.LawData, each holding one reference to the
// library's object, and the conversions every binding shares.
#include <string>
#include <vector>

#include <law/law.h>
#include <pybind11/pybind11.h>

namespace law_py {

struct py_law {
    law_ptr l;
};

struct py_law_data {
    law_data_ptr d;
};

// An object held for the life of the process: what the bindings keep in statics may be used
// until the interpreter ends, after the module's own references are gone.
inline pybind11::handle kept(pybind11::object o) { return o.release(); }

// The value of a real number (int, float, a NumPy scalar); OverflowError for an int too large
// for a double, TypeError naming `what` for anything else.
double real_value(pybind11::handle h, char const *what);

// The law a Python value stands for: a Law, or a real number (int, float, a NumPy scalar) as a
// constant law; null for anything else.
law_ptr law_from(pybind11::handle h);
// law_from, with a TypeError naming `what` for a value that is neither.
law_ptr law_argument(pybind11::handle h, char const *what);
// A new Python Law holding l.
pybind11::object wrap(law_ptr l);

// The law that text reads as, with LAW1, LAW2, ... the given laws and the law data numbered
// after them, as the tool numbers --law and --data; raises LawError with the parser's message.
law_ptr read_law(std::string const &text, std::vector<law_ptr> const &laws,
                 std::vector<law_data_ptr> const &data);

// The law data that text describes, as the tool's --data reads it; raises LawError.
law_data_ptr data_from_text(std::string const &text);

void bind_law(pybind11::module_ &m);                  // Law: text, operators, calculus, pickling
void bind_evaluation(pybind11::class_<py_law> &law);  // Law.__call__
void bind_functions(pybind11::module_ &m);            // the registry's names over laws
void bind_law_data(pybind11::module_ &m);             // LawData
void bind_numerics(pybind11::module_ &m);             // integrate, roots, minimize, ...
void bind_geometry(pybind11::module_ &m);             // frame, fit_curve, fit_surface, splines

}  // namespace law_py
