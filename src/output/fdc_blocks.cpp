// Reading an existing FDC file, with the messages for an invalid one.
#include "output/fdc_blocks.h"

#include "support/file_utils.h"
#include "support/messages.h"
#include "support/translate.h"

#include <cerrno>

namespace output {

std::vector<FdcBlock> ReadFdcBlocks(const std::string& path, std::string_view formatMark) {
  support::UniqueFile stream(std::fopen(path.c_str(), "rb"));
  if (!stream) {
    if (errno == ENOENT) {
      errno = 0;
      return {};
    }
    support::DisplayReadError(path);
  }
  FdcReadResult result = ParseFdcBlocks(stream.get(), formatMark);
  if (std::ferror(stream.get())) support::DisplayReadError(path);
  stream.reset();
  const QString file = support::FromLocal(path);
  switch (result.error) {
    case FdcReadError::kNone:
      return std::move(result.blocks);
    case FdcReadError::kNotValid:
      support::DisplayFatalError(
          support::Translate("Assertion", "%1 is not a valid FDC file", "%1 is the file name").arg(file));
    case FdcReadError::kMissingTag:
      support::DisplayFatalError(support::Translate("Assertion", "%1 expected but not found in %2",
                                                    "%1 is the expected input, %2 the fdc file name")
                                     .arg(QString::fromLatin1(result.missingTag), file));
    case FdcReadError::kUnknownCoverage:
      support::DisplayFatalError(
          support::Translate("Assertion", "Unknown coverage type in FDC file %1", "%1 is the file name").arg(file));
    case FdcReadError::kNoCoverage:
      support::DisplayFatalError(
          support::Translate("Assertion", "%1 has no selected coverage type", "%1 is the file name").arg(file));
  }
  return {};
}

}  // namespace output
