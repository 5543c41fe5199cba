#include <string>
#include <string_view>
#include <vector>

#include <law/core/binary_chain.h>
#include <law/core/constant_law.h>
#include <law/core/deep_tree.h>
#include <law/core/family_members.h>
#include <law/core/pointer_map.h>
#include <law/core/printing.h>
#include <law/core/upper_layers.h>

binary_law::operand::operand(law const *s) : side(s) {
    if (!s) return;
    // Only the library's own leaves: a class derived from them may evaluate otherwise.
    switch (s->type()) {
        case law_id::constant_law:
        case law_id::pi_law:
        case law_id::e_law:
        case law_id::true_law:
        case law_id::false_law:
            kind = constant;
            constant_value = static_cast<constant_law const *>(s)->value();
            break;
        case law_id::identity_law:
            kind = input;
            input_index = static_cast<identity_law const *>(s)->index();
            break;
        default:
            break;
    }
}

binary_law::binary_law(law *left, law *right)
    : left_(left), right_(right), left_operand_(left), right_operand_(right) {
    if (left_) left_->add();
    if (right_) right_->add();
    hold_sub_law(left_);
    hold_sub_law(right_);
}

binary_law::~binary_law() {
    if (left_) left_->remove();
    if (right_) right_->remove();
}

law *binary_law::make_one(law *, law *) const { return nullptr; }

std::vector<law *> binary_law::chain_operands(binary_law const *op) {
    small_list<law *> found;
    collect_chain(op, found);
    return std::vector<law *>(found.data(), found.data() + found.size());
}

int binary_law::take_size() const {
    return std::max(left_ ? left_->take_dim() : 0, right_ ? right_->take_dim() : 0);
}

int binary_law::return_size() const {
    int const n = std::max(left_ ? left_->return_dim() : 0, right_ ? right_->return_dim() : 0);
    return left_ || right_ ? n : 1;
}

namespace {

bool is_letter(char c) { return c >= 'A' && c <= 'Z'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Whether the letters that end the left text run together with an operator written in letters
// into a longer name ("T" before "AND" reads as "TAN").
bool joins_into_name(std::string_view left, std::string_view name) {
    if (name.empty() || !is_letter(name.front()) || left.empty() || !is_letter(left.back()))
        return false;
    std::size_t begin = left.size();
    while (begin > 0 && is_letter(left[begin - 1])) --begin;
    std::string const joined = std::string(left.substr(begin)) + std::string(name);
    auto const name_length_at = upper_layers().name_length_at;
    return name_length_at && name_length_at(joined.c_str()) > static_cast<int>(left.size() - begin);
}

// Whether a product with E before a signed number would read as a number in exponent form
// ("2*E+3" is the number 2E+3 to the reader).
bool reads_as_exponent(std::string_view left, std::string_view name, std::string_view right) {
    std::size_t const n = left.size();
    return (name == "+" || name == "-") && n >= 3 && left.substr(n - 2) == "*E" &&
           is_digit(left[n - 3]) && !right.empty() && is_digit(right.front());
}

}  // namespace

int binary_law::same(law const *a, law const *b) const {
    auto const *x = static_cast<binary_law const *>(a);
    auto const *y = static_cast<binary_law const *>(b);
    // The same sides in the same places: a law rebuilt from them (a simplification that changed
    // nothing below) is equal without flattening its chain.
    if (x->left_ == y->left_ && x->right_ == y->right_) return 1;
    if (!(commutative() && associative()))
        return same_law(x->left_, y->left_) && same_law(x->right_, y->right_);
    // Operands in any order: the two flattened chains are compared as lists (a chain in the
    // same order costs one comparison per operand). Trying the two sides first would repeat
    // the comparison at every level of nested chains, exponentially in their depth.
    small_list<law *> xs, ys;
    collect_chain(x, xs);
    collect_chain(y, ys);
    return xs.size() == ys.size() && same_law_list(xs.data(), ys.data(), xs.size());
}

namespace {

// Prints a binary law and the binary laws below it with a stack of its own, so that a sum of a
// million terms prints in linear time and constant depth of the call stack. Other sub-laws print
// themselves.
class infix_printer {
  public:
    infix_printer(law_symbol_type type, int &count, law_data_node *&list)
        : type_(type), count_(count), list_(list) {}

    std::string run(binary_law const *root) {
        enter(root);
        while (!stack_.empty()) step();
        return std::move(out_);
    }

  private:
    enum class stage { left, right, done };
    struct frame {
        binary_law const *node;
        stage next = stage::left;
        std::size_t left_start = 0, name_start = 0, right_start = 0;
        bool wrap_left = false, wrap_right = false;
    };

    // Whether a side takes brackets by precedence: a chain of one associative operator does not.
    static bool wraps(binary_law const *op, law const *side) {
        bool const chain = side->type() == op->type() && op->associative();
        return !chain && side->precedence() <= op->precedence();
    }

    void enter(law const *l) {
        if (l && l->isa(law_id::binary_law))
            stack_.push_back({static_cast<binary_law const *>(l)});
        else
            out_ += sub_text(l, type_, count_, list_);
    }

    void step() {
        frame &f = stack_.back();
        law const *left = f.node->fleft(), *right = f.node->fright();
        switch (f.next) {
            case stage::left:
                f.next = stage::right;
                f.left_start = out_.size();
                f.wrap_left = left && wraps(f.node, left);
                if (f.wrap_left) out_ += '(';
                enter(left);  // may invalidate f
                return;
            case stage::right: {
                f.next = stage::done;
                std::string_view const name = f.node->symbol(law_symbol_default);
                close_left(f, name);
                f.name_start = out_.size();
                out_ += name;
                f.right_start = out_.size();
                f.wrap_right = right && wraps(f.node, right);
                if (f.wrap_right) out_ += '(';
                enter(right);
                return;
            }
            case stage::done:
                close_right(f);
                stack_.pop_back();
                return;
        }
    }

    void close_left(frame const &f, std::string_view name) {
        if (f.wrap_left) {
            out_ += ')';
        } else if (joins_into_name(std::string_view(out_).substr(f.left_start), name)) {
            out_.insert(f.left_start, 1, '(');
            out_ += ')';
        }
    }

    void close_right(frame const &f) {
        std::string_view const all(out_);
        if (f.wrap_right) {
            out_ += ')';
        } else if (reads_as_exponent(all.substr(f.left_start, f.name_start - f.left_start),
                                     all.substr(f.name_start, f.right_start - f.name_start),
                                     all.substr(f.right_start))) {
            out_.insert(f.right_start, 1, '(');
            out_ += ')';
        }
    }

    law_symbol_type type_;
    int &count_;
    law_data_node *&list_;
    std::string out_;
    std::vector<frame> stack_;
};

}  // namespace

char *binary_law::string(law_symbol_type type, int &count, law_data_node *&list) const {
    return print_collecting(count, list, [&](int &n, law_data_node *&l) {
        return infix_printer(type, n, l).run(this);
    });
}

int binary_law::date() const {
    return std::max({law_base_date, left_ ? left_->date() : 0, right_ ? right_->date() : 0});
}

law *binary_law::deep_copy(pointer_map *map) const {
    scoped_pointer_map const m(map);
    deep_copy_scope const scope(this, m.get());
    law_ptr const l = left_ ? adopt(pm_get_law(m.get(), left_)) : law_ptr();
    law_ptr const r = right_ ? adopt(pm_get_law(m.get(), right_)) : law_ptr();
    return make_one(l.get(), r.get());
}

int binary_law::term_domain(int which, ZEM::interval &out) const {
    out = ZEM::interval();
    // Sides already known to range over the whole line (most, once asked) leave nothing to meet.
    auto const whole = [which](law const *s) { return s && s->whole_line_domain(which, false); };
    if (whole(left_) && whole(right_)) return 1;
    term_domain_scope const scope(this, which);
    ZEM::interval side;
    int ok = 1;
    // Every binary law in a chain of one class meets the domains of its sides: the chain's
    // operands are met in one walk, however long the chain, down to the laws whose domains a
    // deep tree's scope holds. A part of the chain, or an operand, known to range over the whole
    // line adds nothing and is not entered.
    int const t = type();
    small_list<law const *> pending;
    pending.push_back(right_);
    pending.push_back(left_);
    while (!pending.empty()) {
        law const *s = pending.back();
        pending.pop_back();
        if (!s) continue;
        if (s->type() == t && !term_domain_scope::holds(s, which)) {
            if (s->whole_line_domain(which, false)) continue;
            auto const *b = static_cast<binary_law const *>(s);
            pending.push_back(b->right_);
            pending.push_back(b->left_);
            continue;
        }
        if (s->whole_line_domain(which)) continue;
        if (!term_domain_scope::sub_term_domain(s, which, side)) ok = 0;
        out &= side;
    }
    return ok;
}

int binary_law::in_domain(double const *x) const {
    in_domain_scope const scope(this, x);
    return (!left_ || in_domain_scope::sub_in_domain(left_, x)) &&
           (!right_ || in_domain_scope::sub_in_domain(right_, x));
}

law *binary_law::set_domain(ZEM::interval const *domains, int flag) const {
    domain_scope const scope(this, domains);
    law_ptr const l = left_ ? adopt(domain_scope::restricted_sub(left_, domains)) : law_ptr();
    law_ptr const r = right_ ? adopt(domain_scope::restricted_sub(right_, domains)) : law_ptr();
    return family::restricted(this, adopt(make_one(l.get(), r.get())), domains, flag);
}

void binary_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(binary_law));
    full_size_caches(acc);
    if (left_) left_->full_size(acc, 1);
    if (right_) right_->full_size(acc, 1);
}

void binary_law::hasa(int type, VOID_LIST &out) const {
    shared_walk const walk;
    if (!shared_walk::first_visit(this)) return;
    if (left_) left_->hasa(type, out);
    if (right_) right_->hasa(type, out);
    law::hasa(type, out);
}

std::vector<singular_point> binary_law::member_singular_points(double start, double end) const {
    law *const subs[] = {left_, right_};
    return singularities_scope::member_points(this, subs, start, end);
}

int binary_law::singularities(double **where, int **type, double start, double end,
                              double **period) const {
    return hand_out_singular_points(member_singular_points(start, end), start, end, where, type,
                                    period);
}
