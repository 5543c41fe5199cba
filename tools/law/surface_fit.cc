#include "surface_fit.h"

#include <chrono>
#include <cmath>

#include "arguments.h"
#include "fitting.h"
#include "law_reader.h"
#include "numbers.h"
#include "tool.h"

namespace law_tool {

surface_fit fit_surface(arguments const &args) {
    args.expect_operands(5, 5);
    surface_fit fit;
    fit.tol = args.has("tol") ? read_real_option("tol", *args.value("tol")) : 1e-3;
    law_reader const reader(args);
    fit.f = reader.read(args.operand(0));
    fit.s0 = reader.value(args.operand(1));
    fit.s1 = reader.value(args.operand(2));
    fit.t0 = reader.value(args.operand(3));
    fit.t1 = reader.value(args.operand(4));
    if (fit.f->take_dim() != 2 || fit.f->return_dim() != 3)
        throw tool_error("surfaces are laws of 2 inputs and 3 outputs; this one takes " +
                         count_text(fit.f->take_dim(), "input") + " and has " +
                         count_text(fit.f->return_dim(), "output"));
    order_ends(fit.s0, fit.s1, "the box's S");
    order_ends(fit.t0, fit.t1, "the box's T");
    if (!(fit.tol > 0)) fit.tol = resfit;
    auto const start = std::chrono::steady_clock::now();
    try {
        fit.exact = fit_with_derivatives(args.has("fast-euler"), [&fit] {
            fit.surface.reset(law_to_sw_surface(fit.f.get(), ZEM::interval(fit.s0, fit.s1),
                                                ZEM::interval(fit.t0, fit.t1), fit.tol,
                                                fit.achieved));
        });
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    fit.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return fit;
}

double patch_error(surface_fit const &fit, int i, int j, int n) {
    sw_surface &S = *fit.surface;
    double const *k1 = S.get_knot_vector1() + 3 + i, *k2 = S.get_knot_vector2() + 3 + j;
    double worst = 0;
    for (int b = 0; b < n; ++b)
        for (int a = 0; a < n; ++a) {
            double const s = k1[0] + (k1[1] - k1[0]) * a / (n - 1);
            double const t = k2[0] + (k2[1] - k2[0]) * b / (n - 1);
            ZEM::position P;
            S.eval(s, t, &P);
            ZEM::vector const v = fit.f->evaluatePP_V(ZEM::par_pos(s, t));
            worst = std::max(worst, (P - (ZEM::origin + v)).len());
        }
    return worst;
}

fit_distance measure_surface_fit(surface_fit const &fit) {
    try {
        return sw_surface_distance(fit.f.get(), *fit.surface);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
}

std::string obj_text(sw_surface &S, int n) {
    std::string out =
        "# bicubic surface, " + std::to_string(n) + " x " + std::to_string(n) + " vertices\n";
    for (int b = 0; b < n; ++b)
        for (int a = 0; a < n; ++a) {
            double const s = S.get_min_s() + (S.get_max_s() - S.get_min_s()) * a / (n - 1);
            double const t = S.get_min_t() + (S.get_max_t() - S.get_min_t()) * b / (n - 1);
            ZEM::position P;
            S.eval(s, t, &P);
            out += "v " + number_text(P.x()) + " " + number_text(P.y()) + " " + number_text(P.z()) +
                   "\n";
        }
    for (int b = 0; b + 1 < n; ++b)
        for (int a = 0; a + 1 < n; ++a) {
            int const v = b * n + a + 1;  // OBJ counts from 1
            out += "f " + std::to_string(v) + " " + std::to_string(v + 1) + " " +
                   std::to_string(v + n + 1) + "\n";
            out += "f " + std::to_string(v) + " " + std::to_string(v + n + 1) + " " +
                   std::to_string(v + n) + "\n";
        }
    return out;
}

}  // namespace law_tool
