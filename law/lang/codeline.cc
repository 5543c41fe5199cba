#include <law/lang/codeline.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <law/base/output.h>
#include <law/core/binary_law.h>
#include <law/core/constant_law.h>
#include <law/core/multiple_law.h>
#include <law/core/thread_context.h>
#include <law/core/unary_law.h>
#include <law/lang/cpp_literal.h>
#include <law/lang/law_members.h>
#include <law/lang/pastlawcode.h>

namespace {

std::string format(char const *fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(char const *fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    int const n = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    std::string out(static_cast<std::size_t>(n), '\0');
    std::vsnprintf(out.data(), out.size() + 1, fmt, again);
    va_end(again);
    return out;
}

int &running_number() { return lawutil_context()->generated_variables; }

// The constructor argument of a constant: its value, written so that it reads back exactly. The
// named constants take no argument.
std::string constant_argument(constant_law const *k) {
    return k->type() == constant_law::id() ? cpp_double_literal(k->value()) : "";
}

}  // namespace

// Writes the lines of one law tree after its first line. Work waits on an explicit stack rather
// than on the call stack; a binary law's text is finished only after its left side's lines,
// whose numbers decide the variable of the right side.
class code_writer {
  public:
    code_writer(codeline *first, char const *prefix)
        : tail_(first), prefix_(prefix ? prefix : "") {}

    void write(law const *l, char const *name) {
        count_nodes(l);
        fill(tail_, l, name ? name : "");
        while (!work_.empty()) {
            task t = std::move(work_.back());
            work_.pop_back();
            run(t);
        }
    }

  private:
    struct task {
        enum kind_t { line, right_side, declaration } kind;
        law const *l = nullptr;
        std::string text;  // line: its name ("" for none); right_side: the comment; declaration
        codeline *left_line = nullptr;  // right_side: the line the right side completes
        bool named = false;             // right_side: the binary law's line has a name
        bool commented = false;         // right_side: it ends with a comment
    };

    // How a line names what it builds: "law *f" (named), "p1[0]" (an element of a law array,
    // declared elsewhere) or "law *p3" (anonymous, taking the next number).
    struct head {
        std::string declared;
        std::string variable;
        bool commented;  // every line but a named one without "[" carries a comment and clean-up
        int number;      // of an anonymous line; -1 otherwise
    };

    head head_of(char const *name) {
        if (*name) {
            bool const element = std::strchr(name, '[') != nullptr;
            return {element ? name : "law *" + std::string(name), name, element, -1};
        }
        int const n = running_number()++;
        std::string const v = prefix_ + std::to_string(n);
        return {"law *" + v, v, true, n};
    }

    void run(task const &t) {
        switch (t.kind) {
            case task::line:
                fill(append(), t.l, t.text.c_str());
                break;
            case task::right_side:
                right_side(t);
                break;
            case task::declaration:
                append()->text_ = zem_new_str_from(t.text.c_str());
                break;
        }
    }

    codeline *append() {
        codeline *c = new codeline;
        c->prev_ = tail_;
        tail_->next_ = c;
        return tail_ = c;
    }

    void finish(codeline *c, head const &h, std::string const &text) {
        c->text_ = zem_new_str_from(text.c_str());
        if (h.commented) c->remove_text_ = zem_new_str_from((h.variable + "->remove();\n").c_str());
    }

    void push_line(law const *l, std::string name = {}) {
        work_.push_back({task::line, l, std::move(name)});
    }

    // The line of l, tested family by family; a law of law data gets an empty line.
    void fill(codeline *c, law const *l, char const *name) {
        if (!l) law_error(LAW_EVAL);
        if (auto const *k = law_cast<constant_law>(l))
            return leaf(c, l, name, constant_argument(k));
        if (law_isa<identity_law>(l)) return leaf(c, l, name, std::to_string(l->take_dim() - 1));
        if (auto const *u = law_cast<unary_law>(l)) return unary(c, u, name);
        if (auto const *b = law_cast<binary_law>(l)) return binary(c, b, name);
        if (auto const *m = law_cast<multiple_law>(l)) return multiple(c, m, name);
    }

    void leaf(codeline *c, law const *l, char const *name, std::string const &argument) {
        head const h = head_of(name);
        char const *const cls = l->class_name();
        std::string const note = h.commented ? comment(l) : "";
        finish(c, h,
               h.commented
                   ? format("%s= new %s(%s);   // %s\n", h.declared.c_str(), cls, argument.c_str(),
                            note.c_str())
                   : format("%s= new %s(%s);\n", h.declared.c_str(), cls, argument.c_str()));
        if (h.number >= 0) record(l, h.number);
    }

    void unary(codeline *c, unary_law const *l, char const *name) {
        head const h = head_of(name);
        int const member = running_number();
        char const *const cls = l->class_name();
        std::string const note = h.commented ? comment(l) : "";
        finish(c, h,
               h.commented ? format("%s= new %s(%s%d);  // %s;\n", h.declared.c_str(), cls,
                                    prefix_.c_str(), member, note.c_str())
                           : format("%s= new %s(%s%d);\n", h.declared.c_str(), cls, prefix_.c_str(),
                                    member));
        push_line(l->fsub());
    }

    // The text up to the left side's variable now; the rest once the left side's lines are done.
    void binary(codeline *c, binary_law const *l, char const *name) {
        head const h = head_of(name);
        finish(c, h,
               format("%s= new %s(%s%d", h.declared.c_str(), l->class_name(), prefix_.c_str(),
                      running_number()));
        work_.push_back({task::right_side, l->fright(), h.commented ? comment(l) : "", c,
                         *name != '\0', h.commented});
        push_line(l->fleft());
    }

    // A named binary law skips one number between its two sides.
    void right_side(task const &t) {
        if (t.named) ++running_number();
        int const m = running_number();
        std::string const piece =
            t.commented ? format(",%s%d);   // %s\n", prefix_.c_str(), m, t.text.c_str())
                        : format(",%s%d);\n", prefix_.c_str(), m);
        codeline *const c = t.left_line;
        char *const joined = zem_new_str_from((std::string(c->text_) + piece).c_str());
        vorn_discard(std::exchange(c->text_, joined));
        push_line(t.l);
    }

    // The members go into a law array: one element line each, then the array's declaration,
    // which prints before them. The members' own sub-lines take numbers after the array's.
    void multiple(codeline *c, multiple_law const *l, char const *name) {
        head const h = head_of(name);
        if (*name) ++running_number();
        int const a = running_number();
        int const k = l->fsub_num();
        char const *const cls = l->class_name();
        std::string const note = h.commented ? comment(l) : "";
        finish(c, h,
               h.commented ? format("%s= new %s(%s%d,%d);   // %s\n", h.declared.c_str(), cls,
                                    prefix_.c_str(), a, k, note.c_str())
                           : format("%s= new %s(%s%d,%d);\n", h.declared.c_str(), cls,
                                    prefix_.c_str(), a, k));
        running_number() = a + 1;
        work_.push_back(
            {task::declaration, nullptr, format("law *%s%d[%d];\n", prefix_.c_str(), a, k)});
        law *const *const subs = l->fsub();
        for (int i = k; i-- > 0;)
            push_line(subs ? subs[i] : nullptr, format("%s%d[%d]", prefix_.c_str(), a, i));
    }

    // Adds a record of an anonymous leaf to the thread's list unless an earlier record is past
    // equal to it. Leaves are found among the records by class and value, so that a tree of many
    // distinct leaves is not searched record by record.
    void record(law const *l, int number) {
        lawutil_thread_ctx *const ctx = lawutil_context();
        if (!ctx->record_head) return;
        double const key = law_isa<constant_law>(l) ? static_cast<constant_law const *>(l)->value()
                                                    : l->take_dim();
        if (key == key) {
            if (recorded_like(l, key)) return;
            recorded_.emplace(std::pair(l->type(), key), l);
        }
        ctx->record_tail = new pastlawcode(ctx->record_tail, const_cast<law *>(l), number);
    }

    bool recorded_like(law const *l, double key) const {
        constexpr double near = 2e-14;  // wider than the tolerance of `same` for constants
        for (auto it = recorded_.lower_bound({l->type(), key - near});
             it != recorded_.end() && it->first.first == l->type() &&
             it->first.second <= key + near;
             ++it) {
            law const *const seen = it->second;
            if (seen == l || seen->same(seen, l)) return true;
        }
        return false;
    }

    // The printed form of a law as a line's comment. A long one is cut and that of a large tree
    // not made at all, so that the program, and the time to write it, stay linear in the tree;
    // line breaks would end the comment early.
    std::string comment(law const *l) const {
        constexpr long most_nodes = 40;
        constexpr std::size_t longest = 100;
        if (long const n = nodes_.at(l); n > most_nodes)
            return std::string(l->class_name()) + " of " + std::to_string(n) + " nodes";
        std::string text = l->text();
        for (char &c : text)
            if (c == '\n' || c == '\r') c = ' ';
        if (text.size() > longest) text = text.substr(0, longest - 3) + "...";
        return text;
    }

    // The number of nodes of each sub-tree as printing meets them (a shared one each time),
    // saturated far beyond what a comment prints.
    void count_nodes(law const *root) {
        constexpr long saturated = 1L << 40;
        std::vector<std::pair<law const *, bool>> todo{{root, false}};
        while (!todo.empty()) {
            auto const [l, members_done] = todo.back();
            todo.pop_back();
            if (!l || nodes_.count(l)) continue;
            std::vector<law const *> const members = law_members(l);
            if (!members_done) {
                todo.push_back({l, true});
                for (law const *m : members) todo.push_back({m, false});
                continue;
            }
            long n = 1;
            for (law const *m : members) n = std::min(saturated, n + (m ? nodes_.at(m) : 0));
            nodes_[l] = n;
        }
    }

    codeline *tail_;
    std::string prefix_;
    std::unordered_map<law const *, long> nodes_;
    std::vector<task> work_;
    std::multimap<std::pair<int, double>, law const *> recorded_;
};

codeline::codeline(law *l, char *name, char const *prefix) {
    if (!l) {
        text_ = name;
        return;
    }
    try {
        code_writer(this, prefix).write(l, name);
    } catch (...) {
        destroy_chain(std::exchange(next_, nullptr));
        vorn_discard(text_);
        vorn_discard(remove_text_);
        throw;
    }
}

codeline::~codeline() {
    vorn_discard(text_);
    vorn_discard(remove_text_);
}

void codeline::destroy_chain(codeline *first) {
    while (first) delete std::exchange(first, first->next_);
}

void codeline::add(law *l, char *name, char const *prefix) {
    codeline *last = this;
    while (last->next_) last = last->next_;
    codeline *const c = new codeline(l, name, prefix);
    c->prev_ = last;
    last->next_ = c;
}

void codeline::print() const {
    if (text_) zem_printf("%s", text_);
}

void codeline::remove_print() const {
    if (remove_text_) zem_printf("%s", remove_text_);
}
