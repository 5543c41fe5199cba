#pragma once
// Runs the built law tool as a child process and collects what it writes.
#include <string>
#include <vector>

struct tool_run {
    int status = -1;  // exit status, or -1 when the tool did not exit normally
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs law with the arguments, feeding input to its standard input.
tool_run run_law(std::vector<std::string> const &args, std::string const &input = {});

// Runs law with the arguments, its standard output going to the file at out_path (/dev/full).
tool_run run_law_into(char const *out_path, std::vector<std::string> const &args);

// Runs a shell command in directory, with the built law first on the PATH.
tool_run run_shell(std::string const &command, std::string const &directory);

// The lines of text, without their ends.
std::vector<std::string> lines_of(std::string const &text);
