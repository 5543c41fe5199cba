// Runs a fuzz target once on each input file named on the command line, or on each file of a
// directory named there, so that the inputs the fuzzers found stay regression tests of every
// build (CTest) and not only of the fuzzing one. Exits 0 when every input ran; a finding aborts.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const *bytes, std::size_t size);

namespace {
void run(std::filesystem::path const &file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> const bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(reinterpret_cast<std::uint8_t const *>(bytes.data()), bytes.size());
}
}  // namespace

int main(int argc, char **argv) {
    int ran = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path const named(argv[i]);
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(named)) {
            for (auto const &entry : std::filesystem::directory_iterator(named))
                if (entry.is_regular_file()) files.push_back(entry.path());
            std::sort(files.begin(), files.end());
        } else {
            files.push_back(named);
        }
        for (auto const &f : files) {
            run(f);
            ++ran;
        }
    }
    std::printf("%d inputs ran\n", ran);
    return ran > 0 ? 0 : 1;
}
