#include <law/lang/str_to_law.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <memory>
#include <span>
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

// Steps of the reading on this thread (last_law_reading_steps).
thread_local long reading_steps = 0;

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
            ++reading_steps;
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
        return read_all();
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
        ++reading_steps;
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
    // The reading runs on a stack of its own, so that no depth of nesting reaches the call
    // stack: a law name puts a build step on the work stack above the readings of its operands,
    // and each finished law goes onto the stack of values, where its build step collects it.
    // Operands are read left to right, as their messages and notes are met in the text.
    struct step {
        enum class kind { read, build, data } what;
        int b, at, e;             // read: the stretch [b, e); build: also the token's position
        int count;                // build: the values it collects
        name_entry const *entry;  // build: the name (null for the stretch's own token)
        int length;               // build: the token's length
        double reference;         // data: the number of the law data
    };
    struct value {
        law_ptr l;
        law_data_ptr d;  // an argument of a law of law data given by reference
    };

    static step read_step(int b, int e) { return {step::kind::read, b, 0, e, 0, nullptr, 0, 0}; }

    law_ptr read_all() {
        steps_.push_back(read_step(0, n_));
        while (!steps_.empty()) {
            step const s = steps_.back();
            steps_.pop_back();
            if (s.what == step::kind::read)
                read(s.b, s.e);
            else if (s.what == step::kind::build)
                build_step(s);
            else
                values_.push_back({nullptr, data_argument(s.reference)});
        }
        return std::move(values_.back().l);
    }

    void read(int b, int e) {
        if (b >= e) {
            note(law_reading_kind::empty_operand, b, {});
            return finish(make_law<constant_law>(0.0));
        }
        if (e - b == 4 && s_.compare(static_cast<std::size_t>(b), 4, "NULL") == 0)
            fail_at("bad syntax at ", b, e);
        candidate_summary const best = best_candidate(b, e);
        if (best.empty()) fail_at("bad syntax at ", b, e);  // brackets alone
        int const at = best.position();
        token const t = read_checked(at, e, best.operand());
        switch (t.kind) {
            case token_kind::variable:
                return finish(variable(t, at, e), t, b, at, e);
            case token_kind::number:
                return finish(make_law<constant_law>(t.value), t, b, at, e);
            case token_kind::law_reference:
                return finish(law_reference(t.value), t, b, at, e);
            case token_kind::name:
                return named(t, b, at, e);
            default:
                fail_at("bad syntax at ", at, e);
        }
    }

    void finish(law_ptr made) { values_.push_back({std::move(made), nullptr}); }
    void finish(law_ptr made, token const &t, int b, int at, int e) {
        if (reading_notes) note_dropped(t, b, at, e);
        finish(std::move(made));
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

    // A leading minus binds tighter than "^": -X^2 is (-X)^2. Noted once, at the power whose
    // base is the minus and what follows it.
    void note_negated_base(name_entry const &entry, int b, int at, int e) const {
        if (entry.family != name_family::binary ||
            entry.prototype->type() != law_id::exponent_law || b >= at ||
            s_[static_cast<std::size_t>(b)] != '-')
            return;
        int depth = 0;
        for (int i = b; i < at; ++i) {
            char const c = s_[static_cast<std::size_t>(i)];
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            if (depth == 0 && c == '^') return;
        }
        note(law_reading_kind::negated_base, b, rest(b, e));
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

    // Puts the build step of the name at token t, then the readings of its operands.
    void named(token const &t, int b, int at, int e) {
        int const after = at + t.length;
        name_entry const &entry = *t.entry;
        switch (entry.family) {
            case name_family::binary: {
                // A stray bracket at the outer end of a side belongs to the enclosing pair.
                int const left_begin = brackets_.balanced(b, at) ? b : b + 1;
                int const right_end = brackets_.balanced(after, e) ? e : e - 1;
                if (reading_notes) note_negated_base(entry, left_begin, at, right_end);
                piece const sides[] = {{left_begin, at}, {after, right_end}};
                return operands(t, b, at, e, sides);
            }
            case name_family::unary:
            case name_family::negate: {
                if (!only_brackets(b, at)) {
                    std::string const what = "text before " + std::string(entry.name) + " at ";
                    fail_at(what.c_str(), b, e);
                }
                piece const argument[] = {unary_argument(after, e)};
                return operands(t, b, at, e, argument);
            }
            case name_family::multiple:
                return operands(t, b, at, e, arguments(entry, at, after, e));
            case name_family::unary_data:
                return finish(unary_data(entry, at, after, e), t, b, at, e);
            case name_family::multiple_data:
                return data_operands(t, b, at, e, arguments(entry, at, after, e));
            case name_family::constant:
                return finish(constant(entry), t, b, at, e);
        }
        fail_at("bad syntax at ", at, e);
    }

    struct piece {
        int begin, end;
    };

    void push_build(token const &t, int b, int at, int e, std::size_t count) {
        steps_.push_back(
            {step::kind::build, b, at, e, static_cast<int>(count), t.entry, t.length, 0});
    }

    // The pieces of a binary or unary name are an array on the stack: a sum of a million terms
    // is a million of them.
    void operands(token const &t, int b, int at, int e, std::span<piece const> pieces) {
        push_build(t, b, at, e, pieces.size());
        for (auto p = pieces.rbegin(); p != pieces.rend(); ++p)
            steps_.push_back(read_step(p->begin, p->end));
    }

    // An argument written as a law-data reference is taken from the data; any other is read.
    void data_operands(token const &t, int b, int at, int e, std::vector<piece> const &pieces) {
        push_build(t, b, at, e, pieces.size());
        for (auto p = pieces.rbegin(); p != pieces.rend(); ++p) {
            token const first = read_token(s_, p->begin, p->end, false, names_);
            if (first.kind != token_kind::data_reference) {
                steps_.push_back(read_step(p->begin, p->end));
                continue;
            }
            if (first.problem != number_problem::none) fail_number(first, p->begin, p->end);
            steps_.push_back({step::kind::data, p->begin, 0, p->end, 0, nullptr, 0, first.value});
        }
    }

    // Collects the operands of a build step from the stack of values and builds its law.
    void build_step(step const &s) {
        auto const first = values_.end() - s.count;
        std::vector<value> taken(std::make_move_iterator(first),
                                 std::make_move_iterator(values_.end()));
        values_.erase(first, values_.end());
        token t;
        t.kind = token_kind::name;
        t.entry = s.entry;
        t.length = s.length;
        finish(build_law(*s.entry, taken), t, s.b, s.at, s.e);
    }

    static law_ptr build_law(name_entry const &entry, std::vector<value> &taken) {
        switch (entry.family) {
            case name_family::binary: {
                auto const *proto = static_cast<binary_law const *>(entry.prototype);
                return build(entry,
                             [&] { return proto->make_one(taken[0].l.get(), taken[1].l.get()); });
            }
            case name_family::unary:
            case name_family::negate: {
                auto const *proto = static_cast<unary_law const *>(entry.prototype);
                return build(entry, [&] { return proto->make_one(taken[0].l.get()); });
            }
            case name_family::multiple: {
                law_array subs;
                for (value &v : taken) subs.push(std::move(v.l));
                auto const *proto = static_cast<multiple_law const *>(entry.prototype);
                return build(entry, [&] { return proto->make_one(subs.data(), subs.size()); });
            }
            default: {
                law_data_array subs;
                for (value &v : taken)
                    subs.push(v.d ? std::move(v.d) : adopt<law_data>(new law_law_data(v.l.get())));
                auto const *proto = static_cast<multiple_data_law const *>(entry.prototype);
                return build(entry, [&] { return proto->make_one(subs.data(), subs.size()); });
            }
        }
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

    // A prefix name that binds less tightly than what stands before it (X+NOT(Y)) would drop
    // that text: only opening brackets may precede it.
    bool only_brackets(int b, int e) const {
        return std::all_of(s_.begin() + b, s_.begin() + e, [](char c) { return c == '('; });
    }

    // The argument of a one-argument name: the inside of the brackets that follow it, or the
    // text up to the bracket that closes around the name.
    piece unary_argument(int after, int e) const {
        if (after < e && s_[after] == '(') return {after + 1, closing(after, e)};
        return {after, brackets_.close_after(after, e)};
    }

    // The ")" of the "(" at open, which must lie before e.
    int closing(int open, int e) const {
        int const close = brackets_.match(open);
        if (close == bracket_map::none || close >= e) fail_at("unbalanced brackets at ", open, e);
        return close;
    }

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
        // One law data and nothing more: CURI(HELIX1,HELIX1) would drop the second.
        int const close = closing(after, e);
        if (std::max(after + 1 + t.length, t.extent) != close) {
            std::string const what = std::string(entry.name) + " takes one law data, not ";
            fail_at(what.c_str(), after + 1, close);
        }
        auto const *proto = static_cast<unary_data_law const *>(entry.prototype);
        return build(entry, [&] { return proto->make_one(d.get()); });
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
    std::vector<step> steps_;
    std::vector<value> values_;
};

}  // namespace

long last_law_reading_steps() { return reading_steps; }

law *str_to_law(char const *text, law_data **data, int count) {
    TEST_clear_error();
    reading_steps = 0;
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
