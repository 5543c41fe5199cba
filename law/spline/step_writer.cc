#include <cstdio>
#include <ctime>
#include <fstream>

#include <law/base/tolerance.h>
#include <law/spline/exchange_real.h>
#include <law/spline/step_writer.h>
#include <law/spline/utc_time.h>

namespace {

constexpr char schema[] = "AUTOMOTIVE_DESIGN { 1 0 10303 214 1 1 1 1 }";
// Physical lines are broken between tokens to stay near this width.
constexpr std::size_t line_width = 80;

// One instance "#n=text;" broken after commas outside strings once a line passes the width.
void append_instance(std::string &out, int n, std::string const &text) {
    std::string line = "#" + std::to_string(n) + "=";
    bool in_string = false;
    for (char const ch : text) {
        line += ch;
        if (ch == '\'') in_string = !in_string;
        if (ch == ',' && !in_string && line.size() >= line_width - 8) {
            out += line + "\n";
            line.clear();
        }
    }
    out += line + ";\n";
}

// The entities after the geometry, numbered on from first; returns their texts.
class part_entities {
  public:
    explicit part_entities(int first) : next_(first) {}
    int add(std::string text) {
        texts_.push_back(std::move(text));
        return next_++;
    }
    std::vector<std::string> const &texts() const { return texts_; }

  private:
    int next_;
    std::vector<std::string> texts_;
};

std::string refs(std::vector<int> const &ids) {
    std::vector<std::string> items;
    for (int id : ids) items.push_back(step_ref(id));
    return step_list(items);
}

}  // namespace

std::string step_ref(int entity) { return "#" + std::to_string(entity); }

std::string step_string(std::string const &text) {
    std::string out = "'";
    for (unsigned char const ch : text) {
        if (ch == '\'') {
            out += "''";
        } else if (ch == '\\') {
            out += "\\\\";
        } else if (ch >= 32 && ch < 127) {
            out += static_cast<char>(ch);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\X\\%02X", ch);
            out += buf;
        }
    }
    return out + "'";
}

std::string step_bool(bool b) { return b ? ".T." : ".F."; }

std::string step_list(std::vector<std::string> const &items) {
    std::string out = "(";
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + items[i];
    return out + ")";
}

step_writer::step_writer(std::string file_name, std::string timestamp, std::string part_name)
    : file_name_(std::move(file_name)),
      timestamp_(timestamp.empty() ? utc_time_text("%Y-%m-%dT%H:%M:%S") : std::move(timestamp)),
      part_name_(part_name.empty() ? file_name_ : std::move(part_name)) {}

int step_writer::add_entity(std::string text) {
    entities_.push_back(std::move(text));
    return static_cast<int>(entities_.size());
}

void step_writer::add_to_part(int entity, bool is_surface) {
    (is_surface ? surface_items_ : curve_items_).push_back(entity);
}

std::string step_writer::text() const {
    part_entities p(static_cast<int>(entities_.size()) + 1);
    // The part's coordinate system, and the geometry: curves alone make a wireframe, anything
    // with a surface a surface representation.
    int const origin = p.add("CARTESIAN_POINT('',(0.,0.,0.))");
    int const z = p.add("DIRECTION('',(0.,0.,1.))");
    int const x = p.add("DIRECTION('',(1.,0.,0.))");
    std::vector<int> items = {p.add("AXIS2_PLACEMENT_3D(''," + step_ref(origin) + "," +
                                    step_ref(z) + "," + step_ref(x) + ")")};
    std::vector<int> all = curve_items_;
    all.insert(all.end(), surface_items_.begin(), surface_items_.end());
    char const *representation = "SHAPE_REPRESENTATION";
    if (!surface_items_.empty()) {
        items.push_back(p.add("GEOMETRIC_SET(''," + refs(all) + ")"));
        representation = "GEOMETRICALLY_BOUNDED_SURFACE_SHAPE_REPRESENTATION";
    } else if (!curve_items_.empty()) {
        items.push_back(p.add("GEOMETRIC_CURVE_SET(''," + refs(all) + ")"));
        representation = "GEOMETRICALLY_BOUNDED_WIREFRAME_SHAPE_REPRESENTATION";
    }
    int const mm = p.add("(LENGTH_UNIT()NAMED_UNIT(*)SI_UNIT(.MILLI.,.METRE.))");
    int const rad = p.add("(NAMED_UNIT(*)PLANE_ANGLE_UNIT()SI_UNIT($,.RADIAN.))");
    int const sr = p.add("(NAMED_UNIT(*)SI_UNIT($,.STERADIAN.)SOLID_ANGLE_UNIT())");
    int const uncertainty = p.add(
        "UNCERTAINTY_MEASURE_WITH_UNIT(LENGTH_MEASURE(" + exchange_real(get_resabs()) + ")," +
        step_ref(mm) + ",'distance_accuracy_value','distance below which two points are one')");
    int const context = p.add(
        "(GEOMETRIC_REPRESENTATION_CONTEXT(3)"
        "GLOBAL_UNCERTAINTY_ASSIGNED_CONTEXT(" +
        refs({uncertainty}) + ")GLOBAL_UNIT_ASSIGNED_CONTEXT(" + refs({mm, rad, sr}) +
        ")REPRESENTATION_CONTEXT('3D','model space'))");
    std::string const name = step_string(part_name_);
    int const shape = p.add(std::string(representation) + "(" + name + "," + refs(items) + "," +
                            step_ref(context) + ")");
    // The part that owns the shape.
    int const app = p.add("APPLICATION_CONTEXT('automotive design')");
    p.add("APPLICATION_PROTOCOL_DEFINITION('international standard','automotive_design',2000," +
          step_ref(app) + ")");
    int const product_context = p.add("PRODUCT_CONTEXT(''," + step_ref(app) + ",'mechanical')");
    int const product = p.add("PRODUCT(" + name + "," + name + ",'fitted by the law library'," +
                              refs({product_context}) + ")");
    p.add("PRODUCT_RELATED_PRODUCT_CATEGORY('part',$," + refs({product}) + ")");
    int const formation = p.add("PRODUCT_DEFINITION_FORMATION('',''," + step_ref(product) + ")");
    int const definition_context =
        p.add("PRODUCT_DEFINITION_CONTEXT('part definition'," + step_ref(app) + ",'design')");
    int const definition = p.add("PRODUCT_DEFINITION('design',''," + step_ref(formation) + "," +
                                 step_ref(definition_context) + ")");
    int const definition_shape =
        p.add("PRODUCT_DEFINITION_SHAPE(''," + step_string("the shape of " + part_name_) + "," +
              step_ref(definition) + ")");
    p.add("SHAPE_DEFINITION_REPRESENTATION(" + step_ref(definition_shape) + "," + step_ref(shape) +
          ")");

    std::string out = "ISO-10303-21;\nHEADER;\n";
    out += "FILE_DESCRIPTION(('curves and surfaces fitted to laws by the law library'),'2;1');\n";
    out += "FILE_NAME(" + step_string(file_name_) + "," + step_string(timestamp_) +
           ",(''),(''),'law library','law','');\n";
    out += "FILE_SCHEMA((" + step_string(schema) + "));\nENDSEC;\nDATA;\n";
    int n = 0;
    for (auto const &e : entities_) append_instance(out, ++n, e);
    for (auto const &e : p.texts()) append_instance(out, ++n, e);
    return out + "ENDSEC;\nEND-ISO-10303-21;\n";
}

bool step_writer::write(std::string const &path) const {
    std::ofstream f(path, std::ios::binary);
    if (!f) return false;
    f << text();
    return static_cast<bool>(f.flush());
}
