#include "instrument/kept_file.h"

#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <cstdio>
#include <memory>

namespace instrument {
namespace {

using support::FromLocal;
using support::Translate;

using File = support::UniqueFile;

// Paths below the current directory are shown relative to it.
QString ShownPath(const std::string& path) {
  const std::string& current = support::CurrentDirectory();
  const bool below = path.compare(0, current.size(), current) == 0;
  return FromLocal(below ? path.substr(current.size()) : path);
}

// The kept file beside the source, else in the current directory; none when
// the path that can be written is <instr> itself.
File CreateKeptFile(std::string& keptPath, const std::string& instrPath, const std::string& sourceName) {
  if (File kept{std::fopen(keptPath.c_str(), "w")}) return kept;
  support::DisplayWarning(Translate("User Warning",
                                    "Cannot create the kept instrumented file %1, file will be created in current "
                                    "directory",
                                    "%1 : the kept instrumented file")
                              .arg(FromLocal(keptPath)));
  keptPath = support::ChangeExtension(sourceName, ".aug");
  if (support::SameFile(keptPath, instrPath)) return nullptr;
  File kept{std::fopen(keptPath.c_str(), "w")};
  if (!kept) {
    support::DisplayFatalError(Translate("Fatal Error", "Cannot create the kept instrumented file %1",
                                         "%1 : the kept instrumented file")
                                   .arg(FromLocal(keptPath)));
  }
  return kept;
}

}  // namespace

void WriteKeptFile(const std::string& instrPath, const support::NameEntry* sourceName,
                   const support::NameEntry* sourceDirectory) {
  if (!sourceName || !sourceDirectory) return;
  const std::string source = support::JoinPath(sourceDirectory->text, sourceName->text);
  std::string keptPath = support::ChangeExtension(source, ".aug");
  if (support::SameFile(keptPath, instrPath)) return;

  File instrumented{std::fopen(instrPath.c_str(), "rb")};
  if (!instrumented) {
    support::DisplayFatalError(Translate("Fatal Error", "Cannot copy instrumented file %1",
                                         "%1 : the instrumented file")
                                   .arg(FromLocal(instrPath)));
  }
  File kept = CreateKeptFile(keptPath, instrPath, sourceName->text);
  if (!kept) return;
  support::CopyStream(instrumented.get(), kept.get());
  kept.reset();
  support::DisplayInfo(Translate("User Info", "%1 is the kept instrumented file of %2",
                                 "%1 : the kept instrumented file, %2 : the instrumented file")
                           .arg(ShownPath(keptPath), ShownPath(source)));
}

}  // namespace instrument
