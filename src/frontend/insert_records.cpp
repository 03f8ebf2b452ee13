#include "frontend/insert_records.h"

namespace frontend {
namespace {

InsertRecordList records;

}  // namespace

InsertRecordList& InsertRecords() { return records; }

void AddInsertRecord(std::uint32_t line, std::uint32_t keywordEndColumn, std::uint8_t kind,
                     std::uint32_t tagStartColumn, std::uint32_t tagEndColumn, support::NameEntry* directory,
                     support::NameEntry* file, std::uint32_t sourceLine) {
  auto* record = new InsertRecord{{line, 1},        {line, keywordEndColumn}, kind, {line, tagStartColumn},
                                  {line, tagEndColumn}, file, directory, sourceLine, nullptr};
  if (records.tail) {
    records.tail->next = record;
  } else {
    records.head = record;
    records.cursor = record;
  }
  records.tail = record;
}

InsertRecord* FindInsertRecord(std::uint8_t kind) {
  for (InsertRecord* record = records.head; record; record = record->next) {
    if (record->kind == kind) return record;
  }
  return nullptr;
}

void FreeInsertRecords() {
  while (records.head) {
    InsertRecord* next = records.head->next;
    delete records.head;
    records.head = next;
  }
  records = {};
}

}  // namespace frontend
