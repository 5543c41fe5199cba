// law.LawData: the curves, surfaces, wires, patterns and transforms that laws read, written and
// read as the tool's --data writes them ('law help data').
#include <cstdio>
#include <cstdlib>

#include <law/data/law_data_text.h>

#include "errors.h"
#include "py_law.h"
#include "syntax.h"

namespace py = pybind11;

namespace law_py {
namespace {

// The tool's 'law help data', as the class's documentation.
std::string data_help() {
    char *buffer = nullptr;
    std::size_t size = 0;
    std::FILE *out = open_memstream(&buffer, &size);
    if (!out) return {};
    law_tool::print_data_help(out);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

std::string const &data_doc() {
    static std::string const doc =
        "Law data: a curve, surface, wire, pattern or transform that laws read.\n\n"
        "LawData(text) reads the text that the law tool's --data reads; laws name the data\n"
        "given with Law(text, data=[...]) by kind and number (CUR(HELIX1)), or take it as an\n"
        "argument (law.cur(helix)). Law data pickle through their text.\n\n" +
        data_help();
    return doc;
}

std::string data_text(py_law_data const &self) { return law_data_text(*self.d); }

}  // namespace

law_data_ptr data_from_text(std::string const &text) {
    TEST_clear_error();
    law_data_ptr d = adopt(read_law_data(text.c_str()));
    if (!d)
        refuse(LAW_DATA_UNKNOWN,
               "cannot read the law data " + shown_text(text) + ": " + TEST_get_error());
    return d;
}

void bind_law_data(py::module_ &m) {
    py::class_<py_law_data> c(m, "LawData", data_doc().c_str());
    c.def(py::init([](std::string const &text) { return py_law_data{data_from_text(text)}; }),
          py::arg("text"));
    c.def_property_readonly(
        "kind", [](py_law_data const &self) { return self.d->symbol(law_symbol_default); },
        "The kind's name, as laws name the data: \"HELIX\", \"PLANE\", ...");
    c.def_property_readonly("text", data_text, "The text that LawData(text) reads back.");
    c.def("__str__", data_text);
    c.def("__repr__", [](py_law_data const &self) {
        return "LawData(" + py::repr(py::str(data_text(self))).cast<std::string>() + ")";
    });
    c.def(
        "__eq__",
        [](py_law_data const &self, py::handle other) -> py::object {
            if (!py::isinstance<py_law_data>(other))
                return py::reinterpret_borrow<py::object>(Py_NotImplemented);
            return py::bool_(*self.d == *other.cast<py_law_data const &>().d);
        },
        py::is_operator());
    c.def("__hash__", [](py_law_data const &self) {
        return py::hash(py::str(self.d->symbol(law_symbol_default)));
    });
    c.def("__copy__", [](py::object self) { return self; });
    c.def(
        "__deepcopy__", [](py::object self, py::handle) { return self; }, py::arg("memo"));
    c.def(py::pickle([](py_law_data const &self) { return py::make_tuple(data_text(self)); },
                     [](py::tuple const &state) {
                         if (state.size() != 1)
                             throw py::value_error("a LawData's state is (text,)");
                         return py_law_data{data_from_text(state[0].cast<std::string>())};
                     }));
}

}  // namespace law_py
