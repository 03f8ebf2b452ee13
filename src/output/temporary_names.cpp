// The odometer of temporary file names.
#include "output/temporary_names.h"

namespace output {

bool NextTemporaryName(std::string& candidate, const TemporaryNaming& naming) {
  if (candidate.size() < naming.counting.size()) return false;
  const std::size_t end = candidate.size();
  for (std::size_t i = 0; i < naming.counting.size(); ++i) {
    const CountingCharacter& digit = naming.counting[i];
    char& c = candidate[end - 1 - i];
    const bool atLimit = digit.step > 0 ? c >= digit.limit : c <= digit.limit;
    if (!atLimit) {
      c = static_cast<char>(c + digit.step);
      return true;
    }
    c = digit.reset;
  }
  return false;
}

ClaimedFile ClaimTemporaryFor(const std::string& target, const TemporaryNaming& naming, std::string& temporaryPath) {
  temporaryPath = target + std::string(naming.firstSuffix);
  return ClaimTemporaryFile(temporaryPath,
                            [&naming](std::string& candidate) { return NextTemporaryName(candidate, naming); });
}

}  // namespace output
