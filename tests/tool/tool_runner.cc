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

namespace {

// Runs argv[0] with argv, feeding input; standard output goes to out_path when one is given.
tool_run run_child(std::vector<std::string> const &args, std::string const &input,
                   char const *out_path) {
    signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    make_pipe(in);
    make_pipe(out);
    make_pipe(err);
    std::vector<char *> argv;
    for (std::string const &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid_t const pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        int const to = out_path ? open(out_path, O_WRONLY) : out[1];
        dup2(to < 0 ? out[1] : to, STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        signal(SIGPIPE, SIG_DFL);
        execv(argv[0], argv.data());
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

std::vector<std::string> tool_argv(std::vector<std::string> const &args) {
    std::vector<std::string> argv{LAW_TOOL_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

}  // namespace

tool_run run_law(std::vector<std::string> const &args, std::string const &input) {
    return run_child(tool_argv(args), input, nullptr);
}

tool_run run_law_into(char const *out_path, std::vector<std::string> const &args) {
    return run_child(tool_argv(args), {}, out_path);
}

tool_run run_shell(std::string const &command, std::string const &directory) {
    std::string const tool = LAW_TOOL_PATH;
    std::string const bin = tool.substr(0, tool.rfind('/'));
    return run_child(
        {"/bin/sh", "-c", "cd '" + directory + "' && PATH='" + bin + "':$PATH && " + command}, {},
        nullptr);
}

std::vector<std::string> lines_of(std::string const &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}
