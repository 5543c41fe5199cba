#include "law_reader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <law/core/law_law_data.h>
#include <law/data/law_data_text.h>
#include <law/lang/law_list.h>
#include <law/lang/str_to_law.h>

#include "arguments.h"
#include "echo.h"
#include "numbers.h"
#include "spelling_hints.h"
#include "tool.h"

namespace law_tool {

namespace {
std::string argument_text(std::string_view argument);
std::string quoted(std::string_view text);
}  // namespace

law_reader::law_reader(std::span<std::string_view const> law_texts, bool strict)
    : strict_(strict), laws_given_(law_texts.size()) {
    for (std::string_view const text : law_texts) {
        law_ptr const l = read(text);
        data_.push_back(adopt<law_data>(new law_law_data(l.get())));
        raw_.push_back(data_.back().get());
    }
}

law_reader::law_reader(arguments const &args) : law_reader(args.values("law"), args.has("strict")) {
    for (std::string_view const text : args.values("data")) add_data(text);
}

void law_reader::add_data(std::string_view text) {
    std::string const owned = argument_text(text);
    TEST_clear_error();
    law_data_ptr d = adopt(read_law_data(owned.c_str()));
    if (!d)
        throw tool_error("cannot read the law data " + quoted(owned) + ": " +
                         echoed(TEST_get_error(), echo_width + 20));
    data_.push_back(std::move(d));
    raw_.push_back(data_.back().get());
}

namespace {

// Laws too long for a command line come from a file: "@FILE", or "@-" for standard input.
std::string argument_text(std::string_view argument) {
    if (!argument.starts_with('@')) return std::string(argument);
    std::string const path(argument.substr(1));
    std::FILE *f = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (!f) throw tool_error("cannot open " + path + ": " + std::strerror(errno));
    std::string text;
    char block[65536];
    while (std::size_t const n = std::fread(block, 1, sizeof block, f)) text.append(block, n);
    bool const failed = std::ferror(f);
    if (f != stdin) std::fclose(f);
    if (failed) throw tool_error("cannot read " + path);
    return text;
}

// Messages show the start of a long text and its length, not all of it.
std::string quoted(std::string_view text) {
    std::string const shown = "\"" + echoed(text) + "\"";
    return text.size() <= echo_width ? shown
                                     : shown + " (" + std::to_string(text.size()) + " characters)";
}

std::string note_text(law_reading_note const &n, law const &l) {
    std::string const piece = "'" + echoed(n.text) + "'";
    std::string const read_as = "; the law reads as " + echoed(l.text());
    switch (n.kind) {
        case law_reading_kind::dropped_text:
            return piece + " takes no part in the law" + read_as;
        case law_reading_kind::empty_operand:
            return "an empty operand reads as 0" + read_as;
        case law_reading_kind::exponent_as_variable: {
            std::size_t const e = n.text.find('E');
            std::string const digits = n.text.substr(0, e), variable = n.text.substr(e);
            return piece + " reads as " + digits + "*" + variable + ", the variable " + variable +
                   "; write " + digits + "E+" + variable.substr(1) + " for the number";
        }
        case law_reading_kind::negated_base: {
            // "-A^B": the minus takes A alone; the first "^" outside brackets ends A.
            std::size_t caret = 1;
            for (int depth = 0; caret < n.text.size(); ++caret) {
                depth += n.text[caret] == '(' ? 1 : n.text[caret] == ')' ? -1 : 0;
                if (depth == 0 && n.text[caret] == '^') break;
            }
            std::string const base = n.text.substr(1, caret - 1);
            std::string const power = base + n.text.substr(caret);
            return piece + " reads as (-" + base + ")" + n.text.substr(caret) + ", a power of -" +
                   base + "; write -(" + power + ") for the negative of " + power;
        }
    }
    return piece;
}

// "-o", "--out": an option of another subcommand, read here as an operand.
bool looks_like_option(std::string_view text) {
    std::size_t const dashes = text.starts_with("--") ? 2 : text.starts_with('-') ? 1 : 0;
    return dashes > 0 && text.size() > dashes &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(dashes), text.end(), [](char c) {
               return std::isalpha(static_cast<unsigned char>(c)) || c == '-';
           });
}

// The parser's "... at REST" shows the rest of the text as it reads it, upper-cased and without
// blanks: show the user's own text from the same place instead.
std::string in_user_text(std::string const &why, std::string_view text) {
    std::size_t const at = why.rfind(" at ");
    if (at == std::string::npos) return why;
    std::string_view const rest = std::string_view(why).substr(at + 4);
    std::size_t r = rest.size(), t = text.size();
    while (r > 0 && t > 0) {
        char const c = text[t - 1];
        if (std::isspace(static_cast<unsigned char>(c))) {
            --t;
            continue;
        }
        if (std::toupper(static_cast<unsigned char>(c)) != rest[r - 1]) return why;
        --r;
        --t;
    }
    if (r > 0) return why;
    while (t < text.size() && std::isspace(static_cast<unsigned char>(text[t]))) ++t;
    return why.substr(0, at + 4) + std::string(text.substr(t));
}

}  // namespace

void law_reader::report(std::vector<law_reading_note> const &notes, law const &l) const {
    for (law_reading_note const &n : notes) {
        if (strict_) throw tool_error(note_text(n, l) + " (--strict)");
        note(note_text(n, l));
    }
}

law_ptr law_reader::parse(std::string const &text, std::vector<law_reading_note> &notes) const {
    TEST_clear_error();
    try {
        return adopt(str_to_law_noted(text.c_str(), notes, const_cast<law_data **>(raw_.data()),
                                      static_cast<int>(raw_.size())));
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
}

law_ptr law_reader::read(std::string_view text) const {
    std::string const owned = argument_text(text);
    check_references(owned);
    std::vector<law_reading_note> notes;
    if (law_ptr const l = parse(owned, notes)) {
        report(notes, *l);
        if (std::string const hint = reading_hint(owned); !hint.empty()) note(hint);
        return l;
    }
    std::string message = "cannot read " + quoted(text.starts_with('@') ? text : owned);
    if (char const *why = TEST_get_error(); why && *why)
        message += ": " + echoed(in_user_text(why, owned), echo_width + 20);
    spelling_hint const hint = hint_for(owned);
    // A '+' sign changes nothing: read what follows it, and say so.
    if (hint.only_unary_plus) {
        notes.clear();
        if (law_ptr const l = parse(hint.rewritten, notes)) {
            note("a '+' sign is dropped, as this syntax has no unary plus; the law reads as " +
                 echoed(l->text()));
            report(notes, *l);
            return l;
        }
    }
    auto const reads = [&](std::string const &candidate) {
        try {
            std::vector<law_reading_note> ignored;
            return parse(candidate, ignored).get() != nullptr;
        } catch (tool_error const &) {
            return false;
        }
    };
    if (std::string const h = hint_text(hint, reads); !h.empty())
        message += "; " + echoed(h, 3 * echo_width);
    if (looks_like_option(owned))
        message += "; " + echoed(owned) + " is no option of this subcommand (see its --help)";
    throw tool_error(message);
}

namespace {

bool is_data_name(std::string const &name) {
    if (name == "LAW") return true;  // LAW1: the laws given with --law
    for (law_data_list const *node = law_data_list::head(); node; node = node->next())
        if (node->prototype() && name == node->prototype()->symbol(law_symbol_default)) return true;
    return false;
}

std::string ordinal(std::size_t n) {
    static char const *const words[] = {"first", "second", "third", "fourth", "fifth"};
    return n >= 1 && n <= 5 ? words[n - 1] : "number " + std::to_string(n);
}

}  // namespace

void law_reader::check_references(std::string_view text) const {
    for (std::size_t i = 0; i < text.size();) {
        if (!std::isalpha(static_cast<unsigned char>(text[i])) ||
            (i > 0 &&
             (std::isalnum(static_cast<unsigned char>(text[i - 1])) || text[i - 1] == '_'))) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() &&
               (std::isalpha(static_cast<unsigned char>(text[end])) || text[end] == '_'))
            ++end;
        std::size_t digits = end;
        while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])))
            ++digits;
        std::string name(text.substr(i, end - i));
        for (char &c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        std::string_view const written = text.substr(i, digits - i);
        i = digits;
        if (digits == end || digits - end > 6 || !is_data_name(name)) continue;
        std::size_t const n = std::stoul(std::string(text.substr(end, digits - end)));
        bool const reading_laws = raw_.size() < laws_given_;
        if (n == 0) continue;
        if (n > raw_.size()) {
            if (!reading_laws) continue;  // the parser says it was not given
            std::size_t const self = raw_.size() + 1;
            throw tool_error("--law " + std::to_string(self) + " names " + echoed(written) +
                             (n == self ? ", itself" : ", a law given after it") +
                             ": a --law may name only the laws before it");
        }
        std::string const kind = raw_[n - 1]->symbol(law_symbol_default);
        if (kind == name) continue;
        std::string const given = n <= laws_given_ ? "--law " + std::to_string(n)
                                                   : "the " + ordinal(n - laws_given_) + " --data";
        throw tool_error(echoed(written) + " names " + given + ", which is " +
                         (kind == "LAW" ? "a law" : "a " + kind) + ": write " + kind +
                         std::to_string(n) + " (the --data are numbered after the --law laws)");
    }
}

void law_reader::note(std::string const &text) const {
    std::fflush(stdout);
    std::fprintf(stderr, "law: note: %s\n", text.c_str());
}

namespace {

// A number the syntax of numbers accepts whose magnitude no double holds (1E+400).
bool out_of_range(std::string_view text) {
    double v = 0;
    char const *first = text.data(), *last = text.data() + text.size();
    if (first != last && (*first == '+' || *first == '-')) ++first;
    auto const [ptr, ec] = std::from_chars(first, last, v);
    return ec == std::errc::result_out_of_range && ptr == last;
}

// "2 3 4" would read as the one number 234: the law syntax ignores blanks.
void refuse_several_numbers(std::string_view text) {
    std::size_t words = 0;
    for (std::size_t at = text.find_first_not_of(" \t\n"); at != std::string_view::npos; ++words) {
        std::size_t const end = std::min(text.find_first_of(" \t\n", at), text.size());
        if (!read_number(text.substr(at, end - at))) return;
        at = text.find_first_not_of(" \t\n", end);
    }
    if (words > 1)
        throw usage_error(quoted(text) + " holds " + std::to_string(words) +
                          " numbers; give each value as an operand of its own");
}

}  // namespace

double law_reader::value(std::string_view text) const {
    if (std::optional<double> const v = read_number(text)) return *v;
    if (out_of_range(text))
        throw tool_error(quoted(text) +
                         " is out of the range of a double (magnitudes up to about 1.8e308)");
    refuse_several_numbers(text);
    law_ptr const l = read(text);
    if (l->take_dim() != 0 || l->return_dim() != 1)
        throw tool_error(quoted(text) + " is not a number");
    try {
        double const none = 0;
        return l->evaluateM_R(&none);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
}

std::string count_text(int n, char const *noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

bool returns_variably(law const &l) {
    try {
        l.return_dim();
        return false;
    } catch (vorn_exception const &e) {
        if (lawutil_local_code(e) == LAW_VARIABLE_RETURN) return true;
        report_law_error(e);
    }
}

namespace {

// The values of a law whose number of values depends on its inputs (CONIC_LINE).
std::vector<double> variable_values(law const &l, std::vector<double> const &point) {
    double *answer = nullptr;
    int n = 0;
    try {
        l.evaluateVAR(point.data(), answer, n);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    vorn_ptr<double> const held(answer);
    std::vector<double> out(answer, answer + n);
    for (int i = 0; i < n; ++i)
        if (std::string const why = non_finite_text(out[i], i, n); !why.empty())
            throw tool_error(why);
    return out;
}

}  // namespace

std::vector<double> values_at(law const &l, std::span<double const> x) {
    std::size_t const takes = static_cast<std::size_t>(l.take_dim());
    if (x.size() < takes)
        throw tool_error("the law takes " + count_text(l.take_dim(), "input") + ", the point has " +
                         count_text(static_cast<int>(x.size()), "value"));
    std::vector<double> point(std::max<std::size_t>(takes, 1), 0.0);
    std::copy_n(x.begin(), takes, point.begin());
    if (returns_variably(l)) return variable_values(l, point);
    std::vector<double> out(static_cast<std::size_t>(std::max(l.return_dim(), 1)));
    try {
        l.evaluate(point.data(), out.data());
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    out.resize(static_cast<std::size_t>(l.return_dim()));
    for (int i = 0; i < l.return_dim(); ++i)
        if (std::string const why = non_finite_text(out[i], i, l.return_dim()); !why.empty())
            throw tool_error(why);
    return out;
}

std::string values_text(law const &l, std::span<double const> x) {
    std::string text;
    for (double const v : values_at(l, x)) text += (text.empty() ? "" : " ") + number_text(v);
    return text;
}

std::string non_finite_text(double v, int index, int outputs) {
    if (std::isfinite(v)) return {};
    std::string const which =
        outputs > 1 ? "output " + std::to_string(index + 1) + " of " + std::to_string(outputs)
                    : "the value";
    if (std::isnan(v)) return which + " is not a number (NaN): the law has no value there";
    return which + " overflows: its magnitude is beyond the largest double, about 1.8e308";
}

std::string law_error_text(vorn_exception const &e) {
    char const *message = e.message();
    if (!message || !*message) return e.what();
    std::string text = message;
    if (*e.detail()) text += std::string(" (") + e.detail() + ")";
    return text;
}

void report_law_error(vorn_exception const &e) { throw tool_error(law_error_text(e)); }

}  // namespace law_tool
