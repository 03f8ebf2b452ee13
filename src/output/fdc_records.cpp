// Branch record writers: one line per record, folded into the checksum.
#include "output/fdc_records.h"

#include "output/fdc_file.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/translate.h"

#include <array>
#include <cstdio>

namespace output {
namespace {

constexpr std::array<std::string_view, 4> kProcKindWords = {"proc", "endproc", "return", "term"};
constexpr std::array<std::string_view, 4> kBlockKindWords = {"simple", "implicit", "logical", "qbc"};

void AppendField(std::string& line, std::string_view text) {
  line += ' ';
  line += text;
}

void AppendNumber(std::string& line, std::uint32_t value) { AppendField(line, std::to_string(value)); }

// A record line starting with its tag, with room for the fields that follow
// (numbers take at most 11 bytes each, quoted texts may double).
std::string StartRecord(std::string_view tag, std::size_t textBytes) {
  std::string line;
  line.reserve(64 + 2 * textBytes);
  line += tag;
  return line;
}

void AppendLines(std::string& line, std::uint32_t firstLine, std::uint32_t lastLine) {
  AppendNumber(line, firstLine);
  AppendNumber(line, lastLine);
  line += '\n';
}

FdcFile& RequireFile(FdcFile* file) {
  if (!file) support::DisplayInternalError(support::Translate("Assertion", "Unable to write into FDC file"));
  return *file;
}

// Folds the finished line into the checksum, writes it and advances the
// counter by the IDs the record takes.
std::uint32_t WriteRecord(FdcFile& file, const std::string& line, std::uint32_t& counter, std::uint32_t ids) {
  std::FILE* stream = file.writer->Open(file);
  file.writer->Fold(file, line);
  std::fwrite(line.data(), 1, line.size(), stream);
  const std::uint32_t first = counter;
  counter += ids;
  return first;
}

}  // namespace

std::uint32_t WriteFdcProc(FdcFile* file, FdcProcKind kind, std::string_view function, std::uint32_t firstLine,
                           std::uint32_t lastLine) {
  FdcFile& target = RequireFile(file);
  std::string line = StartRecord("PR", function.size());
  AppendNumber(line, target.procedureCount);
  AppendField(line, kProcKindWords.at(static_cast<std::size_t>(kind)));
  AppendQuotedField(line, function);
  AppendLines(line, firstLine, lastLine);
  return WriteRecord(target, line, target.procedureCount, 1);
}

std::uint32_t WriteFdcCall(FdcFile* file, std::string_view function, std::string_view callee,
                           std::uint32_t firstLine, std::uint32_t lastLine) {
  FdcFile& target = RequireFile(file);
  std::string line = StartRecord("AP", function.size() + callee.size());
  AppendNumber(line, target.callCount);
  AppendQuotedField(line, function);
  AppendQuotedField(line, callee);
  AppendLines(line, firstLine, lastLine);
  return WriteRecord(target, line, target.callCount, 1);
}

std::uint32_t WriteFdcBlock(FdcFile* file, FdcBlockKind kind, std::string_view function, std::string_view branchPath,
                            std::uint32_t firstLine, std::uint32_t lastLine) {
  FdcFile& target = RequireFile(file);
  std::string line = StartRecord("BL", function.size() + branchPath.size());
  AppendNumber(line, target.blockCount);
  AppendField(line, kBlockKindWords.at(static_cast<std::size_t>(kind)));
  AppendQuotedField(line, function);
  AppendField(line, branchPath);
  AppendLines(line, firstLine, lastLine);
  return WriteRecord(target, line, target.blockCount, 1);
}

std::uint32_t WriteFdcCase(FdcFile* file, std::string_view function, std::string_view caseText, bool isCa,
                           std::uint32_t firstLine, std::uint32_t lastLine) {
  FdcFile& target = RequireFile(file);
  std::string line = StartRecord(isCa ? "CA" : "CE", function.size() + caseText.size());
  AppendNumber(line, target.conditionCount);
  AppendQuotedField(line, function);
  AppendQuotedField(line, caseText);
  AppendLines(line, firstLine, lastLine);
  return WriteRecord(target, line, target.conditionCount, isCa ? 1 : 2);
}

std::uint32_t WriteFdcCondition(FdcFile* file, std::span<const std::uint32_t> operands, std::uint32_t branchCount,
                                std::string_view text, std::uint32_t extra) {
  FdcFile& target = RequireFile(file);
  std::string line = StartRecord("CC", text.size() + 11 * operands.size());
  AppendNumber(line, target.conditionCount);
  AppendField(line, std::to_string(operands.size()));
  for (const std::uint32_t operand : operands) AppendNumber(line, operand);
  AppendNumber(line, branchCount);
  AppendField(line, text);
  if (extra != kNoExtraValue) AppendNumber(line, extra);
  line += '\n';
  return WriteRecord(target, line, target.conditionCount, branchCount);
}

}  // namespace output
