#pragma once
// Integer options by name. An option_header declares an option with its default; the current
// value is read at each use.
class option_header {
  public:
    option_header(char const *name, int default_value);
    char const *name() const { return name_; }
    int count() const;  // current value
    void set(int value);
    void reset();  // back to the default

    // The option of that name, or null.
    static option_header *find(char const *name);

  private:
    char const *name_;
    int default_;
    int value_;
    option_header *next_;
};

// Convenience by name: the value (0 for an unknown name), and setting it (false when unknown).
int get_option(char const *name);
bool set_option(char const *name, int value);
