// The parsable leaves of the core: the named constants.
#include <law/core/constant_law.h>
#include <law/lang/law_list.h>

namespace {
law_list pi_registration(new pi_law);
law_list e_registration(new e_law);
law_list true_registration(new true_law);
law_list false_registration(new false_law);
}  // namespace
