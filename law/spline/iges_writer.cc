#include <cstdio>
#include <ctime>
#include <fstream>

#include <law/spline/exchange_real.h>
#include <law/spline/iges_writer.h>
#include <law/spline/utc_time.h>

namespace {

// Fields of the global section after the two delimiters, with strings in Hollerith form.
std::string hollerith(std::string const &s) { return std::to_string(s.size()) + "H" + s; }

// Lays fields (each followed by its delimiter) into lines of at most width columns, never
// splitting a field.
std::vector<std::string> lay_out(std::vector<std::string> const &fields, std::size_t width) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string const f = fields[i] + (i + 1 == fields.size() ? ";" : ",");
        if (!lines.back().empty() && lines.back().size() + f.size() > width) lines.emplace_back();
        lines.back() += f;
    }
    return lines;
}

std::string field8(std::string const &s) {
    return s.size() >= 8 ? s.substr(0, 8) : std::string(8 - s.size(), ' ') + s;
}
std::string field8(int v) { return field8(std::to_string(v)); }

}  // namespace

std::string iges_record(std::string const &text, char section, int sequence) {
    std::string r = text.substr(0, 72);
    r.resize(72, ' ');
    char seq[16];
    std::snprintf(seq, sizeof seq, "%c%7d", section, sequence);
    return r + seq;
}

iges_parameters &iges_parameters::add(int v) {
    fields_.push_back(std::to_string(v));
    return *this;
}

iges_parameters &iges_parameters::add(double v) {
    fields_.push_back(exchange_real(v));
    return *this;
}

iges_parameters &iges_parameters::add(double const *v, int n) {
    for (int i = 0; i < n; ++i) add(v[i]);
    return *this;
}

iges_writer::iges_writer(std::string file_name, std::string timestamp)
    : file_name_(file_name.substr(0, 60)),
      timestamp_(timestamp.empty() ? utc_time_text("%Y%m%d.%H%M%S") : std::move(timestamp)) {}

int iges_writer::add_entity(int type, int form, iges_parameters const &params, std::string label) {
    entities_.push_back({type, form, params.fields(), std::move(label)});
    return 2 * static_cast<int>(entities_.size()) - 1;
}

std::string iges_writer::text() const {
    std::vector<std::string> out;
    int s = 0, g = 0, d = 0, p = 0;
    out.push_back(iges_record("Curves and surfaces fitted to laws by the law library.", 'S', ++s));

    std::string const name = file_name_.empty() ? std::string("law.igs") : file_name_;
    std::vector<std::string> const global = {"1H,",
                                             "1H;",
                                             hollerith("law"),
                                             hollerith(name),
                                             hollerith("law library"),
                                             hollerith("0.1"),
                                             "32",
                                             "38",
                                             "6",
                                             "308",
                                             "15",
                                             hollerith("law"),
                                             "1.0",  // model space scale
                                             "2",
                                             hollerith("MM"),  // units: millimetres
                                             "1",
                                             "0.01",
                                             hollerith(timestamp_),
                                             "1.0E-08",
                                             "0.0",
                                             hollerith("law"),
                                             hollerith("law"),
                                             "11",  // IGES 5.3
                                             "0",
                                             hollerith(timestamp_)};
    for (auto const &line : lay_out(global, 72)) out.push_back(iges_record(line, 'G', ++g));

    // Parameter lines first, so that the directory knows where each entity starts.
    std::vector<std::string> params;
    std::vector<int> first_line, line_count;
    for (std::size_t e = 0; e < entities_.size(); ++e) {
        std::vector<std::string> fields = {std::to_string(entities_[e].type)};
        fields.insert(fields.end(), entities_[e].fields.begin(), entities_[e].fields.end());
        auto const lines = lay_out(fields, 64);
        first_line.push_back(static_cast<int>(params.size()) + 1);
        line_count.push_back(static_cast<int>(lines.size()));
        int const de = 2 * static_cast<int>(e) + 1;
        for (auto line : lines) {
            line.resize(64, ' ');
            params.push_back(iges_record(line + field8(de), 'P', ++p));
        }
    }
    for (std::size_t e = 0; e < entities_.size(); ++e) {
        entity const &en = entities_[e];
        std::string const l1 = field8(en.type) + field8(first_line[e]) + field8(0) + field8(0) +
                               field8(0) + field8(0) + field8(0) + field8(0) + "00000000";
        std::string const l2 = field8(en.type) + field8(0) + field8(0) + field8(line_count[e]) +
                               field8(en.form) + field8("") + field8("") + field8(en.label) +
                               field8(0);
        out.push_back(iges_record(l1, 'D', ++d));
        out.push_back(iges_record(l2, 'D', ++d));
    }
    out.insert(out.end(), params.begin(), params.end());
    char term[64];
    std::snprintf(term, sizeof term, "S%7dG%7dD%7dP%7d", s, g, d, p);
    out.push_back(iges_record(term, 'T', 1));

    std::string text;
    for (auto const &r : out) text += r + "\n";
    return text;
}

bool iges_writer::write(std::string const &path) const {
    std::ofstream f(path, std::ios::binary);
    if (!f) return false;
    f << text();
    return static_cast<bool>(f.flush());
}
