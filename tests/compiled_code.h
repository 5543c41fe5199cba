#pragma once
// Generated C++ compiled against the headers this build installs, as a shared object loaded into
// the test: what it calls of the library resolves to the library the test itself runs, so that
// its laws can be compared with the test's and counted by its leak checks.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// An array of the generated functions prefix0, prefix1, ..., under a C name that the test looks
// up: declaration is the array's C++ declaration ("void (*const table[])(double)").
inline std::string function_table(std::string const &declaration, std::string const &prefix,
                                  std::size_t count) {
    std::string out = "extern \"C\" " + declaration + " = {\n";
    for (std::size_t i = 0; i < count; ++i) out += "    " + prefix + std::to_string(i) + ",\n";
    return out + "};\n";
}

class compiled_code {
  public:
    // Compiles source; loaded() says whether that worked and errors() what the compiler said.
    explicit compiled_code(std::string const &source) {
        namespace fs = std::filesystem;
        fs::path const dir = fs::path(LAW_TEST_BUILD_DIR) / "tests" / "generated";
        fs::create_directories(dir);
        fs::path const prefix = dir / "installed";
        std::string const install = std::string("\"") + LAW_TEST_CMAKE + "\" --install \"" +
                                    LAW_TEST_BUILD_DIR + "\" --component headers --prefix \"" +
                                    prefix.string() + "\" >/dev/null";
        if (std::system(install.c_str()) != 0) {
            errors_ = "cannot install the headers: " + install;
            return;
        }
        fs::path const cc = dir / (unique_name() + ".cc"),
                       so = fs::path(cc).replace_extension(".so"),
                       log = fs::path(cc).replace_extension(".log");
        std::ofstream(cc) << source;
        std::string const compile = std::string("\"") + LAW_TEST_CXX +
                                    "\" -std=c++20 -O0 -Wall -Wextra -Werror -shared -fPIC -I\"" +
                                    (prefix / "include").string() + "\" -o \"" + so.string() +
                                    "\" \"" + cc.string() + "\" >\"" + log.string() + "\" 2>&1";
        int const status = std::system(compile.c_str());
        std::stringstream said;
        said << std::ifstream(log).rdbuf();
        errors_ = said.str();
        if (status == 0) {
            handle_ = dlopen(so.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!handle_) errors_ += dlerror();
        }
        std::error_code ignored;
        for (fs::path const &p : {cc, so, log}) fs::remove(p, ignored);
    }
    ~compiled_code() {
        if (handle_) dlclose(handle_);
    }
    compiled_code(compiled_code const &) = delete;
    compiled_code &operator=(compiled_code const &) = delete;

    bool loaded() const { return handle_ != nullptr; }
    std::string const &errors() const { return errors_; }
    template <class T>
    T symbol(char const *name) const {
        return reinterpret_cast<T>(dlsym(handle_, name));
    }

  private:
    // Test programs may run at once (ctest -j); each writes files of its own.
    static std::string unique_name() {
        static int count = 0;
        return "code_" + std::to_string(::getpid()) + "_" + std::to_string(count++);
    }

    void *handle_ = nullptr;
    std::string errors_;
};
