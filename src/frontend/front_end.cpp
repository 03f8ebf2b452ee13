#include "frontend/front_end.h"

#include "frontend/name_flags.h"
#include "support/name_table.h"

namespace frontend {

FrontEnd::~FrontEnd() {
  CloseInputBuffer(lexer.input);
  // Typedef names are flags of the process's interned names, which may
  // outlive this run.
  ForgetFileTypedefs(symbols);
  FreeInsertRecords(insertRecords);
  FreeValidFiles(validLines);
}

void FrontEnd::ReleaseTrees() {
  tree.arena.Release();
  tree.freeNodes = nullptr;
  tree.statics.clear();
  builder = {};
}

}  // namespace frontend
