#include "instrument/modification_buffer.h"

#include "support/file_utils.h"
#include "support/messages.h"
#include "support/translate.h"

#include <algorithm>
#include <memory>

namespace instrument {
namespace {

using support::Translate;

[[noreturn]] void FailAnalysis(const QString& message,
                               const support::CodeLocation& where = support::CodeLocation::Current()) {
  support::DisplayInternalError(message, where);
}

// The end of the source before an anchor: a read failure is the user's
// trouble, a real end a fault of the positions.
[[noreturn]] void FailAtEnd(std::FILE* source, const std::string& sourcePath) {
  if (std::ferror(source)) support::DisplayReadError(sourcePath);
  FailAnalysis(Translate("Assertion", "Attempt to modify text after last line"));
}

// Copies bytes up to the anchor of one record; bytes keep their carriage
// returns here.
void CopyUpTo(std::FILE* source, const std::string& sourcePath, std::FILE* output, const Modification& record,
              std::uint32_t& line, std::uint32_t& column) {
  const SourcePosition target = *record.position;
  while (line < target.line) {
    const int c = getc_unlocked(source);
    if (c == EOF) FailAtEnd(source, sourcePath);
    putc_unlocked(c, output);
    if (c == '\n') {
      ++line;
      column = 0;
    }
  }
  if (line > target.line) FailAnalysis(Translate("Assertion", "Bad line count during analyzis"));

  const bool after = record.key > 0;
  const std::uint32_t targetColumn = after ? target.column : target.column - 1;
  while (column < targetColumn) {
    const int c = getc_unlocked(source);
    if (c == '\n') {
      if (!after) FailAnalysis(Translate("Assertion", "Bad line count during analyzis"));
      FailAnalysis(Translate("Assertion", "Bad line count during analyzis : %1:%2")
                       .arg(QString::number(target.line), QString::number(target.column)));
    }
    if (c == EOF) FailAtEnd(source, sourcePath);
    ++column;
    putc_unlocked(c, output);
  }
  if (column > targetColumn) FailAnalysis(Translate("Assertion", "Bad column count during analyzis"));
}

std::string_view TextOf(const ModificationBuffer& buffer, const Modification& record) {
  return std::string_view(buffer.texts).substr(record.textOffset, record.textLength);
}

}  // namespace

bool PositionPrecedes(const std::optional<SourcePosition>& a, std::int32_t keyA,
                      const std::optional<SourcePosition>& b, std::int32_t keyB) {
  const bool sameAnchor = !a && !b;
  if (!sameAnchor) {
    if (!b) return true;
    if (!a) return false;
    if (a->line == 0 || b->line == 0) return false;
    if (a->line != b->line) return a->line < b->line;
    if (a->column != b->column) return a->column < b->column;
  }
  if (keyA != keyB) return keyA < keyB;
  return keyA > 0;
}

void AddModification(ModificationBuffer& buffer, const SourcePosition* position, std::uint32_t priority,
                     Where where, std::string_view text) {
  // Key 0 and line 0 fall outside the order PositionPrecedes defines.
  if (priority == 0 || priority > kMaxPriority || (position && position->line == 0)) {
    FailAnalysis(Translate("Assertion", "Cannot add modification"));
  }
  const std::int32_t magnitude = static_cast<std::int32_t>(priority);
  Modification record{position ? std::optional<SourcePosition>(*position) : std::nullopt,
                      where == Where::After ? magnitude : -magnitude, static_cast<std::uint32_t>(text.size()),
                      buffer.added++, buffer.texts.size()};
  buffer.texts.append(text);
  if (buffer.sorted && !buffer.records.empty()) {
    const Modification& last = buffer.records.back();
    buffer.sorted = PositionPrecedes(last.position, last.key, record.position, record.key);
  }
  buffer.records.push_back(record);
}

void SortModifications(ModificationBuffer& buffer) {
  if (buffer.sorted) return;
  // PositionPrecedes in one pass (no record is on line 0): anchored texts
  // by line and column, then the texts at the end of the file; at one place
  // by key. Of two records with the same place and key, before-texts come
  // out last added first and after-texts first added first. Sequences are
  // unique, so the order is total and needs no stable sort.
  std::sort(buffer.records.begin(), buffer.records.end(), [](const Modification& a, const Modification& b) {
    if (a.position.has_value() != b.position.has_value()) return a.position.has_value();
    if (a.position) {
      if (a.position->line != b.position->line) return a.position->line < b.position->line;
      if (a.position->column != b.position->column) return a.position->column < b.position->column;
    }
    if (a.key != b.key) return a.key < b.key;
    return a.key > 0 ? a.sequence < b.sequence : a.sequence > b.sequence;
  });
  buffer.sorted = true;
}

std::uint32_t ApplyModifications(const std::string& sourcePath, std::FILE* output, ModificationBuffer& buffer) {
  SortModifications(buffer);
  support::UniqueFile source(std::fopen(sourcePath.c_str(), "rb"));
  if (!source) {
    support::DisplayFatalError(Translate("Assertion", "Cannot open src file %1", "%1 is the file name")
                                   .arg(support::FromLocal(sourcePath)));
  }
  const std::vector<Modification>& records = buffer.records;

  std::uint32_t line = 1;
  std::uint32_t column = 0;
  auto record = records.begin();
  for (; record != records.end() && record->position; ++record) {
    CopyUpTo(source.get(), sourcePath, output, *record, line, column);
    const std::string_view text = TextOf(buffer, *record);
    std::fwrite(text.data(), 1, text.size(), output);
  }
  line += support::CopyStream(source.get(), output);
  if (std::ferror(source.get())) support::DisplayReadError(sourcePath);
  for (; record != records.end(); ++record) {
    const std::string_view text = TextOf(buffer, *record);
    std::fwrite(text.data(), 1, text.size(), output);
    for (char c : text) line += c == '\n';
  }
  return line;
}

void FreeModifications(ModificationBuffer& buffer) { buffer = ModificationBuffer{}; }

}  // namespace instrument
