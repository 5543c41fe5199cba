// law print and law eval.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "arguments.h"
#include "json_text.h"
#include "law_reader.h"
#include "output_format.h"
#include "stream_eval.h"
#include "tool.h"

namespace law_tool {

int run_print(arguments const &args) {
    args.expect_operands(1, 1);
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    std::printf("%s\n", l->text().c_str());
    return exit_ok;
}

int run_eval(arguments const &args) {
    args.expect_operands(1, SIZE_MAX);
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    if (args.operand_count() == 2 && args.operand(1) == "-") {
        if (args.operand(0) == "@-")
            throw tool_error("standard input cannot hold both the law and its points");
        if (returns_variably(*l))
            throw tool_error(
                "the law's number of values depends on its inputs; give its points as operands, "
                "one run each");
        std::fflush(stdout);
        evaluate_stream(*l, STDIN_FILENO, STDOUT_FILENO, json_output());
        return exit_ok;
    }
    std::vector<double> point;
    for (std::size_t i = 1; i < args.operand_count(); ++i)
        point.push_back(reader.value(args.operand(i)));
    if (!json_output()) {
        std::printf("%s\n", values_text(*l, point).c_str());
        return exit_ok;
    }
    std::vector<double> const values = values_at(*l, point);
    point.resize(std::min(point.size(), static_cast<std::size_t>(l->take_dim())));
    print_json(json_object().add("point", point).add("values", values));
    return exit_ok;
}

}  // namespace law_tool
