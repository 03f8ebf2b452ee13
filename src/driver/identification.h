// Build constants and the five-line identification block.
#pragma once

#include <cstdio>

namespace driver {

inline constexpr const char* kModuleTitle = "Deprecated Code Coverage C Instrumentor";
inline constexpr const char* kModuleName = "C Instrumentor";
inline constexpr const char* kFullVersion = "8.2.0.1.070.020";
inline constexpr const char* kBuildNumber = "070.020";
inline constexpr const char* kShortVersion = "8.2.0.1";
inline constexpr const char* kBannerName = "Nivrak";
inline constexpr const char* kCopyrightNotice = "Copyright 2020 Quorb. All rights reserved.";

/// The translated block on standard output, with empty prefix and suffix.
void PrintIdentification();

/// The untranslated block framed by prefix and suffix (the instrumented
/// file's banner); returns the number of lines written, five.
int WritePlainIdentification(std::FILE* output, const char* prefix, const char* suffix);

}  // namespace driver
