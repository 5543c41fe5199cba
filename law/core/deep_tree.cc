#include <law/core/deep_tree.h>

#include <unordered_map>

#include <law/core/binary_law.h>
#include <law/core/multiple_law.h>
#include <law/core/pointer_map.h>
#include <law/core/unary_law.h>

namespace {
constinit thread_local bool settling_now = false;
constinit thread_local bool copying = false;
constinit thread_local bool restricting = false;
}  // namespace

bool settling_deep_tree() { return settling_now; }
bool &settling_flag() { return settling_now; }

law const *sub_law_at(law const *l, int i) {
    if (l->isa(law_id::binary_law)) {
        auto const *b = static_cast<binary_law const *>(l);
        return i == 0 ? b->fleft() : i == 1 ? b->fright() : nullptr;
    }
    if (l->isa(law_id::unary_law))
        return i == 0 ? static_cast<unary_law const *>(l)->fsub() : nullptr;
    if (l->isa(law_id::multiple_law)) {
        auto const *m = static_cast<multiple_law const *>(l);
        return i < m->fsub_num() ? m->fsub()[i] : nullptr;
    }
    return nullptr;
}

deep_copy_scope::deep_copy_scope(law const *root, pointer_map *map) : raised_(copying) {
    if (raised_.outer()) return;
    settle_deep_tree(
        root, [](law const *) { return false; },
        [map](law const *l) { law_ptr const copy = adopt(pm_get_law(map, l)); });
}

namespace {
constinit thread_local domain_scope::restricted const *restricted_now = nullptr;
}  // namespace

// Published while it lives, so that an error raised while settling leaves nothing behind.
struct domain_scope::restricted {
    restricted() { restricted_now = this; }
    ~restricted() { restricted_now = nullptr; }
    restricted(restricted const &) = delete;
    restricted &operator=(restricted const &) = delete;
    std::unordered_map<law const *, law_ptr> of;
};

domain_scope::domain_scope(law const *root, ZEM::interval const *domains) : raised_(restricting) {
    if (raised_.outer()) return;
    made_ = std::make_unique<restricted>();
    settle_deep_tree(
        root, [](law const *) { return false; },
        [this, domains](law const *l) { made_->of[l] = adopt(l->set_domain(domains, 1)); });
}

domain_scope::~domain_scope() = default;

law *domain_scope::of(law const *sub, ZEM::interval const *domains) {
    if (restricted_now) {
        auto const it = restricted_now->of.find(sub);
        if (it != restricted_now->of.end()) return share(it->second.get()).release();
    }
    return sub->set_domain(domains, 1);
}
