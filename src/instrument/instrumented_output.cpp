#include "instrument/instrumented_output.h"

#include "output/output_update.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <algorithm>
#include <unistd.h>

namespace instrument {
namespace {

using support::Translate;

// "<instr>.<pid>.qbtmp", then ".<pid>-1.qbtmp" and so on: parallel runs
// writing one instrumented file never share a temporary file.
std::string TemporaryBase(const std::string& instrPath) { return instrPath + "." + std::to_string(getpid()); }

bool NextTemporaryName(const std::string& base, unsigned& attempt, std::string& candidate) {
  constexpr unsigned kAttempts = 1000;
  if (++attempt == kAttempts) return false;
  candidate = base + "-" + std::to_string(attempt) + ".qbtmp";
  return true;
}

[[noreturn]] void FailWriting(const std::string& instrPath) {
  const QString reason = support::FromLocal(support::SystemErrorText());
  support::DisplayFatalError(Translate("Fatal Error", "Cannot write instrumented file %1: %2",
                                       "%1 : the instrumented file, %2 : a system error message")
                                 .arg(support::FromLocal(instrPath), reason));
}

}  // namespace

InstrumentedFile::InstrumentedFile(std::string instrPath) : instrPath_(std::move(instrPath)) {
  const std::string base = TemporaryBase(instrPath_);
  unsigned attempt = 0;
  std::string candidate = base + ".qbtmp";
  output::ClaimedFile claimed = output::ClaimTemporaryFile(
      candidate, [&base, &attempt](std::string& name) { return NextTemporaryName(base, attempt, name); });
  if (!claimed.stream) {
    support::DisplayFatalError(Translate("Fatal Error", "Cannot create instrumented file %1",
                                         "%1 : the instrumented file")
                                   .arg(support::FromLocal(instrPath_)));
  }
  stream_ = std::move(claimed.stream);
  temporaryPath_ = candidate;
}

void InstrumentedFile::Commit() {
  std::FILE* file = stream_.release();
  const bool writeFailed = std::ferror(file) != 0;
  if (std::fclose(file) != 0 || writeFailed) FailWriting(instrPath_);
  support::RenameFile(temporaryPath_, instrPath_);
  temporaryPath_.clear();
}

void InstrumentedFile::RemoveUnfinished() {
  stream_.reset();
  if (temporaryPath_.empty()) return;
  std::remove(temporaryPath_.c_str());
  temporaryPath_.clear();
}

void WriteParseGlobalsTrailer(std::FILE* file, const ParseGlobalsTrailer& trailer) {
  const bool numberFits = !trailer.inlineAssembler || trailer.nextLine <= 65535;
  if (trailer.lineDirective && numberFits) {
    std::string path = trailer.instrPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::fprintf(file, "\n#line %u \"%s\"\n", trailer.nextLine, path.c_str());
  }
  std::fputs("_QBP_START_PARSE_GLOBALS\n", file);
  for (const support::NameEntry* variable : trailer.variables) {
    std::fprintf(file, "  _QBP_PARSE_GLOBAL(%s)\n", variable->text.c_str());
  }
  if (trailer.deepGlobalCount) std::fprintf(file, "  _QBP_PARSE_DEEP_GLOBALS(%u)\n", trailer.deepGlobalCount);
  std::fputs("_QBP_END_PARSE_GLOBALS\n", file);
}

}  // namespace instrument
