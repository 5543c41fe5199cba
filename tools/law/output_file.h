#pragma once
// Writing what a subcommand made to a file, or to standard output for "-".
#include <string>

namespace law_tool {

// Raises tool_error naming the file when it cannot be written.
void write_file(std::string const &path, std::string const &text);

}  // namespace law_tool
