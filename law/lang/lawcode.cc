#include <law/lang/lawcode.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>

#include <law/base/output.h>
#include <law/core/law.h>
#include <law/core/thread_context.h>
#include <law/lang/codeline.h>
#include <law/lang/pastlawcode.h>

namespace {

constexpr std::string_view cpp_keywords[] = {"alignas",       "alignof",     "and",
                                             "and_eq",        "asm",         "auto",
                                             "bitand",        "bitor",       "bool",
                                             "break",         "case",        "catch",
                                             "char",          "char8_t",     "char16_t",
                                             "char32_t",      "class",       "compl",
                                             "concept",       "const",       "consteval",
                                             "constexpr",     "constinit",   "const_cast",
                                             "continue",      "co_await",    "co_return",
                                             "co_yield",      "decltype",    "default",
                                             "delete",        "do",          "double",
                                             "dynamic_cast",  "else",        "enum",
                                             "explicit",      "export",      "extern",
                                             "false",         "float",       "for",
                                             "friend",        "goto",        "if",
                                             "inline",        "int",         "long",
                                             "mutable",       "namespace",   "new",
                                             "noexcept",      "not",         "not_eq",
                                             "nullptr",       "operator",    "or",
                                             "or_eq",         "private",     "protected",
                                             "public",        "register",    "reinterpret_cast",
                                             "requires",      "return",      "short",
                                             "signed",        "sizeof",      "static",
                                             "static_assert", "static_cast", "struct",
                                             "switch",        "template",    "this",
                                             "thread_local",  "throw",       "true",
                                             "try",           "typedef",     "typeid",
                                             "typename",      "union",       "unsigned",
                                             "using",         "virtual",     "void",
                                             "volatile",      "wchar_t",     "while",
                                             "xor",           "xor_eq"};

bool identifier_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// A C++ identifier that is no keyword, nor "law", the type every line declares.
bool identifier(std::string_view s) {
    return !s.empty() && s != "law" && !std::isdigit(static_cast<unsigned char>(s[0])) &&
           std::all_of(s.begin(), s.end(), identifier_char) &&
           std::find(std::begin(cpp_keywords), std::end(cpp_keywords), s) == std::end(cpp_keywords);
}

// A name: an identifier, or an element of a law array the caller declares ("a[3]"), that is not
// one of the numbered variables the prefix makes.
bool usable_name(std::string_view name, std::string_view prefix) {
    std::string_view base = name;
    if (auto const open = name.find('['); open != std::string_view::npos) {
        std::string_view const index = name.substr(open + 1);
        if (index.size() < 2 || index.back() != ']' ||
            !std::all_of(index.begin(), index.end() - 1,
                         [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            return false;
        base = name.substr(0, open);
    }
    if (!identifier(base)) return false;
    std::string_view const rest = base.substr(std::min(prefix.size(), base.size()));
    bool const numbered = base.starts_with(prefix) && !rest.empty() &&
                          std::all_of(rest.begin(), rest.end(), [](char c) {
                              return std::isdigit(static_cast<unsigned char>(c));
                          });
    return !numbered;
}

// The thread's record list for the time of one generation, destroyed on every way out.
class record_list {
  public:
    record_list() {
        lawutil_thread_ctx *const ctx = lawutil_context();
        ctx->record_head = ctx->record_tail = new pastlawcode(nullptr, nullptr, -1);
    }
    ~record_list() {
        lawutil_thread_ctx *const ctx = lawutil_context();
        delete ctx->record_head;
        ctx->record_head = ctx->record_tail = nullptr;
    }
    record_list(record_list const &) = delete;
    record_list &operator=(record_list const &) = delete;
};

}  // namespace

lawcode::lawcode(law *l, char const *name, char const *prefix) {
    if (!l) law_error(LAW_EVAL);
    if (!names_usable(name, prefix)) law_error(LAW_SYNTAX);
    lawutil_context()->generated_variables = 0;
    record_list const records;
    // A line of a law reads its name and leaves it to the caller ("" stands for none).
    std::string own_name = name ? name : "";
    first_ = new codeline(l, own_name.data(), prefix);
    law_ = l;
    law_->add();
}

lawcode::~lawcode() {
    codeline::destroy_chain(first_);
    law_->remove();
}

bool lawcode::names_usable(char const *name, char const *prefix) {
    return prefix && identifier(prefix) && (!name || !*name || usable_name(name, prefix));
}

void lawcode::print() const {
    zem_printf("\n// Automatic code for the law\n");
    zem_printf("// %s\n\n", law_->text().c_str());
    codeline const *last = first_;
    while (last->next()) last = last->next();
    for (codeline const *c = last; c; c = c->prev()) c->print();
    zem_printf("\n// clean up\n\n");
    for (codeline const *c = first_; c; c = c->next()) c->remove_print();
    zem_printf("\n// End of Automatic code\n\n");
}
