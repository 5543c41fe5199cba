#include "echo.h"

#include <cstdio>

namespace law_tool {
namespace {

bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

void append_escaped(std::string &out, unsigned char c) {
    switch (c) {
        case '\n':
            out += "\\n";
            return;
        case '\t':
            out += "\\t";
            return;
        case '\r':
            out += "\\r";
            return;
        default:
            if (c >= 0x20 && c != 0x7F) {
                out += static_cast<char>(c);
                return;
            }
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
    }
}

}  // namespace

std::string echoed(std::string_view text, std::size_t width) {
    std::string out;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto const c = static_cast<unsigned char>(text[i]);
        // Characters of several bytes count once and are never cut in two.
        if (!is_continuation(c) && shown++ == width) return out + "…";
        append_escaped(out, c);
    }
    return out;
}

}  // namespace law_tool
