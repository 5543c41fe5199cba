#pragma once
// Shared pieces of the law command-line tool: its errors and its subcommands.
#include <cstdio>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace law_tool {

class arguments;

// A failure reported as "law: <message>" with exit status 1.
class tool_error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A misuse of the command line: reported with the usage of the subcommand, exit status 2.
class usage_error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

inline constexpr int exit_ok = 0;
inline constexpr int exit_failure = 1;
inline constexpr int exit_usage = 2;

struct option_def;

struct command {
    char const *name;
    char const *synopsis;  // "eval EXPR [V ...]"
    char const *summary;   // one line for the list of subcommands
    char const *details;   // options and an example, for "law NAME --help"
    std::span<option_def const> options;
    int (*run)(arguments const &args);
    bool prints_results = false;  // takes --json and --precision
};

// Every subcommand, in the order "law --help" lists them.
std::span<command const> commands();
// --law, --data, --strict and --timeout: every subcommand takes them.
std::span<option_def const> law_reading_options();
// The help line of the --law option, shared by every subcommand that reads a law.
char const *law_option_text();

int run_print(arguments const &args);
int run_eval(arguments const &args);
int run_deriv(arguments const &args);
int run_simplify(arguments const &args);
int run_integrate(arguments const &args);
int run_plot(arguments const &args);
int run_frame(arguments const &args);
int run_info(arguments const &args);
int run_roots(arguments const &args);
int run_solve(arguments const &args);
int run_min(arguments const &args);
int run_max(arguments const &args);
int run_bounds(arguments const &args);
int run_roots2d(arguments const &args);
int run_code(arguments const &args);
int run_fit(arguments const &args);
int run_fit2(arguments const &args);
int run_plot2(arguments const &args);
int run_intersect(arguments const &args);

int run_repl(arguments const &args);

// The interactive session over in and out, with the laws of reader; returns at end of input or
// ":quit".
class law_reader;
// reading_words are the --law and --data options that the session's subcommands (:roots ...)
// read their laws with.
int interact(law_reader const &reader, std::FILE *in, std::FILE *out, bool prompt,
             std::vector<std::string> reading_words = {});

// Runs the subcommand on the words after its name, as the command line would.
int run_subcommand_words(std::string_view name, std::span<char *const> words);

}  // namespace law_tool
