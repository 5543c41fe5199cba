// law code: the C++ constructor calls that rebuild a law, as the library's code generator writes
// them.
#include <string>

#include "arguments.h"
#include "law_reader.h"
#include "tool.h"

namespace law_tool {
namespace {

bool holds_law_data(law const &l) {
    VOID_LIST found;
    l.hasa(unary_data_law::id(), found);
    l.hasa(multiple_data_law::id(), found);
    return found.count() > 0;
}

}  // namespace

int run_code(arguments const &args) {
    args.expect_operands(1, 1);
    std::string const name(args.value("name").value_or("f"));
    std::string const prefix(args.value("prefix").value_or("p"));
    if (!lawcode::names_usable(name.c_str(), prefix.c_str()))
        throw usage_error("--name '" + name + "' and --prefix '" + prefix +
                          "' must make C++ variable names (identifiers, no keywords; the name "
                          "may be an array element such as out[2] and no prefix-and-number "
                          "variable)");
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    if (holds_law_data(*l))
        throw tool_error("the law holds law data, which generated code cannot construct");
    lawcode const code(l.get(), name.c_str(), prefix.c_str());
    code.print();
    return exit_ok;
}

}  // namespace law_tool
