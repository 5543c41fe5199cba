#include "tool_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>
#include <stdexcept>

namespace {

void make_pipe(int fds[2]) {
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
}

// Moves data between the child's three pipes until both outputs are closed.
void exchange(int to_child, int from_out, int from_err, std::string const &input, tool_run &r) {
    std::size_t sent = 0;
    // A blocking write could wait on a child that waits for us to read its output.
    fcntl(to_child, F_SETFL, fcntl(to_child, F_GETFL) | O_NONBLOCK);
    if (input.empty()) {
        close(to_child);
        to_child = -1;
    }
    char buf[1 << 16];
    while (from_out >= 0 || from_err >= 0) {
        pollfd fds[3] = {{to_child, POLLOUT, 0}, {from_out, POLLIN, 0}, {from_err, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("poll failed");
        }
        if (to_child >= 0 && (fds[0].revents & (POLLOUT | POLLERR | POLLHUP))) {
            ssize_t const n = write(to_child, input.data() + sent, input.size() - sent);
            if (n > 0) sent += static_cast<std::size_t>(n);
            bool const failed = n < 0 && errno != EAGAIN && errno != EINTR;
            if (failed || sent == input.size()) {
                close(to_child);
                to_child = -1;
            }
        }
        int *readers[2] = {&from_out, &from_err};
        std::string *sinks[2] = {&r.out, &r.err};
        for (int i = 0; i < 2; ++i) {
            if (*readers[i] < 0 || !(fds[i + 1].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            ssize_t const n = read(*readers[i], buf, sizeof buf);
            if (n > 0) {
                sinks[i]->append(buf, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(*readers[i]);
                *readers[i] = -1;
            }
        }
    }
    if (to_child >= 0) close(to_child);
}

}  // namespace

tool_run run_law(std::vector<std::string> const &args, std::string const &input) {
    signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    make_pipe(in);
    make_pipe(out);
    make_pipe(err);
    std::vector<char *> argv{const_cast<char *>(LAW_TOOL_PATH)};
    for (std::string const &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid_t const pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        signal(SIGPIPE, SIG_DFL);
        execv(LAW_TOOL_PATH, argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    tool_run r;
    exchange(in[1], out[0], err[0], input, r);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::vector<std::string> lines_of(std::string const &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}
