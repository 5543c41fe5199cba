#include <law/base/accounting.h>

#include <algorithm>

int VOID_LIST::add(void const *p) {
    int const i = lookup(p);
    if (i >= 0) return i;
    items_.push_back(p);
    return count() - 1;
}

int VOID_LIST::lookup(void const *p) const {
    auto const it = std::find(items_.begin(), items_.end(), p);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}
