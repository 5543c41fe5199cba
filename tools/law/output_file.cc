#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tool.h"

namespace law_tool {

void write_file(std::string const &path, std::string const &text) {
    if (path == "-") {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return;
    }
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) throw tool_error("cannot write " + path + ": " + std::strerror(errno));
    bool const ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok)
        throw tool_error("cannot write " + path + ": " + std::strerror(errno));
}

}  // namespace law_tool
