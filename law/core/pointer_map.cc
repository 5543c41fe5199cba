#include <law/core/pointer_map.h>

#include <unordered_map>

#include <law/core/law.h>
#include <law/core/law_data.h>

// The library's own map: each source object's copy, made on first request by the object's own
// deep_copy with the same map.
struct pointer_map {
    std::unordered_map<void const *, law_ptr> laws;
    std::unordered_map<void const *, law_data_ptr> data;
};

namespace {
pointer_map *default_make() { return new pointer_map; }
void default_destroy(pointer_map *map) { delete map; }

law *default_get_law(pointer_map *map, law const *l) {
    auto it = map->laws.find(l);
    if (it == map->laws.end()) {
        law_ptr copy = adopt(l->deep_copy(map));
        it = map->laws.emplace(l, std::move(copy)).first;
    }
    return share(it->second.get()).release();
}

law_data *default_get_law_data(pointer_map *map, law_data const *d) {
    auto it = map->data.find(d);
    if (it == map->data.end()) {
        law_data_ptr copy = adopt(d->deep_copy(map));
        it = map->data.emplace(d, std::move(copy)).first;
    }
    return share(it->second.get()).release();
}

// Constant-initialised so that a client may install its hooks from any static constructor.
using make_fn = pointer_map *(*)();
using destroy_fn = void (*)(pointer_map *);
using law_fn = law *(*)(pointer_map *, law const *);
using data_fn = law_data *(*)(pointer_map *, law_data const *);
constinit make_fn make_hook = default_make;
constinit destroy_fn destroy_hook = default_destroy;
constinit law_fn law_hook = default_get_law;
constinit data_fn data_hook = default_get_law_data;
}  // namespace

void set_make_pointer_map_func(pointer_map *(*f)()) { make_hook = f; }
void set_destroy_pointer_map_func(void (*f)(pointer_map *)) { destroy_hook = f; }
void set_pm_get_law_func(law *(*f)(pointer_map *, law const *)) { law_hook = f; }
void set_pm_get_law_data_func(law_data *(*f)(pointer_map *, law_data const *)) { data_hook = f; }

pointer_map *make_pointer_map() { return make_hook(); }
void destroy_pointer_map(pointer_map *map) { destroy_hook(map); }
law *pm_get_law(pointer_map *map, law const *l) { return law_hook(map, l); }
law_data *pm_get_law_data(pointer_map *map, law_data const *d) { return data_hook(map, d); }

void install_default_pointer_map() {
    make_hook = default_make;
    destroy_hook = default_destroy;
    law_hook = default_get_law;
    data_hook = default_get_law_data;
}
