#include "instrument/writer_settings.h"

#include "instrument/run_options.h"
#include "support/product_version.h"

namespace instrument {
namespace {

// The option record holds "" when -FDCDIR (-TSFDIR) is absent and none when
// it is given without a value: the file then goes beside its source, or
// into the current directory.
std::optional<std::string> DirectoryOf(const std::optional<std::string>& option) {
  if (!option) return std::string();
  if (option->empty()) return std::nullopt;
  return option;
}

unsigned ProviderFlagsOf(const RunOptions& options) {
  unsigned flags = 0;
  if (options.trace) flags += output::kTsfTrace;
  if (options.memPro) flags += output::kTsfMemory;
  if (options.perfPro) flags += output::kTsfPerformance;
  if (options.perfPro && options.perfProProcessClock) flags += output::kTsfProcessClock;
  return flags;
}

}  // namespace

output::FdcSettings FdcSettingsOf(const RunOptions& options) {
  output::FdcSettings settings;
  settings.placement = {options.fdcName, DirectoryOf(options.fdcDir)};
  settings.fullPathKey = !options.noFullPathKey;
  settings.alternativeChecksum = options.altChecksum;
  settings.formatMark = std::string(output::kFdcFormatMark);
  settings.productVersion = support::kShortVersion;
  settings.feature = options.coverage & kCoverModifiedCondition ? "CCOV CMCDC" : "CCOV";
  return settings;
}

output::TsfSettings TsfSettingsOf(const RunOptions& options) {
  output::TsfSettings settings;
  settings.placement = {options.tsfName, DirectoryOf(options.tsfDir)};
  settings.providerFlags = ProviderFlagsOf(options);
  settings.alternativeChecksum = options.altChecksum;
  return settings;
}

}  // namespace instrument
