#pragma once
// Tokens of the law text language: what the reader finds at one position of a normalised text.
// Internal to the parser; the names come from the registries of parsable prototypes.
#include <array>
#include <string>
#include <string_view>
#include <vector>

class law;

// How a prototype's name is read and built.
enum class name_family { binary, unary, negate, multiple, unary_data, multiple_data, constant };

struct name_entry {
    std::string_view name;
    law const *prototype;
    name_family family;
    int precedence;
};

// The names of the registered law and law data prototypes, in registry order (most recently
// registered first), bucketed by first character.
class name_table {
  public:
    // A snapshot of the registries as they are now.
    static name_table from_registries();

    std::vector<name_entry> const &laws_from(char c) const { return laws_[byte(c)]; }
    std::vector<std::string_view> const &data_from(char c) const { return data_[byte(c)]; }

  private:
    static unsigned char byte(char c) { return static_cast<unsigned char>(c); }
    std::array<std::vector<name_entry>, 256> laws_;
    std::array<std::vector<std::string_view>, 256> data_;
};

enum class token_kind {
    none,  // nothing readable here
    comma,
    open,
    close,
    variable,
    number,
    law_reference,
    data_reference,
    name
};

enum class number_problem { none, too_long, unreadable };

// Longest numeric run that is converted; longer runs are refused.
inline constexpr int law_number_run_limit = 32;

struct number_run {
    int length = 0;
    double value = 0;
    number_problem problem = number_problem::none;
};

struct token {
    token_kind kind = token_kind::none;
    int length = 0;  // characters covered
    int extent = 0;  // one past the last character that decided the token
    // A number's value; for a variable, law reference or law-data reference the number written
    // after its name (1 for "LAW" alone).
    double value = 0;
    bool numbered = false;  // a variable written with a number (A3, X2)
    int index = 0;          // a lettered variable's input index (X 0, Y 1, Z 2)
    char letter = 0;
    name_entry const *entry = nullptr;
    number_problem problem = number_problem::none;

    // The token of each kind read at `position` of the text, its extent the end of what it covers.
    static token punctuation(token_kind kind, int position) {
        return {.kind = kind, .length = 1, .extent = position + 1};
    }
    // X, Y, Z, U, V or T alone.
    static token letter_variable(char letter, int index, int position) {
        return {.kind = token_kind::variable,
                .length = 1,
                .extent = position + 1,
                .index = index,
                .letter = letter};
    }
    // A capital and a number (A3, X2): the number, read after the letter, is the value.
    static token numbered_variable(char letter, number_run const &n, int position) {
        return {.kind = token_kind::variable,
                .length = 1 + n.length,
                .extent = position + 1 + n.length,
                .value = n.value,
                .numbered = true,
                .letter = letter,
                .problem = n.problem};
    }
    static token number(int length, double value, number_problem problem, int position) {
        return {.kind = token_kind::number,
                .length = length,
                .extent = position + length,
                .value = value,
                .problem = problem};
    }
    // LAW and its number (LAW alone is LAW1).
    static token law_reference(number_run const &n, int position) {
        return {.kind = token_kind::law_reference,
                .length = 3 + n.length,
                .extent = position + 3 + n.length,
                .value = n.length > 0 ? n.value : 1.0,
                .numbered = n.length > 0,
                .problem = n.problem};
    }
    // A law data's name and its number: the token is the name, the number is read with it.
    static token data_reference(int name_length, number_run const &n, int position) {
        return {.kind = token_kind::data_reference,
                .length = name_length,
                .extent = position + name_length + n.length,
                .value = n.value,
                .numbered = true,
                .problem = n.problem};
    }
    static token name(name_entry const &e, int position) {
        int const length = static_cast<int>(e.name.size());
        return {
            .kind = token_kind::name, .length = length, .extent = position + length, .entry = &e};
    }

    bool is_candidate() const {
        return kind != token_kind::none && kind != token_kind::open && kind != token_kind::close;
    }
    int precedence() const { return kind == token_kind::name ? entry->precedence : 9; }
    int depth_change() const {
        return kind == token_kind::open ? 1 : kind == token_kind::close ? -1 : 0;
    }
    // Whether an operand is expected after this token.
    bool operand_follows() const;
};

// The token at position of text, reading no further than end; operand tells whether an
// operand is expected there (prefix names) or an operator (infix names).
token read_token(std::string_view text, int position, int end, bool operand,
                 name_table const &names);

// The number written at position (no sign; "E" or "e" first is no number).
number_run read_number(std::string_view text, int position, int end);
