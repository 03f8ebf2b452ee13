// What `quorbcc --help` and `quorbcc --version` print.
#pragma once

#include "wrapper/wrapper_options.h"

#include <string>

namespace wrapper {

std::string LauncherHelp();

/// The launcher's version and the installation it runs from.
std::string LauncherVersion(const Installation& installation);

}  // namespace wrapper
