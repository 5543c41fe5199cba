#include "law/core/law.h"

// Until the rule engine lands, a law is its own simplified form.
law *law_simplify(law const *l, int, int) {
    l->add();
    return const_cast<law *>(l);
}
