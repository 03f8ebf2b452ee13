// AnalyseOptions queries the analysed command line in a fixed order; the
// order matters because a user error stops the processing at its step and
// because later rules read fields that earlier steps set.
#include "driver/options.h"

#include "driver/command_analysis.h"
#include "driver/excall_file.h"
#include "driver/option_table.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/moxtel_log.h"
#include "support/translate.h"

#include <QString>

#include <vector>

namespace driver {
namespace {

using support::NameEntry;
using support::Translate;

bool Given(const char* name) { return QueryOption(name) > 0; }

std::vector<std::string> Values(const char* name) {
  const int position = QueryOption(name);
  std::vector<std::string> values;
  for (int j = 1; const std::string* value = OptionValue(position, j); ++j) values.push_back(*value);
  return values;
}

std::optional<std::string> FirstValue(const char* name) {
  const std::string* value = OptionValue(QueryOption(name), 1);
  return value ? std::optional<std::string>(*value) : std::nullopt;
}

void Warn(const char* text, const char* comment = nullptr, const std::string& argument = {}) {
  QString message = Translate("User Warning", text, comment);
  if (comment) message = message.arg(support::FromLocal(argument));
  support::DisplayWarning(message);
}

void UserError(const char* text, const char* optionName) {
  support::DisplayError(Translate("User Error", text).arg(QString::fromLatin1(optionName)));
}

bool NothingSelected(const Options& options) {
  return options.coverage == 0 && !options.trace && !options.memPro && !options.perfPro;
}

void FlagEach(const char* option, std::uint32_t flag) {
  for (const std::string& value : Values(option)) support::InternName(value)->flags |= flag;
}

std::string CanonicalFile(const std::string& path) {
  const support::SplitResult split = support::SplitPath(path);
  return split.directory->text + (split.name ? split.name->text : std::string());
}

// Directory values never end with "/"; a last component "." or ".." names the
// directory it stands for.
std::string CanonicalDirectory(const std::string& path) {
  const support::SplitResult split = support::SplitPath(path);
  const std::string last = split.name && split.name->text != "." ? split.name->text : std::string();
  std::string directory = support::NormalizePath(split.directory->text + last);
  if (directory.size() > 1) directory.pop_back();
  return directory;
}

// Interns each canonical value with its flag into the list; a repeat warns
// with the canonical path or the value as typed.
void AddPaths(const char* option, bool directories, std::uint32_t flag, support::NameList& list,
              const char* repeatText, const char* comment, bool warnCanonical) {
  for (const std::string& value : Values(option)) {
    const std::string canonical = directories ? CanonicalDirectory(value) : CanonicalFile(value);
    NameEntry* entry = support::InternName(canonical);
    entry->flags |= flag;
    if (support::AddToNameList(list, entry) > 1) Warn(repeatText, comment, warnCanonical ? canonical : value);
  }
}

void AddNames(const char* option, std::uint32_t flag, support::NameList& list, const char* repeatText,
              const char* comment) {
  for (const std::string& value : Values(option)) {
    NameEntry* entry = support::InternName(value);
    entry->flags |= flag;
    if (support::AddToNameList(list, entry) > 1) Warn(repeatText, comment, value);
  }
}

std::uint16_t DefaultCoverage() {
  std::uint16_t coverage = kCoverProcEntry | kCoverStatementBlock | kCoverImplicitDecision;
  if (Given("NOPROC")) coverage &= ~kCoverProcEntry;
  if (Given("NOBLOCK")) coverage &= ~(kCoverStatementBlock | kCoverImplicitDecision);
  return coverage;
}

std::uint16_t SelectedCoverage() {
  std::uint16_t coverage = 0;
  if (Given("PROC")) coverage |= FirstValue("PROC") ? 0x0003 : 0x0001;
  if (Given("CALL")) coverage |= kCoverCall;
  if (Given("BLOCK")) {
    const std::optional<std::string> level = FirstValue("BLOCK");
    coverage |= !level ? 0x0008 : *level == "LOGICAL" ? 0x0068 : 0x0028;
  }
  if (Given("COND")) {
    const std::optional<std::string> level = FirstValue("COND");
    coverage |= !level ? 0x0100 : *level == "FORCEEVALUATION" ? 0x0F00 : 0x0700;
  }
  return coverage;
}

void SetCoverage(Options& options) {
  const bool renaming = QueryOption("RENAME") > 0 || QueryOption("REMOVE") > 0;
  const bool anyCoverageOption = Given("PROC") || Given("CALL") || Given("BLOCK") || Given("COND");
  const bool runtime = options.trace || options.memPro || options.perfPro;
  options.coverage = !anyCoverageOption && !runtime && !renaming ? DefaultCoverage() : SelectedCoverage();
  if (options.coverage == 0 && !runtime && !renaming) {
    support::DisplayFatalError(Translate(
        "Fatal Error", "No Code Coverage nor Runtime Tracing, Memory or Performance Profiling specified"));
  }
}

void SetPerformanceProfiling(Options& options, const char* option) {
  options.perfPro = true;
  options.runtimeAnalysis = true;
  const std::optional<std::string> clock = FirstValue(option);
  if (clock && *clock == "PROCESS") options.perfProProcessClock = true;
}

void SetPaths(Options& options) {
  options.srcPath = *PositionalValue(1, 1);
  options.instrPath = *PositionalValue(2, 1);
  const std::string target = *support::GetEnvironment("QBLTGT", true);
  const std::string& definition = *PositionalValue(3, 1);
  if (definition.find('/') != std::string::npos) {
    support::DisplayFatalError(Translate("Fatal Error", "path is forbidden for parameter <def> %1",
                                         "%1 is the parameter")
                                   .arg(support::FromLocal(definition)));
  }
  options.defPath = support::JoinPath(support::JoinPath(target, "ana"), definition);
}

void SetRuntimeAnalyses(Options& options) {
  if (Given("TRACE")) {
    options.trace = true;
    options.runtimeAnalysis = true;
  }
  if (Given("BEFORE_RETURN_EXPR")) {
    if (!options.trace) {
      Warn("If Trace option is not selected, -BEFORE_RETURN_EXPR will be ignored");
    } else {
      options.beforeReturnExpr = true;
    }
  }
  if (Given("SCRUBRALT")) Warn("Command-line:\n -scrubralt option is deprecated; please use -mempro option instead");
  if (Given("MEMPRO") || Given("SCRUBRALT")) {
    options.memPro = true;
    options.runtimeAnalysis = true;
  }
  FlagEach("NOINSPECT", support::kNoInspectVariable);
  if (Given("NOINSPECT") && Values("NOINSPECT").empty()) options.noInspectAll = true;
  AddPaths("NOINSPECTDIR", true, support::kNoInspectDirectory, options.noInspectDirList,
           "A directory appears twice in -NOINSPECTDIR list : %1", "%1 : the directory", false);
  if (Given("PERFPRO")) SetPerformanceProfiling(options, "PERFPRO");
  if (Given("TALLAROLT")) {
    Warn("Command-line:\n -tallarolt option is deprecated; please use -perfpro option instead");
    SetPerformanceProfiling(options, "TALLAROLT");
  }
}

bool SetCoverageDetails(Options& options) {
  if (!Given("NOTERNARY")) {
    if (options.coverage & kCoverStatementBlock) options.coverage |= kCoverTernary;
  } else if (!(options.coverage & kCoverStatementBlock)) {
    Warn("If block coverage is not selected, -NOTERNARY will be ignored");
  }
  if (Given("CALLMAYTERMINATE")) {
    if (options.coverage & kCoverStatementBlock) {
      FlagEach("CALLMAYTERMINATE", support::kMayTerminate);
    } else {
      Warn("If block coverage is not selected, -CALLMAYTERMINATE will be ignored");
    }
  }
  if (Given("WHILEONLY")) {
    if (options.coverage & kCoverLogical) {
      options.coverage |= kCoverWhileOnly;
    } else {
      Warn("If logical block coverage is not selected, -WHILEONLY will be ignored");
    }
  }
  const char* forbidden = "Code Coverage is not selected, use of -%1 option is forbidden";
  if (Given("COMPACT")) {
    if (options.coverage == 0) return UserError(forbidden, "COMPACT"), false;
    options.compact = true;
  }
  if (Given("COUNT")) {
    if (options.coverage == 0) return UserError(forbidden, "COUNT"), false;
    options.count = true;
  }
  return true;
}

void SetOutputChoices(Options& options) {
  if (const std::optional<std::string> comment = FirstValue("COMMENT")) {
    options.comment = support::InternName(*comment);
  }
  options.keep = Given("KEEP");
  if (options.coverage != 0) {
    options.cvi = !Given("NOCVI");
    options.metrics = Given("METRICS");
    options.source = !Given("NOSOURCE");
  }
  options.info = !Given("NOINFO");
}

void SetServices(Options& options) {
  FlagEach("RENAME", support::kRenameService);
  FlagEach("REMOVE", support::kRemoveService);
  if (Given("EXCALL")) {
    if (options.coverage & kCoverCall) {
      ReadExcallFile(*FirstValue("EXCALL"));
    } else {
      Warn("If call coverage is not selected, -EXCALL will be ignored");
    }
  }
  FlagEach("DUMPCALLING", support::kDumpCalling);
  FlagEach("DUMPINCOMING", support::kDumpIncoming);
  FlagEach("DUMPRETURNING", support::kDumpReturning);
  if (const std::optional<std::string> main = FirstValue("MAIN")) options.mainService = support::InternName(*main);
}

void SetFileSelection(Options& options) {
  if (Given("FILE")) options.selection &= ~kSelectAllFiles;
  AddPaths("FILE", false, support::kSelectedFile, options.fileList, "A file appears twice in -FILE list : %1",
           "%1 : the file", true);
  AddPaths("EXFILE", false, support::kExcludedFile, options.exFileList,
           "A file appears twice in -EXFILE list : %1", "%1 : the file", true);
}

// The unit and include filters need something to filter; a user error
// otherwise.
bool RequireSelection(const Options& options, const char* option) {
  if (!NothingSelected(options)) return true;
  UserError("No Code Coverage nor Runtime Tracing, Memory Profiling or Performance Profiling are selected, "
            "use of -%1 option is forbidden",
            option);
  return false;
}

bool SelectUnits(Options& options, const char* option) {
  if (!RequireSelection(options, option)) return false;
  options.selection &= ~kSelectAllUnits;
  AddNames(option, support::kSelectedUnit, options.unitList, "A unit appears twice in -UNIT list : %1",
           "%1 : the unit");
  return true;
}

bool ExcludeUnits(Options& options, const char* option) {
  if (!RequireSelection(options, option)) return false;
  AddNames(option, support::kExcludedUnitOrDirectory, options.exUnitList,
           "A unit appears twice in -EXUNIT list : %1", "%1 : the unit");
  return true;
}

bool SetUnitSelection(Options& options) {
  if (Given("NOINCLUDE")) {
    if (!RequireSelection(options, "NOINCLUDE")) return false;
    options.noInclude = true;
  }
  if (Given("UNIT") && !SelectUnits(options, "UNIT")) return false;
  if (Given("EXUNIT") && !ExcludeUnits(options, "EXUNIT")) return false;
  if (Given("SERVICE")) {
    Warn("Command-line:\n  -service option is deprecated; please use -unit option instead");
    if (!SelectUnits(options, "SERVICE")) return false;
  }
  if (Given("EXSERVICE")) {
    Warn("Command-line:\n  -exservice option is deprecated; please use -exunit option instead");
    if (!ExcludeUnits(options, "EXSERVICE")) return false;
  }
  return true;
}

// "" when the option is absent, its value when given with one, none when
// given without a value.
std::optional<std::string> OptionalDirectory(const char* option) {
  if (!Given(option)) return std::string();
  return FirstValue(option);
}

void SetOutputPlaces(Options& options) {
  AddPaths("NOINSTRDIR", true, support::kExcludedUnitOrDirectory, options.noInstrDirList,
           "A directory appears twice in -NOINSTRDIR list : %1", "%1 : the directory", false);
  options.fdcName = FirstValue("FDCNAME");
  options.fdcDir = OptionalDirectory("FDCDIR");
  options.tsfName = FirstValue("TSFNAME");
  options.tsfDir = OptionalDirectory("TSFDIR");
  options.noDLine = Given("NODLINE");
  for (const std::string& value : Values("SET")) {
    NameEntry* entry = support::InternName(support::ToLocal(support::FromLocal(value).toLower()));
    if (support::AddToNameList(options.setList, entry) > 1) {
      Warn("A name appears twice in -SET list : %1", "%1 : the name", value);
    }
  }
  if (Given("MOXTEL_LOG")) support::OpenMoxtelLog(FirstValue("MOXTEL_LOG").value_or(std::string()));
}

}  // namespace

bool AnalyseOptions(int argc, const char* const* argv, Options& options) {
  CommandAnalysisState analysis;
  const CommandAnalysisScope binding(analysis);
  InitCommandAnalysis(InstrumentorCommandTable());
  if (AnalyseCommandLine(ExpandArguments(argc, argv)) != 0) return false;
  SetPaths(options);
  if (Given("NOWARNINGS")) {
    options.noWarnings = true;
    support::SetQuietMode();
  }
  options.noPath = Given("NOPATH");
  options.noFullPathKey = Given("NOFULLPATHKEY");
  options.altChecksum = Given("ALTCHECKSUM");
  SetRuntimeAnalyses(options);
  SetCoverage(options);
  if (!SetCoverageDetails(options)) return false;
  SetOutputChoices(options);
  SetServices(options);
  SetFileSelection(options);
  if (!SetUnitSelection(options)) return false;
  SetOutputPlaces(options);
  return true;
}

void ReleaseOptions(Options& options) {
  for (support::NameList* list : {&options.fileList, &options.exFileList, &options.unitList, &options.exUnitList,
                                  &options.noInstrDirList, &options.noInspectDirList, &options.setList}) {
    support::FreeNameList(*list);
  }
  options.defPath.clear();
}

}  // namespace driver
