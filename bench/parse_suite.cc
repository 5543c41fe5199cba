// Parsing texts of growing length: the library's str_to_law against muParser.
#include <muParser.h>
#include <algorithm>
#include <memory>
#include <sstream>

#include "bench_cases.h"
#include "bench_harness.h"
#include "bench_law.h"
#include "bench_suites.h"

namespace bench {
namespace {

constexpr std::size_t text_sizes[] = {10, 30, 100, 300, 1000, 3000, 10000, 30000, 100000};

// Texts parsed per timed iteration, so that short texts are timed in bulk.
int batch_for(std::size_t chars) {
    return static_cast<int>(std::clamp<std::size_t>(20000 / chars, 1, 1000));
}

timed_loop library_loop(std::string const &name, std::string const &text) {
    int const batch = batch_for(text.size());
    return {name, [&text, batch](benchmark::State &state) {
                std::vector<law *> parsed(batch);
                for (auto _ : state) {
                    for (law *&p : parsed) p = str_to_law(text.c_str());
                    state.PauseTiming();
                    bool const all_read = std::all_of(parsed.begin(), parsed.end(),
                                                      [](law *p) { return p != nullptr; });
                    for (law *p : parsed)
                        if (p) p->remove();
                    if (!all_read) throw std::runtime_error(TEST_get_error());
                    state.ResumeTiming();
                }
                state.SetItemsProcessed(state.iterations() * batch);
            }};
}

// muParser compiles a text on its first Eval, so both calls make up its parse.
timed_loop mu_loop(std::string const &name, std::string const &text) {
    int const batch = batch_for(text.size());
    return {name, [&text, batch](benchmark::State &state) {
                std::vector<std::unique_ptr<mu::Parser>> parsers;
                double x = 0.5;
                for (int i = 0; i < batch; ++i) {
                    parsers.push_back(std::make_unique<mu::Parser>());
                    parsers.back()->DefineVar("x", &x);
                }
                for (auto _ : state) {
                    for (auto &p : parsers) {
                        p->SetExpr(text);
                        keep(p->Eval());
                    }
                }
                state.SetItemsProcessed(state.iterations() * batch);
            }};
}

}  // namespace

std::string parsing_section() {
    std::vector<std::string> texts;
    for (std::size_t size : text_sizes) texts.push_back(long_text(size));

    std::vector<std::string> mu_errors(texts.size());
    std::vector<timed_loop> loops;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string const &text = texts[i];
        loops.push_back(library_loop("law/" + std::to_string(i), text));
        try {
            mu::Parser probe;
            double x = 0.5;
            probe.DefineVar("x", &x);
            probe.SetExpr(text);
            probe.Eval();
            loops.push_back(mu_loop("mu/" + std::to_string(i), text));
        } catch (mu::Parser::exception_type const &e) {
            mu_errors[i] = e.GetMsg();
        }
    }
    auto const times = run_group("parsing", std::move(loops));

    markdown_table table({"characters", "library", "library per char", "muParser",
                          "muParser per char", "library/muParser"});
    std::vector<double> law_x, law_y, mu_x, mu_y;
    std::ostringstream notes;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        double const chars = static_cast<double>(texts[i].size());
        int const batch = batch_for(texts[i].size());
        auto per_text = [&](std::string const &key) {
            auto it = times.find(key);
            return it != times.end() && it->second.ok() ? it->second.seconds / batch : -1.0;
        };
        double const lib = per_text("law/" + std::to_string(i));
        double const mu = per_text("mu/" + std::to_string(i));
        if (lib > 0) law_x.push_back(chars), law_y.push_back(lib);
        if (mu > 0) mu_x.push_back(chars), mu_y.push_back(mu);
        table.add_row({std::to_string(texts[i].size()), format_seconds(lib),
                       format_seconds(lib / chars), format_seconds(mu), format_seconds(mu / chars),
                       format_ratio(lib > 0 && mu > 0 ? lib / mu : -1)});
        auto law_it = times.find("law/" + std::to_string(i));
        if (law_it != times.end() && !law_it->second.error.empty())
            notes << "- " << texts[i].size() << " characters: library: " << law_it->second.error
                  << "\n";
        if (!mu_errors[i].empty())
            notes << "- " << texts[i].size() << " characters: muParser: " << mu_errors[i] << "\n";
    }
    power_fit const law_fit = fit_power(law_x, law_y);
    power_fit const mu_fit = fit_power(mu_x, mu_y);

    std::ostringstream out;
    out << "## Parsing\n\n"
        << "Texts of sums, products and differences of terms such as `sin(x)`, `x^2`, "
           "`sqrt(x+1)`, grouped eight at a time in brackets (example of 100 characters: `"
        << texts[2]
        << "`). The library: `str_to_law`; muParser: `SetExpr` and the first `Eval`, "
           "which is where it compiles the text. Times are per text.\n\n"
        << table.str() << "\nGrowth, fitted as time ~ characters^a: library a = "
        << (law_fit.valid ? format_fixed(law_fit.exponent, 2) : "n/a")
        << ", muParser a = " << (mu_fit.valid ? format_fixed(mu_fit.exponent, 2) : "n/a") << ".\n";
    if (!notes.str().empty()) out << "\nNot measured:\n\n" << notes.str();
    return out.str();
}

}  // namespace bench
