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

// The source as ApplyModifications copies it, with the line and column
// reached so far.
struct SourceCopy {
  std::FILE* source;
  const std::string& sourcePath;
  std::FILE* output;
  support::ChunkedInput input{source};
  std::uint32_t line = 1;
  std::uint32_t column = 0;
  char last = '\n';         // the last byte written, source or text
  bool afterText = false;  // whether that byte ended an inserted text
};

bool IsWordByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// An inserted text must stay a token of its own whatever the source's
// spacing: "case 3:" + "_QBC_CASE_FALLTHROUGH" + "case 4:" would otherwise
// read as one identifier. A blank between two word bytes where a text
// meets its neighbour keeps them apart and moves no line.
void SeparateWords(SourceCopy& copy, char next) {
  if (IsWordByte(copy.last) && IsWordByte(next)) std::fputc(' ', copy.output);
}

void WriteText(SourceCopy& copy, std::string_view text, bool joinsNext) {
  if (text.empty()) return;
  SeparateWords(copy, text.front());
  std::fwrite(text.data(), 1, text.size(), copy.output);
  copy.last = text.back();
  copy.afterText = !joinsNext;
}

// The bytes not copied yet, at least one; the end of the source is fatal.
std::string_view Pending(SourceCopy& copy) {
  const std::string_view pending = copy.input.Pending();
  if (pending.empty()) FailAtEnd(copy.source, copy.sourcePath);
  return pending;
}

void CopyOut(SourceCopy& copy, std::string_view bytes) {
  if (bytes.empty()) return;
  if (copy.afterText) SeparateWords(copy, bytes.front());
  std::fwrite(bytes.data(), 1, bytes.size(), copy.output);
  copy.input.Take(bytes.size());
  copy.last = bytes.back();
  copy.afterText = false;
}

// Copies bytes up to the anchor of one record; bytes keep their carriage
// returns here.
void CopyUpTo(SourceCopy& copy, const Modification& record) {
  const SourcePosition target = *record.position;
  while (copy.line < target.line) {
    const std::string_view pending = Pending(copy);
    const std::size_t lineFeed = pending.find('\n');
    if (lineFeed == std::string_view::npos) {
      CopyOut(copy, pending);
      continue;
    }
    CopyOut(copy, pending.substr(0, lineFeed + 1));
    ++copy.line;
    copy.column = 0;
  }
  if (copy.line > target.line) FailAnalysis(Translate("Assertion", "Bad line count during analyzis"));

  const bool after = record.key > 0;
  const std::uint32_t targetColumn = after ? target.column : target.column - 1;
  while (copy.column < targetColumn) {
    const std::string_view pending = Pending(copy);
    const std::size_t count = std::min<std::size_t>(pending.size(), targetColumn - copy.column);
    const std::string_view run = pending.substr(0, count);
    if (run.find('\n') != std::string_view::npos) {
      if (!after) FailAnalysis(Translate("Assertion", "Bad line count during analyzis"));
      FailAnalysis(Translate("Assertion", "Bad line count during analyzis : %1:%2")
                       .arg(QString::number(target.line), QString::number(target.column)));
    }
    CopyOut(copy, run);
    copy.column += static_cast<std::uint32_t>(count);
  }
  if (copy.column > targetColumn) FailAnalysis(Translate("Assertion", "Bad column count during analyzis"));
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
                      where == Where::Prefix, buffer.added++, buffer.texts.size()};
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

  SourceCopy copy{source.get(), sourcePath, output};
  auto record = records.begin();
  for (; record != records.end() && record->position; ++record) {
    CopyUpTo(copy, *record);
    WriteText(copy, TextOf(buffer, *record), record->joinsNext);
  }
  if (copy.afterText) {
    const std::string_view rest = copy.input.Pending();
    if (!rest.empty()) SeparateWords(copy, rest.front());
  }
  std::uint32_t line = copy.line + support::CopyStream(copy.input, output);
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
