#pragma once
// A law as a self-contained C++ function: plain arithmetic and <cmath>, no library, computing
// what the law's evaluate computes (the same operations in the same order) wherever the law
// raises no error. The law's domain checks are left out.
#include <span>
#include <string>

class law;

struct law_function_code {
    std::string code;     // the function, or "" when the law cannot be written so
    std::string refusal;  // why not, naming the class ("RAND has no plain C++ form")
};

// `double name(double const *x)` computing the values of the laws, each of one output, or
// `void name(double const *x, double *out)` filling out[0], out[1], ... with their values in
// order (a law of several outputs gives each of them) when there are several. The code needs
// <cmath>.
law_function_code law_function(std::span<law const *const> laws, char const *name);
