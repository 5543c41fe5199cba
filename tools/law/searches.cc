#include "searches.h"

#include <cmath>

#include "law_reader.h"
#include "tool.h"

namespace law_tool {

void check_one_variable(law const &l, char const *what) {
    if (l.take_dim() > 1 || l.return_dim() != 1)
        throw tool_error(std::string(what) +
                         " needs a law of one input and one output; this one takes " +
                         count_text(l.take_dim(), "input") + " and returns " +
                         count_text(l.return_dim(), "value"));
}

std::vector<double> roots_of(law const &l, double a, double b) {
    int n = 0;
    double *r = nullptr;
    try {
        r = Nroot(const_cast<law *>(&l), a, b, &n);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    vorn_ptr<double> const held(r);
    return r ? std::vector<double>(r, r + n) : std::vector<double>();
}

std::vector<double> extrema_of(law const &l, double a, double b) {
    law_ptr d;
    try {
        d = adopt(l.derivative(0));
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    std::vector<double> out;
    for (double x : roots_of(*d, a, b)) {
        double const h = 1e-6 * std::max(1.0, std::fabs(b - a));
        if (x - h <= a || x + h >= b) continue;
        if (d->eval(x - h) * d->eval(x + h) < 0) out.push_back(x);
    }
    return out;
}

}  // namespace law_tool
