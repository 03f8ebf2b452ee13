// Interned names of a test's own, bound to the test's thread while it
// lives, as a run binds its names. A fixture declares it first, so that it
// outlives everything the test interns.
#pragma once

#include "support/name_table.h"

class BoundNames {
 public:
  BoundNames() : binding_(table_) {}

 private:
  support::NameTable table_;
  support::NameTableScope binding_;
};
