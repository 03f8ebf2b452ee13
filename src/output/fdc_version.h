// The product version the FDC writer puts into every FDC file's version line.
#pragma once

#include <string>

namespace output {

void SetFdcProductVersion(const std::string& version);
const std::string& FdcProductVersion();

}  // namespace output
