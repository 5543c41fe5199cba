#include <law/base/options.h>

#include <cstring>

namespace {
// Constant-initialised head: options declared by static objects in any file are all kept.
constinit option_header *option_list = nullptr;
}  // namespace

option_header::option_header(char const *name, int default_value)
    : name_(name), default_(default_value), value_(default_value), next_(option_list) {
    option_list = this;
}

int option_header::count() const { return __atomic_load_n(&value_, __ATOMIC_RELAXED); }
void option_header::set(int value) { __atomic_store_n(&value_, value, __ATOMIC_RELAXED); }
void option_header::reset() { set(default_); }

option_header *option_header::find(char const *name) {
    for (option_header *o = option_list; o; o = o->next_)
        if (std::strcmp(o->name_, name) == 0) return o;
    return nullptr;
}

int get_option(char const *name) {
    option_header const *o = option_header::find(name);
    return o ? o->count() : 0;
}

bool set_option(char const *name, int value) {
    option_header *o = option_header::find(name);
    if (o) o->set(value);
    return o != nullptr;
}
