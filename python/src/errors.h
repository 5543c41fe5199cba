#pragma once
// Errors in Python. The library's raised errors and the package's own refusals of bad arguments
// both reach the caller as law.LawError, carrying the "lawutil" code name (e.code) and the
// message (e.message); a wrong Python type is a TypeError, as everywhere in Python.
#include <stdexcept>
#include <string>

#include <law/core/lawutil_errors.h>
#include <pybind11/pybind11.h>

namespace law_py {

// A refusal by the package itself, with the library code that names what is wrong.
class law_refusal : public std::runtime_error {
  public:
    law_refusal(lawutil_error code, std::string const &message)
        : std::runtime_error(message), code_(code) {}
    lawutil_error code() const { return code_; }

  private:
    lawutil_error code_;
};

[[noreturn]] inline void refuse(lawutil_error code, std::string const &message) {
    throw law_refusal(code, message);
}

// "1 input", "2 inputs".
std::string count_text(long n, char const *noun);

// The shortest text that reads back as v.
std::string number_text(double v);

// At most about 60 characters of a text the caller gave, for a message.
std::string shown_text(std::string const &text);

// Makes law.LawError (defined in law._errors) the Python face of both kinds of error.
void register_errors(pybind11::module_ &m);

}  // namespace law_py
