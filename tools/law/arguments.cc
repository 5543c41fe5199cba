#include "arguments.h"

#include <algorithm>
#include <string>

#include "echo.h"
#include "tool.h"

namespace law_tool {
namespace {

option_def const *find_long(std::span<option_def const> defs, std::string_view name) {
    auto it =
        std::find_if(defs.begin(), defs.end(), [&](option_def const &s) { return name == s.name; });
    return it == defs.end() ? nullptr : &*it;
}

option_def const *find_short(std::span<option_def const> defs, char c) {
    auto it = std::find_if(defs.begin(), defs.end(),
                           [&](option_def const &s) { return s.short_name == c; });
    return it == defs.end() ? nullptr : &*it;
}

}  // namespace

// A word of one dash is an option only when its letter is one: "-3", "-X^2" and "-SIN(X)" are
// numbers and expressions.
bool arguments::is_operand(std::string_view word) const {
    return word[1] != '-' && word != "-h" && !find_short(defs_, word[1]);
}

arguments::arguments(std::span<char *const> words, std::span<option_def const> defs) : defs_(defs) {
    bool options_done = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string_view const word = words[i];
        if (options_done || word.size() < 2 || word[0] != '-' || is_operand(word)) {
            operands_.push_back(word);
        } else if (word == "--") {
            options_done = true;
        } else if (word == "--help" || word == "-h") {
            help_ = true;
        } else if (word.starts_with("--")) {
            take_long(word, words, i);
        } else {
            take_short(word, words, i);
        }
    }
}

void arguments::take_long(std::string_view word, std::span<char *const> words, std::size_t &i) {
    std::string_view body = word.substr(2);
    std::size_t const eq = body.find('=');
    std::string_view const name = body.substr(0, eq);
    option_def const *def = find_long(defs_, name);
    if (!def) throw usage_error("unknown option --" + echoed(name));
    bool const inline_value = eq != std::string_view::npos;
    std::string_view value = inline_value ? body.substr(eq + 1) : std::string_view{};
    switch (def->kind) {
        case option_kind::flag:
            if (inline_value) throw usage_error("--" + std::string(name) + " takes no value");
            break;
        case option_kind::value:
            if (!inline_value) {
                if (i + 1 >= words.size())
                    throw usage_error("--" + std::string(name) + " needs a value");
                value = words[++i];
            }
            break;
        case option_kind::optional_value:
            break;
    }
    given_.push_back({def->name, value});
}

void arguments::take_short(std::string_view word, std::span<char *const> words, std::size_t &i) {
    option_def const *def = find_short(defs_, word[1]);
    if (def->kind != option_kind::value) {
        if (word.size() > 2) throw usage_error("unknown option " + echoed(word));
        given_.push_back({def->name, {}});
        return;
    }
    std::string_view value = word.substr(2);
    if (value.empty()) {
        if (i + 1 >= words.size()) throw usage_error(std::string(word) + " needs a value");
        value = words[++i];
    }
    given_.push_back({def->name, value});
}

bool arguments::has(std::string_view name) const {
    return std::any_of(given_.begin(), given_.end(),
                       [&](given const &g) { return g.name == name; });
}

std::optional<std::string_view> arguments::value(std::string_view name) const {
    for (auto it = given_.rbegin(); it != given_.rend(); ++it)
        if (it->name == name) return it->value;
    return std::nullopt;
}

std::vector<std::string_view> arguments::values(std::string_view name) const {
    std::vector<std::string_view> out;
    for (given const &g : given_)
        if (g.name == name) out.push_back(g.value);
    return out;
}

void arguments::expect_operands(std::size_t at_least, std::size_t at_most) const {
    if (operands_.size() < at_least) throw usage_error("missing operand");
    if (operands_.size() > at_most)
        throw usage_error("unexpected operand '" + echoed(operands_[at_most]) + "'");
}

}  // namespace law_tool
