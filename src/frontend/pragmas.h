// The "#pragma quorb" family: the directive-line scanner, the tables the
// pragmas fill and the switches they set. Effects on lexing are applied by
// the lexer through the name flags (frontend/name_flags.h) and the lookups
// below; effects on instrumentation are read later from the same state.
#pragma once

#include "frontend/source_position.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace support {
struct NameEntry;
}

namespace frontend {

enum class SequenceEndMode : std::uint8_t {
  kTo = 0,    // the listed token ends the sequence and is returned
  kUpTo = 1,  // the listed token is dropped too
};

struct SequenceRecord {
  support::NameEntry* word;
  SequenceEndMode mode;
  std::vector<std::uint32_t> codes;
};

/// The position recorded by the "nothing before" pragma.
struct NothingBeforeMark {
  bool present;
  SourcePosition position;
  support::NameEntry* file;
  support::NameEntry* directory;
  std::uint32_t line;
};

/// The pragma state of a run. Lists that the pragmas keep "newest first" are
/// maps here: a newer entry for the same key replaces the older one.
struct PragmaState {
  std::unordered_map<const support::NameEntry*, std::uint32_t> codes;
  std::unordered_map<const support::NameEntry*, SequenceRecord> sequences;
  const SequenceRecord* currentSequence;
  std::unordered_map<std::string, std::string> pragmaReplacements;
  std::unordered_map<std::string, std::string> directiveReplacements;
  std::unordered_map<std::string, std::string> returnTypes;
  std::unordered_map<const support::NameEntry*, support::NameEntry*> prefixes;  // lives for the whole run
  bool noEscapes;        // "nointerpret": line-directive file names taken as written
  bool inlineAssembler;  // "microsoft#_asm" given
  NothingBeforeMark nothingBefore;
  std::vector<std::string> activeReplacements;  // replacement words being re-scanned
};

/// Handles one directive line, from its "#" to its end; returns the token it
/// yields (the analysis pause) or 0. A text without "#" is fatal.
int ScanDirective(std::string text);

/// The code recorded by "accept =" or "reduce =" for the word.
std::uint32_t AcceptCode(const support::NameEntry* entry);
/// The mode of the word's sequence, making that record current.
SequenceEndMode SequenceMode(const support::NameEntry* entry);
/// Whether the current sequence record lists the code.
bool IsSequenceEnd(std::uint32_t code);
/// The word's sequence record; internal errors as for SequenceMode.
const SequenceRecord& FindSequence(const support::NameEntry* entry);

/// Lookups by exact text; none when absent.
const std::string* ReturnTypeOf(const PragmaState& pragmas, std::string_view name);
const std::string* PragmaReplacement(std::string_view word);
const std::string* DirectiveReplacement(std::string_view word);
bool HasPragmaReplacements();
bool HasDirectiveReplacements();
/// The prefix given by prefix_call for a call identifier, or none.
support::NameEntry* PrefixOf(const PragmaState& pragmas, const support::NameEntry* call);

}  // namespace frontend
