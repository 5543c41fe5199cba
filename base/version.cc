#include <law/base/version.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {
std::atomic<int> global_version{default_global_version};
std::mutex components_mutex;
std::vector<std::string> &components() {
    static std::vector<std::string> list;
    return list;
}
}  // namespace

int get_global_version() { return global_version.load(std::memory_order_relaxed); }

void set_global_version(int version) {
    global_version.store(version ? version : default_global_version, std::memory_order_relaxed);
}

void zem_component_info::addComponent(char const *name) {
    std::lock_guard lock(components_mutex);
    components().emplace_back(name);
}

void zem_component_info::removeComponent(char const *name) {
    std::lock_guard lock(components_mutex);
    auto &list = components();
    for (auto it = list.begin(); it != list.end(); ++it)
        if (*it == name) {
            list.erase(it);
            return;
        }
}

bool zem_component_info::isRegistered(char const *name) {
    std::lock_guard lock(components_mutex);
    for (auto const &c : components())
        if (c == name) return true;
    return false;
}
