#pragma once
// Input shown back in a message: control bytes escaped and a long text cut, so that neither a
// stray escape sequence nor a line of megabytes reaches the terminal.
#include <cstddef>
#include <string>
#include <string_view>

namespace law_tool {

// About as many characters a message shows of one piece of input.
inline constexpr std::size_t echo_width = 80;

// text with its control bytes written \n, \t, \r or \xHH, cut after width characters with "…".
std::string echoed(std::string_view text, std::size_t width = echo_width);

}  // namespace law_tool
