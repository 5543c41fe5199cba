#include "law/ops/law_builders.h"

namespace build {
law_ptr chain(law *const *list, int n, binary_law const &op) {
    if (n < 1) return {};
    law_ptr result = share(list[0]);
    for (int i = 1; i < n; ++i) result = adopt(op.make_one(result.get(), list[i]));
    return result;
}
}  // namespace build
