// Reads any text as a law; what reads is printed, read again, printed again and read a third
// time. Nothing may crash or leak, the second print must equal the first, and the law read from
// it must equal the law it was printed from. A small law that reads is also evaluated at a few
// points, differentiated, simplified, written as C++ by the code generator and searched for
// roots; the library's own errors are answers there, crashes are not.
//
//   ./parse_fuzz -max_total_time=60 -max_len=4096 corpus/
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <law/law.h>

namespace {

// Two laws the texts may refer to as LAW1 and LAW2, and a curve when one is registered. Made
// once and kept to the end of the process: laws are not released during static destruction.
struct references {
    std::vector<law_data *> data;
    references() {
        law_ptr const x_plus_1 = adopt(str_to_law("X+1"));
        law_ptr const sin_y = adopt(str_to_law("SIN(Y)"));
        data.push_back(new law_law_data(x_plus_1.get()));
        data.push_back(new law_law_data(sin_y.get()));
        if (law_data const *line = get_law_data("LINE")) data.push_back(line->deep_copy());
    }
};

struct printed {
    std::string text;
    std::vector<law_data_ptr> held;
    std::vector<law_data *> data;

    explicit printed(law const *l) {
        law_data **array = nullptr;
        int count = 0;
        char *t = l->string_and_data(&array, &count);
        text = t;
        vorn_discard(t);
        for (int i = 0; i < count; ++i) {
            held.push_back(adopt(array[i]));
            data.push_back(array[i]);
        }
        vorn_discard(array);
    }
    law_ptr read() const {
        return adopt(str_to_law(text.c_str(), const_cast<law_data **>(data.data()),
                                static_cast<int>(data.size())));
    }
};

// Runs one operation of the library on a law that read; the library's own errors are answers.
template <class Operation>
void exercise(Operation &&operation) {
    try {
        operation();
    } catch (vorn_exception const &) {
    }
}

// The expensive stages see only small laws: the simplifier compares operands of a chain in
// pairs and a derivative can multiply the size of its law, so their work grows much faster than
// the text; laws of at most this many printed characters and inputs keep every input within
// milliseconds, while the reading stages above see every size.
constexpr std::size_t small_text = 96;
constexpr int small_inputs = 3;

void evaluate_at(law const &l, double t) {
    std::vector<double> x(static_cast<std::size_t>(std::max(l.take_dim(), 1)), t);
    std::vector<double> y(static_cast<std::size_t>(std::max(l.return_dim(), 1)));
    exercise([&] { l.evaluate(x.data(), y.data()); });
}

// The root search differentiates its law three times, and each derivative of a short tower of
// powers is tens of times the size of its law (forty characters make 18 million laws): it sees
// the laws whose first derivative stays small.
constexpr std::uint64_t small_derivative = 400;

void use(law *l, std::string const &text) {
    if (text.size() > small_text || l->take_dim() > small_inputs || l->return_dim() > 16) return;
    for (double t : {0.0, 0.7, -2.5}) evaluate_at(*l, t);
    std::uint64_t derivative_size = small_derivative + 1;
    exercise([&] {
        law_ptr const d = adopt(l->derivative(0));
        derivative_size = d->tree_size();
        evaluate_at(*d, 0.7);
    });
    exercise([&] {
        law_ptr const s = adopt(l->simplify());
        evaluate_at(*s, 0.7);
    });
    exercise([&] { lawcode const code(l, "f", "t"); });
    if (l->take_dim() <= 1 && l->return_dim() == 1 && derivative_size <= small_derivative) {
        exercise([&] {
            int n = 0;
            vorn_discard(Nroot(l, -2.0, 3.0, &n));
        });
    }
}

[[noreturn]] void failure(char const *what, std::string const &a, std::string const &b) {
    std::fprintf(stderr, "%s\n  first:  %s\n  second: %s\n  message: %s\n", what, a.c_str(),
                 b.c_str(), TEST_get_error());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const *bytes, std::size_t size) {
    static references const *refs = new references;
    std::string const input(reinterpret_cast<char const *>(bytes), size);
    law_ptr const first =
        adopt(str_to_law(input.c_str(), const_cast<law_data **>(refs->data.data()),
                         static_cast<int>(refs->data.size())));
    if (!first) return 0;
    printed const p1(first.get());
    use(first.get(), p1.text);
    law_ptr const second = p1.read();
    if (!second) failure("a printed law does not read back", p1.text, "");
    printed const p2(second.get());
    if (p2.text != p1.text) failure("printing changed after reading", p1.text, p2.text);
    law_ptr const third = p2.read();
    if (!third) failure("a printed law does not read back", p2.text, "");
    if (!(*third == *second)) failure("read back unequal", p2.text, printed(third.get()).text);
    return 0;
}
