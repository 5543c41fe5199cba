#pragma once
// Registries of parsable prototypes. A static law_list (or law_data_list) object registers one
// prototype of a class so that the parser can read the class's name; the list runs from the most
// recently registered node to the first.
class law;
class law_data;

class law_list {
  public:
    explicit law_list(law *prototype);
    law_list(law_list const &) = delete;
    law_list &operator=(law_list const &) = delete;
    law *prototype() const { return prototype_; }
    law_list const *next() const { return next_; }
    static law_list const *head();

  private:
    law *prototype_;
    law_list *next_;
};

class law_data_list {
  public:
    explicit law_data_list(law_data *prototype);
    law_data_list(law_data_list const &) = delete;
    law_data_list &operator=(law_data_list const &) = delete;
    law_data *prototype() const { return prototype_; }
    law_data_list const *next() const { return next_; }
    static law_data_list const *head();

  private:
    law_data *prototype_;
    law_data_list *next_;
};

// A new law of the registered class with that id (a member of the multiple family) over n
// members, built by its prototype's make_one: how a layer builds a law of a class that lives in a
// layer above it (the operators build vectors and their components so). LAW_SYMBOL when no such
// class is registered.
law *make_registered_law(int id, law **subs, int n);
