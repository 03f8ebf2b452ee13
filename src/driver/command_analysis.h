// Table-driven command-line analysis, independent of what the options mean.
//
// The caller supplies an ordered table of options and positionals. The
// analysis expands response files and $NAME variables, matches each argument
// (case-insensitive abbreviations, "NO" forms of negatable options, values,
// lists split at unescaped ",", keywords), checks the illegal pairs and then
// answers queries. Every error is numbered, shown on standard error followed
// by the usage text, and ends the analysis.
#pragma once

#include "support/thread_binding.h"

#include <string>
#include <string_view>
#include <vector>

namespace driver {

enum class CommandError {
  ValueTooSmall = 0,
  ValueTooLarge = 1,
  LengthTooSmall = 2,
  LengthTooLarge = 3,
  TooManyArguments = 4,
  ListForbiddenArgument = 5,
  UnknownOption = 6,
  InvalidCharacter = 7,
  UsedTwice = 8,
  MandatoryArgument = 9,
  NoArgument = 10,
  ListForbiddenOption = 11,
  ArgumentMissing = 12,
  Ambiguous = 13,
  UnknownValue = 14,
  AmbiguousValue = 15,
  IllegalCombination = 16,
  FileNotFound = 17,
  NoMemory = 18,
  CommandAnalysis = 19,
  BadOptionName = 20,
};

/// A text value, checked on the length of each item.
struct ValueSpec {
  const char* valueName;
  bool listAllowed = false;
  long min = 1;
  long max = 1024;
  std::vector<std::string> values;  // received so far, in command-line order
};

struct Keyword {
  const char* text;
  bool used = false;
};

/// -1 given in NO form (or negatable and absent once the analysis ended),
/// 0 absent, +1 given.
using OptionState = int;

struct OptionSpec {
  const char* name;  // upper case, without the dash
  bool valueMandatory = false;
  bool hasValue = false;
  ValueSpec value{};
  bool negatable = false;
  std::vector<Keyword> keywords;
  OptionState state = 0;
};

struct PositionalSpec {
  ValueSpec value;
  bool optional = false;
};

struct IllegalPair {
  const char* first;
  const char* second;
};

struct CommandTable {
  std::vector<OptionSpec> options;
  std::vector<PositionalSpec> positionals;
  std::vector<IllegalPair> illegalPairs;
  const char* usageText;  // translated in context "Command-line"
};

/// The one analysis state of the process: the table being analysed and the
/// expanded argument list whose words the values are taken from.
struct CommandAnalysisState {
  CommandTable table;
  std::vector<std::string> arguments;
};

/// Binds the analysis of one command line to this thread for the scope.
using CommandAnalysisScope = support::ThreadBinding<CommandAnalysisState>;

/// The analysis bound to this thread.
inline CommandAnalysisState& CommandAnalysis() { return CommandAnalysisScope::Current(); }

/// Installs a fresh copy of the table; states and values start empty.
void InitCommandAnalysis(const CommandTable& table);

/// Response files (@file, -OPTION=file) and $NAME expansion. A response file
/// that cannot be read shows error 17 and leaves the list as received.
std::vector<std::string> ExpandArguments(int argc, const char* const* argv);

/// Analyses the expanded list (its first word is the program); 0 on success,
/// -1 after an error has been shown.
int AnalyseCommandLine(const std::vector<std::string>& arguments);

/// +position (1-based) when given, -position when in NO form, 0 when absent.
int QueryOption(std::string_view name);
/// The j-th value (from 1) of the option at |position|, or null.
const std::string* OptionValue(int position, int j);
/// The j-th value (from 1) of the i-th positional (from 1), or null.
const std::string* PositionalValue(int i, int j);
/// Number of values received by the option at |position|.
int OptionValueCount(int position);

/// Shows one numbered error (with the usage text except for error 20).
void ShowCommandError(CommandError error, std::string_view offending);

}  // namespace driver
