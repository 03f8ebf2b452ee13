// Bits of NameEntry::flags owned by the front end: those the pragmas set and
// those the parser sets and the lexer reads. The other bits belong to the
// command line and the excall file (support/name_table.h).
#pragma once

#include <cstdint>

namespace frontend {

enum FrontEndFlag : std::uint32_t {
  kTypedefName = 0x00000001,          // typedef name in scope (parser)
  kFunctionTypedef = 0x00000002,      // typedef of a function type (parser)
  kDefinedInFile = 0x00000004,        // file-scope variable defined, not only declared, here (parser)
  kTerminatingFunction = 0x00000010,  // exit_instr
  kExcludedFromCalls = 0x00000020,    // ex_call, same bit as the excall file
  kTypeModifier = 0x00000100,         // type_modifier: the lexer drops the word
  kAcceptedWord = 0x00000200,         // accept: the lexer drops the word
  kAcceptCode = 0x00000400,           // accept =: the lexer returns a given code
  kAcceptSequence = 0x00000800,       // accept to / up to
  kReduceField = 0x00007000,          // reduce rule, see ReduceRule
  kFunctionReduce = 0x00008000,       // fctreduce: drop word and brace group
  kSpecificMeaning = 0x00010000,      // handler index in bits 8-15
  kHasReturnType = 0x00020000,        // return_type
  kNoInstrDirectory = 0x00400000,     // incl_std, same bit as -NOINSTRDIR
  kReferenced = 0x10000000,           // used as a primary expression (parser)
};

inline constexpr int kReduceShift = 12;
inline constexpr int kHandlerShift = 8;

/// Values of the reduce field.
enum ReduceRule : std::uint32_t {
  kReduceNone = 0,
  kReduceIdentifier = 1,
  kReduceTypedefName = 2,
  kReduceNull = 3,
  kReduceEmpty = 4,
  kReduceCode = 5,
};

/// Handler indexes of words with a specific meaning.
enum SpecificHandler : std::uint32_t {
  kHandlerInlineAssembler = 0,
  kHandlerExtensionKeyword = 1,  // the GNU words: __extension__ and _Atomic
};

inline ReduceRule ReduceRuleOf(std::uint32_t flags) {
  return static_cast<ReduceRule>((flags & kReduceField) >> kReduceShift);
}

inline std::uint32_t HandlerIndexOf(std::uint32_t flags) { return (flags >> kHandlerShift) & 0xFF; }

}  // namespace frontend
