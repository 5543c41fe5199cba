#include "numbers.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "echo.h"
#include "tool.h"

namespace law_tool {
namespace {

int digits_wanted = 0;

// v rounded to `digits` significant digits, through its decimal text so that what is printed
// is the nearest double to the rounded decimal.
double rounded_to(double v, int digits) {
    char buf[max_number_chars + 8];
    char *const end =
        std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, digits - 1).ptr;
    double r = v;
    std::from_chars(buf, end, r);
    return r;
}

}  // namespace

int printed_digits() { return digits_wanted; }

void set_printed_digits(int digits) { digits_wanted = digits; }

char *write_number(char *out, double v) {
    char *const limit = out + max_number_chars;
    if (!std::isfinite(v)) return std::to_chars(out, limit, v).ptr;
    if (digits_wanted > 0) v = rounded_to(v, digits_wanted);
    char sci[max_number_chars];
    char *const end = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific).ptr;
    char const *e = end;
    while (*--e != 'e') {
    }
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
    // Plain digits where %.17g would write them (100000, not 1e+05), never longer than it: the
    // shortest digits moved about the point, padded with zeros.
    if (exponent < -4 || exponent >= 17) return std::copy(sci, end, out);
    char const *p = sci;
    char *o = out;
    if (*p == '-') *o++ = *p++;
    char digits[max_number_chars];
    int n = 0;
    for (; p != e; ++p)
        if (*p != '.') digits[n++] = *p;
    if (exponent < 0) {
        *o++ = '0';
        *o++ = '.';
        o = std::fill_n(o, -exponent - 1, '0');
        return std::copy(digits, digits + n, o);
    }
    int const whole = exponent + 1;
    for (int i = 0; i < whole; ++i) *o++ = i < n ? digits[i] : '0';
    if (n <= whole) return o;
    *o++ = '.';
    return std::copy(digits + whole, digits + n, o);
}

std::string number_text(double v) {
    char buf[max_number_chars];
    return std::string(buf, write_number(buf, v));
}

std::optional<double> read_number(std::string_view word) {
    double v = 0;
    char const *end = read_number_at(word.data(), word.data() + word.size(), v);
    if (!end || end != word.data() + word.size()) return std::nullopt;
    return v;
}

void order_ends(double &a, double &b, char const *what) {
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(b - a) || a == b)
        throw tool_error(std::string(what) + " needs two different finite ends; A is " +
                         number_text(a) + ", B is " + number_text(b));
    if (a > b) std::swap(a, b);
}

int read_int_option(std::string_view option, std::string_view text, int lo, int hi) {
    return read_int_for("--" + std::string(option), text, lo, hi);
}

int read_int_for(std::string const &what, std::string_view text, int lo, int hi) {
    int v = 0;
    auto const [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || ptr != text.data() + text.size() || v < lo || v > hi)
        throw usage_error(what + " needs a whole number from " + std::to_string(lo) + " to " +
                          std::to_string(hi) + ", not '" + echoed(text) + "'");
    return v;
}

double read_real_option(std::string_view option, std::string_view text) {
    std::optional<double> const v = read_number(text);
    if (!v)
        throw usage_error("--" + std::string(option) + " needs a number, not '" + echoed(text) +
                          "'");
    return *v;
}

}  // namespace law_tool
