// A short tour: build laws, evaluate them, differentiate and print them.
#include <cstdio>

#include "law/law.h"

int main() {
    initialize_law();
    law_ptr const x = adopt<law>(new identity_law(0, 'X'));
    law_ptr const pi = adopt<law>(new pi_law);
    law_ptr const c = adopt<law>(new constant_law(0.5));
    std::printf("constant %s = %g, pi prints as %s (other syntax %s)\n", c->text().c_str(),
                c->eval(0), pi->text().c_str(), pi->text(law_symbol_other).c_str());
    std::printf("identity %s at 2.5 = %g\n", x->text().c_str(), x->eval(2.5));
    law_ptr const dx = adopt(x->derivative(0));
    std::printf("d/dX %s = %s\n", x->text().c_str(), dx->text().c_str());
    terminate_law();
    return 0;
}
