// law: read, evaluate, differentiate, simplify, integrate and plot laws from the command line.
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <law/law.h>

#include "arguments.h"
#include "echo.h"
#include "law_reader.h"
#include "numbers.h"
#include "output_format.h"
#include "syntax.h"
#include "tool.h"
#include "work_watch.h"

namespace law_tool {
namespace {

// Sets the library up for the life of the tool.
class library_session {
  public:
    library_session() { initialize_law(); }
    ~library_session() { terminate_law(); }
    library_session(library_session const &) = delete;
    library_session &operator=(library_session const &) = delete;
};

void print_overview(FILE *out) {
    std::fprintf(out,
                 "usage: law SUBCOMMAND [ARGS...]\n"
                 "       law               (interactive, when standard input is a terminal)\n"
                 "\nSubcommands:\n");
    for (command const &c : commands()) std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
    std::fprintf(
        out,
        "\nA law written @FILE is read from FILE, @- from standard input.\n"
        "Run 'law help SUBCOMMAND' (or 'law SUBCOMMAND --help') for its options and an\n"
        "example, 'law help syntax' for the syntax of laws and every function name, 'law help\n"
        "data' for the curves and surfaces that --data reads, 'law help json' for the form of\n"
        "--json output.\n");
}

void print_command_help(command const &c) {
    std::printf("usage: law %s\n%s.\n\n", c.synopsis, c.summary);
    std::string options = law_option_text();
    if (c.prints_results) options += output_option_text();
    std::printf(c.details, options.c_str());
}

command const *find_command(std::string_view name) {
    auto const all = commands();
    auto it =
        std::find_if(all.begin(), all.end(), [&](command const &c) { return name == c.name; });
    return it == all.end() ? nullptr : &*it;
}

int fail(char const *message) {
    std::fflush(stdout);
    std::fprintf(stderr, "law: %s\n", message);
    return exit_failure;
}

int misuse(command const *c, char const *message) {
    std::fflush(stdout);
    std::fprintf(stderr, "law: %s\n", message);
    if (c)
        std::fprintf(stderr, "usage: law %s\nRun 'law %s --help' for more.\n", c->synopsis,
                     c->name);
    else
        print_overview(stderr);
    return exit_usage;
}

int print_help_on(std::string_view topic) {
    if (topic == "syntax") {
        print_syntax(stdout);
        return exit_ok;
    }
    if (topic == "data") {
        print_data_help(stdout);
        return exit_ok;
    }
    if (topic == "json") {
        print_json_help(stdout);
        return exit_ok;
    }
    command const *c = find_command(topic);
    if (!c) return misuse(nullptr, ("no help on '" + echoed(topic) + "'").c_str());
    print_command_help(*c);
    return exit_ok;
}

int run_command(command const &c, std::span<char *const> words) {
    std::vector<option_def> options(c.options.begin(), c.options.end());
    // Every subcommand reads laws as --law, --data and --strict say; their help is shared too.
    for (option_def const &shared : law_reading_options())
        if (std::none_of(options.begin(), options.end(), [&](option_def const &o) {
                return std::string_view(o.name) == shared.name;
            }))
            options.push_back(shared);
    if (c.prints_results)
        options.insert(options.end(), output_options().begin(), output_options().end());
    arguments const args(words, options);
    if (args.wants_help()) {
        print_command_help(c);
        return exit_ok;
    }
    set_output_format(args);
    if (c.run == run_repl) {
        if (args.has("timeout")) throw usage_error("--timeout bounds a subcommand, not a session");
        return c.run(args);
    }
    double const timeout =
        args.has("timeout") ? read_real_option("timeout", *args.value("timeout")) : 0;
    if (!(timeout >= 0) || !std::isfinite(timeout))
        throw usage_error("--timeout needs a number of seconds, at least 0 (0 for none)");
    work_watch const watch(c.name, timeout);
    return c.run(args);
}

// Output lost to a full disk or a closed pipe is a failure, not a success.
int checked_output(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        int const saved = errno;
        std::fprintf(stderr, "law: cannot write standard output: %s\n", std::strerror(saved));
        return exit_failure;
    }
    return status;
}

}  // namespace

int run_subcommand_words(std::string_view name, std::span<char *const> words) {
    command const *c = find_command(name);
    if (!c) throw tool_error("no subcommand " + echoed(name));
    return run_command(*c, words);
}

namespace {

int dispatch(std::span<char *const> words) {
    if (words.empty()) {
        if (isatty(STDIN_FILENO)) return interact(law_reader{}, stdin, stdout, true);
        return misuse(nullptr, "no subcommand given");
    }
    std::string_view const first = words[0];
    if (first == "--version") {
        std::printf("law %s\n", LAW_VERSION);
        return exit_ok;
    }
    if (first == "help" && words.size() > 1) return print_help_on(words[1]);
    if (first == "--help" || first == "-h" || first == "help") {
        print_overview(stdout);
        return exit_ok;
    }
    command const *c = find_command(first);
    if (!c) return misuse(nullptr, ("unknown subcommand '" + echoed(first) + "'").c_str());
    try {
        return run_command(*c, words.subspan(1));
    } catch (usage_error const &e) {
        return misuse(c, e.what());
    }
}

}  // namespace
}  // namespace law_tool

int main(int argc, char **argv) {
    using namespace law_tool;
    library_session const library;
    try {
        return checked_output(
            dispatch(std::span<char *const>(argv + 1, static_cast<std::size_t>(argc - 1))));
    } catch (tool_error const &e) {
        return fail(e.what());
    } catch (vorn_exception const &e) {
        return fail(law_error_text(e).c_str());
    } catch (std::exception const &e) {
        return fail(e.what());
    }
}
