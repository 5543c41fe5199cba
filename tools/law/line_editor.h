#pragma once
// Line editing for the terminal session, through libedit when the tool is built with it: the
// arrow keys move and recall, history lasts across sessions, Tab completes law names and
// commands.
#include <memory>
#include <string>
#include <vector>

namespace law_tool {

enum class line_result { line, cancelled, end };

class line_editor {
  public:
    // Whether this build edits lines (libedit was found); without it the session reads plain
    // lines.
    static bool available();

    // An editor on the terminal of stdin and stdout, completing the given words.
    explicit line_editor(std::vector<std::string> words);
    ~line_editor();
    line_editor(line_editor const &) = delete;
    line_editor &operator=(line_editor const &) = delete;

    // Reads one line after the prompt; Ctrl-C cancels the line being typed. A line read is
    // added to the history and the history file.
    line_result get(char const *prompt, std::string &line);

    // The history file: $LAW_HISTORY, else ~/.law_history; empty when neither can be had.
    static std::string history_path();

  private:
    struct state;
    std::unique_ptr<state> state_;
};

// The completions of prefix among words, ignoring case (the reader is case-blind).
std::vector<std::string> completions(std::vector<std::string> const &words,
                                     std::string const &prefix);

}  // namespace law_tool
