// law integrate: Romberg integration of a law of one input.
#include <cmath>
#include <cstdio>

#include <law/numeric/nintegrate.h>

#include "arguments.h"
#include "law_reader.h"
#include "numbers.h"
#include "tool.h"

namespace law_tool {

int run_integrate(arguments const &args) {
    args.expect_operands(3, 3);
    double const tol = args.has("tol") ? read_real_option("tol", *args.value("tol")) : 1e-10;
    if (!(tol >= 0)) throw usage_error("--tol needs a number of at least 0");
    int const min_level =
        args.has("min-level")
            ? read_int_option("min-level", *args.value("min-level"), 2, romberg_level_cap - 1)
            : 2;
    int const max_level =
        args.has("max-level")
            ? read_int_option("max-level", *args.value("max-level"), 3, romberg_level_cap)
            : 20;
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    double const a = reader.value(args.operand(1));
    double const b = reader.value(args.operand(2));
    if (!std::isfinite(a) || !std::isfinite(b))
        throw tool_error("integrate needs finite limits; A is " + number_text(a) + ", B is " +
                         number_text(b));
    if (l->take_dim() > 1 || l->return_dim() != 1)
        throw tool_error("integrate needs a law of one input and one output; this one takes " +
                         count_text(l->take_dim(), "input") + " and returns " +
                         count_text(l->return_dim(), "value"));
    double result = 0;
    int levels = 0;
    try {
        levels = Nintegrate(l.get(), a, b, &result, tol, min_level, max_level);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    if (!std::isfinite(result))
        throw tool_error(
            "the integral has no finite value: the samples overflow or the law has a pole in "
            "[A, B]");
    std::printf("%s\n", number_text(result).c_str());
    if (args.has("verbose")) {
        if (levels)
            std::printf("levels: %d (tolerance %s met)\n", levels, number_text(tol).c_str());
        else
            std::printf("levels: %d (tolerance %s not met)\n", max_level, number_text(tol).c_str());
    }
    if (!levels) {
        std::fflush(stdout);
        std::fprintf(stderr,
                     "law: warning: tolerance %s not met within %d levels; the value is the "
                     "best estimate\n",
                     number_text(tol).c_str(), max_level);
    }
    return exit_ok;
}

}  // namespace law_tool
