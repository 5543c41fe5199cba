#pragma once
// The version under which data is being written; numerical choices depend on it.
inline constexpr int default_global_version = 2200000;
int get_global_version();
void set_global_version(int version);  // for tests; 0 restores the default

// Registration of a component with the kernel.
class zem_component_info {
  public:
    static void addComponent(char const *name);
    static void removeComponent(char const *name);
    static bool isRegistered(char const *name);
};
