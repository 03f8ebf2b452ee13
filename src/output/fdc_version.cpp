#include "output/fdc_version.h"

namespace output {
namespace {

std::string productVersion;

}  // namespace

void SetFdcProductVersion(const std::string& version) { productVersion = version; }

const std::string& FdcProductVersion() { return productVersion; }

}  // namespace output
