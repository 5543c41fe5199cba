// law info: what a law takes and returns, its class, classification, domains and size.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "arguments.h"
#include "json_text.h"
#include "law_reader.h"
#include "numbers.h"
#include "output_format.h"
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
    if (returns_variably(l)) return "variable number of values";
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

struct input_domain {
    std::string label;  // "input 0 (X)"
    bool known;
    ZEM::interval domain;
};

std::vector<input_domain> domains_of(law const &l) {
    std::map<int, std::string> const names = input_names(l);
    std::vector<input_domain> out;
    for (int i = 0; i < l.take_dim(); ++i) {
        auto const name = names.find(i);
        input_domain d{
            "input " + std::to_string(i) + (name == names.end() ? "" : " (" + name->second + ")"),
            false,
            {}};
        d.known = l.term_domain(i, d.domain);
        out.push_back(d);
    }
    return out;
}

// [low, high], an infinite end null; null when the domain is unknown.
json_array domains_json(std::vector<input_domain> const &domains) {
    json_array all;
    for (input_domain const &d : domains) {
        if (!d.known) {
            all.push_null();
            continue;
        }
        json_array pair;
        if (d.domain.bounded_below())
            pair.push(d.domain.low());
        else
            pair.push_null();
        if (d.domain.bounded_above())
            pair.push(d.domain.high());
        else
            pair.push_null();
        all.push(pair);
    }
    return all;
}

void print_info(law const &l) {
    std::vector<input_domain> const domains = domains_of(l);
    SizeAccumulator size;
    l.full_size(size, 1);
    long const nodes = tree_nodes(&l);
    int const distinct = distinct_nodes(l);
    bool const variable = returns_variably(l);
    if (json_output()) {
        json_object o;
        o.add("expression", l.text()).add("inputs", l.take_dim());
        if (variable)
            o.add_null("outputs");
        else
            o.add("outputs", l.return_dim());
        o.add("class", l.class_name()).add("kind", classification(l));
        o.add("domains", domains_json(domains)).add("memory", size.getSize());
        print_json(o.add("nodes", nodes).add("distinct_nodes", distinct));
        return;
    }
    std::printf("expression: %s\n", l.text().c_str());
    std::printf("inputs: %d\n", l.take_dim());
    if (variable)
        std::printf("outputs: as many as the inputs give\n");
    else
        std::printf("outputs: %d\n", l.return_dim());
    std::printf("class: %s\n", l.class_name());
    std::printf("kind: %s\n", classification(l));
    for (input_domain const &d : domains)
        std::printf("domain of %s: %s\n", d.label.c_str(),
                    d.known ? interval_text(d.domain).c_str() : "unknown");
    std::printf("memory: %zu bytes\n", size.getSize());
    std::printf("nodes: %ld (%d distinct)\n", nodes, distinct);
}

}  // namespace

int run_info(arguments const &args) {
    args.expect_operands(1, 1);
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    try {
        print_info(*l);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    return exit_ok;
}

}  // namespace law_tool
