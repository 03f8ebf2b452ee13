// The pragma forms that give words a meaning: accept, reduce, fctreduce,
// type_modifier, ex_call, exit_instr, prefix_call, return_type, the pragma
// and directive replacements, the special extensions and incl_std. Each form
// first checks the whole line, then applies its effect; an empty string is
// not applied and warns.
#include "frontend/pragma_forms.h"

#include "frontend/front_end.h"
#include "frontend/name_flags.h"
#include "frontend/pragmas.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <QString>

namespace frontend {
namespace {

constexpr const char* kCodeTooLarge = "Pragma quorb accept = code value to large : %1";

support::NameEntry* Intern(std::string_view text) { return support::InternName(text); }

// N {, N} up to the line end.
std::optional<std::vector<NumberText>> ReadNumberList(DirectiveCursor& cursor) {
  std::vector<NumberText> numbers;
  for (;;) {
    const std::optional<NumberText> number = ReadNumber(cursor);
    if (!number) return std::nullopt;
    numbers.push_back(*number);
    DirectiveCursor comma = cursor;
    SkipBlanks(comma);
    if (!MatchWord(comma, ",")) return numbers;
    SkipBlanks(comma);
    cursor = comma;
  }
}

// string {, string} up to the line end.
std::optional<std::vector<std::string_view>> ReadStringList(DirectiveCursor& cursor) {
  std::vector<std::string_view> strings;
  for (;;) {
    const std::optional<std::string_view> text = ReadString(cursor);
    if (!text) return std::nullopt;
    strings.push_back(*text);
    DirectiveCursor comma = cursor;
    SkipBlanks(comma);
    if (!MatchWord(comma, ",")) return strings;
    SkipBlanks(comma);
    cursor = comma;
  }
}

// Optional blanks, "=", optional blanks.
bool MatchEquals(DirectiveCursor& cursor) {
  SkipBlanks(cursor);
  if (!MatchWord(cursor, "=")) return false;
  SkipBlanks(cursor);
  return true;
}

bool AcceptSequence(DirectiveCursor cursor, std::string_view word, const DirectiveContext& context) {
  if (!SkipBlanks(cursor)) return false;
  SequenceEndMode mode = SequenceEndMode::kTo;
  if (MatchWord(cursor, "up")) {
    if (!SkipBlanks(cursor)) return false;
    mode = SequenceEndMode::kUpTo;
  }
  if (!MatchWord(cursor, "to") || !SkipBlanks(cursor)) return false;
  const auto numbers = ReadNumberList(cursor);
  if (!numbers || !AtLineEnd(cursor)) return false;
  if (word.empty()) {
    WarnDirective("Pragma quorb accept [up] to string is empty : %1", context);
    return true;
  }
  std::vector<std::uint32_t> codes;
  for (const NumberText& number : *numbers) {
    if (number.overflow) {
      WarnDirective(kCodeTooLarge, context);
      return true;
    }
    codes.push_back(number.value);
  }
  support::NameEntry* entry = Intern(word);
  entry->flags |= kAcceptSequence;
  Pragmas().sequences[entry] = SequenceRecord{entry, mode, std::move(codes)};
  return true;
}

bool AcceptWithCode(DirectiveCursor cursor, std::string_view word, const DirectiveContext& context) {
  if (!MatchEquals(cursor)) return false;
  const std::optional<NumberText> number = ReadNumber(cursor);
  if (!number || !AtLineEnd(cursor)) return false;
  if (word.empty()) {
    WarnDirective("Pragma quorb accept = string is empty : %1", context);
  } else if (number->overflow) {
    WarnDirective(kCodeTooLarge, context);
  } else {
    support::NameEntry* entry = Intern(word);
    entry->flags |= kAcceptCode;
    Pragmas().codes[entry] = number->value;
  }
  return true;
}

void SetReduceRule(std::string_view word, ReduceRule rule) {
  support::NameEntry* entry = Intern(word);
  entry->flags = (entry->flags & ~kReduceField) | (static_cast<std::uint32_t>(rule) << kReduceShift);
}

// "reduce" string [typename | null | empty | = N]
std::optional<ReduceRule> ReadReduceRule(DirectiveCursor& cursor, std::optional<NumberText>& code) {
  if (AtLineEnd(cursor)) return kReduceIdentifier;
  DirectiveCursor equals = cursor;
  if (MatchEquals(equals)) {
    code = ReadNumber(equals);
    if (!code || !AtLineEnd(equals)) return std::nullopt;
    return kReduceCode;
  }
  if (!SkipBlanks(cursor)) return std::nullopt;
  static constexpr std::pair<const char*, ReduceRule> kRules[] = {
      {"typename", kReduceTypedefName}, {"null", kReduceNull}, {"empty", kReduceEmpty}};
  for (const auto& [keyword, rule] : kRules) {
    DirectiveCursor probe = cursor;
    if (MatchWord(probe, keyword) && AtLineEnd(probe)) return rule;
  }
  return std::nullopt;
}

bool FormReduce(DirectiveCursor cursor, const DirectiveContext& context) {
  if (!MatchWord(cursor, "reduce") || !SkipBlanks(cursor)) return false;
  const std::optional<std::string_view> word = ReadString(cursor);
  if (!word) return false;
  std::optional<NumberText> code;
  const std::optional<ReduceRule> rule = ReadReduceRule(cursor, code);
  if (!rule) return false;
  if (word->empty()) {
    WarnDirective("Pragma quorb reduce string is empty : %1", context);
  } else if (code && code->overflow) {
    WarnDirective(kCodeTooLarge, context);
  } else {
    SetReduceRule(*word, *rule);
    if (code) Pragmas().codes[Intern(*word)] = code->value;
  }
  return true;
}

bool FormAccept(DirectiveCursor cursor, const DirectiveContext& context) {
  if (!MatchWord(cursor, "accept") || !SkipBlanks(cursor)) return false;
  const std::optional<std::string_view> word = ReadString(cursor);
  if (!word) return false;
  if (AtLineEnd(cursor)) {
    if (word->empty()) WarnDirective("Pragma quorb accept string is empty : %1", context);
    else Intern(*word)->flags |= kAcceptedWord;
    return true;
  }
  return AcceptWithCode(cursor, *word, context) || AcceptSequence(cursor, *word, context);
}

bool FormFunctionReduce(DirectiveCursor cursor, const DirectiveContext& context) {
  if (!MatchWord(cursor, "fctreduce") || !SkipBlanks(cursor)) return false;
  const std::optional<std::string_view> word = ReadString(cursor);
  if (!word || !AtLineEnd(cursor)) return false;
  if (word->empty()) WarnDirective("Pragma quorb fctreduce string is empty : %1", context);
  else Intern(*word)->flags |= kFunctionReduce;
  return true;
}

bool FormTypeModifier(DirectiveCursor cursor, const DirectiveContext& context) {
  if (!MatchWord(cursor, "type_modifier") || !MatchEquals(cursor)) return false;
  const std::optional<std::string_view> word = ReadIdentifier(cursor);
  if (!AtLineEnd(cursor)) return false;
  if (!word) WarnDirective("Pragma quorb type_modifier name is empty : %1", context);
  else Intern(*word)->flags |= kTypeModifier;
  return true;
}

// ex_call and exit_instr: a blank before "=", then a list of names.
bool FormNameList(DirectiveCursor cursor, const DirectiveContext& context, std::string_view keyword,
                  std::uint32_t flag, const char* emptyText) {
  if (!MatchWord(cursor, keyword) || !SkipBlanks(cursor) || !MatchEquals(cursor)) return false;
  const auto names = ReadStringList(cursor);
  if (!names || !AtLineEnd(cursor)) return false;
  for (std::string_view name : *names) {
    if (name.empty()) WarnDirective(emptyText, context);
    else Intern(name)->flags |= flag;
  }
  return true;
}

void SetPrefix(support::NameEntry* call, support::NameEntry* prefix, const DirectiveContext& context) {
  support::NameEntry*& slot = Pragmas().prefixes[call];
  if (slot && slot != prefix) {
    support::DisplayWarning(
        support::Translate("User Warning",
                           "%1 in pragma quorb prefix_call, the call identifier %2 is already to be prefixed by %3; "
                           "this prefix is no longer used: %4 will be used instead",
                           "%1 is file and line reference, %2 is the identifier, %3 is the old prefix and %4 is the "
                           "new prefix")
            .arg(support::FromLocal(context.Reference()), support::FromLocal(call->text),
                 support::FromLocal(slot->text), support::FromLocal(prefix->text)));
  }
  slot = prefix;
}

bool FormPrefixCall(DirectiveCursor cursor, const DirectiveContext& context) {
  if (!MatchWord(cursor, "prefix_call") || !SkipBlanks(cursor)) return false;
  const std::optional<std::string_view> prefix = ReadString(cursor);
  if (!prefix || !MatchEquals(cursor)) return false;
  const auto calls = ReadStringList(cursor);
  if (!calls || !AtLineEnd(cursor)) return false;
  if (prefix->empty()) {
    WarnDirective("Pragma quorb prefix_call prefix string is empty : %1", context);
    return true;
  }
  for (std::string_view call : *calls) {
    if (call.empty()) WarnDirective("Pragma quorb prefix_call call identifier is empty : %1", context);
    else SetPrefix(Intern(call), Intern(*prefix), context);
  }
  return true;
}

// keyword string "=" string, with one warning per empty part.
std::optional<std::pair<std::string_view, std::string_view>> ReadPair(DirectiveCursor cursor,
                                                                       std::string_view keyword) {
  if (!MatchWord(cursor, keyword) || !SkipBlanks(cursor)) return std::nullopt;
  const std::optional<std::string_view> first = ReadString(cursor);
  if (!first || !MatchEquals(cursor)) return std::nullopt;
  const std::optional<std::string_view> second = ReadString(cursor);
  if (!second || !AtLineEnd(cursor)) return std::nullopt;
  return std::make_pair(*first, *second);
}

bool FormPair(DirectiveCursor cursor, const DirectiveContext& context, std::string_view keyword,
              const char* firstEmpty, const char* secondEmpty,
              void (*apply)(std::string_view, std::string_view)) {
  const auto pair = ReadPair(cursor, keyword);
  if (!pair) return false;
  if (pair->first.empty()) WarnDirective(firstEmpty, context);
  else if (pair->second.empty()) WarnDirective(secondEmpty, context);
  else apply(pair->first, pair->second);
  return true;
}

std::string LowerCased(std::string_view word) {
  std::string lowered(word);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

void ApplyReturnType(std::string_view name, std::string_view type) {
  Intern(name)->flags |= kHasReturnType;
  Pragmas().returnTypes[std::string(name)] = std::string(type);
}

void ApplyPragmaReplacement(std::string_view word, std::string_view text) {
  Pragmas().pragmaReplacements[LowerCased(word)] = std::string(text) + "\n";
}

void ApplyDirectiveReplacement(std::string_view word, std::string_view text) {
  Pragmas().directiveReplacements[LowerCased(word)] = std::string(text) + "\n";
}

}  // namespace

bool HandleWordForm(DirectiveCursor cursor, const DirectiveContext& context) {
  return FormAccept(cursor, context) || FormReduce(cursor, context) || FormFunctionReduce(cursor, context) ||
         FormTypeModifier(cursor, context) ||
         FormNameList(cursor, context, "ex_call", kExcludedFromCalls,
                      "Pragma quorb ex_call function name is empty : %1") ||
         FormNameList(cursor, context, "exit_instr", kTerminatingFunction,
                      "Pragma quorb exit_instr function name is empty : %1") ||
         FormPrefixCall(cursor, context) ||
         FormPair(cursor, context, "return_type", "Pragma quorb return_type ident is empty : %1",
                  "Pragma quorb return_type identifier return_type is empty : %1", ApplyReturnType) ||
         FormPair(cursor, context, "pragma", "Pragma quorb pragma ident is empty : %1",
                  "Pragma quorb pragma replacement text is empty : %1", ApplyPragmaReplacement) ||
         FormPair(cursor, context, "directive", "Pragma quorb directive ident is empty : %1",
                  "Pragma quorb directive replacement text is empty : %1", ApplyDirectiveReplacement);
}

}  // namespace frontend
