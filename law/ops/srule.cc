#include <law/ops/srule.h>

namespace {
// Constant-initialised, so rules constructed from static objects in any order are all kept.
constinit SRule const *list_heads[SRule::list_count] = {nullptr, nullptr, nullptr};
}  // namespace

SRule::SRule(rule_fn fn, int list, char const *name)
    : fn_(fn), next_(nullptr), name_(name ? name : "") {
    if (list < 0 || list >= list_count) return;
    next_ = list_heads[list];
    list_heads[list] = this;
}

SRule const *SRule::head(int list) {
    return list >= 0 && list < list_count ? list_heads[list] : nullptr;
}
