#pragma once
// Preparing a law text for reading, and the bracket structure of a prepared text. Internal to
// the parser.
#include <string>
#include <string_view>
#include <vector>

// Upper case, with blanks, newlines and tabs removed.
std::string normalise_law_text(char const *text);

// Writes the products that the text leaves implicit: 2X reads 2*X and 3SIN(X) reads 3*SIN(X),
// while the exponent of 2E+3 (also written 2*E+3) and the word AND stay whole.
std::string insert_implicit_products(std::string_view text);

// Brackets and commas of a text, for constant-time questions about any stretch of it.
class bracket_map {
  public:
    static constexpr int none = -1;

    bracket_map() = default;
    explicit bracket_map(std::string_view text);

    // First ")" without its "(", else the first "(" left open; none when the text balances.
    int unmatched() const { return unmatched_; }
    int deepest() const { return deepest_; }

    // The ")" that closes the "(" at position open.
    int match(int open) const { return match_[open]; }
    // Whether [b, e) holds as many "(" as ")".
    bool balanced(int b, int e) const { return depth_before_[b] == depth_before_[e]; }
    // The first ")" at or after position p that closes a bracket opened before p, or end.
    int close_after(int p, int end) const;
    // The commas directly inside the bracket pair opened at position open, in order.
    std::vector<int> commas_inside(int open) const;

  private:
    std::vector<int> depth_before_;  // net "(" minus ")" before each position
    std::vector<int> match_;         // for each "(", its ")"
    std::vector<int> enclosing_;     // innermost "(" still open before each position
    std::vector<int> next_comma_;    // from a "(" or a comma: the next comma at the same level
    int unmatched_ = none;
    int deepest_ = 0;
};
