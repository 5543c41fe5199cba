// law frame: the frames along a space curve at evenly spaced parameters.
#include <cmath>
#include <cstdio>
#include <string>

#include "arguments.h"
#include "curve_frames.h"
#include "json_text.h"
#include "law_reader.h"
#include "numbers.h"
#include "output_format.h"
#include "tool.h"

namespace law_tool {
namespace {

// Twelve significant digits (or those of --precision), with what rounding leaves of a zero
// written as 0.
std::string rounded(double v) {
    if (std::abs(v) < 1e-12) v = 0;
    if (printed_digits()) return number_text(v);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.12g", v);
    return buf;
}

std::string vector_text(ZEM::vector const &v) {
    return rounded(v.x()) + " " + rounded(v.y()) + " " + rounded(v.z());
}

json_array vector_json(ZEM::vector const &v) {
    return json_array().push(v.x()).push(v.y()).push(v.z());
}

json_object frame_json(double t, curve_frame const &f) {
    json_object o;
    o.add("t", t).add("point", vector_json(f.point)).add("tangent", vector_json(f.tangent));
    if (f.normal)
        o.add("normal", vector_json(*f.normal));
    else
        o.add_null("normal");
    return o.add("minrot", vector_json(f.minrot));
}

}  // namespace

int run_frame(arguments const &args) {
    args.expect_operands(3, 3);
    int const samples =
        args.has("samples") ? read_int_option("samples", *args.value("samples"), 1, 100000) : 5;
    law_reader const reader(args);
    law_ptr const curve = reader.read(args.operand(0));
    double a = reader.value(args.operand(1));
    double b = reader.value(args.operand(2));
    order_ends(a, b, "frame");
    curve_frames const frames(*curve, a, b);
    json_array all;
    for (int k = 0; k < samples; ++k) {
        double const t = samples == 1 ? a : k == samples - 1 ? b : a + (b - a) * k / (samples - 1);
        curve_frame const f = frames.at(t);
        if (json_output()) {
            all.push(frame_json(t, f));
            continue;
        }
        std::printf("t %s  point %s  tangent %s  normal %s  minrot %s\n", rounded(t).c_str(),
                    vector_text(f.point).c_str(), vector_text(f.tangent).c_str(),
                    f.normal ? vector_text(*f.normal).c_str() : "none",
                    vector_text(f.minrot).c_str());
    }
    if (json_output()) print_json(json_object().add("frames", all));
    return exit_ok;
}

}  // namespace law_tool
