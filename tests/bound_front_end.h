// A front end of a test's own, bound to the test's thread for as long as it
// lives. Tests hold it in a std::optional and drop it before they release
// the interned names it refers to.
#pragma once

#include "frontend/front_end.h"

class BoundFrontEnd {
 public:
  BoundFrontEnd() : binding_(frontEnd_) {}
  frontend::FrontEnd& operator*() { return frontEnd_; }
  frontend::FrontEnd* operator->() { return &frontEnd_; }

 private:
  frontend::FrontEnd frontEnd_;
  frontend::FrontEndScope binding_;
};
