#include <law/eval/perf_map.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <mutex>
#include <string>

#include <unistd.h>

#include <law/core/law.h>

namespace {
// The name of a law on one line of the map: its text, shortened, newlines as spaces.
std::string name_of(law const *l) {
    constexpr std::size_t longest = 160;
    std::string name = "law ";
    try {
        name += l ? l->text() : "?";
    } catch (std::exception const &) {
        name += l->class_name();
    }
    if (name.size() > longest) name = name.substr(0, longest - 3) + "...";
    for (char &c : name)
        if (c == '\n' || c == '\r') c = ' ';
    return name;
}
}  // namespace

bool perf_map_wanted() {
    static bool const wanted = [] {
        char const *v = std::getenv("LAW_PERF_MAP");
        return v && std::strcmp(v, "1") == 0;
    }();
    return wanted;
}

void perf_map_note(void const *start, std::size_t size, law const *l) {
    static std::mutex mutex;
    static std::FILE *map = nullptr;
    std::string const name = name_of(l);
    std::lock_guard<std::mutex> const hold(mutex);
    if (!map) {
        std::string const path = "/tmp/perf-" + std::to_string(getpid()) + ".map";
        map = std::fopen(path.c_str(), "a");
        if (!map) return;
    }
    std::fprintf(map, "%lx %zx %s\n", reinterpret_cast<unsigned long>(start), size, name.c_str());
    std::fflush(map);
}
