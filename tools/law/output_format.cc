#include "output_format.h"

#include "arguments.h"
#include "numbers.h"

namespace law_tool {
namespace {

constexpr option_def options[] = {{"json", 0, option_kind::flag},
                                  {"precision", 0, option_kind::value}};

bool json_wanted = false;

}  // namespace

std::span<option_def const> output_options() { return options; }

char const *output_option_text() {
    return "  --json            print the results as JSON (law help json shows each form)\n"
           "  --precision N     print numbers rounded to N significant digits (1 to 17; by\n"
           "                    default as many as reading the number back needs)\n";
}

void set_output_format(arguments const &args) {
    json_wanted = args.has("json");
    auto const digits = args.value("precision");
    set_printed_digits(digits ? read_int_option("precision", *digits, 1, 17) : 0);
}

bool json_output() { return json_wanted; }

}  // namespace law_tool
