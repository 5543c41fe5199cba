#pragma once
// How a subcommand that prints results writes them: as text, or with --json as JSON; numbers
// with --precision N significant digits.
#include <span>

namespace law_tool {

class arguments;
struct option_def;

// --json and --precision, accepted by every subcommand that prints results.
std::span<option_def const> output_options();
// Their help lines.
char const *output_option_text();

// Takes --json and --precision from args for the rest of the run.
void set_output_format(arguments const &args);

// Whether results are written as JSON.
bool json_output();

}  // namespace law_tool
