// Interned names and messages of a test's own, bound to the test's thread
// while it lives, as a run binds its own. A fixture declares it first, so
// that it outlives everything the test interns.
#pragma once

#include "support/messages.h"
#include "support/name_table.h"

class BoundRun {
 public:
  BoundRun() : names_(table_), messagesBinding_(messages_) {}

 private:
  support::NameTable table_;
  support::NameTableScope names_;
  support::RunMessages messages_;
  support::RunMessagesScope messagesBinding_;
};
