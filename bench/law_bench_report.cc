// law_bench_report: runs every workload of the benchmark suite and prints one markdown report.
//
//   law_bench_report [--readme PATH]
//                    [--only evaluation,batch,parsing,derivative,scaling,roots,integration,
//                            minimisation,fitting,frames,surfaces]
//
// --readme rewrites the part of PATH between the result markers with the report of this run.
// Other arguments go to Google Benchmark.
#include <benchmark/benchmark.h>
#include <ginac/version.h>
#include <gsl/gsl_version.h>
#include <muParserDef.h>
#include <sys/utsname.h>
#include <boost/version.hpp>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <law/law.h>

#include "bench_harness.h"
#include "bench_suites.h"

#ifndef LAW_BENCH_COMMIT
#define LAW_BENCH_COMMIT "unknown"
#endif
#ifndef LAW_BENCH_BUILD
#define LAW_BENCH_BUILD "unknown"
#endif

namespace {

char const results_begin[] = "<!-- results begin -->";
char const results_end[] = "<!-- results end -->";

std::string first_line_with(char const *path, std::string const &key) {
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0) {
            auto colon = line.find(':');
            return colon == std::string::npos
                       ? line
                       : line.substr(line.find_first_not_of(" \t", colon + 1));
        }
    return "unknown";
}

std::string utc_now() {
    std::time_t const now = std::time(nullptr);
    char buf[64];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
    return buf;
}

std::string machine_section(std::string const &command) {
    struct utsname os {};
    uname(&os);
    auto const &cpu = benchmark::CPUInfo::Get();
    std::ostringstream out;
    out << "Date: " << utc_now() << "  \n"
        << "Command: `" << command << "`  \n"
        << "Machine: " << first_line_with("/proc/cpuinfo", "model name") << ", "
        << std::thread::hardware_concurrency() << " logical cores at "
        << bench::format_fixed(cpu.cycles_per_second / 1e6, 0) << " MHz, memory "
        << first_line_with("/proc/meminfo", "MemTotal") << ", " << os.sysname << ' ' << os.release
        << "  \n"
        << "Build: " << LAW_BENCH_BUILD << ", g++ " << __VERSION__ << ", library at commit "
        << LAW_BENCH_COMMIT << "  \n"
        << "Compared with: muParser " << mu::ParserVersion << ", GiNaC " << GINACLIB_VERSION
        << ", Boost.Math " << BOOST_LIB_VERSION << ", GSL " << GSL_VERSION
        << ", timing loops by Google Benchmark  \n";
    if (cpu.scaling == benchmark::CPUInfo::ENABLED)
        out << "CPU frequency scaling is enabled: times may vary from run to run.  \n";
    if (!cpu.load_avg.empty())
        out << "Load average at start: " << bench::format_fixed(cpu.load_avg[0], 2) << "  \n";
    return out.str();
}

void write_readme(std::string const &path, std::string const &report) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::stringstream whole;
    whole << in.rdbuf();
    std::string text = whole.str();
    auto const begin = text.find(results_begin);
    auto const end = text.find(results_end);
    if (begin == std::string::npos || end == std::string::npos || end < begin)
        throw std::runtime_error(path + " has no result markers");
    std::size_t const from = begin + sizeof results_begin - 1;
    text.replace(from, end - from, "\n" + report + "\n");
    std::ofstream(path) << text;
}

bool wanted(std::string const &only, char const *section) {
    return only.empty() || only.find(section) != std::string::npos;
}

}  // namespace

int main(int argc, char **argv) {
    std::string command = argv[0];
    for (int i = 1; i < argc; ++i) command += std::string(" ") + argv[i];
    benchmark::Initialize(&argc, argv);
    std::string readme, only;
    for (int i = 1; i < argc; ++i) {
        std::string const arg = argv[i];
        if ((arg == "--readme" || arg == "--only") && i + 1 < argc)
            (arg == "--readme" ? readme : only) = argv[++i];
        else {
            std::cerr << "usage: law_bench_report [--readme PATH] [--only SECTIONS]\n";
            return 2;
        }
    }
    initialize_law();
    auto const start = std::chrono::steady_clock::now();
    std::ostringstream report;
    report << "# Benchmark report\n\n" << machine_section(command) << "\n";
    try {
        if (wanted(only, "evaluation")) report << bench::evaluation_section() << "\n";
        if (wanted(only, "batch")) report << bench::batch_section() << "\n";
        if (wanted(only, "parsing")) report << bench::parsing_section() << "\n";
        if (wanted(only, "derivative")) report << bench::derivative_section() << "\n";
        if (wanted(only, "scaling")) report << bench::scaling_section() << "\n";
        if (wanted(only, "roots")) report << bench::roots_section() << "\n";
        if (wanted(only, "integration")) report << bench::integration_section() << "\n";
        if (wanted(only, "minimisation")) report << bench::minimisation_section() << "\n";
        if (wanted(only, "plane")) report << bench::plane_zeros_section() << "\n";
        if (wanted(only, "fitting")) report << bench::fitting_section() << "\n";
        if (wanted(only, "frames")) report << bench::frames_section() << "\n";
        if (wanted(only, "surfaces")) report << bench::surfaces_section() << "\n";
    } catch (std::exception const &e) {
        std::cerr << "law_bench_report: " << e.what() << "\n";
        terminate_law();
        return 1;
    }
    double const seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    report << "The whole run took " << bench::format_fixed(seconds, 0) << " s.\n";
    std::cout << report.str() << std::flush;
    int status = 0;
    if (!readme.empty()) {
        try {
            write_readme(readme, report.str());
            std::cerr << "law_bench_report: wrote " << readme << "\n";
        } catch (std::exception const &e) {
            std::cerr << "law_bench_report: " << e.what() << "\n";
            status = 1;
        }
    }
    terminate_law();
    return status;
}
