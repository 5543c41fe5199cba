// The interactive session: expressions and their values at a current point.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
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
    "  EXPR              print the law and its value at the current point\n"
    "  :at V ...         set the current point (numbers or expressions such as PI/4)\n"
    "  :deriv [I]        the derivative of the last expression with respect to input I\n"
    "  :simplify         the simplified form of the last expression\n"
    "  :help             this list\n"
    "  :quit             leave\n"
    "  Ctrl-C            cancel the line being typed\n"
    "  Up, Down, Tab     recall earlier lines (kept in ~/.law_history or $LAW_HISTORY),\n"
    "                    complete a law name or command\n";

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

class session {
  public:
    session(law_reader const &reader, std::FILE *out) : reader_(reader), out_(out) {}

    // Handles one line; false when the session should end.
    bool handle(std::string const &line) {
        if (line.empty()) return true;
        if (line[0] != ':') {
            show(reader_.read(line));
            return true;
        }
        std::vector<std::string> const words = split_words(line.substr(1));
        std::string const name = words.empty() ? "" : words[0];
        if (name == "quit" || name == "q") return false;
        if (name == "help") {
            std::fputs(help_text, out_);
        } else if (name == "at") {
            set_point(words);
        } else if (name == "deriv") {
            int const wrt = words.size() > 1 ? read_int_for(":deriv", words[1], 0, 999) : 0;
            check_input_index(":deriv", wrt, last());
            show(nth_derivative(last(), wrt, 1));
        } else if (name == "simplify") {
            law_ptr simple;
            try {
                simple = adopt(last().simplify(1, 0));
            } catch (vorn_exception const &e) {
                report_law_error(e);
            }
            show(simple);
        } else {
            throw tool_error("unknown command :" + echoed(name) + " (try :help)");
        }
        return true;
    }

  private:
    law const &last() const {
        if (!last_) throw tool_error("no expression yet");
        return *last_;
    }

    void set_point(std::vector<std::string> const &words) {
        std::vector<double> point;
        for (std::size_t i = 1; i < words.size(); ++i) point.push_back(reader_.value(words[i]));
        point_ = std::move(point);
        std::fputs("point:", out_);
        for (double v : point_) std::fprintf(out_, " %s", number_text(v).c_str());
        std::fputs("\n", out_);
    }

    // Prints the law and, when the point gives it enough values, its value there.
    void show(law_ptr const &l) {
        last_ = l;
        std::string text = l->text();
        if (point_.size() >= static_cast<std::size_t>(l->take_dim()))
            text += " = " + values_text(*l, point_);
        else
            text += "   (takes " + count_text(l->take_dim(), "input") + "; set them with :at)";
        std::fprintf(out_, "%s\n", text.c_str());
    }

    law_reader const &reader_;
    std::FILE *out_;
    std::vector<double> point_;
    law_ptr last_;
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
    std::vector<std::string> words = {":at", ":deriv", ":help", ":quit", ":simplify"};
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

int interact(law_reader const &reader, std::FILE *in, std::FILE *out, bool prompt) {
    session s(reader, out);
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
    return interact(reader, stdin, stdout, isatty(STDIN_FILENO));
}

}  // namespace law_tool
