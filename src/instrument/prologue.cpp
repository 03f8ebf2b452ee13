#include "instrument/prologue.h"

#include "instrument/run_options.h"
#include "frontend/front_end.h"
#include "frontend/pragmas.h"
#include "frontend/symbol_tables.h"
#include "frontend/syntax_tree.h"
#include "instrument/instr_state.h"
#include "instrument/set_options.h"
#include "output/fdc_file.h"
#include "output/tsf_file.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <algorithm>
#include <string>

namespace instrument {
namespace {

using support::Translate;

std::string Format(const char* format, auto... values) {
  char text[256];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

// The splice must come before every instrumentation text: one anchored
// earlier would end up in front of the declarations it needs.
void CheckSplicePlace(const frontend::NothingBeforeMark& mark) {
  SortModifications(Instr().modifications);
  const std::vector<Modification>& records = Instr().modifications.records;
  if (records.empty()) return;
  const Modification& first = records.front();
  if (!PositionPrecedes(first.position, first.key, mark.position, static_cast<std::int32_t>(kNestingPriority))) return;
  const std::string reference = support::LocationTextShort(mark.file ? mark.file->text : std::string(), mark.line);
  support::DisplayFatalError(Translate("Fatal Error", "Misplaced pragma quorb \"nothing before\" %1",
                                       "%1 : file and line reference")
                                 .arg(support::FromLocal(reference)));
}

void WriteNoOutputInfos(const RunOptions& options, const frontend::TokenPosition& mainFile) {
  const std::string name = mainFile.File() ? mainFile.File()->text : std::string();
  if (Instr().fdc->Files().empty() && options.coverage != 0 &&
      !IsExcludedSourceFile(mainFile.File(), mainFile.Directory())) {
    output::ShowNoFdcGenerated(name);
  }
  if (Instr().tsf->Files().empty() && (options.trace || options.memPro || options.perfPro) &&
      !IsExcludedSourceFile(mainFile.File(), mainFile.Directory())) {
    support::DisplayInfo(Translate("User Info", "No observable routine can be found in file %1; no TSF generated",
                                   "%1 : the main file")
                             .arg(support::FromLocal(name)));
  }
}

void WriteCoverageDefines(std::FILE* output, const RunOptions& options) {
  if (options.coverage == 0) return;
  WritePrologueText(output, "\n#define USE_QBC 1\n");
  const char* information = options.compact ? "\n#define QBC_INFORMATION 1\n"
                            : options.count ? "\n#define QBC_INFORMATION 2\n"
                                            : "\n#define QBC_INFORMATION 0\n";
  WritePrologueText(output, information);
  if (options.coverage & kCoverForcedEvaluation) WritePrologueText(output, "\n#define _QBC_FORCEEVALUATION\n");
}

// Memory profiling lists globals only where a traced routine or the start
// of main will link them.
bool LinksParseGlobals() { return !Instr().tsf->Files().empty() || Instr().startOfMainSeen; }

bool HasParseGlobals(const RunOptions& options) {
  return !options.noInspectAll &&
         (!Instr().frontEnd->symbols.fileVariables.nodes.empty() || Instr().deepGlobalCount != 0);
}

void WriteProfilingDefines(std::FILE* output, const RunOptions& options) {
  if (options.trace) WritePrologueText(output, "\n#define USE_QBT 1\n");
  if (options.memPro) {
    WritePrologueText(output, "\n#define USE_QBP 1\n");
    const bool needed = LinksParseGlobals() && HasParseGlobals(options);
    WritePrologueText(output, needed ? "#define _QBP_PARSE_GLOBALS_NEEDED 1\n" : "#define _QBP_PARSE_GLOBALS_NEEDED 0\n");
  }
  if (!options.perfPro) return;
  WritePrologueText(output, "\n#define USE_QBQ 1\n");
  WritePrologueText(output,
                    "#ifndef QBL_OS_CLOCK\n#define QBL_OS_CLOCK 1\n#endif\n#ifndef QBL_PROCESS_CLOCK\n"
                    "#define QBL_PROCESS_CLOCK 2\n#endif\n");
  WritePrologueText(output, options.perfProProcessClock ? "#define QBL_CLOCK_KIND QBL_PROCESS_CLOCK\n\n"
                                                        : "#define QBL_CLOCK_KIND QBL_OS_CLOCK\n\n");
}

void WriteSetNames(std::FILE* output, const RunOptions& options) {
  if (options.setList.nodes.empty()) return;
  const std::map<std::string, std::string> definitions = ReadSetOptions();
  for (const support::NameListNode& node : options.setList.nodes) {
    const auto found = definitions.find(node.entry->text);
    if (found == definitions.end()) {
      support::DisplayWarning(Translate("User Warning", "there is no definition for -set argument %1",
                                        "%1: argument given to -set")
                                  .arg(support::FromLocal(node.entry->text)));
      continue;
    }
    WritePrologueText(output, "\n" + found->second);
  }
}

void WriteRuntimeInclude(std::FILE* output, const RunOptions& options) {
  if (options.noPath) {
    WritePrologueText(output, "\n#include \"TP.h\"\n\n");
    return;
  }
  const std::string library = support::JoinPath(*support::GetEnvironment("QBLTGT", true), "lib");
  WritePrologueText(output, "\n#include \"" + library + "/TP.h\"\n\n");
}

void WriteVersionGuard(std::FILE* output, const RunOptions& options) {
  if (!(options.coverage & kCoverModifiedCondition) || !options.info) return;
  WritePrologueText(output,
                    "#ifndef _QBC_COND_END_1\n #error \"Incompatible release of qbc.h, please re-save your TDP "
                    "using the TDP Editor\"\n#endif\n\n");
}

// "n,_QBC_TAB_X(f)," for a non-zero count, "0,0," otherwise.
std::string TableOperand(std::uint32_t count, const char* table, std::int16_t serial, const char* after) {
  if (count == 0) return std::string("0,0") + after;
  return Format("%u,%s(%d)%s", count, table, serial, after);
}

void WriteFdcDeclarations(std::FILE* output, const output::FdcFile& file) {
  const std::int16_t f = file.serial;
  if (file.procedureCount) WritePrologueText(output, Format("_QBC_DECLARE_PROC(%d,%u)\n", f, file.procedureCount));
  if (file.callCount) WritePrologueText(output, Format("_QBC_DECLARE_CALL(%d,%u)\n", f, file.callCount));
  if (file.blockCount) WritePrologueText(output, Format("_QBC_DECLARE_BLOC(%d,%u)\n", f, file.blockCount));
  if (file.conditionCount) WritePrologueText(output, Format("_QBC_DECLARE_COND(%d,%u)\n", f, file.conditionCount));
  std::string declare = Format("_QBC_DECLARE(%d,0x%XUL,0x%XUL,", f, file.key, file.checksum);
  declare += TableOperand(file.procedureCount, "_QBC_TAB_PROC", f, ",");
  declare += TableOperand(file.callCount, "_QBC_TAB_CALL", f, ",");
  declare += TableOperand(file.blockCount, "_QBC_TAB_BLOC", f, ",");
  declare += TableOperand(file.conditionCount, "_QBC_TAB_COND", f, ")\n\n");
  WritePrologueText(output, declare);
}

// Two bits per basic condition, 2 true, 1 false, 0 not evaluated; eight
// conditions per 16-bit word, the lowest-numbered in the lowest bits.
std::string RowWords(std::string_view row) {
  std::string words;
  for (std::size_t group = 0; group < row.size(); group += 8) {
    unsigned word = 0;
    for (std::size_t i = group; i < row.size() && i < group + 8; ++i) {
      const unsigned value = row[i] == 'T' ? 2 : row[i] == 'F' ? 1 : 0;
      word |= value << (2 * (i - group));
    }
    words += Format(",0x%04x", word);
  }
  return words;
}

void WriteCompoundRows(std::FILE* output, const CompoundTableEntry& entry) {
  const std::uint32_t groups = (entry.width + 7) / 8;
  for (std::uint32_t row = 0; row < entry.rows; ++row) {
    const std::string_view cells = std::string_view(entry.cells).substr(row * entry.width, entry.width);
    std::string line = row == 0 ? Format("  _QBC_SET_COND_CONST_FIRST%u(%u,%u,%d", groups, entry.index, entry.rows,
                                         static_cast<int>(entry.width))
                                : Format("  _QBC_SET_COND_CONST_MIDDLE%u(%u,%u,%d,%u", groups, entry.index,
                                         entry.rows, static_cast<int>(entry.width), row);
    WritePrologueText(output, line + RowWords(cells) + ")\n");
  }
  WritePrologueText(output, Format("  _QBC_SET_COND_CONST_LAST(%u,%u)\n", entry.index, entry.rows));
}

void WriteCompoundTable(std::FILE* output) {
  const std::vector<CompoundTableEntry>& table = Instr().compoundTable;
  if (table.empty()) {
    WritePrologueText(output, "#define _QBC_INIT_CONST_COMPOUND_STUFF\n\n");
    return;
  }
  WritePrologueText(output, "_QBC_INIT_CONST_COMPOUND_DECLARE\n");
  WritePrologueText(output, "#define _QBC_INIT_CONST_COMPOUND_STUFF _QBC_INIT_CONST_COMPOUND_STUFF_OK\n\n");
  for (const CompoundTableEntry& entry : table) {
    WritePrologueText(output,
                      Format("_QBC_DECLARE_COND_CONST(%u,%u,%d)\n", entry.index, entry.rows, static_cast<int>(entry.width)));
  }
  WritePrologueText(output, "\n_QBC_START_COND_CONST\n");
  for (const CompoundTableEntry& entry : table) WriteCompoundRows(output, entry);
  WritePrologueText(output, "_QBC_END_COND_CONST\n\n");
}

void WriteDeclarations(std::FILE* output, const RunOptions& options) {
  if (options.coverage != 0) WriteCompoundTable(output);
  for (const output::FdcFile& file : Instr().fdc->Files()) {
    if (file.stage == output::FdcStage::kRemoved) continue;
    WriteFdcDeclarations(output, file);
  }
  for (const output::TsfFile& file : Instr().tsf->Files()) {
    if (file.stage == output::OutputStage::kRemoved || (file.instanceCount == 1 && file.messageCount == 0)) continue;
    std::string declare = Format("_QBL_STACK_DECLARE(%d,0x%XUL,0x%XUL)\n\n", file.serial, file.key, file.checksum);
    if (options.perfPro) declare += Format("_QBQ_DECLARE(%d,%u)\n\n", file.serial, file.messageCount);
    WritePrologueText(output, declare);
  }
  if (!options.memPro || !LinksParseGlobals()) return;
  if (!HasParseGlobals(options)) {
    WritePrologueText(output, "#define _QBP_LINK_PARSE_GLOBALS\n\n");
    return;
  }
  WritePrologueText(output, "_QBP_DEFINE_PARSE_GLOBALS\n#define _QBP_LINK_PARSE_GLOBALS _QBP_LINK_PARSE_GLOBALS_\n");
  if (Instr().deepGlobalCount) WritePrologueText(output, Format("_QBP_DEFINE_DEEP_GLOBAL(%u)\n\n", Instr().deepGlobalCount));
}

}  // namespace

void WritePrologueText(std::FILE* output, std::string_view text) {
  // Counted in both cases: the copier does not count newlines of texts it
  // splices at a position.
  InstrState& state = Instr();
  state.lineCounter += static_cast<std::uint32_t>(std::count(text.begin(), text.end(), '\n'));
  const frontend::NothingBeforeMark& mark = state.frontEnd->pragmas.nothingBefore;
  if (!mark.present) {
    std::fwrite(text.data(), 1, text.size(), output);
    return;
  }
  if (state.splicedPrologueTexts == 0) CheckSplicePlace(mark);
  AddModification(state.modifications, &mark.position, kNestingPriority - state.splicedPrologueTexts, Where::Before,
                  std::string(text));
  ++state.splicedPrologueTexts;
}

void WritePrologue(std::FILE* output, const frontend::TokenPosition& mainFile) {
  const RunOptions& options = *Instr().options;
  WriteNoOutputInfos(options, mainFile);
  WritePrologueText(output, "\n#define QBL_C_INSTRUMENTOR\n");
  if (Instr().startOfMainSeen) WritePrologueText(output, "\n#define _QBU_GENERATED_FILE\n");
  WriteCoverageDefines(output, options);
  WriteProfilingDefines(output, options);
  WriteSetNames(output, options);
  WriteRuntimeInclude(output, options);
  WriteVersionGuard(output, options);
  WriteDeclarations(output, options);
}

}  // namespace instrument
