// law integrate: the integral of a law of one input, by the adaptive Gauss-Kronrod integrator
// or by Romberg's method.
#include <cmath>
#include <cstdio>

#include <law/numeric/adaptive_integral.h>
#include <law/numeric/nintegrate.h>

#include "arguments.h"
#include "json_text.h"
#include "law_reader.h"
#include "numbers.h"
#include "output_format.h"
#include "searches.h"
#include "tool.h"

namespace law_tool {
namespace {

struct integrate_request {
    law_ptr l;
    double a, b, tol;
};

int integrate_adaptive(arguments const &args, integrate_request const &r) {
    if (args.has("min-level") || args.has("max-level"))
        throw usage_error("--min-level and --max-level are for --method romberg");
    double const rel_tol =
        args.has("rel-tol") ? read_real_option("rel-tol", *args.value("rel-tol")) : 1e-10;
    if (!(rel_tol >= 0)) throw usage_error("--rel-tol needs a number of at least 0");
    if (r.tol == 0 && rel_tol == 0) throw usage_error("--tol and --rel-tol cannot both be 0");
    integral_report report;
    try {
        report = Nintegrate_adaptive(r.l.get(), r.a, r.b, r.tol, rel_tol);
    } catch (vorn_exception const &e) {
        report_law_error_in_full(e);
    }
    if (json_output()) {
        json_object o;
        o.add("value", report.value).add("method", "adaptive").add("error", report.error);
        o.add("evaluations", report.evaluations).add("intervals", report.intervals);
        print_json(o.add("tolerance_met", true));
        return exit_ok;
    }
    std::printf("%s\n", number_text(report.value).c_str());
    std::printf("error: %.2g (estimated), evaluations: %ld\n", report.error, report.evaluations);
    if (args.has("verbose")) std::printf("intervals: %d\n", report.intervals);
    return exit_ok;
}

int integrate_romberg(arguments const &args, integrate_request const &r) {
    int const min_level =
        args.has("min-level")
            ? read_int_option("min-level", *args.value("min-level"), 2, romberg_level_cap - 1)
            : 2;
    int const max_level =
        args.has("max-level")
            ? read_int_option("max-level", *args.value("max-level"), 3, romberg_level_cap)
            : 20;
    if (!std::isfinite(r.a) || !std::isfinite(r.b))
        throw tool_error("romberg integration needs finite limits; A is " + number_text(r.a) +
                         ", B is " + number_text(r.b));
    double result = 0;
    int levels = 0;
    try {
        levels = Nintegrate(r.l.get(), r.a, r.b, &result, r.tol, min_level, max_level);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    if (!std::isfinite(result))
        throw tool_error(
            "the integral has no finite value: the samples overflow or the law has a pole in "
            "[A, B]");
    if (json_output()) {
        json_object o;
        o.add("value", result).add("method", "romberg").add("levels", levels ? levels : max_level);
        print_json(o.add("tolerance_met", levels != 0));
    } else {
        std::printf("%s\n", number_text(result).c_str());
    }
    if (args.has("verbose") && !json_output()) {
        if (levels)
            std::printf("levels: %d (tolerance %s met)\n", levels, number_text(r.tol).c_str());
        else
            std::printf("levels: %d (tolerance %s not met)\n", max_level,
                        number_text(r.tol).c_str());
    }
    if (!levels) {
        std::fflush(stdout);
        std::fprintf(stderr,
                     "law: warning: tolerance %s not met within %d levels; the value is the "
                     "best estimate\n",
                     number_text(r.tol).c_str(), max_level);
    }
    return exit_ok;
}

}  // namespace

int run_integrate(arguments const &args) {
    args.expect_operands(3, 3);
    bool const romberg = method_of(args, {"adaptive", "romberg"}) == "romberg";
    double const tol = args.has("tol") ? read_real_option("tol", *args.value("tol")) : 1e-10;
    if (!(tol >= 0)) throw usage_error("--tol needs a number of at least 0");
    law_reader const reader(args);
    integrate_request r{reader.read(args.operand(0)), 0, 0, tol};
    r.a = reader.value(args.operand(1));
    r.b = reader.value(args.operand(2));
    if (std::isnan(r.a) || std::isnan(r.b))
        throw tool_error("integrate needs limits that are numbers; A is " + number_text(r.a) +
                         ", B is " + number_text(r.b));
    if (r.l->take_dim() > 1 || r.l->return_dim() != 1)
        throw tool_error("integrate needs a law of one input and one output; this one takes " +
                         count_text(r.l->take_dim(), "input") + " and returns " +
                         count_text(r.l->return_dim(), "value"));
    return romberg ? integrate_romberg(args, r) : integrate_adaptive(args, r);
}

}  // namespace law_tool
