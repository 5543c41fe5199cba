#pragma once
// Writer of IGES files (version 5.3, fixed format): the start, global, directory entry,
// parameter data and terminate sections in records of 80 columns, with units declared as
// millimetres at scale 1 so that coordinates are read unchanged. Entities are added with their
// parameters; a parameter is never split across records.
#include <string>
#include <vector>

// The parameters of one entity after its type number, as free-format fields.
class iges_parameters {
  public:
    iges_parameters &add(int v);
    // The shortest text that reads back as the same double, always with a decimal point.
    iges_parameters &add(double v);
    iges_parameters &add(double const *v, int n);
    std::vector<std::string> const &fields() const { return fields_; }

  private:
    std::vector<std::string> fields_;
};

class iges_writer {
  public:
    // file_name is what the global section names (cut to 60 characters); timestamp is
    // "YYYYMMDD.HHNNSS" (the current UTC time when empty).
    explicit iges_writer(std::string file_name, std::string timestamp = {});

    // Appends an entity; returns the sequence number of its directory entry (its pointer).
    int add_entity(int type, int form, iges_parameters const &params, std::string label = {});

    // The whole file, each record of 80 columns followed by a newline.
    std::string text() const;
    // Writes text() to path; false when the file cannot be written.
    bool write(std::string const &path) const;

  private:
    struct entity {
        int type, form;
        std::vector<std::string> fields;
        std::string label;
    };
    std::string file_name_, timestamp_;
    std::vector<entity> entities_;
};

// The record of columns 1 to 72 (text padded with blanks), the section letter and the sequence
// number: exposed for the tests of the format.
std::string iges_record(std::string const &text, char section, int sequence);
