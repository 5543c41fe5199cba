#pragma once
// Writer of STEP exchange files (ISO 10303-21, the automotive design schema AP214): a header, and a
// data section of numbered entity instances. Geometry is added as entity texts; the file then
// carries what readers need to place it: one part (product, its definition and contexts), a
// shape representation holding the geometry in a geometric set beside an origin placement, and
// a context of millimetres, radians and steradians with the library's distance resolution as its
// uncertainty, so that coordinates are read unchanged.
#include <string>
#include <vector>

class step_writer {
  public:
    // file_name is what the header names; timestamp is "YYYY-MM-DDTHH:MM:SS" (the current UTC
    // time when empty); the part is named after part_name (after the file name when empty).
    explicit step_writer(std::string file_name, std::string timestamp = {},
                         std::string part_name = {});

    // Appends an entity instance, text being what follows "#n=" ("CARTESIAN_POINT('',(0.,0.,0.))"
    // or a complex instance "(A()B(1))"); returns n.
    int add_entity(std::string text);
    // Puts an added curve, surface or point into the geometric set of the part.
    void add_to_part(int entity, bool is_surface);

    // The whole file.
    std::string text() const;
    // Writes text() to path; false when the file cannot be written.
    bool write(std::string const &path) const;

  private:
    std::string file_name_, timestamp_, part_name_;
    std::vector<std::string> entities_;
    std::vector<int> curve_items_, surface_items_;
};

// Texts of the format's simple types.
std::string step_ref(int entity);                  // #12
std::string step_string(std::string const &text);  // 'it''s', other than printable ASCII as \X\hh
std::string step_bool(bool b);                     // .T. or .F.
// A list of the items, "(a,b,c)".
std::string step_list(std::vector<std::string> const &items);
