#include "driver/option_table.h"

#include <initializer_list>
#include <vector>

namespace driver {
namespace {

enum class Value { None, Optional, Mandatory };

struct Row {
  const char* name;
  Value value;
  const char* valueName;
  bool list;
  long maxLength;
  std::vector<const char*> keywords;
  bool negatable;
};

OptionSpec MakeOption(const Row& row) {
  OptionSpec option;
  option.name = row.name;
  option.negatable = row.negatable;
  option.hasValue = row.value != Value::None;
  option.valueMandatory = row.value == Value::Mandatory;
  if (option.hasValue) option.value = ValueSpec{row.valueName, row.list, 1, row.maxLength, {}};
  for (const char* keyword : row.keywords) option.keywords.push_back({keyword, false});
  return option;
}

Row Flag(const char* name, bool negatable = false) { return {name, Value::None, nullptr, false, 0, {}, negatable}; }

Row Optional(const char* name, const char* valueName, std::initializer_list<const char*> keywords = {}) {
  return {name, Value::Optional, valueName, false, 1024, keywords, false};
}

Row OptionalList(const char* name, const char* valueName, long maxLength) {
  return {name, Value::Optional, valueName, true, maxLength, {}, false};
}

Row Mandatory(const char* name, const char* valueName, long maxLength = 1024,
              std::initializer_list<const char*> keywords = {}) {
  return {name, Value::Mandatory, valueName, false, maxLength, keywords, false};
}

Row MandatoryList(const char* name, const char* valueName) {
  return {name, Value::Mandatory, valueName, true, 16384, {}, false};
}

CommandTable BuildTable() {
  // The order is part of the interface: it gives the query positions and
  // decides which abbreviations are ambiguous.
  const Row rows[] = {
      Optional("PROC", "proc type", {"RET"}),
      Flag("NOPROC"),
      Flag("CALL", true),
      Optional("BLOCK", "block type", {"LOGICAL", "DECISION", "IMPLICIT"}),
      Flag("NOBLOCK"),
      Flag("NOTERNARY"),
      MandatoryList("CALLMAYTERMINATE", "service"),
      Flag("WHILEONLY"),
      Optional("COND", "cond type", {"FORCEEVALUATION", "COMPOUND", "MODIFIED"}),
      Flag("NOCOND"),
      Flag("COMPACT"),
      Flag("COUNT"),
      Mandatory("COMMENT", "text", 65535),
      Flag("KEEP"),
      Flag("NOPATH"),
      Flag("ALTCHECKSUM"),
      Flag("NOFULLPATHKEY"),
      Flag("NOCVI"),
      Flag("NOSOURCE"),
      Flag("METRICS", true),
      Flag("NOINFO"),
      MandatoryList("DUMPCALLING", "service"),
      MandatoryList("DUMPINCOMING", "service"),
      MandatoryList("DUMPRETURNING", "service"),
      Mandatory("MAIN", "service"),
      OptionalList("RENAME", "service", 16384),
      OptionalList("REMOVE", "service", 16384),
      Mandatory("EXCALL", "file"),
      MandatoryList("FILE", "file"),
      MandatoryList("EXFILE", "file"),
      MandatoryList("UNIT", "name"),
      MandatoryList("EXUNIT", "name"),
      MandatoryList("SERVICE", "name"),
      MandatoryList("EXSERVICE", "name"),
      MandatoryList("NOINSTRDIR", "directory"),
      Mandatory("FDCNAME", "file"),
      Optional("FDCDIR", "directory"),
      Flag("TRACE", true),
      Flag("BEFORE_RETURN_EXPR"),
      Flag("MEMPRO"),
      Flag("SCRUBRALT"),
      OptionalList("NOINSPECT", "variable", 32768),
      MandatoryList("NOINSPECTDIR", "directory"),
      Optional("PERFPRO", "clock", {"PROCESS", "OS"}),
      Optional("TALLAROLT", "clock", {"PROCESS", "OS"}),
      Mandatory("TSFNAME", "file"),
      Optional("TSFDIR", "directory"),
      Flag("NODLINE"),
      Flag("NOINCLUDE"),
      Flag("NOWARNINGS"),
      MandatoryList("SET", "name"),
      Optional("MOXTEL_LOG", "log-file"),
      Flag("NOINLINE"),
      MandatoryList("CLASS", "class name"),
      MandatoryList("EXCLASS", "class name"),
      Mandatory("INSTANTIATIONMODE", "mode", 1024, {"USED", "ALL"}),
      Flag("NO_DATA_TRACE"),
      Flag("NO_UNNAMED_TRACE"),
      Flag("NO_TEMPLATE_NOTE"),
  };

  CommandTable table;
  for (const Row& row : rows) table.options.push_back(MakeOption(row));
  for (const char* name : {"src", "instr", "def"}) {
    table.positionals.push_back({ValueSpec{name, false, 1, 1024, {}}, false});
  }
  table.illegalPairs = {{"PROC", "NOPROC"},       {"BLOCK", "NOBLOCK"},   {"COND", "NOCOND"},
                        {"COMPACT", "COUNT"},     {"FILE", "EXFILE"},     {"UNIT", "EXUNIT"},
                        {"SERVICE", "EXSERVICE"}, {"FDCNAME", "FDCDIR"}, {"TSFNAME", "TSFDIR"}};
  table.usageText = kUsageText;
  return table;
}

}  // namespace

const char* const kUsageText =
    "\nUsage quorbcc1:\n"
    "\t<src>\n"
    "\t<instr>\n"
    "\t<def>\n"
    "\t[-PROC[=<RET>]]\n"
    "\t[-NOPROC]\n"
    "\t[-CALL|-NOCALL]\n"
    "\t[-BLOCK[=<IMPLICIT|DECISION|LOGICAL>]]\n"
    "\t[-NOBLOCK]\n"
    "\t[-NOTERNARY]\n"
    "\t[-CALLMAYTERMINATE=<service>[,service]]\n"
    "\t[-WHILEONLY]\n"
    "\t[-COND[=<MODIFIED|COMPOUND|FORCEEVALUATION>]]\n"
    "\t[-NOCOND]\n"
    "\t[-COMPACT]\n"
    "\t[-COUNT]\n"
    "\t[-COMMENT=<text>]\n"
    "\t[-NOPATH]\n"
    "\t[-ALTCHECKSUM]\n"
    "\t[-NOFULLPATHKEY]\n"
    "\t[-NOCVI]\n"
    "\t[-NOSOURCE]\n"
    "\t[-METRICS|-NOMETRICS]\n"
    "\t[-NOINFO]\n"
    "\t[-DUMPCALLING=<service>[,service]]\n"
    "\t[-DUMPINCOMING=<service>[,service]]\n"
    "\t[-DUMPRETURNING=<service>[,service]]\n"
    "\t[-MAIN=<service>]\n"
    "\t[-RENAME[=<service>][,service]]\n"
    "\t[-REMOVE[=<service>][,service]]\n"
    "\t[-EXCALL=<file>]\n"
    "\t[-FILE=<file>[,file]]\n"
    "\t[-EXFILE=<file>[,file]]\n"
    "\t[-UNIT=<name>[,name]]\n"
    "\t[-EXUNIT=<name>[,name]]\n"
    "\t[-NOINSTRDIR=<directory>[,directory]]\n"
    "\t[-FDCNAME=<file>]\n"
    "\t[-FDCDIR[=<directory>]]\n"
    "\t[-TRACE|-NOTRACE]\n"
    "\t[-BEFORE_RETURN_EXPR]\n"
    "\t[-MEMPRO]\n"
    "\t[-NOINSPECT[=<variable>][,variable]]\n"
    "\t[-NOINSPECTDIR=<directory>[,directory]]\n"
    "\t[-PERFPRO[=<OS|PROCESS>]]\n"
    "\t[-TSFNAME=<file>]\n"
    "\t[-TSFDIR[=<directory>]]\n"
    "\t[-NODLINE]\n"
    "\t[-NOINCLUDE]\n"
    "\t[-NOWARNINGS]\n"
    "\t[-SET=<name>[,name]]\n"
    "Ignored options but accepted for compatibility:\n"
    "\t[-NOINLINE]\n"
    "\t[-CLASS=<class name>[,class name]]\n"
    "\t[-EXCLASS=<class name>[,class name]]\n"
    "\t[-INSTANTIATIONMODE=<ALL|USED>]\n"
    "\t[-NO_DATA_TRACE]\n"
    "\t[-NO_UNNAMED_TRACE]\n"
    "\t[-NO_TEMPLATE_NOTE]\n";

const CommandTable& InstrumentorCommandTable() {
  static const CommandTable table = BuildTable();
  return table;
}

}  // namespace driver
