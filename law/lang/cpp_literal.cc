#include <law/lang/cpp_literal.h>

#include <cmath>

#include <law/core/constant_law.h>

std::string cpp_double_literal(double v) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v > 0 ? "HUGE_VAL" : "-HUGE_VAL";
    // The printed "-0" would be an integer literal, which has no sign of zero.
    if (v == 0 && std::signbit(v)) return "-0.0";
    return number_string(v);
}
