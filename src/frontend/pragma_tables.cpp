#include "frontend/pragmas.h"

#include "support/messages.h"
#include "support/translate.h"

#include <algorithm>

namespace frontend {
namespace {

PragmaState pragmas;

[[noreturn]] void FailLookup(const char* text) {
  support::DisplayInternalError(support::Translate("Internal Error", text), support::CodeLocation::Current());
}

template <typename Map>
const std::string* FindText(const Map& map, std::string_view key) {
  const auto found = map.find(std::string(key));
  return found == map.end() ? nullptr : &found->second;
}

}  // namespace

PragmaState& Pragmas() { return pragmas; }

std::uint32_t AcceptCode(const support::NameEntry* entry) {
  if (!entry) FailLookup("Attempt to find bad alpha");
  const auto found = pragmas.codes.find(entry);
  if (found == pragmas.codes.end()) FailLookup("Attempt to find unexisting pragma quorb accept =");
  return found->second;
}

const SequenceRecord& FindSequence(const support::NameEntry* entry) {
  if (!entry) FailLookup("Attempt to find bad alpha");
  const auto found = pragmas.sequences.find(entry);
  if (found == pragmas.sequences.end()) FailLookup("Attempt to find unexisting pragma quorb accept");
  return found->second;
}

SequenceEndMode SequenceMode(const support::NameEntry* entry) {
  const SequenceRecord& record = FindSequence(entry);
  pragmas.currentSequence = &record;
  return record.mode;
}

bool IsSequenceEnd(std::uint32_t code) {
  const SequenceRecord* record = pragmas.currentSequence;
  return record && std::find(record->codes.begin(), record->codes.end(), code) != record->codes.end();
}

const std::string* ReturnTypeOf(std::string_view name) { return FindText(pragmas.returnTypes, name); }

const std::string* PragmaReplacement(std::string_view word) { return FindText(pragmas.pragmaReplacements, word); }

const std::string* DirectiveReplacement(std::string_view word) {
  return FindText(pragmas.directiveReplacements, word);
}

bool HasPragmaReplacements() { return !pragmas.pragmaReplacements.empty(); }

bool HasDirectiveReplacements() { return !pragmas.directiveReplacements.empty(); }

support::NameEntry* PrefixOf(const support::NameEntry* call) {
  const auto found = pragmas.prefixes.find(call);
  return found == pragmas.prefixes.end() ? nullptr : found->second;
}

void ResetPragmaTables() {
  auto prefixes = std::move(pragmas.prefixes);
  pragmas = PragmaState{};
  pragmas.prefixes = std::move(prefixes);
}

void FreePragmaTables() { pragmas = PragmaState{}; }

}  // namespace frontend
