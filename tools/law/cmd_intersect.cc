// law intersect: where a sphere meets a cylinder, each branch as its law and interval, its
// points, a picture, or the branches fitted into a STEP or IGES file.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "arguments.h"
#include "fitting.h"
#include "json_text.h"
#include "law_reader.h"
#include "numbers.h"
#include "output_file.h"
#include "output_format.h"
#include "svg_plot.h"
#include "tool.h"

namespace law_tool {
namespace {

struct branch {
    law_ptr curve;
    double t0, t1;
};

// The values of "A,B,C": split at the commas outside brackets, each a number or an expression of
// no input.
std::vector<double> values_of(law_reader const &reader, std::string_view option,
                              std::string_view text, std::size_t count) {
    std::vector<double> out;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] == '(') ++depth;
        if (i < text.size() && text[i] == ')') --depth;
        if (i == text.size() || (text[i] == ',' && depth == 0)) {
            out.push_back(reader.value(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    if (out.size() != count)
        throw usage_error("--" + std::string(option) + " takes " + std::to_string(count) +
                          " values separated by commas");
    return out;
}

std::vector<branch> intersect(arguments const &args, law_reader const &reader,
                              sphere_cylinder_case &which) {
    auto const sphere_text = args.value("sphere"), cylinder_text = args.value("cylinder");
    if (!sphere_text || !cylinder_text)
        throw usage_error("intersect needs --sphere and --cylinder");
    std::vector<double> const s = values_of(reader, "sphere", *sphere_text, 4);
    std::vector<double> const c = values_of(reader, "cylinder", *cylinder_text, 7);
    law **laws = nullptr;
    ZEM::interval *ranges = nullptr;
    int n = 0;
    try {
        n = sphere_cylinder_intersect(ZEM::position(s[0], s[1], s[2]), s[3],
                                      ZEM::position(c[0], c[1], c[2]),
                                      ZEM::vector(c[3], c[4], c[5]), c[6], &laws, &ranges, &which);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    std::vector<branch> out;
    for (int i = 0; i < n; ++i)
        out.push_back({adopt(laws[i]), ranges[i].start_pt(), ranges[i].end_pt()});
    vorn_discard(laws);
    vorn_discard(ranges);
    return out;
}

double parameter(branch const &b, int k, int n) {
    return n == 1 ? b.t0 : b.t0 + (b.t1 - b.t0) * k / (n - 1);
}

// The isometric view of law plot: the axes 120 degrees apart, z up.
point2 isometric(ZEM::position const &p) {
    return {(p.x() - p.y()) * std::sqrt(3.0) / 2, p.z() + (p.x() + p.y()) / 2};
}

void draw(std::vector<branch> const &branches, std::string const &title, std::string const &path) {
    std::vector<plot_series> series;
    std::vector<point2> every;
    for (std::size_t i = 0; i < branches.size(); ++i) {
        branch const &b = branches[i];
        stretch line;
        int const n = b.t1 > b.t0 ? 721 : 1;
        for (int k = 0; k < n; ++k)
            line.push_back(isometric(b.curve->evaluateR_P(parameter(b, k, n))));
        every.insert(every.end(), line.begin(), line.end());
        series.push_back({"branch " + std::to_string(i + 1), {line}});
    }
    if (every.empty()) throw tool_error("nothing to draw: the sphere and the cylinder do not meet");
    plot_page page;
    page.title = title;
    page.view = choose_view(every, nullptr);
    page.legend = series.size() > 1;
    page.equal_scales = true;
    write_file(path, render_svg(page, series));
}

// The branches fitted within tol (a point stays a point) into a STEP or IGES file.
void write_fitted(std::vector<branch> const &branches, double tol, arguments const &args) {
    auto const step = args.value("step"), iges = args.value("iges");
    if (!step && !iges) return;
    std::string const step_path(step.value_or("")), iges_path(iges.value_or(""));
    step_writer s(step_path.substr(step_path.find_last_of('/') + 1), {}, "INTERSECTION");
    iges_writer g(iges_path.substr(iges_path.find_last_of('/') + 1));
    for (std::size_t i = 0; i < branches.size(); ++i) {
        branch const &b = branches[i];
        std::string const label = "BRANCH" + std::to_string(i + 1);
        if (!(b.t1 > b.t0)) {
            ZEM::position const p = b.curve->evaluateR_P(b.t0);
            double const xyz[3] = {p.x(), p.y(), p.z()};
            std::vector<std::string> c;
            for (double v : xyz) c.push_back(exchange_real(v));
            s.add_to_part(
                s.add_entity("CARTESIAN_POINT(" + step_string(label) + "," + step_list(c) + ")"),
                false);
            iges_parameters q;
            q.add(xyz, 3).add(0);
            g.add_entity(116, 0, q, label);  // IGES point
            continue;
        }
        auto const c = fit_curve(*b.curve, b.t0, b.t1, tol, remove_knots_within_tolerance);
        add_step_curve(s, *c, label);
        add_iges_curve(g, *c, label);
    }
    if (step) write_file(step_path, s.text());
    if (iges) write_file(iges_path, g.text());
}

// {"case", "branches": [{"interval", "law", "points"?: [[t, x, y, z]]}]}
json_object intersection_json(std::vector<branch> const &branches, sphere_cylinder_case which,
                              int points) {
    json_array all;
    for (branch const &b : branches) {
        json_object o;
        o.add("interval", json_array().push(b.t0).push(b.t1)).add("law", b.curve->text());
        if (points > 0) {
            json_array at;
            for (int k = 0; k < points; ++k) {
                double const t = parameter(b, k, points);
                ZEM::position const p = b.curve->evaluateR_P(t);
                at.push(json_array().push(t).push(p.x()).push(p.y()).push(p.z()));
            }
            o.add("points", at);
        }
        all.push(o);
    }
    return json_object().add("case", sphere_cylinder_case_name(which)).add("branches", all);
}

}  // namespace

int run_intersect(arguments const &args) {
    args.expect_operands(0, 0);
    int const points =
        args.has("points") ? read_int_option("points", *args.value("points"), 1, 1000000) : 0;
    double const tol = args.has("tol") ? read_real_option("tol", *args.value("tol")) : 1e-6;
    if (!(tol > 0)) throw usage_error("--tol needs a number above 0");
    law_reader const reader(args);
    sphere_cylinder_case which = sphere_cylinder_empty;
    std::vector<branch> const branches = intersect(args, reader, which);
    std::string const title =
        std::string("sphere and cylinder: ") + sphere_cylinder_case_name(which);
    if (json_output()) {
        print_json(intersection_json(branches, which, points));
    } else if (points > 0) {
        for (std::size_t i = 0; i < branches.size(); ++i)
            for (int k = 0; k < points; ++k) {
                double const t = parameter(branches[i], k, points);
                ZEM::position const p = branches[i].curve->evaluateR_P(t);
                std::printf("%zu %s %s %s %s\n", i + 1, number_text(t).c_str(),
                            number_text(p.x()).c_str(), number_text(p.y()).c_str(),
                            number_text(p.z()).c_str());
            }
    } else {
        std::size_t const n = branches.size();
        std::printf("intersection: %s, %zu branch%s\n", sphere_cylinder_case_name(which), n,
                    n == 1 ? "" : "es");
        for (std::size_t i = 0; i < branches.size(); ++i)
            std::printf("branch %zu on [%s, %s]: %s\n", i + 1, number_text(branches[i].t0).c_str(),
                        number_text(branches[i].t1).c_str(), branches[i].curve->text().c_str());
    }
    if (auto const path = args.value("output")) {
        draw(branches, title, std::string(*path));
        say_written("plot", std::string(*path));
    }
    write_fitted(branches, tol, args);
    return exit_ok;
}

}  // namespace law_tool
