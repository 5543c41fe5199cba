// law code: the C++ constructor calls that rebuild a law, as the library's code generator writes
// them, or the law as a plain C++ function.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "arguments.h"
#include "json_text.h"
#include "law_reader.h"
#include "output_format.h"
#include "tool.h"

namespace law_tool {
namespace {

bool holds_law_data(law const &l) {
    VOID_LIST found;
    l.hasa(unary_data_law::id(), found);
    l.hasa(multiple_data_law::id(), found);
    return found.count() > 0;
}

std::string function_text(std::span<law const *const> laws, std::string const &name) {
    law_function_code const f = law_function(laws, name.c_str());
    if (f.code.empty()) throw tool_error("cannot write the law as a plain function: " + f.refusal);
    return f.code;
}

// What print writes through the library's debug output, caught in memory.
template <class Print>
std::string printed_text(Print const &print) {
    char *buf = nullptr;
    std::size_t size = 0;
    FILE *memory = open_memstream(&buf, &size);
    if (!memory) throw tool_error("cannot hold the generated code in memory");
    FILE *const before = debug_file_ptr;
    set_debug_file(memory);
    try {
        print();
    } catch (...) {
        set_debug_file(before);
        std::fclose(memory);
        std::free(buf);
        throw;
    }
    set_debug_file(before);
    std::fclose(memory);
    std::string text(buf, size);
    std::free(buf);
    return text;
}

void print_code(std::string const &text) {
    if (json_output())
        print_json(json_object().add("code", text));
    else
        std::fputs(text.c_str(), stdout);
}

// The function, and with --deriv NAME_gradient of the partial derivatives by each input.
int write_function(law const &l, std::string const &name, bool gradient) {
    // A function name is what the generator takes as a prefix: an identifier, no keyword.
    if (!lawcode::names_usable(nullptr, name.c_str()))
        throw usage_error("--function '" + name + "' must be a C++ identifier and no keyword");
    if (holds_law_data(l))
        throw tool_error("cannot write the law as a plain function: it holds law data");
    law const *const self[] = {&l};
    std::string text = "#include <cmath>\n\n" + function_text(self, name);
    if (gradient) {
        if (l.return_dim() != 1) throw tool_error("--deriv needs a law of one output");
        std::vector<law_ptr> held;
        std::vector<law const *> partials;
        for (int i = 0; i < l.take_dim(); ++i) {
            held.push_back(adopt(l.derivative(i)));
            partials.push_back(held.back().get());
        }
        if (partials.empty()) throw tool_error("--deriv needs a law of at least one input");
        text += "\n" + function_text(partials, name + "_gradient");
    }
    print_code(text);
    return exit_ok;
}

}  // namespace

int run_code(arguments const &args) {
    args.expect_operands(1, 1);
    law_reader const reader(args);
    if (auto const function = args.value("function")) {
        law_ptr const l = reader.read(args.operand(0));
        return write_function(*l, std::string(*function), args.has("deriv"));
    }
    if (args.has("deriv")) throw usage_error("--deriv goes with --function");
    std::string const name(args.value("name").value_or("f"));
    std::string const prefix(args.value("prefix").value_or("p"));
    if (!lawcode::names_usable(name.c_str(), prefix.c_str()))
        throw usage_error("--name '" + name + "' and --prefix '" + prefix +
                          "' must make C++ variable names (identifiers, no keywords; the name "
                          "may be an array element such as out[2] and no prefix-and-number "
                          "variable)");
    law_ptr const l = reader.read(args.operand(0));
    if (holds_law_data(*l))
        throw tool_error("the law holds law data, which generated code cannot construct");
    lawcode const code(l.get(), name.c_str(), prefix.c_str());
    if (!json_output()) {
        code.print();
        return exit_ok;
    }
    print_code(printed_text([&] { code.print(); }));
    return exit_ok;
}

}  // namespace law_tool
