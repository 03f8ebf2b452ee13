#include "instrument/insert_pragmas.h"

#include "frontend/insert_records.h"
#include "instrument/modification_buffer.h"

#include <string>

namespace instrument {
namespace {

bool Precedes(const frontend::SourcePosition& a, const frontend::SourcePosition& b) {
  return PositionPrecedes(a, 1, b, 1);
}

std::uint32_t RelativeLine(const frontend::InsertRecord& record, const FunctionBody& body) {
  const bool sameFile = record.file == body.file && record.directory == body.directory;
  return sameFile ? record.sourceLine - body.sourceLine : 0;
}

void ApplyRecord(ModificationBuffer& buffer, const frontend::InsertRecord& record, const FunctionBody& body,
                 std::uint32_t kindMask) {
  if (record.kind & kindMask) {
    AddModification(buffer, &record.lineStart, 1, Where::Before, "/*");
    AddModification(buffer, &record.keywordEnd, 1, Where::After, "*/");
  }
  if (record.tagStart.column == 0) return;
  AddModification(buffer, &record.tagStart, 1, Where::Before, "/*");
  AddModification(buffer, &record.tagEnd, 1, Where::After, "*/" + std::to_string(RelativeLine(record, body)));
}

}  // namespace

void ApplyInsertRecords(frontend::InsertRecordList& records, ModificationBuffer& buffer, const FunctionBody& body,
                        std::uint32_t kindMask) {
  while (records.cursor && !Precedes(body.start, records.cursor->lineStart)) records.cursor = records.cursor->next;
  while (records.cursor && Precedes(records.cursor->keywordEnd, body.end)) {
    ApplyRecord(buffer, *records.cursor, body, kindMask);
    records.cursor = records.cursor->next;
  }
}

}  // namespace instrument
