#include <law/lang/cpp_literal.h>

#include <charconv>
#include <cmath>


std::string cpp_double_literal(double v) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v > 0 ? "HUGE_VAL" : "-HUGE_VAL";
    // The printed "-0" would be an integer literal, which has no sign of zero.
    if (v == 0 && std::signbit(v)) return "-0.0";
    // Shortest text that reads back as the same double: the printed law rounds to 16 digits.
    char buf[40];
    char *const end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    return std::string(buf, static_cast<std::size_t>(end - buf));
}
