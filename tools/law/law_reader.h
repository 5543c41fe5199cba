#pragma once
// Reading laws from the command line, with the laws that LAW1, LAW2, ... refer to.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <law/lang/str_to_law.h>
#include <law/law.h>

namespace law_tool {

class arguments;

class law_reader {
  public:
    law_reader() = default;
    // Reads each text in turn; a later text may refer to the earlier ones as LAW1, LAW2, ...
    // Strict, a reading that drops text, reads an empty operand as 0 or reads 1E2 as 1*E2 is
    // refused; otherwise it is noted on standard error.
    explicit law_reader(std::span<std::string_view const> law_texts, bool strict = false);
    // The laws given with --law in args, strict with --strict, then the law data given with
    // --data.
    explicit law_reader(arguments const &args);

    // The law read from text; raises tool_error with the parser's message.
    law_ptr read(std::string_view text) const;
    // The value of a number or of an expression of no input ("PI/2"); raises tool_error.
    double value(std::string_view text) const;

  private:
    // Reads law data from their text (read_law_data) after the laws; raises tool_error.
    void add_data(std::string_view text);
    // The law read from text, or null with the parser's error set.
    law_ptr parse(std::string const &text, std::vector<law_reading_note> &notes) const;
    void report(std::vector<law_reading_note> const &notes, law const &l) const;
    void note(std::string const &text) const;
    // Raises tool_error where text names a law or law data by a kind that is not the kind at
    // that number (HELIX1 for a LINE), or a --law names itself or a later one.
    void check_references(std::string_view text) const;

    bool strict_ = false;
    std::vector<law_data_ptr> data_;
    std::vector<law_data *> raw_;  // what the parser is handed
    std::size_t laws_given_ = 0;   // the --law texts, read first
};

// "1 input", "2 inputs".
std::string count_text(int n, char const *noun);

// Whether the number of l's values depends on its inputs (return_dim raises
// LAW_VARIABLE_RETURN, as for CONIC_LINE).
bool returns_variably(law const &l);

// The values of l at x (the values past its inputs not read). Raises tool_error when a value is
// infinite or not a number: neither is a result.
std::vector<double> values_at(law const &l, std::span<double const> x);
// The same printed as numbers separated by single spaces.
std::string values_text(law const &l, std::span<double const> x);

// Why output `index` (from 0) of `outputs` is no result: "the value overflows ..." or "the value
// is not a number"; empty when v is finite.
std::string non_finite_text(double v, int index, int outputs);

// Raises tool_error with the library's message of a raised evaluation error.
[[noreturn]] void report_law_error(vorn_exception const &e);
// The message of a library error, followed in brackets by what the library said about the case
// (which argument, which value) when it said something.
std::string law_error_text(vorn_exception const &e);

}  // namespace law_tool
