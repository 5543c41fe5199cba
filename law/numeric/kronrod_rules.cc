#include <law/numeric/kronrod_rules.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {
// The abscissae and weights as QUADPACK tabulates them.
constexpr double nodes21[] = {
    0.995657163025808080735527280689003, 0.973906528517171720077964012084452,
    0.930157491355708226001207180059508, 0.865063366688984510732096688423493,
    0.780817726586416897063717578345042, 0.679409568299024406234327365114874,
    0.562757134668604683339000099272694, 0.433395394129247190799265943165784,
    0.294392862701460198131126603103866, 0.148874338981631210884826001129720,
    0.000000000000000000000000000000000};
constexpr double kronrod21[] = {
    0.011694638867371874278064396062192, 0.032558162307964727478818972459390,
    0.054755896574351996031381300244580, 0.075039674810919952767043140916190,
    0.093125454583697605535065465083366, 0.109387158802297641899210590325805,
    0.123491976262065851077600525452204, 0.134709217311473325928054001771707,
    0.142775938577060080797094273138717, 0.147739104901338491374841515972068,
    0.149445554002916905664936468389821};
constexpr double gauss10[] = {
    0, 0.066671344308688137593568809893332, 0, 0.149451349150580593145776339657697,
    0, 0.219086362515982043995534934228163, 0, 0.269266719309996355091226921569469,
    0, 0.295524224714752870173892994651338, 0};

constexpr double nodes15[] = {
    0.991455371120812639206854697526329, 0.949107912342758524526189684047851,
    0.864864423359769072789712788640926, 0.741531185599394439863864773280788,
    0.586087235467691130294144845693013, 0.405845151377397166906606412076961,
    0.207784955007898467600689403773245, 0.000000000000000000000000000000000};
constexpr double kronrod15[] = {
    0.022935322010529224963732008058970, 0.063092092629978553290700663189204,
    0.104790010322250183839876322541518, 0.140653259715525918745189590510238,
    0.169004726639267902826583426598550, 0.190350578064785409913256402421014,
    0.204432940075298892414161999234649, 0.209482141084727828012999174891714};
constexpr double gauss7[] = {
    0, 0.129484966168869693270611432679082, 0, 0.279705391489276667901467771423780,
    0, 0.381830050505118944950369775488975, 0, 0.417959183673469387755102040816327};
}  // namespace

kronrod_rule const &gauss_kronrod_21() {
    static kronrod_rule const rule{nodes21, kronrod21, gauss10};
    return rule;
}

kronrod_rule const &gauss_kronrod_15() {
    static kronrod_rule const rule{nodes15, kronrod15, gauss7};
    return rule;
}

void rule_abscissae(kronrod_rule const &rule, double a, double b, std::span<double> out) {
    double const centre = (a + b) / 2, half = (b - a) / 2;
    int const n = static_cast<int>(rule.nodes.size()) - 1;
    out[0] = centre;
    for (int j = 0; j < n; ++j) {
        double const d = half * rule.nodes[j];
        out[1 + 2 * j] = centre - d;
        out[2 + 2 * j] = centre + d;
    }
}

rule_estimate estimate(kronrod_rule const &rule, double a, double b,
                       std::span<double const> values) {
    int const n = static_cast<int>(rule.nodes.size()) - 1;
    double const half = (b - a) / 2, fc = values[0];
    double gauss = rule.gauss_weights[n] * fc, kronrod = rule.kronrod_weights[n] * fc;
    double absolute = std::fabs(kronrod);
    for (int j = 0; j < n; ++j) {
        double const f1 = values[1 + 2 * j], f2 = values[2 + 2 * j];
        gauss += rule.gauss_weights[j] * (f1 + f2);
        kronrod += rule.kronrod_weights[j] * (f1 + f2);
        absolute += rule.kronrod_weights[j] * (std::fabs(f1) + std::fabs(f2));
    }
    double const mean = kronrod / 2;
    double spread = rule.kronrod_weights[n] * std::fabs(fc - mean);
    for (int j = 0; j < n; ++j)
        spread += rule.kronrod_weights[j] *
                  (std::fabs(values[1 + 2 * j] - mean) + std::fabs(values[2 + 2 * j] - mean));
    rule_estimate e;
    e.result = kronrod * half;
    e.absolute = absolute * std::fabs(half);
    e.spread = spread * std::fabs(half);
    e.error = std::fabs((kronrod - gauss) * half);
    if (e.spread != 0 && e.error != 0)
        e.error = e.spread * std::min(1.0, std::pow(200 * e.error / e.spread, 1.5));
    if (e.absolute > DBL_MIN / (50 * DBL_EPSILON))
        e.error = std::max(50 * DBL_EPSILON * e.absolute, e.error);
    return e;
}
