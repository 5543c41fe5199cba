// Rotation-minimising frames: MINROT along one turn of a helix with the plain transport step and
// with the double-reflection refinement, at 10, 100 and 1000 samples: the largest angle from the
// closed-form frame, the time to build the sample table and the time of one evaluation.
#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "bench_harness.h"
#include "bench_law.h"
#include "bench_suites.h"

namespace bench {
namespace {

constexpr double pi = std::numbers::pi;
// The helix (cos t, sin t, c t) of pitch 1.
constexpr double rise = 1 / (2 * pi);
constexpr char path_text[] = "DOMAIN(VEC(COS(X),SIN(X),0.15915494309189535*X),0,2*PI)";
constexpr int probes = 1000;

// The least-rotating normal in closed form: it starts as the principal normal and turns
// against it by -tau |P'| t = -c t / sqrt(1 + c^2).
ZEM::vector closed_form(double t) {
    double const s = std::hypot(1.0, rise), theta = -rise / s * t;
    ZEM::vector const tangent(-std::sin(t) / s, std::cos(t) / s, rise / s);
    ZEM::vector const normal(-std::cos(t), -std::sin(t), 0);
    return std::cos(theta) * normal + std::sin(theta) * (tangent * normal);
}

law_ptr frame_law(law const *path, law const *start, int samples, bool refined) {
    law *members[] = {const_cast<law *>(path), const_cast<law *>(start)};
    auto *frame = new min_rotation_law(members, 2, samples);
    law_ptr held = adopt<law>(frame);
    if (refined) frame->set_alt_eval(1);
    return held;
}

double worst_angle(law const *frame) {
    double worst = 0;
    for (int k = 0; k <= probes; ++k) {
        double const t = 2 * pi * k / probes;
        ZEM::vector const v = frame->evaluateR_V(t), e = closed_form(t);
        worst = std::max(worst, std::atan2((v * e).len(), v % e));
    }
    return worst;
}

std::string angle_text(double radians) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2e", radians);
    return buf;
}

}  // namespace

std::string frames_section() {
    law_ptr const path = parse_law(path_text);
    law_ptr const start = parse_law("VEC(-1,0,0)");
    int const counts[] = {10, 100, 1000};
    struct row {
        int samples;
        bool refined;
        double error;
    };
    std::vector<row> rows;
    std::vector<timed_loop> loops;
    for (bool refined : {false, true})
        for (int n : counts) {
            law_ptr const frame = frame_law(path.get(), start.get(), n, refined);
            rows.push_back({n, refined, worst_angle(frame.get())});
            std::string const name =
                std::string(refined ? "refined" : "plain") + "/" + std::to_string(n);
            loops.push_back({"build/" + name, [&path, &start, n, refined](benchmark::State &st) {
                                 for (auto _ : st)
                                     keep(frame_law(path.get(), start.get(), n, refined).get());
                             }});
            loops.push_back({"eval/" + name, [frame, t = 0.0](benchmark::State &st) mutable {
                                 for (auto _ : st) {
                                     t = t < 6 ? t + 0.37 : 0.1;
                                     keep(frame->evaluateR_V(t));
                                 }
                             }});
        }
    std::map<std::string, timing> const times = run_group("frames", loops);
    auto time_of = [&](std::string const &name) {
        auto const it = times.find(name);
        return it != times.end() && it->second.ok() ? format_seconds(it->second.seconds)
                                                    : std::string("failed");
    };
    markdown_table table({"transport step", "samples", "largest angle error (rad)",
                          "build the table", "one evaluation"});
    for (row const &r : rows) {
        std::string const name =
            std::string(r.refined ? "refined" : "plain") + "/" + std::to_string(r.samples);
        table.add_row({r.refined ? "double reflection" : "plain projection",
                       std::to_string(r.samples), angle_text(r.error), time_of("build/" + name),
                       time_of("eval/" + name)});
    }
    std::ostringstream out;
    out << "## Rotation-minimising frames\n\n"
        << "`MINROT` along one turn of the helix (cos t, sin t, t/(2 pi)) from its principal "
           "normal, against the closed-form frame (which turns against the Frenet frame by the "
           "integral of the torsion), at "
        << probes + 1
        << " parameters. The plain step projects the carried vector onto the next normal plane "
           "(first order); the refined step (`set_alt_eval(1)`) is the double reflection of "
           "Wang, Juettler, Zheng and Liu (2008, fourth order). Building the table is one "
           "transport step per sample; an evaluation is one more step from the sample below.\n\n"
        << table.str();
    return out.str();
}

}  // namespace bench
