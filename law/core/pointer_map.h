#pragma once
// Deep copies go through a pointer map, installed by a client through four hooks, so that what is
// shared in a tree stays shared in its copy. A default map is installed at start-up.
class law;
class law_data;
struct pointer_map;

void set_make_pointer_map_func(pointer_map *(*f)());
void set_destroy_pointer_map_func(void (*f)(pointer_map *));
void set_pm_get_law_func(law *(*f)(pointer_map *, law const *));
void set_pm_get_law_data_func(law_data *(*f)(pointer_map *, law_data const *));

pointer_map *make_pointer_map();
void destroy_pointer_map(pointer_map *map);
// The copy of l within the map, with a reference that belongs to the caller.
law *pm_get_law(pointer_map *map, law const *l);
law_data *pm_get_law_data(pointer_map *map, law_data const *d);

// Puts the library's own map back in the four hooks.
void install_default_pointer_map();

// The map of one deep copy: the given one, or one made here and destroyed at the end.
class scoped_pointer_map {
  public:
    explicit scoped_pointer_map(pointer_map *given)
        : map_(given ? given : make_pointer_map()), owned_(!given) {}
    ~scoped_pointer_map() {
        if (owned_) destroy_pointer_map(map_);
    }
    scoped_pointer_map(scoped_pointer_map const &) = delete;
    scoped_pointer_map &operator=(scoped_pointer_map const &) = delete;
    pointer_map *get() const { return map_; }

  private:
    pointer_map *map_;
    bool owned_;
};
