// The C++ tour of the README: read laws, evaluate, differentiate, simplify, print, release.
#include <cstdio>

#include <law/law.h>

int main() {
    initialize_law();
    law_ptr const f = adopt(str_to_law("X^2+SIN(X)"));
    std::printf("f(X) = %s, f(0.5) = %.17g\n", f->text().c_str(), f->eval(0.5));

    law_ptr const df = adopt(f->derivative(0));  // symbolic, simplified, cached in f
    std::printf("f'(X) = %s, f'(0.5) = %.17g\n", df->text().c_str(), df->eval(0.5));

    law_ptr const g = adopt(str_to_law("COS(X)^2+SIN(X)^2+X^2*X^3/X"));
    law_ptr const simple = adopt(g->simplify(2, 0));
    std::printf("%s simplifies to %s\n", g->text().c_str(), simple->text().c_str());

    law_ptr const helix = adopt(str_to_law("VEC(COS(X),SIN(X),X/5)"));
    ZEM::vector const tangent = helix->evaluateDR_V(0.0, 1);
    std::printf("helix tangent at 0: (%g, %g, %g)\n", tangent.x(), tangent.y(), tangent.z());

    try {
        law_ptr const ln = adopt(str_to_law("LN(X)"));
        ln->eval(-1);
    } catch (vorn_exception const &e) {
        std::printf("LN(-1) raises %s: %s\n", e.code_name(), e.message());
    }
    if (!str_to_law("SIN(X")) std::printf("SIN(X is refused: %s\n", TEST_get_error());
    terminate_law();
    return 0;
}
