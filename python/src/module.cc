// The extension module law._law. The package keeps to what both pybind11 and nanobind offer
// (plain classes with the default holder, def/def_property_readonly, py::args, the GIL
// released by scope, exception translators, pickling through __getstate__/__setstate__), so
// that a move to nanobind is mechanical.
#include <law/law.h>

#include "errors.h"
#include "py_law.h"

namespace py = pybind11;

PYBIND11_MODULE(_law, m) {
    m.doc() = "The law library's bindings; import law, not this module.";
    initialize_law();
    // The library's debug prints go to standard error, clear of what a script prints.
    set_debug_file(stderr);
    law_py::register_errors(m);
    law_py::bind_law(m);
    law_py::bind_law_data(m);
    law_py::bind_functions(m);
    law_py::bind_numerics(m);
    law_py::bind_geometry(m);
    m.attr("__version__") = LAW_VERSION;
    m.def(
        "_live_counts", [] { return py::make_tuple(law::live_count(), law_data::live_count()); },
        "The laws and law data alive in the process, for the tests' leak checks.");
}
