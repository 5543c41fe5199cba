#include "errors.h"

#include "py_law.h"

#include <charconv>
#include <exception>

namespace py = pybind11;

namespace law_py {
namespace {

// law._errors.LawError, held for the life of the process: the translator may run until the
// interpreter ends, after the module's own objects are gone.
PyObject *law_error_type = nullptr;

void raise_law_error(char const *code, std::string const &message) {
    py::object const error = py::reinterpret_borrow<py::object>(law_error_type)(message, code);
    PyErr_SetObject(law_error_type, error.ptr());
}

// A raised error's what() is "CODE: message (detail)"; the message is what follows the code.
std::string message_of(vorn_exception const &e) {
    std::string const what = e.what(), prefix = std::string(e.code_name()) + ": ";
    return what.starts_with(prefix) ? what.substr(prefix.size()) : what;
}

}  // namespace

std::string count_text(long n, char const *noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string number_text(double v) {
    char buffer[32];
    auto const end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return std::string(buffer, end);
}

std::string shown_text(std::string const &text) {
    constexpr std::size_t width = 60;
    if (text.size() <= width) return "\"" + text + "\"";
    return "\"" + text.substr(0, width) + "...\" (" + std::to_string(text.size()) + " characters)";
}

void register_errors(py::module_ &m) {
    law_error_type = kept(py::module_::import("law._errors").attr("LawError")).ptr();
    m.attr("LawError") = py::handle(law_error_type);
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (vorn_exception const &e) {
            raise_law_error(e.code_name(), message_of(e));
        } catch (law_refusal const &e) {
            raise_law_error(lawutil_code_name(e.code()), e.what());
        }
    });
}

}  // namespace law_py
