// The interactive session: expressions and their values at a current point.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "arguments.h"
#include "calculus.h"
#include "echo.h"
#include "law_reader.h"
#include "line_editor.h"
#include "numbers.h"
#include "tool.h"

namespace law_tool {
namespace {

constexpr char help_text[] =
    "  EXPR              print the law and its value at the current point; it becomes the\n"
    "                    current expression, and ans\n"
    "  :let F = EXPR     name a law, the current expression: F stands for it in later lines\n"
    "                    (ans for the last result)\n"
    "  :at V ...         set the current point (numbers or expressions such as PI/4)\n"
    "  :deriv [I]        the derivative of the current expression by input I, as ans (type\n"
    "                    ans to make it the current expression)\n"
    "  :simplify         the simplified form of the current expression, as ans\n"
    "  :roots A B        the roots of the current expression in [A, B] (as law roots)\n"
    "  :integrate A B    its integral from A to B (as law integrate)\n"
    "  :min A B, :max A B  where it is smallest or largest in [A, B] (as law min, law max)\n"
    "  :plot A B FILE    draw it over [A, B] into FILE.svg (as law plot)\n"
    "  :fit A B          fit it by a cubic B-spline (as law fit)\n"
    "                    these take the options of their subcommand: :roots 0 10 --values\n"
    "  :names            the named laws\n"
    "  :help             this list\n"
    "  :quit             leave\n"
    "  Ctrl-C            cancel the line being typed\n"
    "  Up, Down, Tab     recall earlier lines (kept in ~/.law_history or $LAW_HISTORY),\n"
    "                    complete a law name or command\n";

// The commands that run a subcommand on the current expression, and the subcommand.
constexpr char const *subcommand_commands[] = {"roots", "integrate", "min", "max", "plot", "fit"};

std::vector<std::string> split_words(std::string const &text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

std::string trimmed(std::string const &s) {
    std::size_t const b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::string upper(std::string s) {
    for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool is_name_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// A law of the session with a text that reads back to it with the session's laws and data: what
// the user wrote, names written out (a law's own print numbers its data afresh).
struct held_law {
    law_ptr l;
    std::string source;
};

class session {
  public:
    session(law_reader const &reader, std::vector<std::string> reading_words, std::FILE *out)
        : reader_(reader), reading_words_(std::move(reading_words)), out_(out) {}

    // Handles one line; false when the session should end.
    bool handle(std::string const &line) {
        if (line.empty()) return true;
        if (line[0] != ':') {
            current_ = read(line);
            show(current_);
            return true;
        }
        std::string const rest = trimmed(line.substr(1));
        std::vector<std::string> const words = split_words(rest);
        std::string const name = words.empty() ? "" : words[0];
        if (name == "quit" || name == "q") return false;
        if (name == "help") {
            std::fputs(help_text, out_);
        } else if (name == "at") {
            set_point(words);
        } else if (name == "let") {
            let(rest.substr(3));
        } else if (name == "names") {
            for (auto const &[n, h] : names_)
                std::fprintf(out_, "%s = %s\n", n.c_str(), h.l->text().c_str());
        } else if (name == "deriv") {
            int const wrt = words.size() > 1 ? read_int_for(":deriv", words[1], 0, 999) : 0;
            check_input_index(":deriv", wrt, current());
            show(derived(nth_derivative(current(), wrt, 1)));
        } else if (name == "simplify") {
            law_ptr simple;
            try {
                simple = adopt(current().simplify(1, 0));
            } catch (vorn_exception const &e) {
                report_law_error(e);
            }
            show(derived(simple));
        } else if (std::find(std::begin(subcommand_commands), std::end(subcommand_commands),
                             name) != std::end(subcommand_commands)) {
            run_subcommand(name, words);
        } else {
            throw tool_error("unknown command :" + echoed(name) + " (try :help)");
        }
        return true;
    }

    // The names a line may use, for completion.
    std::vector<std::string> names() const {
        std::vector<std::string> out{"ans"};
        for (auto const &[n, h] : names_) out.push_back(n);
        return out;
    }

  private:
    law const &current() const {
        if (!current_.l) throw tool_error("no expression yet");
        return *current_.l;
    }

    // The line with each name written as its law, bracketed.
    std::string substituted(std::string const &line) const {
        std::string out;
        for (std::size_t i = 0; i < line.size();) {
            if (!std::isalpha(static_cast<unsigned char>(line[i])) ||
                (i > 0 && is_name_char(line[i - 1]) &&
                 !std::isdigit(static_cast<unsigned char>(line[i - 1])))) {
                out += line[i++];
                continue;
            }
            std::size_t end = i;
            while (end < line.size() && is_name_char(line[end])) ++end;
            std::string const word = upper(line.substr(i, end - i));
            held_law const *l = nullptr;
            if (word == "ANS") {
                if (!ans_.l) throw tool_error("no result yet for ans");
                l = &ans_;
            } else if (auto const it = names_.find(word); it != names_.end()) {
                l = &it->second;
            }
            if (!l) {
                out += line.substr(i, end - i);
            } else {
                // 2F is 2*F, as 2X is 2*X.
                if (i > 0 && std::isdigit(static_cast<unsigned char>(line[i - 1]))) out += '*';
                out += "(" + l->source + ")";
            }
            i = end;
        }
        return out;
    }

    held_law read(std::string const &text) const {
        std::string source = substituted(text);
        law_ptr l = reader_.read(source);
        return {std::move(l), std::move(source)};
    }

    // A result the session made: its print is its text.
    static held_law derived(law_ptr const &l) { return {l, l->text()}; }

    // ":let F = EXPR": F must be a name the syntax does not read, so that no law changes.
    void let(std::string const &definition) {
        std::size_t const eq = definition.find('=');
        if (eq == std::string::npos) throw usage_error(":let needs NAME = EXPR");
        std::string const name = upper(trimmed(definition.substr(0, eq)));
        bool const identifier = !name.empty() &&
                                std::isalpha(static_cast<unsigned char>(name[0])) &&
                                std::all_of(name.begin(), name.end(), is_name_char);
        if (!identifier)
            throw usage_error(":let needs a name of letters, digits and _, not '" + echoed(name) +
                              "'");
        if (name == "ANS") throw usage_error("ans is the last result; choose another name");
        if (!names_.count(name) && reads_alone(name))
            throw usage_error(name + " already means something in a law; choose another name");
        held_law const l = read(trimmed(definition.substr(eq + 1)));
        names_[name] = l;
        current_ = l;
        std::fprintf(out_, "%s = ", name.c_str());
        show(l);
    }

    bool reads_alone(std::string const &name) const {
        TEST_clear_error();
        return adopt(str_to_law(name.c_str())).get() != nullptr;
    }

    // ":roots A B ...": the subcommand on the current expression, with the session's --law and
    // --data.
    void run_subcommand(std::string const &name, std::vector<std::string> const &words) {
        current();
        std::vector<std::string> owned{current_.source};
        owned.insert(owned.end(), words.begin() + 1, words.end());
        // ":plot A B FILE": the file is the picture's.
        if (name == "plot" && owned.size() > 3 && !owned[3].starts_with('-'))
            owned.insert(owned.begin() + 3, "-o");
        owned.insert(owned.end(), reading_words_.begin(), reading_words_.end());
        std::vector<char *> argv;
        for (std::string &w : owned) argv.push_back(w.data());
        std::fflush(out_);
        run_subcommand_words(name, argv);
        std::fflush(stdout);
    }

    void set_point(std::vector<std::string> const &words) {
        std::vector<double> point;
        for (std::size_t i = 1; i < words.size(); ++i)
            point.push_back(reader_.value(substituted(words[i])));
        point_ = std::move(point);
        std::fputs("point:", out_);
        for (double v : point_) std::fprintf(out_, " %s", number_text(v).c_str());
        std::fputs("\n", out_);
    }

    // Prints the law and, when the point gives it enough values, its value there; it is ans.
    void show(held_law const &h) {
        ans_ = h;
        law const *l = h.l.get();
        std::string text = l->text();
        if (point_.size() >= static_cast<std::size_t>(l->take_dim()))
            text += " = " + values_text(*l, point_);
        else
            text += "   (takes " + count_text(l->take_dim(), "input") + "; set them with :at)";
        std::fprintf(out_, "%s\n", text.c_str());
    }

    law_reader const &reader_;
    std::vector<std::string> reading_words_;  // --law and --data of the session
    std::FILE *out_;
    std::vector<double> point_;
    held_law current_, ans_;
    std::map<std::string, held_law> names_;
};

volatile std::sig_atomic_t interrupted = 0;

void on_interrupt(int) { interrupted = 1; }

// While a terminal session runs, Ctrl-C cancels the line being typed instead of ending the tool.
// SIGINT stays blocked except while waiting for a line, so it cannot slip in between a check
// and the wait.
class interrupt_cancels_line {
  public:
    interrupt_cancels_line() {
        struct sigaction cancel {};
        cancel.sa_handler = on_interrupt;
        sigemptyset(&cancel.sa_mask);
        sigaction(SIGINT, &cancel, &saved_action_);
        sigset_t block;
        sigemptyset(&block);
        sigaddset(&block, SIGINT);
        sigprocmask(SIG_BLOCK, &block, &saved_mask_);
        waiting_mask_ = saved_mask_;
        sigdelset(&waiting_mask_, SIGINT);
    }
    ~interrupt_cancels_line() {
        sigprocmask(SIG_SETMASK, &saved_mask_, nullptr);
        sigaction(SIGINT, &saved_action_, nullptr);
    }
    interrupt_cancels_line(interrupt_cancels_line const &) = delete;
    interrupt_cancels_line &operator=(interrupt_cancels_line const &) = delete;

    // Waits until a line can be read from in; false when Ctrl-C came first. A terminal hands
    // over whole lines, so reading the line then does not wait.
    bool wait_for_line(std::FILE *in) const {
        pollfd p{fileno(in), POLLIN, 0};
        for (;;) {
            if (ppoll(&p, 1, nullptr, &waiting_mask_) >= 0) return true;
            if (errno != EINTR) return true;  // the read reports it
            if (interrupted) {
                interrupted = 0;
                return false;
            }
        }
    }

  private:
    struct sigaction saved_action_ {};
    sigset_t saved_mask_{}, waiting_mask_{};
};

// What Tab completes: the commands and the names of the laws the reader knows.
std::vector<std::string> completion_words() {
    std::vector<std::string> words = {":at",   ":deriv", ":fit",      ":help",  ":integrate",
                                      ":let",  ":max",   ":min",      ":names", ":plot",
                                      ":quit", ":roots", ":simplify", "ans"};
    for (law_list const *node = law_list::head(); node; node = node->next()) {
        law const *p = node->prototype();
        char const *name = p ? p->symbol(law_symbol_default) : nullptr;
        if (name && std::isalpha(static_cast<unsigned char>(name[0]))) words.push_back(name);
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

// Handles one line; false when the session should end.
bool handle_line(session &s, std::string const &line, std::FILE *out) {
    try {
        return s.handle(trimmed(line));
    } catch (tool_error const &e) {
        std::fflush(out);
        std::fprintf(stderr, "law: %s\n", e.what());
    } catch (usage_error const &e) {
        std::fflush(out);
        std::fprintf(stderr, "law: %s\n", e.what());
    } catch (vorn_exception const &e) {
        std::fflush(out);
        std::fprintf(stderr, "law: %s\n", e.message() && *e.message() ? e.message() : e.what());
    }
    return true;
}

// The session on a terminal with line editing, history and completion.
int edit_lines(session &s, std::FILE *out) {
    interrupt_cancels_line const cancelling;
    line_editor editor(completion_words());
    std::string line;
    for (;;) {
        line_result const r = editor.get("law> ", line);
        if (r == line_result::end) break;
        if (r == line_result::line && !handle_line(s, line, out)) return exit_ok;
    }
    std::fputs("\n", out);
    return exit_ok;
}

bool read_line(std::FILE *in, std::string &line) {
    line.clear();
    int c;
    while ((c = std::fgetc(in)) != EOF && c != '\n') line += static_cast<char>(c);
    return c != EOF || !line.empty();
}

}  // namespace

int interact(law_reader const &reader, std::FILE *in, std::FILE *out, bool prompt,
             std::vector<std::string> reading_words) {
    session s(reader, std::move(reading_words), out);
    if (prompt && in == stdin && out == stdout && line_editor::available())
        return edit_lines(s, out);
    std::optional<interrupt_cancels_line> cancelling;
    if (prompt) cancelling.emplace();
    std::string line;
    for (;;) {
        if (prompt) {
            std::fputs("law> ", out);
            std::fflush(out);
        }
        if (cancelling && !cancelling->wait_for_line(in)) {
            std::fputs("\n", out);
            continue;
        }
        if (!read_line(in, line)) break;
        if (!handle_line(s, line, out)) return exit_ok;
    }
    if (prompt) std::fputs("\n", out);
    return exit_ok;
}

int run_repl(arguments const &args) {
    args.expect_operands(0, 0);
    law_reader const reader(args);
    std::vector<std::string> reading;
    for (char const *option : {"law", "data"})
        for (std::string_view const v : args.values(option))
            reading.insert(reading.end(), {"--" + std::string(option), std::string(v)});
    if (args.has("strict")) reading.push_back("--strict");
    return interact(reader, stdin, stdout, isatty(STDIN_FILENO), std::move(reading));
}

}  // namespace law_tool
