#include "line_editor.h"

#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#ifdef LAW_HAVE_LIBEDIT
#include <histedit.h>
#endif

#include <cstdio>

namespace law_tool {

std::string line_editor::history_path() {
    if (char const *given = std::getenv("LAW_HISTORY"); given && *given) return given;
    if (char const *home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.law_history";
    return {};
}

std::vector<std::string> completions(std::vector<std::string> const &words,
                                     std::string const &prefix) {
    std::vector<std::string> out;
    for (std::string const &w : words) {
        if (w.size() < prefix.size()) continue;
        bool match = true;
        for (std::size_t i = 0; i < prefix.size() && match; ++i)
            match = std::toupper(static_cast<unsigned char>(w[i])) ==
                    std::toupper(static_cast<unsigned char>(prefix[i]));
        if (match) out.push_back(w);
    }
    return out;
}

#ifdef LAW_HAVE_LIBEDIT

namespace {

// Characters that make up a word to complete: names, with the "?" of EVEN? and the ":" of
// commands.
bool word_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '?' || c == ':';
}

std::string common_prefix(std::vector<std::string> const &words) {
    std::string p = words.front();
    for (std::string const &w : words) {
        std::size_t i = 0;
        while (i < p.size() && i < w.size() && p[i] == w[i]) ++i;
        p.resize(i);
    }
    return p;
}

char const *prompt_text = "";
char const *prompt_of(EditLine *) { return prompt_text; }

volatile std::sig_atomic_t interrupted = 0;
void on_interrupt(int) { interrupted = 1; }

}  // namespace

struct line_editor::state {
    EditLine *el = nullptr;
    History *history = nullptr;
    HistEvent event{};
    std::string path;
    std::vector<std::string> words;
    bool cancelled = false;

    static state *of(EditLine *el) {
        void *self = nullptr;
        el_get(el, EL_CLIENTDATA, &self);
        return static_cast<state *>(self);
    }

    // Ctrl-C read as a key (the editor's terminal mode may turn signals off): the line ends
    // and is dropped.
    static unsigned char cancel(EditLine *el, int) {
        of(el)->cancelled = true;
        return CC_NEWLINE;
    }

    // Reads a key. SIGINT stays blocked except while waiting here, so a Ctrl-C that comes while
    // the editor sets up cannot slip by: it arrives in the wait and cancels the line.
    static int read_key(EditLine *el, wchar_t *key) {
        sigset_t waiting;
        sigprocmask(SIG_SETMASK, nullptr, &waiting);
        sigdelset(&waiting, SIGINT);
        pollfd p{STDIN_FILENO, POLLIN, 0};
        while (ppoll(&p, 1, nullptr, &waiting) < 0) {
            if (errno != EINTR) break;
            if (interrupted) {
                of(el)->cancelled = true;
                return -1;
            }
        }
        unsigned char c = 0;
        ssize_t const n = read(STDIN_FILENO, &c, 1);
        if (n <= 0) return static_cast<int>(n);
        *key = c;
        return 1;
    }

    // Tab: the longest completion common to all candidates, or the list of them.
    static unsigned char complete(EditLine *el, int) {
        state const *s = of(el);
        LineInfo const *li = el_line(el);
        char const *start = li->cursor;
        while (start > li->buffer && word_char(start[-1])) --start;
        std::string const prefix(start, li->cursor);
        std::vector<std::string> const found = completions(s->words, prefix);
        if (found.empty()) return CC_ERROR;
        std::string const common = common_prefix(found);
        if (common.size() > prefix.size()) {
            el_deletestr(el, static_cast<int>(prefix.size()));
            el_insertstr(el, common.c_str());
            return CC_REFRESH;
        }
        if (found.size() == 1) return CC_REFRESH;
        std::fputs("\n", stdout);
        for (std::string const &w : found) std::printf("%s  ", w.c_str());
        std::fputs("\n", stdout);
        std::fflush(stdout);
        return CC_REDISPLAY;
    }
};

bool line_editor::available() { return true; }

line_editor::line_editor(std::vector<std::string> words) : state_(new state) {
    state_->words = std::move(words);
    state_->el = el_init("law", stdin, stdout, stderr);
    state_->history = history_init();
    history(state_->history, &state_->event, H_SETSIZE, 1000);
    history(state_->history, &state_->event, H_SETUNIQUE, 1);
    state_->path = history_path();
    if (!state_->path.empty())
        history(state_->history, &state_->event, H_LOAD, state_->path.c_str());
    el_set(state_->el, EL_CLIENTDATA, state_.get());
    el_set(state_->el, EL_EDITOR, "emacs");
    el_set(state_->el, EL_PROMPT, prompt_of);
    el_set(state_->el, EL_HIST, history, state_->history);
    // The wide form: the narrow one copies the name and help into strings it never frees.
    el_wset(state_->el, EL_ADDFN, L"law-complete", L"complete a law name or command",
            state::complete);
    el_set(state_->el, EL_BIND, "^I", "law-complete", nullptr);
    el_wset(state_->el, EL_GETCFN, state::read_key);
    el_wset(state_->el, EL_ADDFN, L"law-cancel", L"cancel the line", state::cancel);
    el_set(state_->el, EL_BIND, "^C", "law-cancel", nullptr);
    el_source(state_->el, nullptr);  // the user's ~/.editrc
}

line_editor::~line_editor() {
    el_end(state_->el);
    history_end(state_->history);
}

line_result line_editor::get(char const *prompt, std::string &line) {
    prompt_text = prompt;
    // SIGINT is blocked by the session; it is let through only while read_key waits.
    struct sigaction cancel {
    }, saved{};
    cancel.sa_handler = on_interrupt;
    sigemptyset(&cancel.sa_mask);
    sigaction(SIGINT, &cancel, &saved);
    interrupted = 0;
    int count = 0;
    char const *got = el_gets(state_->el, &count);
    bool const signalled = interrupted != 0;
    sigaction(SIGINT, &saved, nullptr);
    if (signalled || state_->cancelled) {
        state_->cancelled = false;
        el_reset(state_->el);
        if (signalled) std::fputs("\n", stdout);
        return line_result::cancelled;
    }
    if (!got || count <= 0) return line_result::end;
    line.assign(got, static_cast<std::size_t>(count));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.find_first_not_of(" \t") != std::string::npos) {
        history(state_->history, &state_->event, H_ENTER, line.c_str());
        if (!state_->path.empty())
            history(state_->history, &state_->event, H_SAVE, state_->path.c_str());
    }
    return line_result::line;
}

#else

struct line_editor::state {};
bool line_editor::available() { return false; }
line_editor::line_editor(std::vector<std::string>) {}
line_editor::~line_editor() = default;
line_result line_editor::get(char const *, std::string &) { return line_result::end; }

#endif

}  // namespace law_tool
