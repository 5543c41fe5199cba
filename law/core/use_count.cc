#include <law/core/use_count.h>

namespace {
constinit thread_local int destructor_depth = 0;
}

destructor_scope::destructor_scope() { ++destructor_depth; }
destructor_scope::~destructor_scope() { --destructor_depth; }
bool destructor_scope::active() { return destructor_depth > 0; }

void use_count_fault(lawutil_error code) {
    if (destructor_scope::active())
        law_warning(code);
    else
        law_error(code);
}
