#pragma once
// Writing what a subcommand made to a file, or to standard output for "-".
#include <string>

namespace law_tool {

class arguments;

// Raises tool_error naming the file when it cannot be written.
void write_file(std::string const &path, std::string const &text);

// The picture's file from -o; a usage error without one, as no file is written unasked.
std::string output_path(arguments const &args);

// "plot written to FILE" on standard output, unless the picture went there ("-") or the
// results are JSON.
void say_written(char const *what, std::string const &path);

}  // namespace law_tool
