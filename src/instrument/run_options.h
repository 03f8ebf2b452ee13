// What a run of the instrumentor is asked to do: the analysed command line,
// filled once by the driver and read-only afterwards. Names given by options
// are interned with their flag bits.
#pragma once

#include "support/name_table.h"

#include <cstdint>
#include <optional>
#include <string>

namespace instrument {

/// Bits of RunOptions::coverage.
enum CoverageBit : std::uint16_t {
  kCoverProcEntry = 0x0001,
  kCoverProcExit = 0x0002,
  kCoverCall = 0x0004,
  kCoverStatementBlock = 0x0008,
  kCoverTernary = 0x0010,
  kCoverImplicitDecision = 0x0020,
  kCoverLogical = 0x0040,
  kCoverBasicCondition = 0x0100,
  kCoverModifiedCondition = 0x0200,
  kCoverCompoundCondition = 0x0400,
  kCoverForcedEvaluation = 0x0800,
  kCoverWhileOnly = 0x8000,
};

/// Bits of RunOptions::selection.
enum SelectionBit : std::uint8_t {
  kSelectAllFiles = 0x01,
  kSelectAllUnits = 0x02,
};

struct RunOptions {
  std::string srcPath;
  std::string instrPath;
  std::string defPath;
  std::uint16_t coverage = 0;
  std::optional<std::string> fdcName;
  std::optional<std::string> fdcDir;  // "" when not given, none when given without value
  std::uint8_t selection = kSelectAllFiles | kSelectAllUnits;
  support::NameEntry* comment = nullptr;
  support::NameEntry* mainService = nullptr;
  support::NameList fileList;
  support::NameList exFileList;
  support::NameList unitList;
  support::NameList exUnitList;
  support::NameList noInstrDirList;
  bool noPath = false;
  bool noFullPathKey = false;
  bool altChecksum = false;
  bool noInclude = false;
  bool noWarnings = false;
  bool compact = false;
  bool count = false;
  bool keep = false;
  bool cvi = false;
  bool metrics = false;
  bool info = true;
  bool source = false;
  bool runtimeAnalysis = false;
  bool trace = false;
  bool beforeReturnExpr = false;
  bool memPro = false;
  bool noInspectAll = false;
  support::NameList noInspectDirList;
  bool perfPro = false;
  bool perfProProcessClock = false;
  std::optional<std::string> tsfName;
  std::optional<std::string> tsfDir;  // "" when not given, none when given without value
  bool noDLine = false;
  support::NameList setList;
};

}  // namespace instrument
