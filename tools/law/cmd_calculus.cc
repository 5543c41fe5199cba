// law deriv and law simplify.
#include <cstdio>

#include "arguments.h"
#include "calculus.h"
#include "law_reader.h"
#include "numbers.h"
#include "tool.h"

namespace law_tool {
namespace {

// Restores the debug output when the trace is done, whatever happens.
class debug_output_to {
  public:
    explicit debug_output_to(FILE *f) : saved_(debug_file_ptr) { set_debug_file(f); }
    ~debug_output_to() { set_debug_file(saved_); }
    debug_output_to(debug_output_to const &) = delete;
    debug_output_to &operator=(debug_output_to const &) = delete;

  private:
    FILE *saved_;
};

// What the rules make of l at the given level, the trace (when asked for) on standard error.
law_ptr simplified(law const &l, int level, int trace) {
    law_ptr simple;
    std::fflush(stdout);
    {
        debug_output_to const trace_output(stderr);
        try {
            simple = adopt(law_simplify(&l, level, trace));
        } catch (vorn_exception const &e) {
            report_law_error(e);
        }
        std::fflush(stderr);
    }
    if (!simple) throw tool_error("the law could not be simplified");
    return simple;
}

}  // namespace

void check_input_index(char const *what, int wrt, law const &l) {
    // A law of no input still has a derivative by input 0: zero.
    if (wrt > 0 && wrt >= l.take_dim())
        throw usage_error(std::string(what) + " " + std::to_string(wrt) + " is past the law's " +
                          count_text(l.take_dim(), "input") + " (they are numbered from 0)");
}

law_ptr nth_derivative(law const &l, int wrt, int order) {
    law_ptr d;
    try {
        d = adopt(repeated_derivative(&l, wrt, order));
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    if (!d) throw tool_error("the law has no derivative");
    return d;
}

int run_deriv(arguments const &args) {
    args.expect_operands(1, 1);
    int const wrt = args.has("wrt") ? read_int_option("wrt", *args.value("wrt"), 0, 999) : 0;
    int const order = args.has("order") ? read_int_option("order", *args.value("order"), 0, 64) : 1;
    int const level = args.has("level") ? read_int_option("level", *args.value("level"), 1, 2) : 1;
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    check_input_index("--wrt", wrt, *l);
    law_ptr d = nth_derivative(*l, wrt, order);
    if (level > 1) d = simplified(*d, level, 0);
    std::printf("%s\n", d->text().c_str());
    return exit_ok;
}

int run_simplify(arguments const &args) {
    args.expect_operands(1, 1);
    int const level = args.has("level") ? read_int_option("level", *args.value("level"), 0, 2) : 1;
    int trace = 0;
    if (std::optional<std::string_view> const t = args.value("trace"))
        trace = t->empty() ? 1 : read_int_option("trace", *t, 0, 9);
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    std::printf("%s\n", simplified(*l, level, trace)->text().c_str());
    return exit_ok;
}

}  // namespace law_tool
