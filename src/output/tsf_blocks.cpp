// The reader of previous TSF files.
#include "output/tsf_blocks.h"

#include "support/file_utils.h"
#include "support/messages.h"
#include "support/translate.h"

#include <cerrno>
#include <cstdio>

namespace output {

using support::FromLocal;
using support::Translate;

std::vector<TsfBlock> ReadTsfBlocks(const std::string& path, const TsfProvider& provider) {
  support::UniqueFile stream(std::fopen(path.c_str(), "rb"));
  if (!stream) {
    if (errno == ENOENT) return {};
    support::DisplayFatalError(
        Translate("tsfE-Error", "Cannot open TSF file %1", "%1 is a file name").arg(FromLocal(path)));
  }
  std::string content;
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, stream.get())) > 0) content.append(buffer, got);
  if (std::ferror(stream.get())) support::DisplayReadError(path);
  TsfReadResult result = ParseTsfBlocks(content, provider, support::LocalToUtf8(support::CurrentDirectory()));
  if (result.error == TsfReadError::kNotValid) {
    support::DisplayFatalError(
        Translate("tsfE-Error", "%1 is not a valid tsf file (#%2)", "%1 is a file name, %2 a number")
            .arg(FromLocal(path), QString::number(result.invalidNumber)));
  }
  if (result.error == TsfReadError::kMissingTag) {
    support::DisplayFatalError(
        Translate("tsfE-Error", "%1 expected but not found in %2", "%1 is a string, %2 a file name")
            .arg(FromLocal(result.missingTag), FromLocal(path)));
  }
  return std::move(result.blocks);
}

}  // namespace output
