#pragma once
// Command-line arguments of one subcommand: positional operands and declared options.
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace law_tool {

enum class option_kind {
    flag,            // --verbose
    value,           // --order 2, --order=2, -o FILE
    optional_value,  // --trace or --trace=3 (the value only after "=")
};

struct option_def {
    char const *name;  // long name without the dashes
    char short_name;   // 0 when none
    option_kind kind;
};

class arguments {
  public:
    // Splits argv (the words after the subcommand) by the declared options; raises usage_error
    // for an unknown option or a missing value. "--" ends the options; "-" and words of one dash
    // that name no declared short option ("-3", "-X^2") are operands.
    arguments(std::span<char *const> words, std::span<option_def const> defs);

    std::span<std::string_view const> operands() const { return operands_; }
    std::string_view operand(std::size_t i) const { return operands_.at(i); }
    std::size_t operand_count() const { return operands_.size(); }

    bool has(std::string_view name) const;
    // The last value given to the option, or none; a bare optional-value option gives "".
    std::optional<std::string_view> value(std::string_view name) const;
    // Every value given to a repeatable option, in order.
    std::vector<std::string_view> values(std::string_view name) const;
    bool wants_help() const { return help_; }

    // Checks the operand count; raises usage_error otherwise.
    void expect_operands(std::size_t at_least, std::size_t at_most) const;

  private:
    struct given {
        std::string_view name;
        std::string_view value;
    };
    bool is_operand(std::string_view word) const;
    void take_long(std::string_view word, std::span<char *const> words, std::size_t &i);
    void take_short(std::string_view word, std::span<char *const> words, std::size_t &i);

    std::span<option_def const> defs_;
    std::vector<std::string_view> operands_;
    std::vector<given> given_;
    bool help_ = false;
};

}  // namespace law_tool
