#include "searches.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "arguments.h"
#include "law_reader.h"
#include "numbers.h"
#include "tool.h"

namespace law_tool {

void check_one_variable(law const &l, char const *what) {
    if (l.take_dim() > 1 || l.return_dim() != 1)
        throw tool_error(std::string(what) +
                         " needs a law of one input and one output; this one takes " +
                         count_text(l.take_dim(), "input") + " and returns " +
                         count_text(l.return_dim(), "value"));
}

std::string_view method_of(arguments const &args, std::initializer_list<char const *> names) {
    if (!args.has("method")) return *names.begin();
    std::string_view const given = *args.value("method");
    std::string list;
    for (char const *name : names) {
        if (given == name) return name;
        list += list.empty() ? name : std::string(" or ") + name;
    }
    throw usage_error("--method is " + list + ", not '" + std::string(given) + "'");
}

void report_law_error_in_full(vorn_exception const &e) {
    std::string text = e.what();
    // what() is "CODE: message (detail)": the code is for programs.
    std::string const code = std::string(e.code_name()) + ": ";
    if (text.rfind(code, 0) == 0) text.erase(0, code.size());
    throw tool_error(text);
}

namespace {
std::vector<double> nroot_roots(law const &l, double a, double b) {
    int n = 0;
    double *r = nullptr;
    try {
        r = Nroot(const_cast<law *>(&l), a, b, &n);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    vorn_ptr<double> const held(r);
    return r ? std::vector<double>(r, r + n) : std::vector<double>();
}

void note_report(root_report const &r, unresolved_search unresolved) {
    for (auto const &z : r.zero_stretches)
        std::fprintf(stderr, "law: note: the law is zero on all of [%s, %s]\n",
                     number_text(z.first).c_str(), number_text(z.second).c_str());
    if (r.complete) return;
    char const *const what = missing_roots_reason(r);
    if (unresolved == unresolved_search::fail)
        throw tool_error(std::string(what) + "; --keep prints the roots found");
    std::fprintf(stderr,
                 "law: warning: %s; where it was not resolved, roots are those of sign "
                 "changes\n",
                 what);
}
}  // namespace

std::vector<double> roots_of(law const &l, double a, double b, bool by_nroot,
                             unresolved_search unresolved) {
    if (by_nroot) return nroot_roots(l, a, b);
    root_report r;
    try {
        r = all_roots(&l, a, b);
    } catch (vorn_exception const &e) {
        report_law_error_in_full(e);
    }
    if (unresolved != unresolved_search::quiet) note_report(r, unresolved);
    return r.roots;
}

std::vector<double> extrema_of(law const &l, double a, double b) {
    law_ptr d;
    try {
        d = adopt(l.derivative(0));
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    std::vector<double> out;
    for (double x : roots_of(*d, a, b)) {
        double const h = 1e-6 * std::max(1.0, std::fabs(b - a));
        if (x - h <= a || x + h >= b) continue;
        if (d->eval(x - h) * d->eval(x + h) < 0) out.push_back(x);
    }
    return out;
}

}  // namespace law_tool
