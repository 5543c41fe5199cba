// A program of another project that uses the installed library: it parses a law, differentiates
// it (which runs the simplifier) and evaluates both.
#include <cmath>
#include <cstdio>

#include <law/law.h>

int main() {
    law_ptr const l = adopt(str_to_law("X^2+SIN(X)"));
    if (!l) return 1;
    law_ptr const d = adopt(l->derivative(0));
    double const x = 0.5;
    std::printf("%s at %g = %.6f, derivative %s = %.6f\n", l->text().c_str(), x, l->eval(x),
                d->text().c_str(), d->eval(x));
    return std::fabs(d->eval(x) - (2 * x + std::cos(x))) < 1e-12 ? 0 : 1;
}
