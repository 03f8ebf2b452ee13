// Insert records: one per insert pragma line and per start-of-main marker
// line, kept in source order. The lexer only adds records; the
// instrumentation turns them into modifications function by function.
#pragma once

#include "frontend/source_position.h"

#include <cstdint>

namespace support {
struct NameEntry;
}

namespace frontend {

/// Kind bits of insert records (the instrumentation kind mask) and the
/// start-of-main marker.
enum InsertKind : std::uint8_t {
  kInsertCoverage = 2,
  kInsertTrace = 4,
  kInsertMemoryProfiling = 8,
  kInsertPerformanceProfiling = 16,
  kInsertAll = 30,
  kInsertStartOfMain = 32,
};

struct InsertRecord {
  SourcePosition lineStart;   // (pragma line, 1)
  SourcePosition keywordEnd;  // last character of the keyword, or of the line for the marker
  std::uint8_t kind;
  SourcePosition tagStart;    // "@" of "@RELFLINE"; column 0 without one
  SourcePosition tagEnd;      // its last character; column 8 without one
  support::NameEntry* file;
  support::NameEntry* directory;
  std::uint32_t sourceLine;
  InsertRecord* next;
};

struct InsertRecordList {
  InsertRecord* head;
  InsertRecord* tail;
  InsertRecord* cursor;  // moves forward only; starts at the first record
};

/// Appends a record; the first one also becomes the cursor.
void AddInsertRecord(std::uint32_t line, std::uint32_t keywordEndColumn, std::uint8_t kind,
                     std::uint32_t tagStartColumn, std::uint32_t tagEndColumn, support::NameEntry* directory,
                     support::NameEntry* file, std::uint32_t sourceLine);

/// The first record of exactly that kind, or none.
InsertRecord* FindInsertRecord(const InsertRecordList& records, std::uint8_t kind);

void FreeInsertRecords(InsertRecordList& records);

}  // namespace frontend
