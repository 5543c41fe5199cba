#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "arguments.h"
#include "output_format.h"
#include "tool.h"

namespace law_tool {

std::string output_path(arguments const &args) {
    auto const path = args.value("output");
    if (!path || path->empty())
        throw usage_error("give the picture's file with -o FILE.svg, or -o - for standard output");
    return std::string(*path);
}

void say_written(char const *what, std::string const &path) {
    if (path != "-" && !json_output()) std::printf("%s written to %s\n", what, path.c_str());
}

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
