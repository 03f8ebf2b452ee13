#include "frontend/pragmas.h"

#include "frontend/front_end.h"
#include "support/messages.h"
#include "support/translate.h"

#include <algorithm>

namespace frontend {
namespace {

[[noreturn]] void FailLookup(const char* text) {
  support::DisplayInternalError(support::Translate("Internal Error", text), support::CodeLocation::Current());
}

template <typename Map>
const std::string* FindText(const Map& map, std::string_view key) {
  const auto found = map.find(std::string(key));
  return found == map.end() ? nullptr : &found->second;
}

}  // namespace

std::uint32_t AcceptCode(const support::NameEntry* entry) {
  PragmaState& pragmas = Pragmas();
  if (!entry) FailLookup("Attempt to find bad alpha");
  const auto found = pragmas.codes.find(entry);
  if (found == pragmas.codes.end()) FailLookup("Attempt to find unexisting pragma quorb accept =");
  return found->second;
}

const SequenceRecord& FindSequence(const support::NameEntry* entry) {
  PragmaState& pragmas = Pragmas();
  if (!entry) FailLookup("Attempt to find bad alpha");
  const auto found = pragmas.sequences.find(entry);
  if (found == pragmas.sequences.end()) FailLookup("Attempt to find unexisting pragma quorb accept");
  return found->second;
}

SequenceEndMode SequenceMode(const support::NameEntry* entry) {
  PragmaState& pragmas = Pragmas();
  const SequenceRecord& record = FindSequence(entry);
  pragmas.currentSequence = &record;
  return record.mode;
}

bool IsSequenceEnd(std::uint32_t code) {
  PragmaState& pragmas = Pragmas();
  const SequenceRecord* record = pragmas.currentSequence;
  return record && std::find(record->codes.begin(), record->codes.end(), code) != record->codes.end();
}

const std::string* ReturnTypeOf(const PragmaState& pragmas, std::string_view name) {
  return FindText(pragmas.returnTypes, name);
}

const std::string* PragmaReplacement(std::string_view word) { return FindText(Pragmas().pragmaReplacements, word); }

const std::string* DirectiveReplacement(std::string_view word) {
  return FindText(Pragmas().directiveReplacements, word);
}

bool HasPragmaReplacements() { return !Pragmas().pragmaReplacements.empty(); }

bool HasDirectiveReplacements() { return !Pragmas().directiveReplacements.empty(); }

support::NameEntry* PrefixOf(const PragmaState& pragmas, const support::NameEntry* call) {
  const auto found = pragmas.prefixes.find(call);
  return found == pragmas.prefixes.end() ? nullptr : found->second;
}

}  // namespace frontend
