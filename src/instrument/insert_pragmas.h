// Insert pragmas inside function bodies become live code: the pragma line is
// commented out up to its keyword, so the text after the keyword is compiled,
// and "@RELFLINE" is replaced by the pragma's line relative to the body.
#pragma once

#include "frontend/insert_records.h"
#include "frontend/source_position.h"

#include <cstdint>

namespace support {
struct NameEntry;
}

namespace instrument {

struct ModificationBuffer;

/// The body of one instrumented function, in source order.
struct FunctionBody {
  frontend::SourcePosition start;  // its "{"
  frontend::SourcePosition end;    // its "}"
  const support::NameEntry* file;
  const support::NameEntry* directory;
  std::uint32_t sourceLine;  // line of the "{" in the user's source file
};

/// Applies the insert records that lie inside the body and belong to one of
/// the kinds of the mask; the record cursor only moves forward.
void ApplyInsertRecords(frontend::InsertRecordList& records, ModificationBuffer& buffer, const FunctionBody& body,
                        std::uint32_t kindMask);

}  // namespace instrument
