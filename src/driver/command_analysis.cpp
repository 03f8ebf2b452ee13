// Matching of the expanded arguments against the option table.
//
// Options are matched in table order: an exact match (ignoring case) ends the
// search, a proper prefix makes a candidate, and a negatable option is also
// tried as "NO" + name. Values are split at unescaped ",", checked for length
// (or number) and, for keyword options, replaced by the selected keyword.
#include "driver/command_analysis.h"

#include "support/messages.h"
#include "support/translate.h"

#include <QString>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace driver {
namespace {

const char* const kErrorTexts[] = {
    "Arg value too small,",
    "Arg value too large,",
    "Arg length too small,",
    "Arg length too large,",
    "Too many arguments invalid argument,",
    "List forbidden invalid argument,",
    "Unknown option,",
    "Invalid character following option,",
    "An option can't be used twice,",
    "Mandatory argument for this option,",
    "No argument for this option,",
    "List forbidden invalid option,",
    "Argument missing,",
    "Ambiguous option,",
    "Unknown value of option,",
    "Ambiguous value of option,",
    "Illegal combination of command elements,",
    "File not found",
    "Command analysis: No memory left",
    "Command analysis",
    "Internal error, bad option name",
};

const char* ErrorText(CommandError error) { return kErrorTexts[static_cast<int>(error)]; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool IsProperPrefixIgnoringCase(std::string_view prefix, std::string_view word) {
  return prefix.size() < word.size() && EqualsIgnoringCase(prefix, word.substr(0, prefix.size()));
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && EqualsIgnoringCase(text.substr(0, start.size()), start);
}

QString AnalysisPrefix(CommandError prefixError) {
  return QStringLiteral("%1 %2 %3")
      .arg(support::Translate("CAB", "Quorb"), support::GetProductName(),
           support::Translate("CAB", ErrorText(prefixError)));
}

// Positions of every unescaped "," split the value into items.
std::vector<std::string> SplitItems(std::string_view value) {
  std::vector<std::string> items(1);
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == ',') {
      items.back() += "\\,";
      ++i;
    } else if (value[i] == ',') {
      items.emplace_back();
    } else {
      items.back() += value[i];
    }
  }
  return items;
}

bool HasUnescapedComma(std::string_view value) { return SplitItems(value).size() > 1; }

std::string Unescape(std::string_view item) {
  std::string plain;
  for (std::size_t i = 0; i < item.size(); ++i) {
    if (item[i] == '\\' && i + 1 < item.size() && item[i + 1] == ',') continue;
    plain += item[i];
  }
  return plain;
}

// The keyword an item selects: one it begins with at once, else the longest
// keyword it is a prefix of. Reports errors 14 and 15.
std::optional<std::string> SelectKeyword(std::vector<Keyword>& keywords, std::string_view item) {
  Keyword* best = nullptr;
  bool tie = false;
  for (Keyword& keyword : keywords) {
    if (StartsWithIgnoringCase(item, keyword.text)) {
      keyword.used = true;
      return std::string(keyword.text);
    }
  }
  for (Keyword& keyword : keywords) {
    if (!IsProperPrefixIgnoringCase(item, keyword.text)) continue;
    const std::size_t length = std::char_traits<char>::length(keyword.text);
    if (best && length == std::char_traits<char>::length(best->text)) {
      tie = true;
    } else if (!best || length > std::char_traits<char>::length(best->text)) {
      best = &keyword;
      tie = false;
    }
  }
  if (!best) {
    ShowCommandError(CommandError::UnknownValue, item);
    return std::nullopt;
  }
  if (tie) {
    ShowCommandError(CommandError::AmbiguousValue, item);
    return std::nullopt;
  }
  best->used = true;
  return std::string(best->text);
}

// Checks one item and appends what is stored for it.
bool AddItem(ValueSpec& spec, std::vector<Keyword>* keywords, const std::string& item) {
  if (static_cast<long>(item.size()) < spec.min) {
    ShowCommandError(CommandError::LengthTooSmall, item);
    return false;
  }
  if (static_cast<long>(item.size()) > spec.max) {
    ShowCommandError(CommandError::LengthTooLarge, item);
    return false;
  }
  std::string plain = Unescape(item);
  if (keywords && !keywords->empty()) {
    std::optional<std::string> keyword = SelectKeyword(*keywords, plain);
    if (!keyword) return false;
    plain = std::move(*keyword);
  }
  spec.values.push_back(std::move(plain));
  return true;
}

bool AddValue(ValueSpec& spec, std::vector<Keyword>* keywords, std::string_view value) {
  for (const std::string& item : SplitItems(value)) {
    if (!AddItem(spec, keywords, item)) return false;
  }
  return true;
}

struct Match {
  OptionSpec* option = nullptr;
  OptionState state = 0;
};

// Finds the option named by word W; reports errors 6 and 13.
std::optional<Match> MatchOption(std::string_view word, std::string_view argument) {
  CommandAnalysisState& analysis = CommandAnalysis();
  Match candidate;
  int candidates = 0;
  for (OptionSpec& option : analysis.table.options) {
    if (EqualsIgnoringCase(word, option.name)) return Match{&option, +1};
    if (IsProperPrefixIgnoringCase(word, option.name)) {
      candidate = {&option, +1};
      ++candidates;
    }
    if (!option.negatable) continue;
    const std::string negated = std::string("NO") + option.name;
    if (EqualsIgnoringCase(word, negated)) return Match{&option, -1};
    if (IsProperPrefixIgnoringCase(word, negated)) {
      candidate = {&option, -1};
      ++candidates;
    }
  }
  if (candidates == 0) {
    ShowCommandError(CommandError::UnknownOption, argument);
    return std::nullopt;
  }
  if (candidates > 1) {
    ShowCommandError(CommandError::Ambiguous, argument);
    return std::nullopt;
  }
  return candidate;
}

std::string MandatoryValueText(const OptionSpec& option, std::string_view argument) {
  std::string text(argument.substr(0, argument.find('=')));
  if (option.keywords.empty()) return std::string(argument);
  text += '=';
  for (std::size_t i = 0; i < option.keywords.size(); ++i) {
    if (i) text += '|';
    text += option.keywords[i].text;
  }
  return text;
}

bool AnalyseOption(std::string_view argument) {
  const std::size_t equals = argument.find('=');
  const std::string_view word = argument.substr(0, equals);
  std::optional<Match> match = MatchOption(word, argument);
  if (!match) return false;
  OptionSpec& option = *match->option;

  const bool lists = option.hasValue && option.value.listAllowed;
  if (option.state != 0 && !lists) {
    ShowCommandError(CommandError::UsedTwice, argument);
    return false;
  }
  option.state = match->state;

  const bool hasEquals = equals != std::string_view::npos;
  const std::string_view value = hasEquals ? argument.substr(equals + 1) : std::string_view();
  if (option.valueMandatory && value.empty()) {
    ShowCommandError(CommandError::MandatoryArgument, MandatoryValueText(option, argument));
    return false;
  }
  if (!option.hasValue && hasEquals) {
    ShowCommandError(CommandError::NoArgument, argument);
    return false;
  }
  if (value.empty()) return true;
  if (!lists && HasUnescapedComma(value)) {
    ShowCommandError(CommandError::ListForbiddenOption, argument);
    return false;
  }
  return AddValue(option.value, &option.keywords, value);
}

bool AnalysePositional(std::size_t& next, const std::string& argument) {
  CommandAnalysisState& analysis = CommandAnalysis();
  std::vector<PositionalSpec>& positionals = analysis.table.positionals;
  if (positionals.empty()) {
    ShowCommandError(CommandError::TooManyArguments, argument);
    return false;
  }
  PositionalSpec& positional = positionals[std::min(next, positionals.size() - 1)];
  if (next < positionals.size()) ++next;
  if (!positional.value.listAllowed && HasUnescapedComma(argument)) {
    ShowCommandError(CommandError::ListForbiddenArgument, argument);
    return false;
  }
  if (!positional.value.listAllowed && !positional.value.values.empty()) {
    ShowCommandError(CommandError::TooManyArguments, argument);
    return false;
  }
  return AddValue(positional.value, nullptr, argument);
}

OptionSpec* FindOption(std::string_view name) {
  CommandAnalysisState& analysis = CommandAnalysis();
  for (OptionSpec& option : analysis.table.options) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

bool CheckEnd() {
  CommandAnalysisState& analysis = CommandAnalysis();
  for (const PositionalSpec& positional : analysis.table.positionals) {
    if (positional.optional || !positional.value.values.empty()) continue;
    ShowCommandError(CommandError::ArgumentMissing, positional.value.valueName);
    return false;
  }
  for (OptionSpec& option : analysis.table.options) {
    if (option.negatable && option.state == 0) option.state = -1;
  }
  for (const IllegalPair& pair : analysis.table.illegalPairs) {
    const OptionSpec* first = FindOption(pair.first);
    const OptionSpec* second = FindOption(pair.second);
    if (!first || !second || first->state != 1 || second->state != 1) continue;
    ShowCommandError(CommandError::IllegalCombination,
                     std::string(pair.first) + " and " + pair.second);
    return false;
  }
  return true;
}

}  // namespace

void InitCommandAnalysis(const CommandTable& table) {
  CommandAnalysisState& analysis = CommandAnalysis();
  analysis = CommandAnalysisState{};
  analysis.table = table;
}

int AnalyseCommandLine(const std::vector<std::string>& arguments) {
  CommandAnalysisState& analysis = CommandAnalysis();
  analysis.arguments = arguments;
  std::size_t nextPositional = 0;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool ok = !argument.empty() && argument.front() == '-'
                        ? AnalyseOption(std::string_view(argument).substr(1))
                        : AnalysePositional(nextPositional, argument);
    if (!ok) return -1;
  }
  return CheckEnd() ? 0 : -1;
}

int QueryOption(std::string_view name) {
  CommandAnalysisState& analysis = CommandAnalysis();
  const std::vector<OptionSpec>& options = analysis.table.options;
  for (std::size_t i = 0; i < options.size(); ++i) {
    if (name != options[i].name) continue;
    return options[i].state * static_cast<int>(i + 1);
  }
  ShowCommandError(CommandError::BadOptionName, name);
  return 0;
}

const std::string* OptionValue(int position, int j) {
  CommandAnalysisState& analysis = CommandAnalysis();
  const std::size_t index = static_cast<std::size_t>(std::abs(position));
  if (index == 0 || index > analysis.table.options.size() || j < 1) return nullptr;
  const std::vector<std::string>& values = analysis.table.options[index - 1].value.values;
  return static_cast<std::size_t>(j) <= values.size() ? &values[j - 1] : nullptr;
}

int OptionValueCount(int position) {
  CommandAnalysisState& analysis = CommandAnalysis();
  const std::size_t index = static_cast<std::size_t>(std::abs(position));
  if (index == 0 || index > analysis.table.options.size()) return 0;
  return static_cast<int>(analysis.table.options[index - 1].value.values.size());
}

const std::string* PositionalValue(int i, int j) {
  CommandAnalysisState& analysis = CommandAnalysis();
  if (i < 1 || j < 1 || static_cast<std::size_t>(i) > analysis.table.positionals.size()) return nullptr;
  const std::vector<std::string>& values = analysis.table.positionals[i - 1].value.values;
  return static_cast<std::size_t>(j) <= values.size() ? &values[j - 1] : nullptr;
}

void ShowCommandError(CommandError error, std::string_view offending) {
  CommandAnalysisState& analysis = CommandAnalysis();
  QString line = AnalysisPrefix(CommandError::CommandAnalysis) + QStringLiteral(" : ") +
                 support::Translate("CAB", ErrorText(error));
  if (!offending.empty()) {
    const std::string text(offending);
    line += QLatin1Char(' ') + support::Translate("Command-line", text.c_str());
  }
  if (error != CommandError::BadOptionName && analysis.table.usageText) {
    line += support::Translate("Command-line", analysis.table.usageText);
  }
  line += QLatin1Char('\n');
  const std::string bytes = support::ToLocal(line);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

}  // namespace driver
