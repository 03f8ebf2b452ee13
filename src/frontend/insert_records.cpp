#include "frontend/insert_records.h"

#include "frontend/front_end.h"

namespace frontend {

void AddInsertRecord(std::uint32_t line, std::uint32_t keywordEndColumn, std::uint8_t kind,
                     std::uint32_t tagStartColumn, std::uint32_t tagEndColumn, support::NameEntry* directory,
                     support::NameEntry* file, std::uint32_t sourceLine) {
  InsertRecordList& records = InsertRecords();
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

InsertRecord* FindInsertRecord(const InsertRecordList& records, std::uint8_t kind) {
  for (InsertRecord* record = records.head; record; record = record->next) {
    if (record->kind == kind) return record;
  }
  return nullptr;
}

void FreeInsertRecords(InsertRecordList& records) {
  while (records.head) {
    InsertRecord* next = records.head->next;
    delete records.head;
    records.head = next;
  }
  records = {};
}

}  // namespace frontend
