#pragma once
// The law syntax as "law help syntax" writes it: the rules, then every registered name.
#include <cstdio>
#include <string_view>

namespace law_tool {

// The one-line meaning of a registered function or operator name, or null when it has none.
char const *name_meaning(std::string_view name);

void print_syntax(std::FILE *out);

// The texts of the law data that --data reads, as "law help data" writes them.
void print_data_help(std::FILE *out);

// The form of each subcommand's --json output, as "law help json" writes it.
void print_json_help(std::FILE *out);

}  // namespace law_tool
