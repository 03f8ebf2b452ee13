// Build constants and the five-line identification block.
#pragma once

#include "support/product_version.h"

#include <cstdio>

namespace output {

inline constexpr const char* kModuleTitle = "Deprecated Code Coverage C Instrumentor";
inline constexpr const char* kModuleName = "C Instrumentor";
using support::kBuildNumber;
using support::kFullVersion;
using support::kShortVersion;
inline constexpr const char* kBannerName = "Nivrak";
inline constexpr const char* kCopyrightNotice = "Copyright 2020 Quorb. All rights reserved.";

/// The translated block on standard output, with empty prefix and suffix.
void PrintIdentification();

/// The untranslated block framed by prefix and suffix (the instrumented
/// file's banner); returns the number of lines written, five.
int WritePlainIdentification(std::FILE* output, const char* prefix, const char* suffix);

}  // namespace output
