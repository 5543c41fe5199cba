#include <law/lang/str_to_law.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <law/base/errors.h>
#include <law/base/output.h>
#include <law/core/binary_law.h>
#include <law/core/constant_law.h>
#include <law/core/counted_array.h>
#include <law/core/law.h>
#include <law/core/law_data.h>
#include <law/core/law_law_data.h>
#include <law/core/multiple_data_law.h>
#include <law/core/multiple_law.h>
#include <law/core/unary_data_law.h>
#include <law/core/unary_law.h>
#include <law/lang/law_text.h>
#include <law/lang/law_tokens.h>

// How a text is read.
//
// A law is split at its token of lowest precedence outside brackets, and each side is read the
// same way. Read naively, every level rescans its whole stretch of text, which is quadratic on
// long chains. Here the text is prepared once, and one walk from its start reads every token
// (the "path"), checks that no position is unreadable, and keeps for every stretch of tokens a
// summary of its best split candidate in a segment tree. The stretches that the split visits
// are almost always stretches of the path, so a split costs a tree query; a stretch that starts
// off the path (an argument written without brackets, whose first token the path read in the
// other position) is walked token by token until it rejoins the path.

namespace {

constexpr int no_position = -1;

// The best split candidate of a run of tokens. A lower (depth, precedence) wins; among equal
// ones the first wins unless one read in operator position follows it, and then the last of
// those wins. This is the left-to-right choice of the split search, in a form that two runs can
// be folded in: folding runs with `then` chooses what reading their tokens one by one chooses.
struct candidate_summary {
    int depth = INT_MAX;
    int precedence = INT_MAX;
    int first = no_position;          // position of the first token with the least key
    bool first_operand = false;       // the flag under which that token was read
    int last_operator = no_position;  // the last token with the least key read as an operator

    static candidate_summary of(int position, bool operand, int depth, int precedence) {
        return {depth, precedence, position, operand, operand ? no_position : position};
    }
    bool empty() const { return first == no_position; }
    bool beats(candidate_summary const &o) const {
        return depth != o.depth ? depth < o.depth : precedence < o.precedence;
    }
    candidate_summary then(candidate_summary const &right) const {
        if (right.empty() || beats(right)) return *this;
        if (empty() || right.beats(*this)) return right;
        candidate_summary out = *this;
        if (right.last_operator != no_position) out.last_operator = right.last_operator;
        return out;
    }
    candidate_summary shifted(int delta) const {
        candidate_summary out = *this;
        if (!empty()) out.depth += delta;
        return out;
    }
    int position() const { return last_operator != no_position ? last_operator : first; }
    bool operand() const { return last_operator == no_position && first_operand; }
};

// Summaries of ranges of the path's tokens (a bottom-up segment tree that keeps the order of
// its operands).
class summary_tree {
  public:
    explicit summary_tree(std::vector<candidate_summary> const &leaves)
        : size_(leaves.size()), node_(2 * leaves.size()) {
        for (std::size_t i = 0; i < size_; ++i) node_[size_ + i] = leaves[i];
        for (std::size_t i = size_; i-- > 1;) node_[i] = node_[2 * i].then(node_[2 * i + 1]);
    }
    // The summary of tokens [lo, hi).
    candidate_summary query(std::size_t lo, std::size_t hi) const {
        candidate_summary left, right;
        for (lo += size_, hi += size_; lo < hi; lo /= 2, hi /= 2) {
            if (lo & 1) left = left.then(node_[lo++]);
            if (hi & 1) right = node_[--hi].then(right);
        }
        return left.then(right);
    }

  private:
    std::size_t size_;
    std::vector<candidate_summary> node_;
};

// Where str_to_law_noted collects what the reading on this thread keeps quiet about; null when
// nobody asks.
thread_local std::vector<law_reading_note> *reading_notes = nullptr;

void note(law_reading_kind kind, int position, std::string text) {
    if (reading_notes) reading_notes->push_back({kind, position, std::move(text)});
}

// Thrown once the message is recorded; str_to_law turns it into a null result, and the
// handles on the way release every partly built law.
struct parse_failed {};

class text_parser {
  public:
    text_parser(std::string text, law_data **data, int count)
        : s_(std::move(text)),
          n_(static_cast<int>(s_.size())),
          data_(data),
          count_(data && count > 0 ? count : 0),
          names_(name_table::from_registries()) {}

    law_ptr run() {
        walk_path();
        check_brackets();
        return parse(0, n_, 1);
    }

  private:
    struct path_token {
        int extent;
        bool operand;
        int depth;
    };

    // ---------------------------------------------------------------- messages
    [[noreturn]] static void fail(T4_ostream const &message) {
        TEST_set_error(message.str());
        throw parse_failed();
    }
    [[noreturn]] void fail_at(char const *what, int position, int end) const {
        T4_ostream m;
        m << what << rest(position, end).c_str();
        fail(m);
    }
    [[noreturn]] void fail_number(token const &t, int position, int end) const {
        fail_at(t.problem == number_problem::too_long ? "number longer than 32 characters at "
                                                      : "bad number at ",
                position, end);
    }
    [[noreturn]] static void fail_too_deep() {
        T4_ostream m;
        m << "law nested deeper than " << law_parse_depth_limit << " levels";
        fail(m);
    }
    [[noreturn]] static void fail_not_given(char const *what, double n) {
        T4_ostream m;
        m << what << number_string(std::trunc(n)).c_str() << " was not given";
        fail(m);
    }
    [[noreturn]] static void fail_law(int n, char const *what) {
        T4_ostream m;
        m << "law " << n << what;
        fail(m);
    }
    std::string rest(int position, int end) const {
        return s_.substr(static_cast<std::size_t>(position),
                         static_cast<std::size_t>(end - position));
    }

    // Reads a token, refusing what cannot be read.
    token read_checked(int position, int end, bool operand) const {
        token const t = read_token(s_, position, end, operand, names_);
        if (t.length == 0) fail_at("bad syntax at ", position, end);
        if (t.problem != number_problem::none) fail_number(t, position, end);
        return t;
    }

    // ---------------------------------------------------------------- the whole text
    void walk_path() {
        path_at_.assign(static_cast<std::size_t>(n_) + 1, no_position);
        std::vector<candidate_summary> leaves;
        bool operand = true;
        int depth = 0;
        for (int p = 0; p < n_;) {
            token const t = read_checked(p, n_, operand);
            path_at_[static_cast<std::size_t>(p)] = static_cast<int>(path_.size());
            path_.push_back({t.extent, operand, depth});
            leaves.push_back(t.is_candidate()
                                 ? candidate_summary::of(p, operand, depth, t.precedence())
                                 : candidate_summary{});
            depth += t.depth_change();
            operand = t.operand_follows();
            p += t.length;
        }
        path_at_[static_cast<std::size_t>(n_)] = static_cast<int>(path_.size());
        tree_ = std::make_unique<summary_tree>(leaves);
    }

    void check_brackets() {
        brackets_ = bracket_map(s_);
        if (brackets_.unmatched() != bracket_map::none)
            fail_at("unbalanced brackets at ", brackets_.unmatched(), n_);
        if (brackets_.deepest() > law_parse_depth_limit) fail_too_deep();
    }

    // ---------------------------------------------------------------- split search
    // Whether the tokens read from p (with this flag) up to e are the path's own.
    bool on_path(int p, int e, bool operand) const {
        int const first = path_at_[static_cast<std::size_t>(p)];
        int const stop = path_at_[static_cast<std::size_t>(e)];
        if (first == no_position || stop == no_position || first >= stop) return false;
        if (path_[static_cast<std::size_t>(first)].operand != operand) return false;
        // A last token that looked past e reads otherwise in the shorter text.
        return path_[static_cast<std::size_t>(stop - 1)].extent <= e;
    }

    // The best split candidate of [b, e), read from b in operand position at depth 0.
    candidate_summary best_candidate(int b, int e) const {
        candidate_summary best;
        bool operand = true;
        int depth = 0;
        for (int p = b; p < e;) {
            if (on_path(p, e, operand)) {
                auto const first = static_cast<std::size_t>(path_at_[static_cast<std::size_t>(p)]);
                auto const stop = static_cast<std::size_t>(path_at_[static_cast<std::size_t>(e)]);
                return best.then(tree_->query(first, stop).shifted(depth - path_[first].depth));
            }
            token const t = read_checked(p, e, operand);
            if (t.is_candidate())
                best = best.then(candidate_summary::of(p, operand, depth, t.precedence()));
            depth += t.depth_change();
            operand = t.operand_follows();
            p += t.length;
        }
        return best;
    }

    // ---------------------------------------------------------------- building
    law_ptr parse(int b, int e, int level) {
        if (level > law_parse_depth_limit) fail_too_deep();
        if (b >= e) {
            note(law_reading_kind::empty_operand, b, {});
            return make_law<constant_law>(0.0);
        }
        if (e - b == 4 && s_.compare(static_cast<std::size_t>(b), 4, "NULL") == 0)
            fail_at("bad syntax at ", b, e);
        candidate_summary const best = best_candidate(b, e);
        if (best.empty()) fail_at("bad syntax at ", b, e);  // brackets alone
        int const at = best.position();
        token const t = read_checked(at, e, best.operand());
        law_ptr made = token_law(t, b, at, e, level);
        if (reading_notes) note_dropped(t, b, at, e);
        return made;
    }

    law_ptr token_law(token const &t, int b, int at, int e, int level) {
        switch (t.kind) {
            case token_kind::variable:
                return variable(t, at, e);
            case token_kind::number:
                return make_law<constant_law>(t.value);
            case token_kind::law_reference:
                return law_reference(t.value);
            case token_kind::name:
                return named(*t.entry, b, at, at + t.length, e, level);
            default:
                fail_at("bad syntax at ", at, e);
        }
    }

    // Where the text that the law at token t is built from ends.
    int used_end(token const &t, int at, int e) const {
        int const after = at + t.length;
        if (t.kind != token_kind::name || t.entry->family == name_family::constant) return after;
        if (after < e && s_[after] == '(') return brackets_.match(after) + 1;
        return brackets_.close_after(after, e);
    }

    // Text of [b, e) that the law at token t is not built from, brackets aside, is dropped. A
    // binary operator is built from all of it.
    void note_dropped(token const &t, int b, int at, int e) const {
        if (t.kind == token_kind::name && t.entry->family == name_family::binary) return;
        auto const brackets_only = [&](int from, int to) {
            return std::all_of(s_.begin() + from, s_.begin() + to,
                               [](char c) { return c == '(' || c == ')'; });
        };
        int const used = used_end(t, at, e);
        if (!brackets_only(b, at)) note(law_reading_kind::dropped_text, b, rest(b, at));
        if (!brackets_only(used, e)) note(law_reading_kind::dropped_text, used, rest(used, e));
    }

    law_ptr variable(token const &t, int at, int e) const {
        // The "*" that a digit puts before a letter turns 1E2 into 1*E2.
        if (reading_notes && t.letter == 'E' && t.numbered && at >= 2 && s_[at - 1] == '*' &&
            std::isdigit(static_cast<unsigned char>(s_[at - 2]))) {
            int start = at - 2;
            while (start > 0 && (std::isdigit(static_cast<unsigned char>(s_[start - 1])) ||
                                 s_[start - 1] == '.'))
                --start;
            note(law_reading_kind::exponent_as_variable, start,
                 rest(start, at - 1) + rest(at, at + t.length));
        }
        if (!t.numbered) return make_law<identity_law>(t.index, t.letter);
        if (!(t.value >= 1 && t.value < law_parse_variable_limit + 1.0))
            fail_at("variable numbers run from 1 to 100000 at ", at, e);
        return make_law<identity_law>(static_cast<int>(t.value - 1), t.letter);
    }

    // The 0-based index that reference number n selects, or none when the data lack it.
    int data_index(double n) const {
        return n >= 1 && n < count_ + 1.0 && data_[static_cast<int>(n - 1)]
                   ? static_cast<int>(n - 1)
                   : no_position;
    }

    law_ptr law_reference(double n) const {
        int const i = data_index(n);
        if (i == no_position) fail_not_given("law ", n);
        if (data_[i]->type() != law_law_data_type) fail_law(i + 1, " is not a law");
        law *held = static_cast<law_law_data const *>(data_[i])->data_law();
        if (!held) fail_law(i + 1, " holds no law");
        return share(held);
    }

    law_data_ptr data_argument(double n) const {
        int const i = data_index(n);
        if (i == no_position) fail_not_given("law data ", n);
        return share(data_[i]);
    }

    law_ptr named(name_entry const &entry, int b, int at, int after, int e, int level) {
        switch (entry.family) {
            case name_family::binary:
                return binary(entry, b, at, after, e, level);
            case name_family::unary:
            case name_family::negate:
                if (!only_brackets(b, at)) {
                    std::string const what = "text before " + std::string(entry.name) + " at ";
                    fail_at(what.c_str(), b, e);
                }
                return unary(entry, after, e, level);
            case name_family::multiple:
                return multiple(entry, at, after, e, level);
            case name_family::unary_data:
                return unary_data(entry, at, after, e);
            case name_family::multiple_data:
                return multiple_data(entry, at, after, e, level);
            case name_family::constant:
                return constant(entry);
        }
        fail_at("bad syntax at ", at, e);
    }

    // A prototype's make_one, with a message when it builds nothing or raises.
    template <class Make>
    static law_ptr build(name_entry const &entry, Make make) {
        law *made = nullptr;
        try {
            made = make();
        } catch (vorn_exception const &x) {
            T4_ostream m;
            m << std::string(entry.name).c_str() << ": " << x.what();
            fail(m);
        }
        if (!made) {
            T4_ostream m;
            m << std::string(entry.name).c_str() << " cannot be built from these arguments";
            fail(m);
        }
        return adopt(made);
    }

    law_ptr binary(name_entry const &entry, int b, int at, int after, int e, int level) {
        // A stray bracket at the outer end of a side belongs to the enclosing pair.
        int const left_begin = brackets_.balanced(b, at) ? b : b + 1;
        int const right_end = brackets_.balanced(after, e) ? e : e - 1;
        law_ptr const left = parse(left_begin, at, level + 1);
        law_ptr const right = parse(after, right_end, level + 1);
        auto const *proto = static_cast<binary_law const *>(entry.prototype);
        return build(entry, [&] { return proto->make_one(left.get(), right.get()); });
    }

    // A prefix name that binds less tightly than what stands before it (X+NOT(Y)) would drop
    // that text: only opening brackets may precede it.
    bool only_brackets(int b, int e) const {
        return std::all_of(s_.begin() + b, s_.begin() + e, [](char c) { return c == '('; });
    }

    law_ptr unary(name_entry const &entry, int after, int e, int level) {
        int begin = after, end = brackets_.close_after(after, e);
        if (after < e && s_[after] == '(') {
            begin = after + 1;
            end = closing(after, e);
        }
        law_ptr const sub = parse(begin, end, level + 1);
        auto const *proto = static_cast<unary_law const *>(entry.prototype);
        return build(entry, [&] { return proto->make_one(sub.get()); });
    }

    // The ")" of the "(" at open, which must lie before e.
    int closing(int open, int e) const {
        int const close = brackets_.match(open);
        if (close == bracket_map::none || close >= e) fail_at("unbalanced brackets at ", open, e);
        return close;
    }

    struct piece {
        int begin, end;
    };
    // The comma-separated pieces inside the brackets that must follow a name.
    std::vector<piece> arguments(name_entry const &entry, int at, int after, int e) const {
        if (after >= e || s_[after] != '(') {
            std::string const what =
                std::string(entry.name) + " needs its arguments in brackets at ";
            fail_at(what.c_str(), at, e);
        }
        int const close = closing(after, e);
        std::vector<piece> out;
        int begin = after + 1;
        for (int comma : brackets_.commas_inside(after)) {
            out.push_back({begin, comma});
            begin = comma + 1;
        }
        out.push_back({begin, close});
        return out;
    }

    law_ptr multiple(name_entry const &entry, int at, int after, int e, int level) {
        law_array subs;
        for (piece const &p : arguments(entry, at, after, e))
            subs.push(parse(p.begin, p.end, level + 1));
        auto const *proto = static_cast<multiple_law const *>(entry.prototype);
        return build(entry, [&] { return proto->make_one(subs.data(), subs.size()); });
    }

    // The reference number of a token that selects a law data, or a message.
    double selector(token const &t, int at, int e) const {
        switch (t.kind) {
            case token_kind::variable:
                return t.numbered ? t.value : t.index + 1;
            case token_kind::law_reference:
            case token_kind::data_reference:
                return t.value;
            default:
                fail_at("law data expected at ", at, e);
        }
    }

    law_ptr unary_data(name_entry const &entry, int at, int after, int e) const {
        if (after >= e || s_[after] != '(') {
            std::string const what =
                std::string(entry.name) + " needs its argument in brackets at ";
            fail_at(what.c_str(), at, e);
        }
        token const t = read_checked(after + 1, e, false);
        law_data_ptr const d = data_argument(selector(t, after + 1, e));
        auto const *proto = static_cast<unary_data_law const *>(entry.prototype);
        return build(entry, [&] { return proto->make_one(d.get()); });
    }

    law_ptr multiple_data(name_entry const &entry, int at, int after, int e, int level) {
        law_data_array subs;
        for (piece const &p : arguments(entry, at, after, e)) {
            token const t = read_token(s_, p.begin, p.end, false, names_);
            if (t.kind == token_kind::data_reference) {
                if (t.problem != number_problem::none) fail_number(t, p.begin, p.end);
                subs.push(data_argument(t.value));
            } else {
                law_ptr const l = parse(p.begin, p.end, level + 1);
                subs.push(adopt<law_data>(new law_law_data(l.get())));
            }
        }
        auto const *proto = static_cast<multiple_data_law const *>(entry.prototype);
        return build(entry, [&] { return proto->make_one(subs.data(), subs.size()); });
    }

    static law_ptr constant(name_entry const &entry) {
        auto const *proto = static_cast<constant_law const *>(entry.prototype);
        return build(entry, [&] {
            double const at_zero[1] = {0.0};
            double value = 0.0;
            proto->evaluate(at_zero, &value);
            return proto->make_one(value);
        });
    }

    std::string s_;
    int n_;
    law_data **data_;
    int count_;
    name_table names_;
    std::vector<path_token> path_;
    std::vector<int> path_at_;  // per position: index of the path token starting there
    std::unique_ptr<summary_tree> tree_;
    bracket_map brackets_;
};

}  // namespace

law *str_to_law(char const *text, law_data **data, int count) {
    TEST_clear_error();
    if (!text) {
        TEST_set_error("no text to read");
        return nullptr;
    }
    std::string const normal = normalise_law_text(text);
    if (normal == "NULL") return nullptr;
    if (normal.empty()) return new constant_law(0.0);
    try {
        return text_parser(insert_implicit_products(normal), data, count).run().release();
    } catch (parse_failed const &) {
        return nullptr;
    } catch (vorn_exception const &x) {
        TEST_set_error(x.what());
        return nullptr;
    }
}

law *str_to_law_noted(char const *text, std::vector<law_reading_note> &notes, law_data **data,
                      int count) {
    notes.clear();
    // The empty text reads as 0 before any parser runs.
    if (text && normalise_law_text(text).empty())
        notes.push_back({law_reading_kind::empty_operand, 0, {}});
    struct collecting {
        explicit collecting(std::vector<law_reading_note> &n) { reading_notes = &n; }
        ~collecting() { reading_notes = nullptr; }
    } const on(notes);
    return str_to_law(text, data, count);
}
