#include "bench_harness.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <sstream>

namespace bench {
namespace {

// Collects the per-iteration time of every run instead of printing it. The time is the
// process's CPU time: the loops are single-threaded, and CPU time does not count the time the
// process waits while other work shares the machine.
class collecting_reporter : public benchmark::BenchmarkReporter {
  public:
    explicit collecting_reporter(std::map<std::string, timing> &out) : out_(out) {}
    bool ReportContext(Context const &) override { return true; }
    void ReportRuns(std::vector<Run> const &runs) override {
        for (Run const &run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            timing &t = out_[run.run_name.function_name];
            if (run.error_occurred) {
                t.error = run.error_message.empty() ? "failed" : run.error_message;
            } else if (run.iterations > 0) {
                t.seconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            }
        }
    }

  private:
    std::map<std::string, timing> &out_;
};

}  // namespace

std::map<std::string, timing> run_group(std::string const &group, std::vector<timed_loop> loops) {
    std::fprintf(stderr, "[bench] %s: %zu loops\n", group.c_str(), loops.size());
    benchmark::ClearRegisteredBenchmarks();
    for (timed_loop &loop : loops) {
        auto body = std::move(loop.body);
        benchmark::RegisterBenchmark(loop.name.c_str(),
                                     [body](benchmark::State &state) {
                                         // A raised error stops the loop and is reported in
                                         // the table instead of a time.
                                         try {
                                             body(state);
                                         } catch (std::exception const &e) {
                                             state.SkipWithError(e.what());
                                         } catch (...) {
                                             state.SkipWithError("unknown exception");
                                         }
                                     })
            ->MinTime(loop.min_time)
            ->MinWarmUpTime(0.0)
            ->Unit(benchmark::kMicrosecond);
    }
    std::map<std::string, timing> out;
    collecting_reporter reporter(out);
    benchmark::RunSpecifiedBenchmarks(&reporter, ".*");
    benchmark::ClearRegisteredBenchmarks();
    return out;
}

power_fit fit_power(std::vector<double> const &x, std::vector<double> const &y) {
    power_fit fit;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    int n = 0;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        if (!(x[i] > 0) || !(y[i] > 0)) continue;
        double const lx = std::log(x[i]), ly = std::log(y[i]);
        sx += lx;
        sy += ly;
        sxx += lx * lx;
        sxy += lx * ly;
        ++n;
    }
    double const det = n * sxx - sx * sx;
    if (n < 2 || std::fabs(det) < 1e-12) return fit;
    fit.exponent = (n * sxy - sx * sy) / det;
    fit.log_scale = (sy - fit.exponent * sx) / n;
    fit.valid = true;
    return fit;
}

double geometric_mean(std::vector<double> const &values) {
    double sum = 0;
    int n = 0;
    for (double v : values) {
        if (!(v > 0)) continue;
        sum += std::log(v);
        ++n;
    }
    return n ? std::exp(sum / n) : 0.0;
}

std::string format_fixed(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return buf;
}

std::string format_seconds(double seconds) {
    if (!(seconds >= 0)) return "n/a";
    static constexpr struct {
        double scale;
        char const *unit;
    } units[] = {{1e-9, "ns"}, {1e-6, "µs"}, {1e-3, "ms"}, {1.0, "s"}};
    int u = 0;
    while (u < 3 && seconds >= 1000 * units[u].scale) ++u;
    double const v = seconds / units[u].scale;
    char buf[64];
    std::snprintf(buf, sizeof buf,
                  v < 10    ? "%.2f %s"
                  : v < 100 ? "%.1f %s"
                            : "%.0f %s",
                  v, units[u].unit);
    return buf;
}

std::string format_ratio(double ratio) {
    if (!(ratio > 0)) return "n/a";
    char buf[64];
    std::snprintf(buf, sizeof buf, ratio < 10 ? "%.2fx" : ratio < 100 ? "%.1fx" : "%.0fx", ratio);
    return buf;
}

std::string markdown_table::str() const {
    std::ostringstream out;
    auto line = [&out](std::vector<std::string> const &cells) {
        out << '|';
        for (auto const &c : cells) out << ' ' << c << " |";
        out << '\n';
    };
    line(header_);
    out << '|';
    for (std::size_t i = 0; i < header_.size(); ++i) out << (i == 0 ? " --- |" : " ---: |");
    out << '\n';
    for (auto const &row : rows_) line(row);
    return out.str();
}

}  // namespace bench
