// The names the library registers with its parser, over laws: law.sin(a) is the law SIN(a),
// built by the parser from the registry's prototype, so that every registered function (and
// every function of law data) is there with the parser's own checks of its arguments.
#include <law/core/law_law_data.h>
#include <law/lang/law_list.h>

#include "errors.h"
#include "py_law.h"
#include "syntax.h"

namespace py = pybind11;

namespace law_py {
namespace {

// Each registered name with its kind ("operator", "constant" or "function") and its meaning,
// in the order the classes were registered.
py::list registered_names() {
    std::vector<law const *> prototypes;
    for (law_list const *node = law_list::head(); node; node = node->next())
        if (law const *p = node->prototype(); p && p->symbol() && *p->symbol())
            prototypes.push_back(p);
    py::list out;
    for (auto p = prototypes.rbegin(); p != prototypes.rend(); ++p) {
        char const *kind = law_cast<binary_law>(*p)     ? "operator"
                           : law_cast<constant_law>(*p) ? "constant"
                                                        : "function";
        char const *meaning = law_tool::name_meaning((*p)->symbol());
        out.append(py::make_tuple((*p)->symbol(), kind, meaning ? meaning : ""));
    }
    return out;
}

// NAME(A1, ..., An): each argument a law (or number), written LAWi, or law data, written by its
// kind's name and number as the parser reads them.
py_law apply(std::string const &name, py::args args) {
    if (args.size() == 0) throw py::type_error(name + " needs at least one argument");
    std::vector<law_data_ptr> data;
    std::string text = name + "(";
    for (py::handle a : args) {
        std::string const number = std::to_string(data.size() + 1);
        if (!data.empty()) text += ",";
        if (py::isinstance<py_law_data>(a)) {
            law_data_ptr const &d = a.cast<py_law_data const &>().d;
            text += d->symbol(law_symbol_default) + number;
            data.push_back(d);
        } else {
            law_ptr const l = law_argument(a, (name + "'s arguments").c_str());
            text += "LAW" + number;
            data.push_back(adopt<law_data>(new law_law_data(l.get())));
        }
    }
    return {read_law(text + ")", {}, data)};
}

}  // namespace

void bind_functions(py::module_ &m) {
    m.def("_names", registered_names,
          "The names the library registers: (name, kind, meaning) for each.");
    m.def("_apply", apply, py::arg("name"),
          "The law NAME(args...) of a registered name over laws, numbers and law data.");
}

}  // namespace law_py
