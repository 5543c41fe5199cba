#pragma once
// Values written into generated C++ so that the compiled code reads back the very same double.
#include <string>

// The printed form of v (which reads back as v); -0.0, the infinities and NaN as C++ expressions
// (the last two of <cmath>).
std::string cpp_double_literal(double v);
