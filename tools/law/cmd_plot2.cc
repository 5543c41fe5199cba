// law plot2: the bicubic fit of a law of two inputs drawn as a shaded wireframe.
#include <algorithm>
#include <string>

#include "arguments.h"
#include "numbers.h"
#include "output_file.h"
#include "surface_fit.h"
#include "svg_surface.h"
#include "tool.h"

namespace law_tool {
namespace {

// Each patch drawn as n x n quads, n chosen so that the picture holds about 64 x 64.
std::vector<surface_quad> quads_of(surface_fit const &fit, bool error) {
    sw_surface &S = *fit.surface;
    int const n1 = S.get_num_spans1(), n2 = S.get_num_spans2();
    int const n = std::max(1, 64 / std::max(n1, n2));
    double const *k1 = S.get_knot_vector1(), *k2 = S.get_knot_vector2();
    std::vector<surface_quad> out;
    for (int j = 0; j < n2; ++j)
        for (int i = 0; i < n1; ++i) {
            double const s0 = k1[3 + i], s1 = k1[4 + i], t0 = k2[3 + j], t1 = k2[4 + j];
            if (s1 <= s0 || t1 <= t0) continue;
            double const value = error ? std::min(1.0, patch_error(fit, i, j, 5) / fit.tol) : -1;
            auto at = [&](int a, int b) {
                ZEM::position P;
                S.eval(s0 + (s1 - s0) * a / n, t0 + (t1 - t0) * b / n, &P);
                return P;
            };
            for (int b = 0; b < n; ++b)
                for (int a = 0; a < n; ++a)
                    out.push_back(
                        {{at(a, b), at(a + 1, b), at(a + 1, b + 1), at(a, b + 1)}, value});
        }
    return out;
}

}  // namespace

int run_plot2(arguments const &args) {
    std::string const output = output_path(args);
    surface_fit const fit = fit_surface(args);
    bool const error = args.has("error");
    std::string caption = std::to_string(fit.surface->get_num_spans1()) + " x " +
                          std::to_string(fit.surface->get_num_spans2()) +
                          " bicubic patches, accuracy " + number_text(fit.achieved);
    if (error)
        caption += "; colour: fitting error of each patch, blue 0 to red " + number_text(fit.tol);
    write_file(output, render_surface_svg(fit.f->text(), caption, quads_of(fit, error)));
    say_written("surface", output);
    return exit_ok;
}

}  // namespace law_tool
