#pragma once
// What laws and law data share about their use counts: a null object is accepted by add and
// remove, and a count that leaves its range is an error that never escapes a destructor.
#include <law/core/lawutil_errors.h>

// True when p is null. Calling a member through a null pointer is something callers of the
// counting protocol do, so the test goes through an opaque copy the optimiser cannot drop.
inline bool null_object(void const *p) {
    asm("" : "+r"(p));
    return p == nullptr;
}

// Marks this thread as running the destructor of a law or law data while it lives.
class destructor_scope {
  public:
    destructor_scope();
    ~destructor_scope();
    destructor_scope(destructor_scope const &) = delete;
    destructor_scope &operator=(destructor_scope const &) = delete;

    static bool active();
};

// A use count found out of range: raised, or, inside a destructor, reported as a warning so that
// the destruction goes on.
void use_count_fault(lawutil_error code);
