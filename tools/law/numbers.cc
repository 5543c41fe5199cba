#include "numbers.h"

#include "echo.h"
#include "tool.h"

namespace law_tool {

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
