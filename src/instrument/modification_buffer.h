// The ordered store of text insertions and the copier that applies them.
//
// Instrumentation never regenerates C text: each instrumentation point adds
// a text anchored at one character of the preprocessed source, before or
// after it, with a priority. The copier then copies the source once, front
// to back, splicing every text in. At one anchor:
//   - before texts come out larger priority first, and among equal
//     priorities the one added last comes first (outer openings enclose
//     inner ones);
//   - after texts come out smaller priority first, and among equal
//     priorities the one added first comes first (inner closings precede
//     outer ones);
//   - texts without an anchor follow the end of the file, by ascending key,
//     in order of addition for equal keys.
#pragma once

#include "frontend/source_position.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace instrument {

using frontend::SourcePosition;

/// Largest priority; instrumentation texts mostly use kNestingPriority minus
/// the nesting depth, so outer constructs get larger priorities.
inline constexpr std::uint32_t kMaxPriority = 0x7fffffff;
inline constexpr std::uint32_t kNestingPriority = 0x7ffffffe;

/// Prefix is a before text that joins the word starting at its anchor (a
/// renaming prefix such as "_qbu_stub_"); every other text stays a token of
/// its own, a blank keeping it apart from a neighbouring word.
enum class Where { Before, After, Prefix };

struct Modification {
  std::optional<SourcePosition> position;  // none: after the end of the file
  std::int32_t key;                        // -priority before, +priority after
  std::uint32_t textLength : 31;
  std::uint32_t joinsNext : 1;             // a Prefix text
  std::uint32_t sequence;                  // order of addition
  std::size_t textOffset;                  // where the text starts in the buffer's texts
};

/// Records are appended as they come and put in application order once,
/// when they are first read: a walk that adds outer texts before or after
/// inner ones costs the same. The texts follow one another in one string,
/// so a record costs no allocation of its own.
struct ModificationBuffer {
  std::vector<Modification> records;
  std::string texts;
  bool sorted = true;
  std::uint32_t added = 0;
};

/// Whether a text at (a, keyA) is applied before one at (b, keyB).
[[nodiscard]] bool PositionPrecedes(const std::optional<SourcePosition>& a, std::int32_t keyA,
                                    const std::optional<SourcePosition>& b, std::int32_t keyB);

/// Records a text at the position (none: at the end of the file). A
/// priority outside 1 .. kMaxPriority or a position on line 0 is the
/// internal error "Cannot add modification".
void AddModification(ModificationBuffer& buffer, const SourcePosition* position, std::uint32_t priority,
                     Where where, std::string_view text);

/// Copies the source file into the output with every text spliced in and
/// returns 1 plus the source's newlines plus the newlines of the texts at the
/// end of the file. Newlines inside anchored texts are not counted: the one
/// anchored text that has them, the spliced prologue, counts its own. Bytes
/// after the last anchored text lose their carriage returns.
std::uint32_t ApplyModifications(const std::string& sourcePath, std::FILE* output, ModificationBuffer& buffer);

/// Puts the records in application order (PositionPrecedes, then the order
/// of addition as the rules above say).
void SortModifications(ModificationBuffer& buffer);

void FreeModifications(ModificationBuffer& buffer);

}  // namespace instrument
