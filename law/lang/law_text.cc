#include <law/lang/law_text.h>

namespace {
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }
bool is_sign(char c) { return c == '+' || c == '-'; }
}  // namespace

std::string normalise_law_text(char const *text) {
    std::string out;
    for (char const *p = text; *p; ++p) {
        char const c = *p;
        if (c == ' ' || c == '\n' || c == '\t') continue;
        out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

std::string insert_implicit_products(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    std::size_t const n = text.size();
    auto at = [&](std::size_t i) { return i < n ? text[i] : '\0'; };
    for (std::size_t i = 0; i < n; ++i) {
        char const c = text[i];
        bool const after_digit = i > 0 && is_digit(text[i - 1]);
        if (after_digit && c == 'E' && is_sign(at(i + 1))) {
            out += c;  // exponent: 2E+3
        } else if (after_digit && c == '*' && at(i + 1) == 'E' && is_sign(at(i + 2)) &&
                   is_digit(at(i + 3))) {
            // 2*E+3 is the number 2E+3
        } else if (after_digit && is_upper(c) && c != 'O' && text.substr(i, 3) != "AND") {
            out += '*';
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

bracket_map::bracket_map(std::string_view text) {
    auto const n = static_cast<int>(text.size());
    depth_before_.assign(static_cast<std::size_t>(n) + 1, 0);
    match_.assign(static_cast<std::size_t>(n), none);
    enclosing_.assign(static_cast<std::size_t>(n) + 1, none);
    next_comma_.assign(static_cast<std::size_t>(n), none);
    std::vector<int> open;        // "(" still open, innermost last
    std::vector<int> last_comma;  // per open bracket: its "(" or its latest comma
    for (int i = 0; i < n; ++i) {
        enclosing_[i] = open.empty() ? none : open.back();
        depth_before_[i + 1] = depth_before_[i];
        switch (text[i]) {
            case '(':
                open.push_back(i);
                last_comma.push_back(i);
                ++depth_before_[i + 1];
                if (static_cast<int>(open.size()) > deepest_)
                    deepest_ = static_cast<int>(open.size());
                break;
            case ')':
                --depth_before_[i + 1];
                if (open.empty()) {
                    if (unmatched_ == none) unmatched_ = i;
                } else {
                    match_[open.back()] = i;
                    open.pop_back();
                    last_comma.pop_back();
                }
                break;
            case ',':
                if (!last_comma.empty()) {
                    next_comma_[last_comma.back()] = i;
                    last_comma.back() = i;
                }
                break;
            default:
                break;
        }
    }
    enclosing_[n] = open.empty() ? none : open.back();
    if (unmatched_ == none && !open.empty()) unmatched_ = open.front();
}

int bracket_map::close_after(int p, int end) const {
    int const open = enclosing_[p];
    if (open == none || match_[open] == none) return end;
    return match_[open] < end ? match_[open] : end;
}

std::vector<int> bracket_map::commas_inside(int open) const {
    std::vector<int> out;
    for (int c = next_comma_[open]; c != none; c = next_comma_[c]) out.push_back(c);
    return out;
}
