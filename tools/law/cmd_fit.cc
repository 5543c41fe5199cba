// law fit: a law of one input fitted by a cubic B-spline curve within a tolerance.
#include <chrono>
#include <cstdio>

#include "arguments.h"
#include "fit_json.h"
#include "fitting.h"
#include "law_reader.h"
#include "numbers.h"
#include "output_file.h"
#include "output_format.h"
#include "searches.h"
#include "tool.h"

namespace law_tool {

int run_fit(arguments const &args) {
    args.expect_operands(3, 3);
    double const tol = args.has("tol") ? read_real_option("tol", *args.value("tol")) : 1e-3;
    if (!(tol > 0)) throw usage_error("--tol needs a number above 0");
    auto const strategy = static_cast<knot_removal_strategy>(
        args.has("strategy") ? read_int_option("strategy", *args.value("strategy"), 0, 2) : 0);
    bool const whole = method_of(args, {"pieces", "whole"}) == "whole";
    law_reader const reader(args);
    law_ptr const curve = as_space_curve(reader.read(args.operand(0)));
    double const a = reader.value(args.operand(1));
    double const b = reader.value(args.operand(2));

    auto const start = std::chrono::steady_clock::now();
    bool exact = false;
    auto const c = fit_curve(*curve, a, b, tol, strategy,
                             {.whole = whole, .differences = args.has("fast-euler")}, &exact);
    double const ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    double achieved = 0;
    try {
        achieved = sw_curve_accuracy(curve.get(), c.get());
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    fit_distance const measured = measure_curve_fit(*curve, *c);

    if (json_output()) {
        print_json(curve_fit_json(*c, achieved, measured, tol, ms, exact, args.has("dump")));
    } else {
        std::printf("degree: %d\n", c->get_degree());
        std::printf("control points: %d\n", c->get_K());
        std::printf("knots: %d\n", c->get_num_knots());
        std::printf("accuracy: %s\n", number_text(achieved).c_str());
        std::printf("%s\n", measured_text(measured, "parameters").c_str());
        std::printf("%s\n", derivatives_text(exact));
        std::printf("time: %.3g ms\n", ms);
    }
    judge_fit(achieved, measured, tol, args.has("keep"));
    if (args.has("dump") && !json_output()) {
        std::fflush(stdout);
        c->debug();
    }
    if (auto const file = args.value("iges")) {
        std::string const path(*file);
        iges_writer w(path.substr(path.find_last_of('/') + 1));
        add_iges_curve(w, *c);
        if (!w.write(path)) throw tool_error("cannot write " + path);
    }
    if (auto const file = args.value("step")) {
        std::string const path(*file);
        step_writer w(path.substr(path.find_last_of('/') + 1), {}, "LAWFIT");
        add_step_curve(w, *c, "LAWFIT");
        write_file(path, w.text());
    }
    return exit_ok;
}

}  // namespace law_tool
