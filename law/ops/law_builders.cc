#include <law/ops/law_builders.h>

#include <law/lang/law_list.h>

namespace build {
law_ptr vector(law **members, int n) {
    return adopt(make_registered_law(law_id::vector_law, members, n));
}

law_ptr component(law_ptr const &v, int k) {
    law_ptr const index = constant(k);
    law *members[] = {v.get(), index.get()};
    return adopt(make_registered_law(law_id::term_law, members, 2));
}
}  // namespace build
