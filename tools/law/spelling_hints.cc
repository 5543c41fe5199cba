#include "spelling_hints.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

#include <law/lang/law_list.h>
#include <law/law.h>

namespace law_tool {
namespace {

bool is_name_start(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool is_name_char(char c) {
    return is_name_start(c) || std::isdigit(static_cast<unsigned char>(c));
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char &c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// A function name of another tool and how this syntax writes the call.
struct foreign_name {
    char const *name;
    char const *ours;  // the name here; null for POW, which becomes an operator
    char const *reason;
};

constexpr foreign_name foreign_names[] = {
    {"ATAN2", "ARCTAN", "ATAN2(Y,X) is written ARCTAN(Y,X) here"},
    {"ARCTAN2", "ARCTAN", "ARCTAN2(Y,X) is written ARCTAN(Y,X) here"},
    {"ASIN", "ARCSIN", "ASIN is written ARCSIN here"},
    {"ACOS", "ARCCOS", "ACOS is written ARCCOS here"},
    {"ATAN", "ARCTAN", "ATAN is written ARCTAN here"},
    {"ASINH", "ARCSINH", "ASINH is written ARCSINH here"},
    {"ACOSH", "ARCCOSH", "ACOSH is written ARCCOSH here"},
    {"ATANH", "ARCTANH", "ATANH is written ARCTANH here"},
    {"LOG10", "LOG", "LOG10(A) is written LOG(A) here, the logarithm to base 10"},
    {"CEILING", "CEIL", "CEILING is written CEIL here"},
    {"FABS", "ABS", "FABS is written ABS here"},
    {"POW", nullptr, "POW(A,B) is written A^B here"},
    {"POWER", nullptr, "POWER(A,B) is written A^B here"},
};

foreign_name const *find_foreign(std::string const &name) {
    for (foreign_name const &f : foreign_names)
        if (name == f.name) return &f;
    return nullptr;
}

bool is_registered(std::string const &name) {
    for (law_list const *node = law_list::head(); node; node = node->next())
        if (name == node->prototype()->symbol(law_symbol_default)) return true;
    return false;
}

std::size_t edit_distance(std::string const &a, std::string const &b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t const up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = up;
        }
    }
    return row[b.size()];
}

// The registered function name nearest to name, when one is near enough to be meant.
std::string nearest_name(std::string const &name) {
    std::string best;
    std::size_t best_distance = std::numeric_limits<std::size_t>::max();
    for (law_list const *node = law_list::head(); node; node = node->next()) {
        std::string const candidate = node->prototype()->symbol(law_symbol_default);
        if (candidate.empty() || !is_name_start(candidate[0])) continue;
        std::size_t const d = edit_distance(name, candidate);
        if (d < best_distance || (d == best_distance && candidate < best)) {
            best = candidate;
            best_distance = d;
        }
    }
    std::size_t const allowed = name.size() <= 3 ? 1 : 2;
    return best_distance <= allowed ? best : std::string();
}

// The end of the bracket that opens at `open`, or npos.
std::size_t closing_bracket(std::string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        depth += text[i] == '(' ? 1 : text[i] == ')' ? -1 : 0;
        if (depth == 0) return i;
    }
    return std::string_view::npos;
}

// The top-level comma of the members within (open, close), or npos.
std::size_t top_comma(std::string_view text, std::size_t open, std::size_t close) {
    int depth = 0;
    for (std::size_t i = open + 1; i < close; ++i) {
        depth += text[i] == '(' ? 1 : text[i] == ')' ? -1 : 0;
        if (depth == 0 && text[i] == ',') return i;
    }
    return std::string_view::npos;
}

// A member as an operand of ^: bracketed unless it is one name or number.
std::string operand(std::string_view member) {
    std::size_t const b = member.find_first_not_of(' ');
    std::size_t const e = member.find_last_not_of(' ');
    std::string_view const m = b == std::string_view::npos ? member : member.substr(b, e - b + 1);
    bool const simple = !m.empty() && std::all_of(m.begin(), m.end(), [](char c) {
        return is_name_char(c) || c == '.';
    });
    return simple ? std::string(m) : "(" + std::string(m) + ")";
}

class rewriter {
  public:
    explicit rewriter(std::string_view text) : text_(text) {}

    spelling_hint run() {
        std::string out;
        bool plus_dropped = false;
        for (std::size_t i = 0; i < text_.size();) {
            if (text_.compare(i, 2, "**") == 0) {
                out += '^';
                note("a power is written ^ here");
                i += 2;
            } else if (text_[i] == '+' && starts_operand(out) && operand_follows(i + 1)) {
                plus_dropped = true;
                ++i;
            } else if (is_name_start(text_[i])) {
                i = name_at(i, out);
            } else {
                out += text_[i++];
            }
        }
        if (plus_dropped) note("this syntax has no unary '+'");
        spelling_hint h;
        if (!reasons_.empty()) {
            h.rewritten = out;
            h.reasons = reasons_;
            h.only_unary_plus = plus_dropped && reasons_.size() == 1;
        }
        return h;
    }

  private:
    // A '+' at the start, after a bracket, a comma or an operator, is a sign.
    static bool starts_operand(std::string const &out) {
        std::size_t const last = out.find_last_not_of(' ');
        return last == std::string::npos || std::strchr("(,+-*/^<>=", out[last]) != nullptr;
    }

    bool operand_follows(std::size_t i) const {
        std::size_t const next = text_.find_first_not_of(' ', i);
        return next != std::string_view::npos && std::strchr("),+*/^<>=", text_[next]) == nullptr;
    }

    void note(std::string const &reason) {
        if (std::find(reasons_.begin(), reasons_.end(), reason) == reasons_.end())
            reasons_.push_back(reason);
    }

    // Copies the name at i, or its spelling here when it is a call of another tool's name or
    // close to a registered one; returns where it ends.
    std::size_t name_at(std::size_t i, std::string &out) {
        std::size_t end = i;
        while (end < text_.size() && is_name_char(text_[end])) ++end;
        if (end < text_.size() && text_[end] == '?') ++end;
        std::size_t open = end;
        while (open < text_.size() && text_[open] == ' ') ++open;
        std::string_view const written = text_.substr(i, end - i);
        std::string const name = upper(written);
        if (open >= text_.size() || text_[open] != '(' || is_registered(name)) {
            out += written;
            return end;
        }
        if (foreign_name const *f = find_foreign(name)) {
            note(f->reason);
            if (f->ours) {
                out += f->ours;
                return end;
            }
            std::size_t const close = closing_bracket(text_, open);
            std::size_t const comma =
                close == std::string_view::npos ? close : top_comma(text_, open, close);
            if (comma == std::string_view::npos) {
                out += written;
                return end;
            }
            out += operand(member(text_.substr(open + 1, comma - open - 1))) + "^" +
                   operand(member(text_.substr(comma + 1, close - comma - 1)));
            return close + 1;
        }
        if (std::string const near = nearest_name(name); !near.empty()) {
            note(std::string(written) + " is no function here; " + near + " is");
            out += near;
            return end;
        }
        note(std::string(written) + " is no function here (law help syntax lists them)");
        out += written;
        return end;
    }

    // A member of a call, rewritten on its own; its reasons are the text's.
    std::string member(std::string_view m) {
        spelling_hint const h = rewriter(m).run();
        for (std::string const &r : h.reasons) note(r);
        return h.reasons.empty() ? std::string(m) : h.rewritten;
    }

    std::string_view text_;
    std::vector<std::string> reasons_;
};

}  // namespace

spelling_hint hint_for(std::string_view text) { return rewriter(text).run(); }

std::string hint_text(spelling_hint const &h,
                      std::function<bool(std::string const &)> const &reads) {
    if (h.reasons.empty()) return {};
    std::string why;
    for (std::string const &r : h.reasons) why += (why.empty() ? "" : "; ") + r;
    if (reads(h.rewritten)) return "did you mean '" + h.rewritten + "'? (" + why + ")";
    return why;
}

std::string reading_hint(std::string_view text) {
    for (std::size_t at = text.find("log"); at != std::string_view::npos;
         at = text.find("log", at + 1)) {
        bool const starts = at == 0 || !is_name_char(text[at - 1]);
        std::size_t open = at + 3;
        while (open < text.size() && text[open] == ' ') ++open;
        if (!starts || open >= text.size() || text[open] != '(') continue;
        std::size_t const close = closing_bracket(text, open);
        if (close != std::string_view::npos &&
            top_comma(text, open, close) == std::string_view::npos)
            return "log(A) is the logarithm to base 10 here; the natural logarithm is ln(A)";
    }
    return {};
}

}  // namespace law_tool
