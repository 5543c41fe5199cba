// The help texts: every example runs and prints what its text says.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <law/lang/law_list.h>
#include <law/law.h>

#include "law_test.h"
#include "tool_runner.h"

namespace {

class ToolHelp : public LawTest {};

struct example {
    std::string command;
    std::string output;  // empty when the text shows none
};

std::string trimmed(std::string const &s) {
    std::size_t const b = s.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// An example is a line indented by two spaces, with "prints  OUT" after it on the same line or
// the next; further lines indented past the command are more lines of OUT.
std::vector<example> examples_in(std::string const &help) {
    std::vector<example> out;
    std::size_t const at = help.find("Example");
    if (at == std::string::npos) return out;
    std::vector<std::string> const lines = lines_of(help.substr(help.find('\n', at) + 1));
    constexpr char prints[] = "prints  ";
    for (std::string const &line : lines) {
        if (line.empty()) break;
        bool const starts = line.size() > 2 && line.rfind("  ", 0) == 0 && line[2] != ' ';
        std::size_t const p = line.find(prints);
        if (starts) {
            out.push_back({trimmed(line.substr(0, p)), ""});
            if (p != std::string::npos) out.back().output = line.substr(p + sizeof prints - 1);
        } else if (!out.empty() && p != std::string::npos && trimmed(line).rfind(prints, 0) == 0) {
            out.back().output = line.substr(p + sizeof prints - 1);
        } else if (!out.empty()) {
            out.back().output += "\n" + trimmed(line);
        }
    }
    return out;
}

// The help texts: each subcommand's, as "law --help" lists them, the syntax and the law data.
std::vector<std::vector<std::string>> help_requests() {
    std::vector<std::vector<std::string>> requests{{"help", "syntax"}, {"help", "data"}};
    std::string const overview = run_law({"--help"}).out;
    std::vector<std::string> const lines = lines_of(overview.substr(overview.find("Subcommands:")));
    for (std::size_t i = 1; i < lines.size() && !lines[i].empty(); ++i)
        requests.push_back({trimmed(lines[i]).substr(0, trimmed(lines[i]).find(' ')), "--help"});
    return requests;
}

TEST_F(ToolHelp, EveryExamplePrintsWhatItsHelpSays) {
    char dir_template[] = "/tmp/law-help-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    std::string const dir = dir_template;
    std::size_t ran = 0;
    for (std::vector<std::string> const &request : help_requests()) {
        tool_run const help = run_law(request);
        ASSERT_EQ(help.status, 0) << request[0];
        std::vector<example> const examples = examples_in(help.out);
        EXPECT_FALSE(examples.empty()) << request[0] << " has no example";
        for (example const &e : examples) {
            tool_run const r = run_shell(e.command, dir);
            EXPECT_EQ(r.status, 0) << e.command << ": " << r.err;
            if (!e.output.empty()) {
                EXPECT_EQ(r.out, e.output + "\n") << e.command;
            }
            ++ran;
        }
    }
    EXPECT_GT(ran, 10u);
    std::system(("rm -rf '" + dir + "'").c_str());
}

TEST_F(ToolHelp, HelpNamesASubcommandOrTheSyntax) {
    tool_run const via_help = run_law({"help", "eval"});
    EXPECT_EQ(via_help.status, 0);
    EXPECT_EQ(via_help.out, run_law({"eval", "--help"}).out);
    EXPECT_EQ(via_help.out.rfind("usage: law eval", 0), 0u) << via_help.out;

    tool_run const unknown = run_law({"help", "frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("no help on 'frobnicate'"), std::string::npos) << unknown.err;
}

TEST_F(ToolHelp, SyntaxDescribesEveryRegisteredName) {
    tool_run const r = run_law({"help", "syntax"});
    ASSERT_EQ(r.status, 0);
    for (char const *topic : {"-X^2 is (-X)^2", "2^3^2 is (2^3)^2", "1e2 is 1*E2", "2X is 2*X",
                              "A3 is input 2", "LAW1"})
        EXPECT_NE(r.out.find(topic), std::string::npos) << topic;
    std::vector<std::string> const lines = lines_of(r.out);
    int names = 0;
    for (law_list const *node = law_list::head(); node; node = node->next()) {
        std::string const name = node->prototype()->symbol(law_symbol_default);
        auto const line = std::find_if(lines.begin(), lines.end(), [&](std::string const &l) {
            return l.rfind("  " + name + " ", 0) == 0;
        });
        ASSERT_NE(line, lines.end()) << name << " is not listed";
        EXPECT_EQ(line->find("(not described)"), std::string::npos) << *line;
        ++names;
    }
    std::size_t const listed = lines.end() - std::find(lines.begin(), lines.end(),
                                                       "Names, as the library registers them:");
    EXPECT_EQ(listed, static_cast<std::size_t>(names) + 1);
    EXPECT_GT(names, 70);
}

std::string file_text(std::string const &path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The README's copies of the syntax and of the example program are the real ones.
TEST_F(ToolHelp, ReadmeShowsTheSyntaxAndTheExampleAsTheyAre) {
    std::string const readme = file_text(LAW_SOURCE_DIR "/README.md");
    ASSERT_FALSE(readme.empty());
    std::string const syntax = run_law({"help", "syntax"}).out;
    EXPECT_NE(readme.find("```text\n" + syntax + "```"), std::string::npos)
        << "README.md's syntax section differs from law help syntax";
    std::string const example = file_text(LAW_SOURCE_DIR "/examples/inputs.cc");
    ASSERT_FALSE(example.empty());
    EXPECT_NE(readme.find("```cpp\n" + example + "```"), std::string::npos)
        << "README.md's copy of examples/inputs.cc differs";
}

TEST_F(ToolHelp, VersionIsTheProjectVersion) {
    tool_run const r = run_law({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "law " LAW_VERSION "\n");
}

}  // namespace
