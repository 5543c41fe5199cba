#include "curve_frames.h"

#include <cmath>

#include "law_reader.h"
#include "numbers.h"
#include "tool.h"

namespace law_tool {
namespace {

std::optional<ZEM::vector> finite_unit(ZEM::vector const &v) {
    double const len = v.len();
    if (!std::isfinite(len) || len < 1e-9) return std::nullopt;
    return v / len;
}

std::optional<ZEM::vector> frenet_at(law const &frenet, double t) {
    try {
        return finite_unit(frenet.evaluateR_V(t));
    } catch (vorn_exception const &) {
        return std::nullopt;
    }
}

// A unit normal of the tangent: the coordinate axis least along it, made normal.
ZEM::vector any_normal(ZEM::vector const &tangent) {
    ZEM::vector const t = normalise(tangent);
    int axis = 0;
    for (int i = 1; i < 3; ++i)
        if (std::abs(t[i]) < std::abs(t[axis])) axis = i;
    ZEM::vector e;
    e[axis] = 1;
    return normalise(e - (e % t) * t);
}

}  // namespace

curve_frames::curve_frames(law const &curve, double a, double b) : curve_(share(&curve)) {
    if (curve.take_dim() > 1 || curve.return_dim() != 3)
        throw tool_error(
            "frames need a space curve: a law of one input and three outputs; "
            "this one takes " +
            count_text(curve.take_dim(), "input") + " and has " +
            count_text(curve.return_dim(), "output"));
    ZEM::vector start_tangent;
    try {
        tangent_ = adopt(curve.derivative(0));
        start_tangent = tangent_->evaluateR_V(a);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    if (!finite_unit(start_tangent))
        throw tool_error("the curve has no tangent at " + number_text(a));
    try {
        frenet_ = make_law<frenet_law>(curve_.get());
    } catch (vorn_exception const &) {
        // a curve whose principal normal cannot be formed has none anywhere
    }
    std::optional<ZEM::vector> const normal = frenet_ ? frenet_at(*frenet_, a) : std::nullopt;
    try {
        law_ptr const lo = make_law<constant_law>(a), hi = make_law<constant_law>(b);
        law_ptr const v = make_law<vector_law>(normal.value_or(any_normal(start_tangent)));
        law *members[] = {curve_.get(), v.get(), lo.get(), hi.get()};
        auto *frame = new min_rotation_law(members, 4);
        minrot_ = adopt<law>(frame);
        frame->set_alt_eval(1);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
}

curve_frame curve_frames::at(double t) const {
    try {
        ZEM::vector const tangent = tangent_->evaluateR_V(t);
        if (!finite_unit(tangent)) law_error(LAW_MR);
        return {curve_->evaluateR_V(t), normalise(tangent),
                frenet_ ? frenet_at(*frenet_, t) : std::nullopt, minrot_->evaluateR_V(t)};
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
}

}  // namespace law_tool
