// A program of another project that finds the installed library with find_package(law).
#include <cstdio>

#include <law/law.h>

int main() {
    law_ptr const pi = adopt<law>(new pi_law);
    std::printf("%s = %.6f\n", pi->text().c_str(), pi->eval(0));
    return pi->text() == "PI" ? 0 : 1;
}
