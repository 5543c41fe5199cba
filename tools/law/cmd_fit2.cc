// law fit2: a law of two inputs fitted by a bicubic B-spline surface.
#include <cstdio>
#include <string>

#include "arguments.h"
#include "fit_json.h"
#include "fitting.h"
#include "numbers.h"
#include "output_file.h"
#include "output_format.h"
#include "surface_fit.h"
#include "tool.h"

namespace law_tool {
namespace {

// "0 x4, 0.5 x2, 1 x4": the distinct knots with their multiplicities.
std::string knots_text(double const *k, int n) {
    std::string out;
    for (int i = 0; i < n;) {
        int j = i;
        while (j < n && k[j] == k[i]) ++j;
        if (!out.empty()) out += ", ";
        out += number_text(k[i]) + (j - i > 1 ? " x" + std::to_string(j - i) : "");
        i = j;
    }
    return out;
}

}  // namespace

int run_fit2(arguments const &args) {
    surface_fit const fit = fit_surface(args);
    sw_surface &S = *fit.surface;
    fit_distance const measured = measure_surface_fit(fit);
    if (json_output()) {
        print_json(surface_fit_json(fit, measured));
    } else {
        std::printf("control net: %d x %d\n", S.get_num_control_points1(),
                    S.get_num_control_points2());
        std::printf("knots in s: %s\n",
                    knots_text(S.get_knot_vector1(), S.get_num_knots1()).c_str());
        std::printf("knots in t: %s\n",
                    knots_text(S.get_knot_vector2(), S.get_num_knots2()).c_str());
        std::printf("accuracy: %.3g (tolerance %s)\n", fit.achieved, number_text(fit.tol).c_str());
        std::printf("%s\n", measured_text(measured, "points").c_str());
        std::printf("%s\n", derivatives_text(fit.exact));
        std::printf("time: %.3g ms\n", fit.seconds * 1e3);
    }
    judge_fit(fit.achieved, measured, fit.tol, args.has("keep"));
    if (auto const path = args.value("iges")) {
        std::string const file(*path);
        iges_writer w(file);
        add_iges_surface(w, S, "LAWFIT2");
        write_file(file, w.text());
    }
    if (auto const path = args.value("step")) {
        std::string const file(*path);
        step_writer w(file.substr(file.find_last_of('/') + 1), {}, "LAWFIT2");
        add_step_surface(w, S, "LAWFIT2");
        write_file(file, w.text());
    }
    if (auto const path = args.value("obj")) {
        int const n = std::min(201, 8 * std::max(S.get_num_spans1(), S.get_num_spans2()) + 1);
        write_file(std::string(*path), obj_text(S, n));
    }
    return exit_ok;
}

}  // namespace law_tool
