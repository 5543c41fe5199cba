// law info: what a law takes and returns, its class, classification, domains and size.
#include <cstdio>
#include <map>
#include <string>

#include "arguments.h"
#include "law_reader.h"
#include "numbers.h"
#include "tool.h"

namespace law_tool {
namespace {

// Number of nodes of the tree, a node met twice counting twice.
long tree_nodes(law const *l) {
    if (!l) return 0;
    long n = 1;
    if (auto const *u = law_cast<unary_law>(l)) {
        n += tree_nodes(u->fsub());
    } else if (auto const *b = law_cast<binary_law>(l)) {
        n += tree_nodes(b->fleft()) + tree_nodes(b->fright());
    } else if (auto const *m = law_cast<multiple_law>(l)) {
        for (int i = 0; i < m->fsub_num(); ++i) n += tree_nodes(m->fsub()[i]);
    }
    return n;
}

int distinct_nodes(law const &l) {
    VOID_LIST found;
    l.hasa(law::id(), found);
    return found.count();
}

char const *classification(law const &l) {
    if (l.zero()) return "zero";
    if (l.integer()) return "integer constant";
    if (l.constant()) return "constant";
    if (l.linear()) return "linear";
    return "nonlinear";
}

std::string interval_text(ZEM::interval const &iv) {
    std::string text = iv.bounded_below() ? "[" + number_text(iv.low()) : "(-inf";
    text += ", ";
    text += iv.bounded_above() ? number_text(iv.high()) + "]" : "+inf)";
    return text;
}

// The printed name of each input the tree reads (X, Y, A3, ...), by index.
std::map<int, std::string> input_names(law const &l) {
    VOID_LIST found;
    l.hasa(identity_law::id(), found);
    std::map<int, std::string> names;
    for (int i = 0; i < found.count(); ++i) {
        auto const *x = static_cast<identity_law const *>(static_cast<law const *>(found[i]));
        names.emplace(x->index(), x->text());
    }
    return names;
}

void print_domains(law const &l) {
    std::map<int, std::string> const names = input_names(l);
    for (int i = 0; i < l.take_dim(); ++i) {
        auto const name = names.find(i);
        std::string const label =
            "input " + std::to_string(i) + (name == names.end() ? "" : " (" + name->second + ")");
        ZEM::interval domain;
        if (l.term_domain(i, domain))
            std::printf("domain of %s: %s\n", label.c_str(), interval_text(domain).c_str());
        else
            std::printf("domain of %s: unknown\n", label.c_str());
    }
}

}  // namespace

int run_info(arguments const &args) {
    args.expect_operands(1, 1);
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    try {
        std::printf("expression: %s\n", l->text().c_str());
        std::printf("inputs: %d\n", l->take_dim());
        std::printf("outputs: %d\n", l->return_dim());
        std::printf("class: %s\n", l->class_name());
        std::printf("kind: %s\n", classification(*l));
        print_domains(*l);
        SizeAccumulator size;
        l->full_size(size, 1);
        std::printf("memory: %zu bytes\n", size.getSize());
        std::printf("nodes: %ld (%d distinct)\n", tree_nodes(l.get()), distinct_nodes(*l));
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    return exit_ok;
}

}  // namespace law_tool
