#pragma once
// Timing through Google Benchmark, gathered into plain numbers for the report tables.
#include <benchmark/benchmark.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace bench {

// One timed loop: a name unique in its group, the loop body and the least time to spend on it.
struct timed_loop {
    std::string name;
    std::function<void(benchmark::State &)> body;
    double min_time = 0.1;
};

// CPU seconds per iteration of one loop, or the message with which it failed.
struct timing {
    double seconds = -1.0;
    std::string error;
    bool ok() const { return error.empty() && seconds >= 0.0; }
};

// Runs the loops of one group through Google Benchmark and returns the time of each by name.
// Progress goes to stderr, so that stdout keeps only the report.
std::map<std::string, timing> run_group(std::string const &group, std::vector<timed_loop> loops);

// Least-squares slope and intercept of log(y) against log(x): y ~ exp(b) * x^a.
struct power_fit {
    double exponent = 0.0;
    double log_scale = 0.0;
    bool valid = false;
};
power_fit fit_power(std::vector<double> const &x, std::vector<double> const &y);

// Geometric mean of positive values (0 when there are none).
double geometric_mean(std::vector<double> const &values);

// Formatting of measured values for the tables.
std::string format_seconds(double seconds);  // "12.3 ns", "4.56 ms"
std::string format_ratio(double ratio);      // "3.21x"
std::string format_fixed(double value, int decimals);

// A markdown table built row by row.
class markdown_table {
  public:
    explicit markdown_table(std::vector<std::string> header) : header_(std::move(header)) {}
    void add_row(std::vector<std::string> row) { rows_.push_back(std::move(row)); }
    std::string str() const;

  private:
    std::vector<std::string> header_;
    std::vector<std::vector<std::string>> rows_;
};

// Keeps the optimiser from dropping a computed value.
template <class T>
inline void keep(T const &value) {
    benchmark::DoNotOptimize(value);
}

}  // namespace bench
