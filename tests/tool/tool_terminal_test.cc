// The interactive session on a real terminal: what a user types and sees.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "law_test.h"

namespace {

class ToolTerminal : public LawTest {};

// "law" alone, started on a new pseudo-terminal of which it is the controlling process.
class terminal_session {
  public:
    // history: the file the session keeps its history in (LAW_HISTORY), or none; args: the
    // words after "law", none for the session.
    explicit terminal_session(std::string const &history = "",
                              std::vector<std::string> const &args = {}) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        std::string const terminal = ptsname(master_);
        pid_ = fork();
        if (pid_ == 0) {
            setsid();
            int const t = open(terminal.c_str(), O_RDWR);  // becomes the controlling terminal
            dup2(t, STDIN_FILENO);
            dup2(t, STDOUT_FILENO);
            dup2(t, STDERR_FILENO);
            if (!history.empty()) setenv("LAW_HISTORY", history.c_str(), 1);
            std::vector<char *> argv{const_cast<char *>(LAW_TOOL_PATH)};
            for (std::string const &a : args) argv.push_back(const_cast<char *>(a.c_str()));
            argv.push_back(nullptr);
            execv(LAW_TOOL_PATH, argv.data());
            _exit(127);
        }
    }
    ~terminal_session() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
    }
    terminal_session(terminal_session const &) = delete;
    terminal_session &operator=(terminal_session const &) = delete;

    bool started() const { return pid_ > 0; }
    void type(std::string const &keys) {
        ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }
    // Reads what the terminal shows until text has appeared count times in all, or ten seconds
    // have passed.
    bool shows(std::string const &text, int count = 1) {
        auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (occurrences(text) < count) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char buf[4096];
            ssize_t const n = read(master_, buf, sizeof buf);
            if (n <= 0) return false;
            seen_.append(buf, static_cast<std::size_t>(n));
        }
        return true;
    }
    int exit_status() {
        int status = 0;
        for (int i = 0; i < 100 && waitpid(pid_, &status, WNOHANG) == 0; ++i) usleep(100000);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string const &seen() const { return seen_; }

  private:
    int occurrences(std::string const &text) const {
        int n = 0;
        for (std::size_t at = seen_.find(text); at != std::string::npos;
             at = seen_.find(text, at + 1))
            ++n;
        return n;
    }

    int master_ = -1;
    pid_t pid_ = -1;
    bool exited_ = false;
    std::string seen_;
};

TEST_F(ToolTerminal, CtrlCCancelsTheLineAndTheSessionGoesOn) {
    terminal_session s;
    ASSERT_TRUE(s.started());
    ASSERT_TRUE(s.shows("law> ")) << s.seen();
    s.type("X+");
    ASSERT_TRUE(s.shows("X+")) << s.seen();
    s.type("\x03");  // the terminal's interrupt character
    ASSERT_TRUE(s.shows("law> ", 2)) << s.seen();
    s.type("2*3\n");
    EXPECT_TRUE(s.shows("2*3 = 6")) << s.seen();
    s.type(":quit\n");
    EXPECT_EQ(s.exit_status(), 0) << s.seen();
    EXPECT_EQ(s.seen().find("X+0"), std::string::npos) << "the cancelled line was read";
}

// What a user types at the prompt: names, ans, the derivative aside, and the searches.
TEST_F(ToolTerminal, TheSessionNamesResultsAndRunsSearches) {
    terminal_session s;
    ASSERT_TRUE(s.started());
    int prompts = 1;
    auto const step = [&](std::string const &keys, std::string const &shown) {
        ASSERT_TRUE(s.shows("law> ", prompts++)) << s.seen();
        s.type(keys);
        EXPECT_TRUE(s.shows(shown)) << keys << s.seen();
    };
    step(":let F = X^2-2\n", "F = X^2-2   (takes 1 input");
    step(":deriv\n", "2*X   (takes 1 input");
    step(":roots 0 3\n", "1.4142135623730951");  // of F, not of its derivative
    step(":at 3\n", "point: 3");
    step("ans+F\n", "2*X+(X^2-2) = 13");  // ans is still the derivative
    step(":integrate 0 3\n", "error: ");
    step(":max -1 2 --json\n", "{\"x\":2,\"value\":6}");
    step(":help\n", ":let F = EXPR");
    ASSERT_TRUE(s.shows("law> ", prompts)) << s.seen();
    s.type(":quit\n");
    EXPECT_EQ(s.exit_status(), 0) << s.seen();
}

// A nest of SIN 20,000 deep: its derivative takes far longer than a test waits.
std::string deep_law_file() {
    std::string const path = ::testing::TempDir() + "law_deep_nest.law";
    std::ofstream out(path);
    int const depth = 20000;
    for (int i = 0; i < depth; ++i) out << "SIN(";
    out << "X";
    for (int i = 0; i < depth; ++i) out << ")";
    return path;
}

TEST_F(ToolTerminal, LongWorkShowsItsTimeAndCtrlCStopsIt) {
    std::string const law = deep_law_file();
    terminal_session s("", {"deriv", "@" + law});
    ASSERT_TRUE(s.started());
    ASSERT_TRUE(s.shows("law: deriv working, 1 s (Ctrl-C stops it)")) << s.seen();
    s.type("\x03");
    EXPECT_TRUE(s.shows("law: interrupted")) << s.seen();
    EXPECT_EQ(s.exit_status(), 130) << s.seen();
    std::remove(law.c_str());
}

std::string file_text(std::string const &path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(ToolTerminal, LinesAreEditedRecalledAndCompleted) {
    if (!LAW_TOOL_EDITS_LINES) GTEST_SKIP() << "the tool was built without libedit";
    std::string const history = ::testing::TempDir() + "law_terminal_history";
    std::remove(history.c_str());
    {
        terminal_session s(history);
        ASSERT_TRUE(s.started());
        // Keys are typed once the prompt shows: the editor is waiting for them then.
        ASSERT_TRUE(s.shows("law> ")) << s.seen();
        s.type("2*3\n");
        ASSERT_TRUE(s.shows("2*3 = 6")) << s.seen();
        ASSERT_TRUE(s.shows("law> ", 2)) << s.seen();
        s.type("\x1b[A\n");  // up arrow: the line before, read again
        ASSERT_TRUE(s.shows("2*3 = 6", 2)) << s.seen();
        ASSERT_TRUE(s.shows("law> ", 3)) << s.seen();
        s.type("sq\t");  // Tab completes the only name that begins so
        ASSERT_TRUE(s.shows("SQRT")) << s.seen();
        s.type("(16)\n");
        EXPECT_TRUE(s.shows("SQRT(16) = 4")) << s.seen();
        ASSERT_TRUE(s.shows("law> ", 4)) << s.seen();
        s.type("X+1\x1b[D\x1b[D2\n");  // left arrow twice, then a 2 before the +
        EXPECT_TRUE(s.shows("X2+1   (takes 2 inputs")) << s.seen();
        ASSERT_TRUE(s.shows("law> ", 5)) << s.seen();
        s.type(":quit\n");
        EXPECT_EQ(s.exit_status(), 0) << s.seen();
    }
    std::string const kept = file_text(history);
    EXPECT_NE(kept.find("2*3"), std::string::npos) << kept;
    EXPECT_NE(kept.find("SQRT(16)"), std::string::npos) << kept;
    // A new session recalls the lines of the last one: :quit, X2+1, then SQRT(16).
    terminal_session again(history);
    ASSERT_TRUE(again.shows("law> ")) << again.seen();
    again.type("\x1b[A\x1b[A\x1b[A\n");
    EXPECT_TRUE(again.shows("SQRT(16) = 4")) << again.seen();
    ASSERT_TRUE(again.shows("law> ", 2)) << again.seen();
    again.type(":quit\n");
    EXPECT_EQ(again.exit_status(), 0) << again.seen();
    std::remove(history.c_str());
}

}  // namespace
