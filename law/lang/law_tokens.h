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

struct number_run {
    int length = 0;
    double value = 0;
    number_problem problem = number_problem::none;
};

// The number written at position (no sign; "E" or "e" first is no number).
number_run read_number(std::string_view text, int position, int end);
