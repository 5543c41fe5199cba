#include <law/spline/surface_evaluator.h>

#include <law/base/options.h>
#include <law/base/par_pos.h>

void surface_evaluator::eval_derivs(double s, double t, ZEM::position &P, ZEM::vector &Ps,
                                    ZEM::vector &Pt, ZEM::vector &Pst, int side_s,
                                    int side_t) const {
    double const hs = side_s ? -1e-4 : 1e-4, ht = side_t ? -1e-4 : 1e-4;
    double const fs = side_s ? -10000 : 10000, ft = side_t ? -10000 : 10000;
    P = eval(s, t);
    ZEM::position const S = eval(s + hs, t), T = eval(s, t + ht), ST = eval(s + hs, t + ht);
    Ps = (S - P) * fs;
    Pt = (T - P) * ft;
    Pst = ((ST - S) - (T - P)) * (fs * ft);
}

surface_evaluator_law::surface_evaluator_law(law *f) : f_(share(f)) {
    if (get_option("fast_euler")) return;
    ds_ = adopt(f->uv_partials(1, 0));
    dt_ = adopt(f->uv_partials(0, 1));
    dst_ = adopt(f->uv_partials(1, 1));
}

ZEM::position surface_evaluator_law::eval(double s, double t) const {
    return ZEM::origin + f_->evaluatePP_V(ZEM::par_pos(s, t));
}

void surface_evaluator_law::eval_derivs(double s, double t, ZEM::position &P, ZEM::vector &Ps,
                                        ZEM::vector &Pt, ZEM::vector &Pst, int side_s,
                                        int side_t) const {
    if (!ds_) {
        surface_evaluator::eval_derivs(s, t, P, Ps, Pt, Pst, side_s, side_t);
        return;
    }
    ZEM::par_pos const at(s, t);
    P = eval(s, t);
    Ps = ds_->evaluatePP_V(at);
    Pt = dt_->evaluatePP_V(at);
    Pst = dst_->evaluatePP_V(at);
}
